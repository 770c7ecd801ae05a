#include "support/SpectrumPoints.h"
#include "support/TestRegistry.h"

#include "analysis/ElemCtrl.h"
#include "display/XafsView.h"

#include <QApplication>
#include <QFile>
#include <QLineEdit>
#include <QMouseEvent>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QWheelEvent>

#include <cmath>
#include <memory>

namespace {

// The plot area a canvas of this size leaves inside its label margins:
// 10 % left, 5 % right, 10 % below, 5 % above, each cut to whole pixels.
struct Inner {
    int x0, x1, y0, y1;
};
Inner innerOf(const QWidget* w)
{
    const int W = w->width();
    const int H = w->height();
    return {int(W * 0.1), W - int(W * 0.05), H - int(H * 0.1), int(H * 0.05)};
}

int columnOf(double e, double lo, double hi, const Inner& in)
{
    return int(std::trunc(in.x0 + (e - lo) * (in.x1 - in.x0) / (hi - lo)));
}

// Straight from (lo, ylo) to (hi, yhi) in steps close enough to stay one piece.
Points ramp(double lo, double hi, double ylo, double yhi)
{
    Points pts;
    const int n = 40;
    for (int k = 0; k <= n; ++k)
        pts.append({lo + (hi - lo) * k / n, ylo + (yhi - ylo) * k / n});
    return pts;
}

XafsSpectrum plainSpectrum(const Points& pts)
{
    XafsSpectrum s;
    for (const QPointF& p : pts)
        s.append(p.x(), p.y());
    return s;
}

// A Cu K edge: a sloped pre-edge, an arctangent step of 1 at 8979 eV, a
// few wiggles after it.
XafsSpectrum cuEdge(double shift, double jump)
{
    Spectrum pts;
    for (double e = 8700; e <= 9500; e += 2) {
        const double x = e - shift;
        double mu = 0.3 - 0.0001 * (x - 8700);
        mu += jump * (0.5 + std::atan((x - 8979) / 3.0) / M_PI);
        if (x > 8990)
            mu += 0.05 * jump * std::sin((x - 8990) / 15.0) * std::exp(-(x - 8990) / 200.0);
        pts.append(e, mu);
    }
    SuggestElm sElm;
    sElm.use = true;
    return XafsSpectrum(pts, QStringLiteral("cu"), 1, 0.0, sElm);
}

void sendMouse(QWidget* w, QEvent::Type type, QPoint pos, Qt::MouseButton button,
               Qt::MouseButtons held, Qt::KeyboardModifiers mods)
{
    QMouseEvent e(type, QPointF(pos), w->mapToGlobal(QPointF(pos)), button, held, mods);
    QApplication::sendEvent(w, &e);
}

void sendWheel(QWidget* w, QPoint pos, int angle)
{
    QWheelEvent e(QPointF(pos), w->mapToGlobal(QPointF(pos)), QPoint(), QPoint(0, angle),
                  Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(w, &e);
}

QImage render(XafsView& v) { return v.Xafs->grab().toImage().convertToFormat(QImage::Format_RGB32); }

int countInColumn(const QImage& img, int x, QRgb c, const Inner& in)
{
    if (x < 0 || x >= img.width())
        return 0;
    int n = 0;
    for (int y = in.y1; y <= in.y0; ++y)
        n += (img.pixel(x, y) & 0xffffff) == (c & 0xffffff);
    return n;
}

int countInRect(const QImage& img, QRect r, QRgb c);

// Three columns about x, so that a grid line drawn over one of them does not hide a curve.
int countNearColumn(const QImage& img, int x, QRgb c, const Inner& in)
{
    return countInRect(img, QRect(x - 1, in.y1, 3, in.y0 - in.y1 + 1), c);
}

int countInRect(const QImage& img, QRect r, QRgb c)
{
    int n = 0;
    r = r.intersected(img.rect());
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x)
            n += (img.pixel(x, y) & 0xffffff) == (c & 0xffffff);
    return n;
}

const QRgb black = qRgb(0, 0, 0);
const QRgb red = qRgb(255, 0, 0);
const QRgb frameGreen = qRgb(0, 224, 0);
const QRgb rawRed = qRgb(192, 0, 0);
const QRgb fftGreen = qRgb(0, 192, 0);

QStringList fileLines(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(f.readAll()).split(u'\n', Qt::SkipEmptyParts);
}

QByteArray fileBytes(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

double firstDataX(const QStringList& lines)
{
    for (const QString& l : lines)
        if (!l.startsWith(u'#'))
            return l.split(u'\t').value(0).toDouble();
    return std::nan("");
}

} // namespace

class TestXafsView : public QObject {
    Q_OBJECT

