#include "support/SpectrumPoints.h"
#include "support/TestRegistry.h"

#include "display/XafsPlot.h"

#include <QTest>
#include <cmath>

using DoubleList = QList<double>;
Q_DECLARE_METATYPE(DoubleList)

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
        const double one2 = std::nextafter(std::nextafter(1.0, 2.0), 2.0);
        QTest::newRow("1e-9 wide still ordinary") << 0 << 0.0 << 0.0 << 1.0 << 1.000000001 << 1.0 << 1.000000001;
        QTest::newRow("empty curve's sentinels") << 0 << 0.0 << 0.0 << 1e300 << -1e300 << 0.0 << 1.0;
        QTest::newRow("both NaN") << 0 << 0.0 << 0.0 << nan << nan << 0.0 << 1.0;
        QTest::newRow("span overflows") << 0 << 0.0 << 0.0 << -1e308 << 1e308 << 0.0 << 1.0;
        // a lone finite end stands for a constant
        QTest::newRow("infinite high end") << 0 << 0.0 << 0.0 << 5.0 << inf << 4.75 << 5.25;
        QTest::newRow("constant edge energy") << 0 << 0.0 << 0.0 << 8979.0 << 8979.0 << 8530.05 << 9427.95;
        QTest::newRow("constant zero") << 0 << 0.0 << 0.0 << 0.0 << 0.0 << -1.0 << 1.0;
        QTest::newRow("two ulps") << 0 << 0.0 << 0.0 << 1.0 << one2 << 0.95 << 1.05;
        QTest::newRow("zoom in about the middle") << 1 << 5.0 << in << 0.0 << 10.0 << 5 - 5 / 1.1 << 5 + 5 / 1.1;
        QTest::newRow("zoom, pointer right of the range")
            << 1 << 20.0 << in << 0.0 << 10.0 << 20 - 20 / 1.1 << 20 - 10 / 1.1;
        QTest::newRow("zoom out, edge region") << 1 << 8980.0 << 1.1 << 8900.0 << 9100.0 << 8892.0 << 9112.0;
        QTest::newRow("zoom would overflow") << 1 << 0.0 << 1.1 << -1.7e308 << 1.7e308 << -1.7e308 << 1.7e308;
        QTest::newRow("zoom, NaN pointer") << 1 << nan << in << 1.0 << 2.0 << 1.0 << 2.0;
        QTest::newRow("zoom, zero factor") << 1 << 5.0 << 0.0 << 1.0 << 2.0 << 1.0 << 2.0;
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

    void pointIndex_data()
    {
        QTest::addColumn<Points>("pts");
        QTest::addColumn<double>("offset"); // NaN: offset off
        QTest::addColumn<double>("x");
        QTest::addColumn<int>("index");
        const Points three{{10, 1}, {20, 2}, {40, 3}}; // midpoints 15 and 30
        const double off = std::nan("");
        QTest::newRow("just left of first midpoint") << three << off << 14.9 << 0;
        QTest::newRow("on first midpoint") << three << off << 15.0 << 1;
        QTest::newRow("right of everything") << three << off << 100.0 << 2;
        QTest::newRow("NaN pointer") << three << off << std::nan("") << 2;
        QTest::newRow("no points") << Points{} << off << 3.0 << 0;
        // the offset is added back: 12 in the plot is 17 in the data
        QTest::newRow("offset on") << three << 5.0 << 12.0 << 1;
        QTest::newRow("negative offset") << three << -5.0 << 19.0 << 0;
    }
    void pointIndex()
    {
        QFETCH(Points, pts);
        QFETCH(double, offset);
        QFETCH(double, x);
        QFETCH(int, index);
        Spectrum s = spectrumOf(pts);
        if (!std::isnan(offset)) {
            s.useXOffset = true;
            s.xOffset = offset;
        }
        QCOMPARE(XafsPlot::pointIndexAt(s, x), index);
    }

    void fftRange_data()
    {
        QTest::addColumn<DoubleList>("amp");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<double>("wantLo");
        QTest::addColumn<double>("wantHi");
        // entry 0 stands for the zero-frequency term, m - 1 is drawn but left out of the range
        QTest::newRow("9 points: nothing") << DoubleList(9, 1.0) << false << 0.0 << 1.0;
        QTest::newRow("0 points") << DoubleList() << false << 0.0 << 1.0;
        DoubleList a50(50, 500.0);
        a50[0] = 1000;
        a50[1] = 4;
        a50[2] = 9;
        a50[3] = 2;
        a50[4] = 50;
        QTest::newRow("50 points: terms 1..3") << a50 << true << 2.0 << 9.0;
        DoubleList a15(15, 500.0);
        a15[0] = 1000;
        QTest::newRow("15 points: the one drawn term") << a15 << true << 950.0 << 1050.0;
        DoubleList a40(40, 500.0);
        a40[0] = 1000;
        a40[1] = std::nan("");
        a40[2] = 6;
        QTest::newRow("40 points: NaN term skipped") << a40 << true << 5.7 << 6.3;
    }
    void fftRange()
    {
        QFETCH(DoubleList, amp);
        QFETCH(bool, ok);
        QFETCH(double, wantLo);
        QFETCH(double, wantHi);
        double lo = -5, hi = -5;
        QCOMPARE(XafsPlot::fftYRange(amp.constData(), int(amp.size()), lo, hi), ok);
        QVERIFY2(near(lo, wantLo) && near(hi, wantHi), qPrintable(QStringLiteral("%1 %2").arg(lo).arg(hi)));
    }

    void names_data()
    {
        QTest::addColumn<QString>("fname");
        QTest::addColumn<QList<int>>("tag");
        QTest::addColumn<QString>("base");
        QTest::addColumn<QString>("other0");
        QTest::newRow("other suffix becomes dat") << "/data/run1.txt" << QList<int>{0, 0, 0, 0}
                                                  << "/data/run1-0-0-0x0.txt" << "/data/run1-0-0-0x0-other0.dat";
        QTest::newRow("no suffix") << "/data/run1" << QList<int>{3, 4, 1, 0} << "/data/run1-3-4-1x0."
                                   << "/data/run1-3-4-1x0-other0.dat";
        QTest::newRow("dotted name") << "/data/Cu.foil.dat" << QList<int>{7, 8, 10, 20}
                                     << "/data/Cu.foil-7-8-10x20.dat" << "/data/Cu.foil-7-8-10x20-other0.dat";
        QTest::newRow("negative position") << "/data/s.dat" << QList<int>{-1, 2, 0, 0} << "/data/s--1-2-0x0.dat"
                                           << "/data/s--1-2-0x0-other0.dat";
    }
    void names()
    {
        QFETCH(QString, fname);
        QFETCH(QList<int>, tag);
        QFETCH(QString, base);
        QFETCH(QString, other0);
        const QString b = XafsPlot::saveBaseName(fname, tag[0], tag[1], tag[2], tag[3]);
        QCOMPARE(b, base);
        QCOMPARE(XafsPlot::savedSpectrumName(b, QStringLiteral("other0")), other0);
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
        QTest::newRow("negative jump, fresh spectrum") << -0.5 << 0.0 << false << false
                                                       << "dMut = -5.000e-01, Edge 0 [eV] :  ";
        QTest::newRow("low energy, rounded") << 2.0 << 712.04449 << false << false
                                             << "dMut =  2.000e+00, Edge 712.044 [eV] :  ";
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
