#include "support/TestRegistry.h"

#include "display/AreaSel.h"
#include "display/ViewWin.h"

#include <QTest>

#include <cmath>
#include <limits>

namespace {

bool near(double a, double b) { return std::abs(a - b) <= 1e-9 * std::max(1.0, std::abs(b)); }

bool sameRect(const QRectF& a, const QRectF& b)
{
    return near(a.x(), b.x()) && near(a.y(), b.y()) && near(a.width(), b.width())
        && near(a.height(), b.height());
}

QString show(const QRectF& r)
{
    return QStringLiteral("(%1, %2, %3, %4)").arg(r.x(), 0, 'g', 12).arg(r.y(), 0, 'g', 12)
        .arg(r.width(), 0, 'g', 12).arg(r.height(), 0, 'g', 12);
}

} // namespace

// The view-window arithmetic and the area state machine, without widgets.
class TestViewWin : public QObject {
    Q_OBJECT
private slots:
    void fitted_data()
    {
        QTest::addColumn<int>("iw");
        QTest::addColumn<int>("ih");
        QTest::addColumn<double>("W");
        QTest::addColumn<double>("H");
        QTest::addColumn<bool>("fill");
        QTest::addColumn<QRectF>("view");
        QTest::newRow("tall image, whole") << 50 << 100 << 400.0 << 400.0 << false << QRectF(-25, 0, 100, 100);
        QTest::newRow("tall image, filled") << 50 << 100 << 400.0 << 400.0 << true << QRectF(0, 25, 50, 50);
        QTest::newRow("square image, wide widget") << 100 << 100 << 400.0 << 200.0 << false
                                                   << QRectF(-50, 0, 200, 100);
        QTest::newRow("zero-size widget") << 100 << 50 << 0.0 << 0.0 << false << QRectF(0, 0, 100, 50);
        QTest::newRow("NaN widget") << 100 << 50 << std::nan("") << 10.0 << true << QRectF(0, 0, 100, 50);
    }
    void fitted()
    {
        QFETCH(int, iw);
        QFETCH(int, ih);
        QFETCH(double, W);
        QFETCH(double, H);
        QFETCH(bool, fill);
        QFETCH(QRectF, view);
        const QRectF v = ViewWin::fitted(iw, ih, W, H, fill);
        QVERIFY2(sameRect(v, view), qPrintable(show(v)));
    }

    void zoom_data()
    {
        QTest::addColumn<QRectF>("view");
        QTest::addColumn<QPointF>("cursor");
        QTest::addColumn<double>("f");
        QTest::addColumn<bool>("bands");
        QTest::addColumn<QRectF>("zoomed");
        const double in = 1 / 1.1;
        const double w = 100 / 1.1;
        const double o = 50 - w / 2;
        const QRectF v(0, 0, 100, 100);
        // 200 x 200 widget; edge bands 20 pixels wide zoom one axis only
        QTest::newRow("centre, forward") << v << QPointF(100, 100) << in << true << QRectF(o, o, w, w);
        QTest::newRow("right band: height only") << v << QPointF(190, 100) << in << true << QRectF(0, o, 100, w);
        QTest::newRow("top band: width only") << v << QPointF(100, 10) << in << true << QRectF(o, 0, w, 100);
        QTest::newRow("band edge counts inside") << v << QPointF(20, 100) << in << true
                                                 << QRectF(10 - 0.1 * w, o, w, w);
        QTest::newRow("off centre, back") << v << QPointF(50, 150) << 1.1 << true << QRectF(-2.5, -7.5, 110, 110);
        QTest::newRow("no bands: left edge zooms both") << v << QPointF(10, 100) << in << false
                                                        << QRectF(5 - 0.05 * w, o, w, w);
    }
    void zoom()
    {
        QFETCH(QRectF, view);
        QFETCH(QPointF, cursor);
        QFETCH(double, f);
        QFETCH(bool, bands);
        QFETCH(QRectF, zoomed);
        const QRectF z = ViewWin::zoomedAbout(view, 200, 200, cursor.x(), cursor.y(), f, bands);
        QVERIFY2(sameRect(z, zoomed), qPrintable(show(z)));
    }

    void zoomRefusesBrokenWindows_data()
    {
        QTest::addColumn<QRectF>("view");
        QTest::addColumn<double>("f");
        QTest::addColumn<double>("W");
        const double big = std::numeric_limits<double>::max();
        QTest::newRow("no view yet") << QRectF() << 1.1 << 200.0;
        QTest::newRow("NaN factor") << QRectF(0, 0, 10, 10) << std::nan("") << 200.0;
        QTest::newRow("overflows") << QRectF(0, 0, big, big) << 1.1 << 200.0;
        QTest::newRow("underflows") << QRectF(0, 0, 5e-324, 5e-324) << 1 / 1.1 << 200.0;
        QTest::newRow("zero-size widget") << QRectF(0, 0, 10, 10) << 1.1 << 0.0;
    }
    void zoomRefusesBrokenWindows()
    {
        QFETCH(QRectF, view);
        QFETCH(double, f);
        QFETCH(double, W);
        QCOMPARE(ViewWin::zoomedAbout(view, W, W, W / 2, W / 2, f, true), view);
    }