    // A shown view of the form's size, so the canvas has its real layout.
    std::unique_ptr<XafsView> shownView()
    {
        auto v = std::make_unique<XafsView>();
        v->resize(626, 452);
        v->show();
        if (!QTest::qWaitForWindowExposed(v.get()))
            qWarning("view not exposed");
        return v;
    }

private slots:
    void setSpectrumRanges_data()
    {
        QTest::addColumn<Points>("pts");
        QTest::addColumn<bool>("useOffset");
        QTest::addColumn<double>("offset");
        QTest::addColumn<bool>("autoScale");
        QTest::addColumn<double>("e0");
        QTest::addColumn<double>("stdE0");
        QTest::addColumn<double>("wantMin");
        QTest::addColumn<double>("wantMax");
        QTest::addColumn<double>("wantDefMin");
        QTest::addColumn<double>("wantDefMax");
        QTest::addColumn<double>("ret");
        const Points span{{8900, 0.1}, {8980, 0.6}, {9100, 1.2}};
        // the view starts zoomed to 100..200 with defaults 0..1
        QTest::newRow("span") << span << false << 0.0 << true << 8979.37 << 0.0
                              << 8900.0 << 9100.0 << 8900.0 << 9100.0 << 8979.37;
        QTest::newRow("offset taken off") << span << true << 5.0 << true << 8979.0 << 0.0
                                          << 8895.0 << 9095.0 << 8895.0 << 9095.0 << 8979.0;
        QTest::newRow("offset set but off") << span << false << 5.0 << true << 8979.0 << 0.0
                                            << 8900.0 << 9100.0 << 8900.0 << 9100.0 << 8979.0;
        QTest::newRow("auto scale off keeps the zoom") << span << false << 0.0 << false << 8979.0
                                                       << 0.0 << 100.0 << 200.0 << 0.0 << 1.0
                                                       << 8979.0;
        QTest::newRow("empty keeps the range") << Points{} << false << 0.0 << true << 0.0 << 0.0
                                               << 100.0 << 200.0 << 0.0 << 1.0 << 0.0;
        QTest::newRow("one point is opened around it")
            << Points{{8979, 1}} << false << 0.0 << true << 8979.0 << 0.0 << 8530.05 << 9427.95
            << 8530.05 << 9427.95 << 8979.0;
        QTest::newRow("less the standard's edge") << span << false << 0.0 << true << 8979.37
                                                  << 8980.0 << 8900.0 << 9100.0 << 8900.0
                                                  << 9100.0 << -0.63;
    }
    void setSpectrumRanges()
    {
        QFETCH(Points, pts);
        QFETCH(bool, useOffset);
        QFETCH(double, offset);
        QFETCH(bool, autoScale);
        QFETCH(double, e0);
        QFETCH(double, stdE0);
        QFETCH(double, wantMin);
        QFETCH(double, wantMax);
        QFETCH(double, wantDefMin);
        QFETCH(double, wantDefMax);
        QFETCH(double, ret);
        XafsView v;
        v.xMin = 100;
        v.xMax = 200;
        v.autoXScale = autoScale;
        v.standard.e0 = stdE0;
        XafsSpectrum s = plainSpectrum(pts);
        s.useXOffset = useOffset;
        s.xOffset = offset;
        s.e0 = e0;
        QSignalSpy updated(&v, &XafsView::updated);
        const double r = v.setXafsSpectrum(s);
        QVERIFY(std::fabs(r - ret) < 1e-9);
        QCOMPARE(updated.count(), 1);
        QVERIFY(std::fabs(v.xMin - wantMin) < 1e-9);
        QVERIFY(std::fabs(v.xMax - wantMax) < 1e-9);
        QVERIFY(std::fabs(v.defaultXMin - wantDefMin) < 1e-9);
        QVERIFY(std::fabs(v.defaultXMax - wantDefMax) < 1e-9);
        QCOMPARE(v.spectrum.size(), pts.size());
    }

