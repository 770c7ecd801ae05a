#include "support/EventSend.h"
#include "support/SpectrumPoints.h"
#include "support/TestRegistry.h"

#include "analysis/ElemCtrl.h"
#include "display/XafsView.h"

#include <QApplication>
#include <QFile>
#include <QLineEdit>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QWheelEvent>

#include <cmath>
#include <memory>

namespace {

// The plot area a canvas leaves inside its label margins:
// 10 % left, 5 % right, 10 % below, 5 % above, each cut to whole pixels.
struct Inner {
    int x0, x1, y0, y1;
    QRect area() const { return QRect(x0, y1, x1 - x0, y0 - y1); }
    int midY() const { return (y0 + y1) / 2; }
};
Inner innerOf(const QWidget* w)
{
    const int W = w->width(), H = w->height();
    return {int(W * 0.1), W - int(W * 0.05), H - int(H * 0.1), int(H * 0.05)};
}

int columnOf(double e, double lo, double hi, const Inner& in)
{
    return int(std::trunc(in.x0 + (e - lo) * (in.x1 - in.x0) / (hi - lo)));
}

XafsSpectrum plainSpectrum(const Points& pts)
{
    XafsSpectrum s;
    for (const QPointF& p : pts)
        s.append(p.x(), p.y());
    s.doubleNormalized = spectrumOf(pts);
    return s;
}

// A Cu K edge: a sloped pre-edge, an arctangent step at 8979 eV, a few wiggles after it.
XafsSpectrum cuEdge(double shift, double jump)
{
    Spectrum pts;
    for (double e = 8700; e <= 9500; e += 2) {
        const double x = e - shift;
        double mu = 0.3 - 0.0001 * (x - 8700) + jump * (0.5 + std::atan((x - 8979) / 3.0) / M_PI);
        if (x > 8990)
            mu += 0.05 * jump * std::sin((x - 8990) / 15.0) * std::exp(-(x - 8990) / 200.0);
        pts.append(e, mu);
    }
    SuggestElm sElm;
    sElm.use = true;
    return XafsSpectrum(pts, QStringLiteral("cu"), 1, 0.0, sElm);
}

void moveTo(XafsView& v, QPoint at, Qt::MouseButtons held = Qt::NoButton, Qt::KeyboardModifiers m = {})
{
    events::mouse(v.Xafs, QEvent::MouseMove, at, Qt::NoButton, held, m);
}

void sendWheel(QWidget* w, QPoint pos, int angle)
{
    QWheelEvent e(QPointF(pos), w->mapToGlobal(QPointF(pos)), QPoint(), QPoint(0, angle), Qt::NoButton,
                  Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(w, &e);
}

QImage render(XafsView& v) { return v.Xafs->grab().toImage().convertToFormat(QImage::Format_RGB32); }

int countInRect(const QImage& img, QRect r, QRgb c)
{
    int n = 0;
    r = r.intersected(img.rect());
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x)
            n += (img.pixel(x, y) & 0xffffff) == (c & 0xffffff);
    return n;
}

// width 3 about x, so that a grid line drawn over one column does not hide a curve
int countInColumn(const QImage& img, int x, QRgb c, const Inner& in, int width = 1)
{
    return countInRect(img, QRect(x - width / 2, in.y1, width, in.y0 - in.y1 + 1), c);
}

const QRgb black = qRgb(0, 0, 0);
const QRgb red = qRgb(255, 0, 0);
const QRgb frameGreen = qRgb(0, 224, 0);
const QRgb rawRed = qRgb(192, 0, 0);
const QRgb fftGreen = qRgb(0, 192, 0);

QByteArray fileBytes(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// data lines of a written spectrum and the energy of the first one
int dataLines(const QByteArray& text, double* firstX = nullptr)
{
    int n = 0;
    for (const QString& l : QString::fromUtf8(text).split(u'\n', Qt::SkipEmptyParts))
        if (!l.startsWith(u'#') && n++ == 0 && firstX)
            *firstX = l.split(u'\t').value(0).toDouble();
    return n;
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
        QTest::addColumn<double>("offset"); // 0: offset off
        QTest::addColumn<bool>("autoScale");
        QTest::addColumn<double>("stdE0");
        QTest::addColumn<QPointF>("range");    // xMin, xMax
        QTest::addColumn<QPointF>("defaults"); // defaultXMin, defaultXMax
        QTest::addColumn<double>("ret");
        const Points span{{8900, 0.1}, {8980, 0.6}, {9100, 1.2}};
        const QPointF full(8900, 9100);
        // e0 8979.37; the view starts zoomed to 100..200 with defaults 0..1
        QTest::newRow("span") << span << 0.0 << true << 0.0 << full << full << 8979.37;
        QTest::newRow("auto scale off keeps the zoom") << span << 0.0 << false << 0.0 << QPointF(100, 200)
                                                       << QPointF(0, 1) << 8979.37;
        QTest::newRow("one point is opened around it") << Points{{8979, 1}} << 0.0 << true << 0.0
                                                       << QPointF(8530.05, 9427.95) << QPointF(8530.05, 9427.95)
                                                       << 8979.37;
        QTest::newRow("less the standard's edge") << span << 0.0 << true << 8980.0 << full << full << -0.63;
    }
    void setSpectrumRanges()
    {
        QFETCH(Points, pts);
        QFETCH(double, offset);
        QFETCH(bool, autoScale);
        QFETCH(double, stdE0);
        QFETCH(QPointF, range);
        QFETCH(QPointF, defaults);
        QFETCH(double, ret);
        XafsView v;
        v.xMin = 100;
        v.xMax = 200;
        v.autoXScale = autoScale;
        v.standard.e0 = stdE0;
        XafsSpectrum s = plainSpectrum(pts);
        s.useXOffset = offset != 0;
        s.xOffset = offset;
        s.e0 = 8979.37;
        QSignalSpy updated(&v, &XafsView::updated);
        QVERIFY(std::fabs(v.setXafsSpectrum(s) - ret) < 1e-9);
        QCOMPARE(updated.count(), 1);
        QVERIFY(std::fabs(v.xMin - range.x()) < 1e-9 && std::fabs(v.xMax - range.y()) < 1e-9);
        QVERIFY(std::fabs(v.defaultXMin - defaults.x()) < 1e-9 && std::fabs(v.defaultXMax - defaults.y()) < 1e-9);
    }

    void wheelZoom_data()
    {
        QTest::addColumn<double>("frac"); // pointer position across the plot area
        QTest::addColumn<int>("angle");
        QTest::addColumn<double>("factor");
        QTest::newRow("forward, middle") << 0.5 << 120 << 1 / 1.1;
        QTest::newRow("backward, right end") << 1.0 << -120 << 1.1;
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
        const QPoint at(px, in.midY());
        moveTo(*v, at);
        const double c = 8900 + double(px - in.x0) * 200 / (in.x1 - in.x0);
        sendWheel(v->Xafs, at, angle);
        QVERIFY(std::fabs(v->xMin - (c + (8900 - c) * factor)) < 1e-6);
        QVERIFY(std::fabs(v->xMax - (c + (9100 - c) * factor)) < 1e-6);
        QCOMPARE(v->defaultXMin, 8900.0);
    }

    void positionReadout_data()
    {
        QTest::addColumn<bool>("normalized");
        QTest::addColumn<double>("energy");
        QTest::addColumn<int>("index");
        // points at 8900, 8950, 9000, 9100: midpoints 8925, 8975, 9050
        QTest::newRow("measured, first point") << false << 8910.0 << 0;
        QTest::newRow("normalised, second point") << true << 8960.0 << 1;
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
        // at the top of the plot area the read-out is the curve's maximum
        moveTo(*v, QPoint(columnOf(energy, 8900, 9100, in), in.y1));
        QCOMPARE(v->Position->text(), QString::number(index));
        QVERIFY(std::fabs(v->XVal->text().toDouble() - energy) <= 0.5);
        QCOMPARE(v->YVal->text(), normalized ? QStringLiteral("1.500") : QStringLiteral("2.000"));
    }

    void pan_data()
    {
        QTest::addColumn<int>("button");
        QTest::addColumn<int>("pressMods");
        QTest::addColumn<int>("moveMods");
        QTest::addColumn<bool>("pans");
        const int L = Qt::LeftButton;
        QTest::newRow("left") << L << 0 << 0 << true;
        QTest::newRow("left with Shift") << L << int(Qt::ShiftModifier) << 0 << false;
        QTest::newRow("left, moved with Alt") << L << 0 << int(Qt::AltModifier) << false;
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
        const QPoint from(in.x0 + 300, in.midY());
        const QPoint to = from - QPoint(60, 10);
        const Qt::MouseButton b = Qt::MouseButton(button);
        moveTo(*v, from);
        if (b != Qt::NoButton)
            events::mouse(v->Xafs, QEvent::MouseButtonPress, from, b, b, Qt::KeyboardModifiers(pressMods));
        moveTo(*v, to, b, Qt::KeyboardModifiers(moveMods));
        // dragging 60 pixels left carries the curve along: the range moves right
        const double d = pans ? 60.0 * 200 / (in.x1 - in.x0) : 0.0;
        QVERIFY2(std::fabs(v->xMin - (8900 + d)) < 1e-6, qPrintable(QString::number(v->xMin)));
        QVERIFY(std::fabs(v->xMax - (9100 + d)) < 1e-6);
        // after the release a move pans no more
        if (b != Qt::NoButton)
            events::mouse(v->Xafs, QEvent::MouseButtonRelease, to, b, Qt::NoButton);
        const double keep = v->xMin;
        moveTo(*v, to - QPoint(50, 0));
        QCOMPARE(v->xMin, keep);
    }

    void saveData_data()
    {
        QTest::addColumn<int>("extras");
        QTest::addColumn<double>("eOffset");
        QTest::newRow("no further spectra") << 0 << 0.0;
        QTest::newRow("three further, offset -2.5") << 3 << -2.5;
    }
    void saveData()
    {
        QFETCH(int, extras);
        QFETCH(double, eOffset);
        QTemporaryDir tmp;
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
        want.sort();
        QCOMPARE(QDir(tmp.path()).entryList(QDir::Files, QDir::Name), want);

        // the shown spectrum without its energy offset, the others as they are
        const QByteArray t = fileBytes(stem + "-T.dat");
        double x = 0;
        dataLines(t, &x);
        QCOMPARE(x, 8700.0 - eOffset);
        QByteArray block;
        s.write(&block, true);
        QCOMPARE(t, block);
        QCOMPARE(dataLines(fileBytes(stem + "-std.dat")), 0); // header only
        for (int i = 0; i < extras; ++i) {
            QCOMPARE(dataLines(fileBytes(stem + QStringLiteral("-other%1.dat").arg(i)), &x), others[i].size());
            QCOMPARE(x, 8700.0);
        }
    }

    void saveDataUnwritable()
    {
        QTemporaryDir tmp;
        XafsView v;
        v.setXafsSpectrum(cuEdge(0, 1.0));
        QSignalSpy saved(&v, &XafsView::savedXafsData);
        QSignalSpy screen(&v, &XafsView::saveScreenAs);
        QTest::ignoreMessage(QtDebugMsg, QRegularExpression("^Can't save .*-T\\.dat: No such file or directory$"));
        QTest::ignoreMessage(QtDebugMsg, QRegularExpression("^Can't save .*-std\\.dat: No such file or directory$"));
        QTest::ignoreMessage(QtDebugMsg, QRegularExpression("^xafs view : save data"));
        v.saveData(tmp.path() + "/missing/run1.dat");
        QCOMPARE(saved.count(), 0);
        QCOMPARE(screen.count(), 1);
        QCOMPARE(screen.at(0).at(0).toString(), tmp.path() + "/missing/run1-0-0-0x0.dat");
    }

    void toStarsBytes()
    {
        XafsView v;
        XafsSpectrum s = cuEdge(0, 1.0);
        s.eOffset = 7.5; // kept, unlike a saved file
        s.useXOffset = true;
        s.xOffset = 2.0;
        v.setXafsSpectrum(s);
        QSignalSpy sent(&v, &XafsView::sendXafsDataToStars);
        v.toStars_->click(); // hidden, yet wired
        QCOMPARE(sent.count(), 1);
        const QByteArray data = sent.at(0).at(0).toByteArray();
        QByteArray want;
        s.write(&want, false);
        QCOMPARE(data, want);
        double x = 0;
        dataLines(data, &x);
        QCOMPARE(x, 8698.0);
    }

    void markers()
    {
        auto v = shownView();
        v->setNormalize(true);
        v->setEnergyCorrection(true);
        // a ramp over 8900..9100 in 5 eV steps, energies clear of the 20 eV grid
        Points ramp;
        for (int k = 0; k <= 40; ++k)
            ramp.append({8900 + 5.0 * k, k / 40.0});
        XafsSpectrum s = plainSpectrum(ramp);
        s.e0 = 8987.7;
        s.eOffset = 30; // moves the curve and the edge, not the frame's and elements' markers
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
        render(*v);
        QCOMPARE(v->ExtMsg->text(), QStringLiteral("dMut =  1.230e-02, Edge 8,949.37 [eV] : "
                                                   "Out of Range midx Noizy to decide midx"));
        v->spectrum = s;
        const QImage img = render(*v);
        const Inner in = innerOf(v->Xafs);
        const int h = in.y0 - in.y1;
        auto lone = [&](double e, QRgb col) {
            const int x = columnOf(e, 8900, 9100, in);
            return countInColumn(img, x, col, in) > h * 3 / 4
                && countInColumn(img, x - 3, col, in) + countInColumn(img, x + 3, col, in) == 0;
        };
        QVERIFY(lone(9051.1, frameGreen));
        QVERIFY(lone(9033.3, red));
        QVERIFY(lone(8947.1, red));
        // the edge marker is two pixels wide, 30 eV left with the curve
        const int cm = columnOf(8957.7, 8900, 9100, in);
        QVERIFY(countInColumn(img, cm, red, in, 2) > h * 3 / 2);
        QCOMPARE(countInColumn(img, columnOf(8987.7, 8900, 9100, in), red, in, 2), 0);
        // corrected, the curve ends 30 eV left of 9100 eV
        QVERIFY(countInColumn(img, columnOf(9065, 8900, 9100, in), black, in, 3) > 0);
        QCOMPARE(countInColumn(img, columnOf(9085, 8900, 9100, in), black, in, 3), 0);
    }

    void segmentGap_data()
    {
        QTest::addColumn<double>("gap");
        QTest::addColumn<bool>("joined");
        QTest::newRow("50.0 eV joined") << 50.0 << true;
        QTest::newRow("50.01 eV broken") << 50.01 << false;
    }
    void segmentGap()
    {
        QFETCH(double, gap);
        QFETCH(bool, joined);
        auto v = shownView();
        v->setNormalize(true);
        // a joined stretch before the probed gap and one after it
        XafsSpectrum s = plainSpectrum({{1000, 0}, {1005, 0.2}, {1005 + gap, 0.8}, {1010 + gap, 1}});
        s.e0 = -1e6;
        v->setXafsSpectrum(s);
        const QImage img = render(*v);
        const Inner in = innerOf(v->Xafs);
        const double lo = 1000, hi = 1010 + gap;
        QVERIFY(countInColumn(img, columnOf(1002.5, lo, hi, in), black, in, 3) > 0);
        QVERIFY(countInColumn(img, columnOf(1007.5 + gap, lo, hi, in), black, in, 3) > 0);
        QCOMPARE(countInColumn(img, columnOf(1005 + gap / 2, lo, hi, in), black, in, 3) > 0, joined);
    }

    // A click on a box draws the plot again without waiting for the pointer.
    void boxClickRepaints_data()
    {
        QTest::addColumn<QString>("box");
        for (const char* name : {"ShowRaw", "ShowFFT", "Normalized", "ECorrect"})
            QTest::newRow(name) << name;
    }
    void boxClickRepaints()
    {
        QFETCH(QString, box);
        auto v = shownView();
        int draws = 0;
        connect(v->Xafs, &DispA::drawImage1, v.get(), [&draws] { draws++; });
        v->Xafs->repaint(); // nothing left pending from the show
        const int before = draws;
        QTest::mouseClick(v->findChild<QCheckBox*>(box), Qt::LeftButton);
        QTRY_VERIFY(draws > before);
    }

    void rawAndFourier_data()
    {
        QTest::addColumn<QList<int>>("sizes"); // raw point counts drawn one after another
        QTest::addColumn<bool>("fourierDrawn");
        QTest::newRow("0 points") << QList<int>{0} << false;
        QTest::newRow("9 points") << QList<int>{9} << false;
        QTest::newRow("10 points, one term") << QList<int>{10} << false;
        QTest::newRow("30 points") << QList<int>{30} << true;
        QTest::newRow("9 after 30") << QList<int>{30, 9} << false;
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
            QCOMPARE(countInRect(rawImg, in.area(), rawRed) > 0, n >= 2);
            // the raw view still marks the frame energy on its energy axis
            QVERIFY(countInColumn(rawImg, columnOf(9051.1, 8900, 9100, in), frameGreen, in) > 0);
            v->ShowFFT->setChecked(true);
            const QImage img = render(*v);
            if (n >= 10)
                lastSized = n;
            QCOMPARE(v->fft.size(), lastSized);
            QCOMPARE(countInRect(img, in.area(), frameGreen), 0);
        }
        const QImage img = render(*v);
        QCOMPARE(countInRect(img, in.area(), fftGreen) > 0, fourierDrawn);
        if (sizes.last() == 30) {
            // three terms across the axis, the middle one alone sets the y range
            const QPoint c = in.area().center();
            QVERIFY(countInRect(img, QRect(c.x() - 1, c.y() - 1, 3, 3), fftGreen) > 0);
        }
    }

    void fewUlpsRange()
    {
        auto v = shownView();
        const double a = 1.0, b = std::nextafter(a, 2.0), c = std::nextafter(b, 2.0);
        Points pts;
        for (int k = 0; k <= 8; ++k)
            pts.append({8900 + 25.0 * k, k % 3 == 0 ? a : k % 3 == 1 ? b : c});
        v->setXafsSpectrum(plainSpectrum(pts));
        const QImage img = render(*v);
        const Inner in = innerOf(v->Xafs);
        // drawn as a flat line across the middle of the plot
        for (double e : {8930.0, 9050.0}) {
            const int x = columnOf(e, 8900, 9100, in);
            const int mid = countInRect(img, QRect(x, in.midY() - 2, 1, 5), black);
            QVERIFY(mid > 0);
            QCOMPARE(countInColumn(img, x, black, in), mid);
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
        const QRgb curve = mode == "raw" ? rawRed : mode == "fft" ? fftGreen : black;
        QVERIFY(countInRect(img, in.area(), curve) > 50);
    }
};

CORVELLINE_TEST(TestXafsView)
#include "tst_xafsview.moc"
