#include "support/TestRegistry.h"

#include "display/XafsPlot.h"

#include <QTest>
#include <cmath>

namespace {
bool near(double a, double b) { return std::fabs(a - b) <= 1e-9 * std::max(1.0, std::fabs(b)); }
} // namespace

class TestXafsPlot : public QObject {
    Q_OBJECT
private slots:
    // op 0: usableRange(lo, hi); op 1: zoomAbout(c, f, lo, hi) over 0..10 unless given
    void ranges_data()
    {
        QTest::addColumn<int>("op");
        QTest::addColumn<double>("c");
        QTest::addColumn<double>("f");
        QTest::addColumn<double>("lo");
        QTest::addColumn<double>("hi");
        QTest::addColumn<double>("wantLo");
        QTest::addColumn<double>("wantHi");
        const double nan = std::nan(""), inf = HUGE_VAL, in = 1.0 / 1.1;
        QTest::newRow("empty curve's sentinels") << 0 << 0.0 << 0.0 << 1e300 << -1e300 << 0.0 << 1.0;
        // a lone finite end stands for a constant
        QTest::newRow("infinite high end") << 0 << 0.0 << 0.0 << 5.0 << inf << 4.75 << 5.25;
        QTest::newRow("constant edge energy") << 0 << 0.0 << 0.0 << 8979.0 << 8979.0 << 8530.05 << 9427.95;
        QTest::newRow("zoom in about the middle") << 1 << 5.0 << in << 0.0 << 10.0 << 5 - 5 / 1.1 << 5 + 5 / 1.1;
        QTest::newRow("zoom would overflow") << 1 << 0.0 << 1.1 << -1.7e308 << 1.7e308 << -1.7e308 << 1.7e308;
        QTest::newRow("zoom, NaN pointer") << 1 << nan << in << 1.0 << 2.0 << 1.0 << 2.0;
    }
    void ranges()
    {
        QFETCH(int, op);
        QFETCH(double, c);
        QFETCH(double, f);
        QFETCH(double, lo);
        QFETCH(double, hi);
        QFETCH(double, wantLo);
        QFETCH(double, wantHi);
        if (op == 0)
            XafsPlot::usableRange(lo, hi);
        else
            XafsPlot::zoomAbout(c, f, lo, hi);
        QVERIFY2(near(lo, wantLo) && near(hi, wantHi),
                 qPrintable(QStringLiteral("%1 %2").arg(lo, 0, 'g', 17).arg(hi, 0, 'g', 17)));
    }

    void annotation_data()
    {
        QTest::addColumn<double>("dMut");
        QTest::addColumn<double>("midx");
        QTest::addColumn<bool>("out");
        QTest::addColumn<bool>("noisy");
        QTest::addColumn<QString>("text");
        QTest::newRow("Cu edge") << 0.0123 << 8979.37 << false << false
                                 << "dMut =  1.230e-02, Edge 8,979.37 [eV] :  ";
        QTest::newRow("out of range") << 0.0123 << 8979.37 << true << false
                                      << "dMut =  1.230e-02, Edge 8,979.37 [eV] : Out of Range midx ";
        QTest::newRow("noisy") << 0.0123 << 8979.37 << false << true
                               << "dMut =  1.230e-02, Edge 8,979.37 [eV] :  Noizy to decide midx";
    }
    void annotation()
    {
        QFETCH(double, dMut);
        QFETCH(double, midx);
        QFETCH(bool, out);
        QFETCH(bool, noisy);
        QFETCH(QString, text);
        QCOMPARE(XafsPlot::annotation(dMut, midx, out, noisy), text);
    }
};

CORVELLINE_TEST(TestXafsPlot)
#include "tst_xafsplot.moc"