    void newSpectrumUndoesZoomAndResetReturns()
    {
        auto v = shownView();
        v->setXafsSpectrum(plainSpectrum({{8900, 0}, {9100, 1}}));
        const Inner in = innerOf(v->Xafs);
        const QPoint at((in.x0 + in.x1) / 2, (in.y0 + in.y1) / 2);
        sendMouse(v->Xafs, QEvent::MouseMove, at, Qt::NoButton, Qt::NoButton, Qt::NoModifier);
        sendWheel(v->Xafs, at, 120);
        sendWheel(v->Xafs, at, 120);
        QVERIFY(v->xMax - v->xMin < 199);
        QSignalSpy updated(v.get(), &XafsView::updated);
        v->ResetXScale->click();
        QCOMPARE(updated.count(), 1);
        QCOMPARE(v->xMin, 8900.0);
        QCOMPARE(v->xMax, 9100.0);
        sendWheel(v->Xafs, at, -120);
        v->setXafsSpectrum(plainSpectrum({{7000, 0}, {7500, 1}}));
        QCOMPARE(v->xMin, 7000.0);
        QCOMPARE(v->xMax, 7500.0);
        sendWheel(v->Xafs, at, 120);
        v->resetXScale();
        QCOMPARE(v->xMin, 7000.0);
        QCOMPARE(v->xMax, 7500.0);
    }

    void wheelZoom_data()
    {
        QTest::addColumn<double>("frac"); // pointer position across the plot area
        QTest::addColumn<int>("angle");
        QTest::addColumn<double>("factor");
        QTest::newRow("forward, middle") << 0.5 << 120 << 1 / 1.1;
        QTest::newRow("forward, left quarter") << 0.25 << 120 << 1 / 1.1;
        QTest::newRow("backward, right end") << 1.0 << -120 << 1.1;
        QTest::newRow("zero angle counts as forward") << 0.7 << 0 << 1 / 1.1;
        QTest::newRow("backward, left of the plot area") << -0.05 << -240 << 1.1;
    }
    void wheelZoom()
    {
        QFETCH(double, frac);
        QFETCH(int, angle);
        QFETCH(double, factor);
        auto v = shownView();
        v->setXafsSpectrum(plainSpectrum({{8900, 0}, {8950, 2}, {9100, 1}}));
        const Inner in = innerOf(v->Xafs);
        const int px = in.x0 + int(std::round(frac * (in.x1 - in.x0)));
        const QPoint at(px, (in.y0 + in.y1) / 2);
        sendMouse(v->Xafs, QEvent::MouseMove, at, Qt::NoButton, Qt::NoButton, Qt::NoModifier);
        const double c = 8900 + double(px - in.x0) * 200 / (in.x1 - in.x0);
        QSignalSpy updated(v.get(), &XafsView::updated);
        sendWheel(v->Xafs, at, angle);
        QCOMPARE(updated.count(), 1);
        QVERIFY(std::fabs(v->xMin - (c + (8900 - c) * factor)) < 1e-6);
        QVERIFY(std::fabs(v->xMax - (c + (9100 - c) * factor)) < 1e-6);
        QCOMPARE(v->defaultXMin, 8900.0);
        // the energy under the pointer stays put, shown with six digits
        QCOMPARE(v->XVal->text(), QString::number(c, 'g', 6));
        QVERIFY(std::fabs(v->XVal->text().toDouble() - c) < 0.5);
    }

    void emptyPlotIgnoresPointer()
    {
        auto v = shownView();
        v->xMin = 10;
        v->xMax = 20;
        const QPoint at(200, 200);
        sendMouse(v->Xafs, QEvent::MouseMove, at, Qt::NoButton, Qt::NoButton, Qt::NoModifier);
        QCOMPARE(v->XVal->text(), QStringLiteral("0"));
        QSignalSpy updated(v.get(), &XafsView::updated);
        sendWheel(v->Xafs, at, 120);
        sendMouse(v->Xafs, QEvent::MouseButtonPress, at, Qt::LeftButton, Qt::LeftButton,
                  Qt::NoModifier);
        sendMouse(v->Xafs, QEvent::MouseMove, at - QPoint(40, 0), Qt::NoButton, Qt::LeftButton,
                  Qt::NoModifier);
        QCOMPARE(updated.count(), 0);
        QCOMPARE(v->xMin, 10.0);
        QCOMPARE(v->xMax, 20.0);
    }

