#include "support/TestRegistry.h"

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

// The view-window arithmetic, without widgets.
class TestViewWin : public QObject {
    Q_OBJECT
private slots:
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
        QTest::newRow("NaN factor") << QRectF(0, 0, 10, 10) << std::nan("") << 200.0;
        QTest::newRow("overflows") << QRectF(0, 0, big, big) << 1.1 << 200.0;
        QTest::newRow("zero-size widget") << QRectF(0, 0, 10, 10) << 1.1 << 0.0;
    }
    void zoomRefusesBrokenWindows()
    {
        QFETCH(QRectF, view);
        QFETCH(double, f);
        QFETCH(double, W);
        QCOMPARE(ViewWin::zoomedAbout(view, W, W, W / 2, W / 2, f, true), view);
    }
};

CORVELLINE_TEST(TestViewWin)
#include "tst_viewwin.moc"