    void visibleRect_data()
    {
        QTest::addColumn<QRectF>("view");
        QTest::addColumn<QSize>("image");
        QTest::addColumn<QRect>("rect");
        // start truncated, end rounded up: x 10 .. ceil(31.2), y 3 .. ceil(14.1)
        QTest::newRow("fractions: every pixel partly in view") << QRectF(10.7, 3.2, 20.5, 10.9) << QSize(100, 50)
                                                               << QRect(10, 3, 22, 12);
        QTest::newRow("negative origin toward zero") << QRectF(-2.5, -0.5, 5, 5) << QSize(10, 10)
                                                     << QRect(-2, 0, 5, 5);
        // the demo's default view: x 4.64 .. 91.36 keeps columns 4 .. 91
        QTest::newRow("demo view") << QRectF(4.64, 0, 86.72, 64) << QSize(96, 64) << QRect(4, 0, 88, 64);
        // a 40 x 30 map filling the widget: y 0.24 .. 29.76 keeps rows 0 .. 29
        QTest::newRow("map filling the widget") << QRectF(0, 0.24, 40, 29.52) << QSize(40, 30)
                                                << QRect(0, 0, 40, 30);
        // no blank row or column, also with rounding dust in the far edge
        QTest::newRow("exactly the image") << QRectF(0, 0, 40, 30) << QSize(40, 30) << QRect(0, 0, 40, 30);
        // -2.02 + 32.02 is 30.000000000000004
        QTest::newRow("ends on the edge, summed") << QRectF(0, -2.02, 40, 32.02) << QSize(40, 30)
                                                  << QRect(0, -2, 40, 32);
        QTest::newRow("zoomed far out: one image of padding") << QRectF(-1e9, -1e9, 2e9, 2e9) << QSize(100, 50)
                                                              << QRect(-100, -50, 300, 150);
        QTest::newRow("NaN window") << QRectF(std::nan(""), 0, 10, 10) << QSize(100, 50) << QRect();
        QTest::newRow("no image") << QRectF(0, 0, 10, 10) << QSize() << QRect();
    }
    void visibleRect()
    {
        QFETCH(QRectF, view);
        QFETCH(QSize, image);
        QFETCH(QRect, rect);
        QCOMPARE(ViewWin::visibleRect(view, image), rect);
    }

    // Scripted press/drag/release; "p0 10 20" presses with code 0 at image
    // point (10, 20), "d0 30 25" drags, "r0" releases, "R" recalls the old area.
    void areaStates_data()
    {
        QTest::addColumn<QRectF>("start");
        QTest::addColumn<bool>("startValid");
        QTest::addColumn<QString>("script");
        QTest::addColumn<QRectF>("area");
        QTest::addColumn<bool>("valid");
        QTest::addColumn<int>("outcome");
        QTest::addColumn<int>("cleared");
        const QRectF none;
        const QRectF old(1, 2, 3, 4);
        const int nothing = AreaSel::Nothing;
        QTest::newRow("backwards drag is normalised") << none << false << "p0 30 25; d0 10 20; r0"
                                                      << QRectF(10, 20, 20, 5) << true << int(AreaSel::Selected) << 0;
        QTest::newRow("same column selects nothing") << none << false << "p0 10 20; d0 10 40; r0"
                                                     << QRectF(10, 20, 0, 20) << false << nothing << 0;
        QTest::newRow("click then recall") << old << true << "p0 50 50; r0; R" << old << true << nothing << 0;
        QTest::newRow("Ctrl drag asks for a zoom") << none << false << "p2 40 10; d2 20 30; r2"
                                                   << QRectF(20, 10, 20, 20) << true
                                                   << int(AreaSel::SelectedZoom) << 0;
        QTest::newRow("Ctrl drag without height") << none << false << "p2 40 10; d2 50 10; r2"
                                                  << QRectF(40, 10, 10, 0) << false << nothing << 0;
        QTest::newRow("right click mid-drag ends it") << none << false << "p0 10 10; d0 20 20; p8 0 0; r0"
                                                      << QRectF(0, 0, 0, 0) << false << nothing << 1;
        QTest::newRow("Shift drag leaves the area") << old << true << "p1 50 50; d1 60 60; r1" << old << true
                                                    << nothing << 0;
        QTest::newRow("release without a drag") << old << true << "r0" << old << true << nothing << 0;
    }
    void areaStates()
    {
        QFETCH(QRectF, start);
        QFETCH(bool, startValid);
        QFETCH(QString, script);
        QFETCH(QRectF, area);
        QFETCH(bool, valid);
        QFETCH(int, outcome);
        QFETCH(int, cleared);
        AreaSel s;
        s.area = start;
        s.valid = startValid;
        int last = AreaSel::Nothing;
        int clears = 0;
        for (const QString& step : script.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
            const QStringList w = step.simplified().split(QLatin1Char(' '));
            const QChar kind = w[0][0];
            const int code = w[0].mid(1).toInt();
            const QPointF p = w.size() > 2 ? QPointF(w[1].toDouble(), w[2].toDouble()) : QPointF();
            if (kind == QLatin1Char('p'))
                clears += s.press(code, p) ? 1 : 0;
            else if (kind == QLatin1Char('d'))
                s.drag(code, p);
            else if (kind == QLatin1Char('r'))
                last = s.release(code);
            else
                s.recall();
        }
        QCOMPARE(s.area, area);
        QCOMPARE(s.valid, valid);
        QCOMPARE(last, outcome);
        QCOMPARE(clears, cleared);
        QVERIFY(!s.dragging);
    }
};

CORVELLINE_TEST(TestViewWin)
#include "tst_viewwin.moc"