    void positionReadout_data()
    {
        QTest::addColumn<bool>("normalized");
        QTest::addColumn<double>("energy");
        QTest::addColumn<int>("index");
        // points at 8900, 8950, 9000, 9100: midpoints 8925, 8975, 9050
        for (bool n : {false, true}) {
            const char* mode = n ? "normalised" : "measured";
            QTest::addRow("%s, first point", mode) << n << 8910.0 << 0;
            QTest::addRow("%s, second point", mode) << n << 8960.0 << 1;
            QTest::addRow("%s, third point", mode) << n << 9040.0 << 2;
            QTest::addRow("%s, last point", mode) << n << 9090.0 << 3;
        }
    }
    void positionReadout()
    {
        QFETCH(bool, normalized);
        QFETCH(double, energy);
        QFETCH(int, index);
        auto v = shownView();
        v->setNormalize(normalized);
        XafsSpectrum s = plainSpectrum({{8900, 0.5}, {8950, 0.7}, {9000, 2.0}, {9100, 1.5}});
        s.doubleNormalized = spectrumOf({{8900, -0.25}, {8950, 0}, {9000, 1.5}, {9100, 1}});
        v->setXafsSpectrum(s);
        const Inner in = innerOf(v->Xafs);
        const int px = columnOf(energy, 8900, 9100, in);
        // at the top of the plot area the read-out is the curve's maximum
        sendMouse(v->Xafs, QEvent::MouseMove, QPoint(px, in.y1), Qt::NoButton, Qt::NoButton,
                  Qt::NoModifier);
        QCOMPARE(v->Position->text(), QString::number(index));
        QVERIFY(std::fabs(v->XVal->text().toDouble() - energy) <= 0.5);
        QVERIFY(v->XVal->text().contains(QRegularExpression(QStringLiteral("^\\d+\\.\\d$"))));
        QCOMPARE(v->YVal->text(), normalized ? QStringLiteral("1.500") : QStringLiteral("2.000"));
    }

    void pan_data()
    {
        QTest::addColumn<int>("button");
        QTest::addColumn<int>("pressMods");
        QTest::addColumn<int>("moveMods");
        QTest::addColumn<bool>("pans");
        const int L = Qt::LeftButton, R = Qt::RightButton;
        const int S = Qt::ShiftModifier, C = Qt::ControlModifier, A = Qt::AltModifier;
        QTest::newRow("left") << L << 0 << 0 << true;
        QTest::newRow("left, Shift taken after the press") << L << 0 << S << true;
        QTest::newRow("left with Shift") << L << S << 0 << false;
        QTest::newRow("left with Ctrl") << L << C << 0 << false;
        QTest::newRow("left with Alt, moved without") << L << A << 0 << false;
        QTest::newRow("left, moved with Alt") << L << 0 << A << false;
        QTest::newRow("right") << R << 0 << 0 << false;
        QTest::newRow("middle") << int(Qt::MiddleButton) << 0 << 0 << false;
        QTest::newRow("no press") << 0 << 0 << 0 << false;
    }
    void pan()
    {
        QFETCH(int, button);
        QFETCH(int, pressMods);
        QFETCH(int, moveMods);
        QFETCH(bool, pans);
        auto v = shownView();
        v->setXafsSpectrum(plainSpectrum({{8900, 0}, {9100, 1}}));
        const Inner in = innerOf(v->Xafs);
        const QPoint from(in.x0 + 300, (in.y0 + in.y1) / 2);
        const QPoint to = from - QPoint(60, 10);
        const Qt::MouseButton b = Qt::MouseButton(button);
        sendMouse(v->Xafs, QEvent::MouseMove, from, Qt::NoButton, Qt::NoButton, Qt::NoModifier);
        if (b != Qt::NoButton)
            sendMouse(v->Xafs, QEvent::MouseButtonPress, from, b, b,
                      Qt::KeyboardModifiers(pressMods));
        sendMouse(v->Xafs, QEvent::MouseMove, to, Qt::NoButton, b, Qt::KeyboardModifiers(moveMods));
        // dragging 60 pixels left carries the curve along: the range moves right
        const double d = pans ? 60.0 * 200 / (in.x1 - in.x0) : 0.0;
        QVERIFY2(std::fabs(v->xMin - (8900 + d)) < 1e-6, qPrintable(QString::number(v->xMin)));
        QVERIFY(std::fabs(v->xMax - (9100 + d)) < 1e-6);
        QCOMPARE(v->defaultXMin, 8900.0);
        QCOMPARE(v->defaultXMax, 9100.0);
        // after the release a move pans no more
        if (b != Qt::NoButton)
            sendMouse(v->Xafs, QEvent::MouseButtonRelease, to, b, Qt::NoButton, Qt::NoModifier);
        const double keep = v->xMin;
        sendMouse(v->Xafs, QEvent::MouseMove, to - QPoint(50, 0), Qt::NoButton, Qt::NoButton,
                  Qt::NoModifier);
        QCOMPARE(v->xMin, keep);
    }

    void saveData_data()
    {
        QTest::addColumn<int>("extras");
        QTest::addColumn<double>("eOffset");
        QTest::newRow("no further spectra") << 0 << 0.0;
        QTest::newRow("one further, offset 5") << 1 << 5.0;
        QTest::newRow("three further, offset -2.5") << 3 << -2.5;
    }
    void saveData()
    {
        QFETCH(int, extras);
        QFETCH(double, eOffset);
        QTemporaryDir tmp;
        QVERIFY(tmp.isValid());
        XafsView v;
        XafsSpectrum s = cuEdge(0, 1.0);
        s.eOffset = eOffset;
        v.setXafsSpectrum(s);
        QList<XafsSpectrum> others;
        for (int i = 0; i < extras; ++i)
            others.append(cuEdge(10.0 * (i + 1), 0.5));
        for (XafsSpectrum& o : others)
            v.addSpectrum(&o);
        v.currentPosition(120, 45, 2, 2);
        QStringList order;
        connect(&v, &XafsView::savedXafsData, this, [&](QString f) { order << "data " + f; });
        connect(&v, &XafsView::saveScreenAs, this, [&](QString f) { order << "screen " + f; });

        v.saveData(tmp.path() + "/run1.dat");

        const QString stem = tmp.path() + "/run1-120-45-2x2";
        QCOMPARE(order, QStringList({"data " + stem + "-T.dat", "screen " + stem + ".dat"}));
        QStringList want{"run1-120-45-2x2-T.dat", "run1-120-45-2x2-std.dat"};
        for (int i = 0; i < extras; ++i)
            want << QStringLiteral("run1-120-45-2x2-other%1.dat").arg(i);
        QStringList got = QDir(tmp.path()).entryList(QDir::Files);
        want.sort();
        got.sort();
        QCOMPARE(got, want);

        // the shown spectrum without its energy offset, the others as they are
        const QStringList t = fileLines(stem + "-T.dat");
        QCOMPARE(t.value(0), QStringLiteral("###Corvelline::XafsSpectrum"));
        QCOMPARE(firstDataX(t), 8700.0 - eOffset);
        QCOMPARE(int(t.size()), 7 + s.size());
        QByteArray block;
        s.write(&block, true);
        QCOMPARE(fileBytes(stem + "-T.dat"), block);
        const QStringList st = fileLines(stem + "-std.dat");
        QCOMPARE(st.size(), 7); // header only
        for (int i = 0; i < extras; ++i) {
            const QStringList o = fileLines(stem + QStringLiteral("-other%1.dat").arg(i));
            QCOMPARE(int(o.size()), 7 + others[i].size());
            QCOMPARE(firstDataX(o), 8700.0);
        }
    }

    void saveDataUnwritable()
    {
        QTemporaryDir tmp;
        XafsView v;
        v.setXafsSpectrum(cuEdge(0, 1.0));
        QSignalSpy saved(&v, &XafsView::savedXafsData);
        QSignalSpy screen(&v, &XafsView::saveScreenAs);
        QTest::ignoreMessage(QtDebugMsg, QRegularExpression("^Can't open .*-T\\.dat$"));
        QTest::ignoreMessage(QtDebugMsg, QRegularExpression("^Can't open .*-std\\.dat$"));
        QTest::ignoreMessage(QtDebugMsg, QRegularExpression("^xafs view : save data"));
        v.saveData(tmp.path() + "/missing/run1.dat");
        QCOMPARE(saved.count(), 0);
        QCOMPARE(screen.count(), 1);
        QCOMPARE(screen.at(0).at(0).toString(), tmp.path() + "/missing/run1-0-0-0x0.dat");
    }

    void toStarsBytes_data()
    {
        QTest::addColumn<double>("eOffset");
        QTest::addColumn<bool>("useXOffset");
        QTest::newRow("plain") << 0.0 << false;
        QTest::newRow("energy offset kept") << 7.5 << false;
        QTest::newRow("x offset on") << -3.0 << true;
    }
    void toStarsBytes()
    {
        QFETCH(double, eOffset);
        QFETCH(bool, useXOffset);
        XafsView v;
        XafsSpectrum s = cuEdge(0, 1.0);
        s.eOffset = eOffset;
        s.useXOffset = useXOffset;
        s.xOffset = 2.0;
        v.setXafsSpectrum(s);
        QSignalSpy sent(&v, &XafsView::sendXafsDataToStars);
        v.toStars_->click(); // hidden, yet wired
        QCOMPARE(sent.count(), 1);
        const QByteArray data = sent.at(0).at(0).toByteArray();
        QByteArray want;
        s.write(&want, false);
        QCOMPARE(data, want);
        const QStringList lines = QString::fromUtf8(data).split(u'\n', Qt::SkipEmptyParts);
        QCOMPARE(firstDataX(lines), useXOffset ? 8698.0 : 8700.0);
    }

    void markers_data()
    {
        QTest::addColumn<bool>("normalized");
        QTest::addColumn<bool>("ecorr");
        QTest::newRow("measured") << false << false;
        QTest::newRow("measured, energy corrected") << false << true;
        QTest::newRow("normalised, energy corrected") << true << true;
    }
    void markers()
    {
        QFETCH(bool, normalized);
        QFETCH(bool, ecorr);
        auto v = shownView();
        v->setNormalize(normalized);
        v->setEnergyCorrection(ecorr);
        // energies clear of the 20 eV grid by a few pixels
        XafsSpectrum s = plainSpectrum(ramp(8900, 9100, 0, 1));
        s.doubleNormalized = spectrumOf(ramp(8900, 9100, 0, 1));
        s.e0 = 8987.7;
        s.eOffset = 30; // moves the curve only
        v->setXafsSpectrum(s);
        v->frameEnergy = 9051.1;
        ElemCtrl a, b, c;
        a.Eng->setText("9033.3");
        a.Name->setText("Zn");
        b.Eng->setText("8947.1");
        b.Name->setText("Cu");
        c.Eng->setText("n/a"); // marked at 0, off the plot
        QList<ElemCtrl*> rows{&a, &b, &c};
        v->elemRows = &rows;
        v->spectrum.dMut = 0.0123;
        v->spectrum.e0 = 8979.37;
        v->spectrum.midxNoisy = true;
        v->spectrum.midxOutOfRange = true;
        QImage img = render(*v);
        QCOMPARE(v->ExtMsg->text(), QStringLiteral("dMut =  1.230e-02, Edge 8,979.37 [eV] : "
                                                   "Out of Range midx Noizy to decide midx"));
        v->spectrum = s;
        img = render(*v);
        const Inner in = innerOf(v->Xafs);
        const int h = in.y0 - in.y1;

        const int cf = columnOf(9051.1, 8900, 9100, in);
        QVERIFY(countInColumn(img, cf, frameGreen, in) > h * 3 / 4);
        QCOMPARE(countInColumn(img, cf - 3, frameGreen, in) + countInColumn(img, cf + 3, frameGreen, in), 0);
        for (double e : {9033.3, 8947.1}) {
            const int ce = columnOf(e, 8900, 9100, in);
            QVERIFY2(countInColumn(img, ce, red, in) > h * 3 / 4, qPrintable(QString::number(e)));
            QCOMPARE(countInColumn(img, ce - 3, red, in) + countInColumn(img, ce + 3, red, in), 0);
        }
        // the edge marker is two pixels wide, unshifted by the energy offset
        const int cm = columnOf(8987.7, 8900, 9100, in);
        QVERIFY(countInColumn(img, cm - 1, red, in) + countInColumn(img, cm, red, in) > h * 3 / 2);
        QCOMPARE(countInColumn(img, cm - 4, red, in) + countInColumn(img, cm + 4, red, in), 0);
        // nothing red left of the plot's first marker but the unnamed row's, which is off the plot
        QCOMPARE(countInRect(img, QRect(in.x0 + 2, in.y1, columnOf(8940, 8900, 9100, in) - in.x0, h), red), 0);

        // the curve ends at 9100 eV, or 30 eV left of it when corrected
        QVERIFY(countNearColumn(img, columnOf(9065, 8900, 9100, in), black, in) > 0);
        QCOMPARE(countNearColumn(img, columnOf(9085, 8900, 9100, in), black, in) > 0, !ecorr);
    }

    void segmentGap_data()
    {
        QTest::addColumn<bool>("normalized");
        QTest::addColumn<double>("gap");
        QTest::addColumn<bool>("joined");
        for (bool n : {false, true}) {
            const char* mode = n ? "normalised" : "measured";
            QTest::addRow("%s, 50.0 eV joined", mode) << n << 50.0 << true;
            QTest::addRow("%s, 50.01 eV broken", mode) << n << 50.01 << false;
            QTest::addRow("%s, 10 eV joined", mode) << n << 10.0 << true;
            QTest::addRow("%s, 120 eV broken", mode) << n << 120.0 << false;
        }
    }
    void segmentGap()
    {
        QFETCH(bool, normalized);
        QFETCH(double, gap);
        QFETCH(bool, joined);
        auto v = shownView();
        v->setNormalize(normalized);
        // a joined piece before the probed gap and one after it
        const Points pts{{1000, 0}, {1005, 0.2}, {1005 + gap, 0.8}, {1010 + gap, 1}};
        XafsSpectrum s = plainSpectrum(pts);
        s.doubleNormalized = spectrumOf(pts);
        s.e0 = -1e6;
        v->setXafsSpectrum(s);
        const QImage img = render(*v);
        const Inner in = innerOf(v->Xafs);
        const double lo = 1000, hi = 1010 + gap;
        QVERIFY(countNearColumn(img, columnOf(1002.5, lo, hi, in), black, in) > 0);
        QVERIFY(countNearColumn(img, columnOf(1007.5 + gap, lo, hi, in), black, in) > 0);
        const int mid = columnOf(1005 + gap / 2, lo, hi, in);
        QCOMPARE(countNearColumn(img, mid, black, in) > 0, joined);
    }

    void rawAndFourier_data()
    {
        QTest::addColumn<QList<int>>("sizes"); // raw point counts drawn one after another
        QTest::addColumn<bool>("fourierDrawn");
        QTest::newRow("0 points") << QList<int>{0} << false;
        QTest::newRow("9 points") << QList<int>{9} << false;
        QTest::newRow("10 points, one term") << QList<int>{10} << false;
        QTest::newRow("30 points") << QList<int>{30} << true;
        QTest::newRow("30 after 40") << QList<int>{40, 30} << true;
        QTest::newRow("9 after 30") << QList<int>{30, 9} << false;
        QTest::newRow("0 after 40, then 35") << QList<int>{40, 0, 35} << true;
    }
    void rawAndFourier()
    {
        QFETCH(QList<int>, sizes);
        QFETCH(bool, fourierDrawn);
        auto v = shownView();
        v->setXafsSpectrum(plainSpectrum({{8900, 0}, {9100, 1}}));
        v->frameEnergy = 9051.1;
        v->ShowRaw->setChecked(true);
        const Inner in = innerOf(v->Xafs);
        const QRect area(in.x0, in.y1, in.x1 - in.x0, in.y0 - in.y1);
        int lastSized = 0;
        for (int n : sizes) {
            // I1 falling across the range with a ripple of one period over the record
            Spectrum raw;
            for (int k = 0; k < n; ++k)
                raw.append(8900 + k * 200.0 / std::max(1, n - 1),
                           1000 - 10.0 * k + 40 * std::sin(2 * M_PI * k / std::max(1, n)));
            v->setRawSpectrum(raw);
            v->ShowFFT->setChecked(false);
            const QImage rawImg = render(*v);
            QCOMPARE(countInRect(rawImg, area, rawRed) > 0, n >= 2);
            // the raw view still marks the frame energy on its energy axis
            QVERIFY(countInColumn(rawImg, columnOf(9051.1, 8900, 9100, in), frameGreen, in) > 0);
            v->ShowFFT->setChecked(true);
            const QImage img = render(*v);
            if (n >= 10)
                lastSized = n;
            QCOMPARE(v->fft.size(), lastSized);
            QCOMPARE(countInRect(img, area, frameGreen), 0);
        }
        const QImage img = render(*v);
        QCOMPARE(countInRect(img, area, fftGreen) > 0, fourierDrawn);
        QCOMPARE(v->ExtMsg->text(), QStringLiteral("dMut =  0.000e+00, Edge 0 [eV] :  "));
        if (sizes.last() >= 30 && sizes.last() < 40) {
            // three terms across the axis, the middle one alone sets the y range
            const int cx = in.x0 + (in.x1 - in.x0) / 2;
            const int cy = in.y0 + (in.y1 - in.y0) / 2;
            QVERIFY(countInRect(img, QRect(cx - 1, cy - 1, 3, 3), fftGreen) > 0);
        }
    }

    void fewUlpsRange_data()
    {
        QTest::addColumn<bool>("normalized");
        QTest::newRow("measured") << false;
        QTest::newRow("normalised") << true;
    }
    void fewUlpsRange()
    {
        QFETCH(bool, normalized);
        auto v = shownView();
        v->setNormalize(normalized);
        const double a = 1.0;
        const double b = std::nextafter(a, 2.0);
        const double c = std::nextafter(b, 2.0);
        Points pts;
        for (int k = 0; k <= 8; ++k)
            pts.append({8900 + 25.0 * k, k % 3 == 0 ? a : k % 3 == 1 ? b : c});
        XafsSpectrum s = plainSpectrum(pts);
        s.doubleNormalized = spectrumOf(pts);
        v->setXafsSpectrum(s);
        const QImage img = render(*v);
        const Inner in = innerOf(v->Xafs);
        // drawn as a flat line across the middle of the plot
        const int cy = in.y0 + (in.y1 - in.y0) / 2;
        for (double e : {8930.0, 9050.0}) {
            const int x = columnOf(e, 8900, 9100, in);
            QVERIFY(countInRect(img, QRect(x, cy - 2, 1, 5), black) > 0);
            QCOMPARE(countInColumn(img, x, black, in), countInRect(img, QRect(x, cy - 2, 1, 5), black));
        }
    }

    void fourModesShots_data()
    {
        QTest::addColumn<QString>("mode");
        QTest::newRow("normalised") << "normalized";
        QTest::newRow("measured") << "measured";
        QTest::newRow("raw") << "raw";
        QTest::newRow("fft") << "fft";
    }
    void fourModesShots()
    {
        QFETCH(QString, mode);
        auto v = shownView();
        XafsSpectrum shown = cuEdge(0, 1.0);
        XafsSpectrum result = cuEdge(4, 0.8);
        XafsSpectrum ref = cuEdge(-6, 1.2);
        v->addSpectrum(&result);
        v->pens.append(QPen(QColor(255, 128, 192), 2));
        v->addSpectrum(&ref);
        ElemCtrl zn;
        zn.Eng->setText("9200");
        zn.Name->setText("Zn?");
        QList<ElemCtrl*> rows{&zn};
        v->elemRows = &rows;
        v->setXafsSpectrum(shown);
        v->frameEnergy = 9100;
        Spectrum raw;
        for (int k = 0; k < shown.size(); ++k)
            raw.append(shown.x(k), 2e5 * std::exp(-shown.y(k)) * (1 + 0.02 * std::sin(k * 0.9)));
        v->setRawSpectrum(raw);
        v->setNormalize(mode == "normalized");
        v->ShowRaw->setChecked(mode == "raw" || mode == "fft");
        v->ShowFFT->setChecked(mode == "fft");
        QVERIFY(v->grab().save(testreg::shotsDir() + "/xafsview-" + mode + ".png"));
        const QImage img = render(*v);
        const Inner in = innerOf(v->Xafs);
        const QRect area(in.x0, in.y1, in.x1 - in.x0, in.y0 - in.y1);
        const QRgb curve = mode == "raw" ? rawRed : mode == "fft" ? fftGreen : black;
        QVERIFY(countInRect(img, area, curve) > 50);
        if (mode == "normalized" || mode == "measured")
            QVERIFY(countInRect(img, area, qRgb(255, 128, 192)) > 50);
        QVERIFY(v->ExtMsg->text().contains(QRegularExpression(" Edge 8,9[78]\\d")));
    }
};

CORVELLINE_TEST(TestXafsView)
#include "tst_xafsview.moc"
