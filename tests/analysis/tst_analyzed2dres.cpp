#include "support/MapGrid.h"
#include "support/TestRegistry.h"

#include "analysis/Analyzed2DRes.h"
#include "display/ColorBar.h"
#include "foundation/Globals.h"

#include <QTest>

#include <cmath>
#include <limits>
#include <memory>

using testmaps::fill;
using testmaps::grid;

namespace {
const double kNaN = std::numeric_limits<double>::quiet_NaN();
const double kInf = std::numeric_limits<double>::infinity();

// The map's pixels as rows of characters: '.' for 0, '#' for anything else.
QString mask(const Analyzed2DRes& m)
{
    QStringList rows;
    for (int y = 0; y < m.cond.H; y++) {
        QString r;
        for (int x = 0; x < m.cond.W; x++)
            r += m.valueAt(x, y) == 0.0 ? '.' : '#';
        rows << r;
    }
    return rows.join('/');
}

struct Call {
    int ix, iy;
    double t;
};
} // namespace
Q_DECLARE_METATYPE(QList<Call>)

class TestAnalyzed2DRes : public QObject {
    Q_OBJECT
    testmaps::TestColorBar bar;

private slots:
    void initTestCase() { bar.install(); }
    void cleanupTestCase() { bar.remove(); }

    void extremes_data()
    {
        QTest::addColumn<QList<Call>>("calls");
        QTest::addColumn<double>("min");
        QTest::addColumn<double>("max");
        QTest::addColumn<QPoint>("minAt");
        QTest::addColumn<QPoint>("maxAt");
        QTest::newRow("first sets both") << QList<Call>{{3, 2, 5.0}} << 5.0 << 5.0 << QPoint(3, 2) << QPoint(3, 2);
        QTest::newRow("ties keep earlier") << QList<Call>{{1, 1, 2.0}, {2, 1, 7.0}, {3, 1, 2.0}, {4, 1, 7.0}}
                                           << 2.0 << 7.0 << QPoint(1, 1) << QPoint(2, 1);
        QTest::newRow("not finite ignored") << QList<Call>{{0, 0, 1.0}, {1, 0, kNaN}, {2, 0, kInf}, {3, 0, -kInf}}
                                            << 1.0 << 1.0 << QPoint(0, 0) << QPoint(0, 0);
    }
    void extremes()
    {
        QFETCH(QList<Call>, calls);
        Analyzed2DRes m("m");
        m.setCond(grid(5, 4, 0, 0, 0, 0, 5, 4));
        for (const Call& c : calls)
            m.setData(c.ix, c.iy, 0, 0, c.t);
        QTEST(m.min, "min");
        QTEST(m.max, "max");
        QTEST(QPoint(m.minX, m.minY), "minAt");
        QTEST(QPoint(m.maxX, m.maxY), "maxAt");
    }

    void pixels_data()
    {
        QTest::addColumn<int>("ix");
        QTest::addColumn<int>("iy");
        QTest::addColumn<int>("xw");
        QTest::addColumn<int>("yw");
        QTest::addColumn<QString>("mask");
        QTest::newRow("negative widths") << 2 << 1 << -1 << -1 << ".###./.###./.###./.....";
        QTest::newRow("clipped far corner") << 4 << 3 << 2 << 1 << "...../...../..###/..###";
        QTest::newRow("extreme widths") << 0 << 0 << INT_MIN << INT_MIN << "#####/#####/#####/#####";
    }
    void pixels()
    {
        QFETCH(int, ix);
        QFETCH(int, iy);
        QFETCH(int, xw);
        QFETCH(int, yw);
        Analyzed2DRes m("m");
        m.setCond(grid(5, 4, 0, 0, 0, 0, 5, 4));
        m.setData(ix, iy, xw, yw, 7.0);
        QTEST(mask(m), "mask");
    }

    void image_data()
    {
        QTest::addColumn<bool>("fixed");
        QTest::addColumn<double>("lo");
        QTest::addColumn<double>("hi");
        QTest::addColumn<QByteArray>("row");
        // Values 0..4; a grey level is trunc(t * 256) limited to 255.
        QTest::newRow("data range") << false << 0.0 << 0.0 << QByteArray("\x00\x40\x80\xc0\xff", 5);
        QTest::newRow("inverted fixed") << true << 4.0 << 0.0 << QByteArray("\xff\xc0\x80\x40\x00", 5);
        QTest::newRow("empty fixed") << true << 2.0 << 2.0 << QByteArray(5, '\0');
    }
    void image()
    {
        QFETCH(bool, fixed);
        QFETCH(double, lo);
        QFETCH(double, hi);
        QFETCH(QByteArray, row);
        Analyzed2DRes m("m");
        fill(m, grid(5, 2, 0, 0, 0, 0, 5, 2), [](int x, int) { return double(x); });
        m.scaleMin = lo;
        m.scaleMax = hi;
        m.fixedScale = fixed;
        m.genImg();
        QImage* im = m.img();
        QVERIFY(m.valid && im);
        QCOMPARE(im->bytesPerLine(), 8); // rows padded to 4 bytes
        QCOMPARE(im->constBits(), m.imageBuf.get());
        for (int y = 0; y < 2; y++)
            QCOMPARE(QByteArray(reinterpret_cast<const char*>(im->constScanLine(y)), 5), row);
    }

    void emptyImage()
    {
        Analyzed2DRes m("m");
        m.genImg();
        QVERIFY(m.valid);
        QVERIFY(m.img() == nullptr);
        QVERIFY(m.tiffDataForSave(false, 0, 1, false) == nullptr);
    }

    // Coloured by the scale it is given and keeps, whatever the colour bar says;
    // values 0, 1, 2 are at 0, 1/2 and 1 of the range.
    void ownColourScale()
    {
        Analyzed2DRes m("m");
        fill(m, grid(3, 1, 0, 0, 0, 0, 3, 1), [](int x, int) { return x; });
        mainColorBar = nullptr;
        auto row = [&m] { return QByteArray(reinterpret_cast<const char*>(m.img()->constScanLine(0)), 3); };
        m.genImg(ColorScale(QImage::Format_Grayscale8, 0.5, 1.0));
        QCOMPARE(row(), QByteArray("\x00\x00\xff", 3));
        m.setScale(0, 1); // rebuilt as the walk and the panel rebuild it
        QCOMPARE(row(), QByteArray("\x00\x00\xff", 3));
        m.recolor(ColorScale());
        QCOMPARE(row(), QByteArray("\x00\x80\xff", 3));
        mainColorBar = bar.bar.get();
    }

    void nanMap()
    {
        Analyzed2DRes m("m");
        fill(m, grid(4, 4, 0, 0, 0, 0, 4, 4), [](int x, int y) {
            return x == 1 ? kNaN : (y == 2 ? kInf : double(x + y));
        });
        QCOMPARE(m.min, 0.0);
        QCOMPARE(m.max, 6.0);
        m.genImg();
        QCOMPARE(int(m.img()->constScanLine(0)[1]), 0);
        QCOMPARE(int(m.img()->constScanLine(2)[0]), 0);
        QCOMPARE(int(m.img()->constScanLine(3)[3]), 255);
        std::unique_ptr<quint16[]> t(m.tiffDataForSave(false, 0, 0, false));
        QCOMPARE(int(t[1]), 0);
        QCOMPARE(int(t[3]), 32767);
        m.deglitch();
        m.deglitch2(1.0);
        m.selectProcImg(true);
        QVERIFY(std::isfinite(m.procMin) && std::isfinite(m.procMax));
    }

    void tiff_data()
    {
        QTest::addColumn<double>("lo");
        QTest::addColumn<double>("hi");
        QTest::addColumn<QList<int>>("expected");
        // values 0, 2, 5, 8, 10 in one row
        QTest::newRow("saturating") << 2.0 << 8.0 << QList<int>{0, 0, 32767, 65535, 65535};
        QTest::newRow("inverted") << 10.0 << 0.0 << QList<int>{65535, 52428, 32767, 13107, 0};
        QTest::newRow("empty range") << 5.0 << 5.0 << QList<int>{0, 0, 0, 0, 0};
    }
    void tiff()
    {
        QFETCH(double, lo);
        QFETCH(double, hi);
        QFETCH(QList<int>, expected);
        const double v[5] = {0, 2, 5, 8, 10};
        Analyzed2DRes m("m");
        fill(m, grid(5, 1, 0, 0, 0, 0, 5, 1), [&](int x, int) { return v[x]; });
        std::unique_ptr<quint16[]> t(m.tiffDataForSave(true, lo, hi, false));
        QVERIFY(t && m.saveCount == 5);
        QList<int> got;
        for (int i = 0; i < 5; i++)
            got << t[i];
        QCOMPARE(got, expected);
    }

    void tiffBins_data()
    {
        QTest::addColumn<int>("W");
        QTest::addColumn<int>("H");
        QTest::addColumn<int>("half");
        QTest::addColumn<double>("areaW");
        QTest::addColumn<double>("areaH");
        QTest::addColumn<QList<int>>("expected");
        // value = x + 10 y at the centres, scaled over 0..100
        QTest::newRow("10x10 step 5") << 10 << 10 << 2 << 10.0 << 10.0 << QList<int>{14417, 17694, 47185, 50461};
        QTest::newRow("centres outside") << 4 << 4 << 2 << 10.0 << 10.0 << QList<int>{14417, 0, 0, 0};
        QTest::newRow("more bins than pixels") << 2 << 1 << 0 << 6.0 << 1.0 << QList<int>{0, 655, 0, 0, 0, 0};
    }
    void tiffBins()
    {
        QFETCH(int, W);
        QFETCH(int, H);
        QFETCH(int, half);
        QFETCH(double, areaW);
        QFETCH(double, areaH);
        QFETCH(QList<int>, expected);
        Analyzed2DRes m("m");
        fill(m, grid(W, H, half, half, 0, 0, areaW, areaH), [](int x, int y) { return x + 10.0 * y; });
        std::unique_ptr<quint16[]> t(m.tiffDataForSave(true, 0.0, 100.0, true));
        QCOMPARE(m.saveCount, int(expected.size()));
        QList<int> got;
        for (int i = 0; i < m.saveCount; i++)
            got << t[i];
        QCOMPARE(got, expected);
    }

    // 5 x 5 ones with a spike of 10. In the middle: measures 18 at the spike,
    // 4.5 beside it, 0 elsewhere; mean 36 / 25, so with factor 2 the spike and
    // its four neighbours are replaced. On the left border: only the vertical
    // measure counts there (18, and 9 above and below it), and a replaced bin
    // takes the mean of its neighbours inside the map: 3 of them on the border.
    // Bins 1 wide and 3 tall on 5 x 12 (steps 1 across, 3 down; centres in rows
    // 1, 4, 7, 10), spike at (2, 7): the same measures, with the bin 3 rows up
    // (the bottom row has no pair below, so 4.5 only above); mean 31.5 / 20.
    // Rows 1 up or down lie in the spike's own bin.
    void deglitch_data()
    {
        QTest::addColumn<QSize>("size");
        QTest::addColumn<int>("hy");
        QTest::addColumn<QPoint>("spike");
        QTest::addColumn<QList<double>>("expected"); // at the spike, the bin above it, right of it, (4, 4)
        QTest::newRow("middle") << QSize(5, 5) << 0 << QPoint(2, 2) << QList<double>{1.0, 3.25, 3.25, 1.0};
        QTest::newRow("left border") << QSize(5, 5) << 0 << QPoint(0, 2) << QList<double>{1.0, 4.0, 3.25, 1.0};
        QTest::newRow("bins three rows tall") << QSize(5, 12) << 1 << QPoint(2, 7)
                                              << QList<double>{1.0, 3.25, 3.25, 1.0};
    }
    void deglitch()
    {
        QFETCH(QSize, size);
        QFETCH(int, hy);
        QFETCH(QPoint, spike);
        QFETCH(QList<double>, expected);
        Analyzed2DRes m("m");
        const int W = size.width();
        fill(m, grid(W, size.height(), 0, hy, 0, 0, W, size.height()),
             [&](int x, int y) { return QPoint(x, y) == spike ? 10.0 : 1.0; });
        m.setDeglitchConds(2.0, 0.9);
        m.deglitch();
        auto proc = [&](int x, int y) { return m.procData[size_t(y * W + x)]; };
        const int x = spike.x(), y = spike.y();
        QCOMPARE(QList<double>({proc(x, y), proc(x, y - (2 * hy + 1)), proc(x + 1, y), proc(4, 4)}), expected);
        QCOMPARE(m.procMax, expected[1]);
        QCOMPARE(m.valueAt(x, y), 10.0); // the data stays
    }

    // Bin values row by row, `cols` bins across, each bin 1 wide and 2 hy + 1 tall.
    // 3 x 3 bins 3 rows tall (steps 1 across, 3 down), limit 10: the eight
    // bins round the spike are all kept, and their mean 30 / 8 replaces it
    // (the four at its sides alone give 3.5, the two beside it 3).
    void deglitch2_data()
    {
        QTest::addColumn<QList<double>>("values");
        QTest::addColumn<int>("cols");
        QTest::addColumn<int>("hy");
        QTest::addColumn<double>("limit");
        QTest::addColumn<QList<double>>("expected");
        QTest::newRow("spike") << QList<double>{1, 2, 100, 3, 4} << 5 << 0 << 10.0 << QList<double>{1, 2, 2.5, 3, 4};
        QTest::newRow("edge spike") << QList<double>{-50, 1, 1, 1} << 4 << 0 << 5.0 << QList<double>{1, 1, 1, 1};
        QTest::newRow("bins three rows tall") << QList<double>{1, 1, 1, 2, 100, 4, 7, 7, 7} << 3 << 1 << 10.0
                                              << QList<double>{1, 1, 1, 2, 3.75, 4, 7, 7, 7};
        // No neighbour within the limit of the mean: the value is kept.
        QTest::newRow("lone bin") << QList<double>{100} << 1 << 0 << 40.0 << QList<double>{100};
        QTest::newRow("plateau") << QList<double>{1, 60, 60, 60, 1} << 5 << 0 << 40.0
                                 << QList<double>{1, 1, 60, 1, 1};
    }
    void deglitch2()
    {
        QFETCH(QList<double>, values);
        QFETCH(int, cols);
        QFETCH(int, hy);
        QFETCH(double, limit);
        QFETCH(QList<double>, expected);
        Analyzed2DRes m("m");
        const int n = int(values.size()), h = 2 * hy + 1, H = n / cols * h;
        auto centre = [&](int i) { return QPoint(i % cols, i / cols * h + hy); };
        fill(m, grid(cols, H, 0, hy, 0, 0, cols, H), [&](int x, int y) { return values[y / h * cols + x]; });
        m.deglitch2(limit);
        QList<double> got;
        for (int i = 0; i < n; i++)
            got << m.procData[size_t(centre(i).y() * cols + centre(i).x())];
        QCOMPARE(got, expected);
        m.copyProc2Data();
        QCOMPARE(m.valueAt(centre(n / 2).x(), centre(n / 2).y()), expected[n / 2]);
        QCOMPARE(m.max, *std::max_element(expected.begin(), expected.end()));
    }

    // Spikes at the rim of an area x 2..6, y 1..4 of a 9 x 6 image, one-pixel
    // bins of x + 2 y elsewhere: only neighbours inside the area count, the
    // pixels around it hold no result. deglitch2 (limit 40): the edge spike at
    // (2, 2) takes the mean of its five neighbours inside (4 + 5 + 7 + 8 + 9) / 5,
    // the corner one at (2, 1) that of its three (5 + 6 + 7) / 3. deglitch:
    // measures 108 at the spike (its upright pair only), 27 right of it, 54
    // below it; threshold 2 x 189 / 20 flags those three, and the spike takes
    // the mean of its three neighbours inside (7 + 4 + 8) / 3.
    void spikesAtAreaRim_data()
    {
        QTest::addColumn<bool>("nes");
        QTest::addColumn<QPoint>("spike");
        QTest::addColumn<double>("value");
        QTest::newRow("NES, edge") << true << QPoint(2, 2) << 6.6;
        QTest::newRow("NES, corner") << true << QPoint(2, 1) << 6.0;
        QTest::newRow("deglitch, edge") << false << QPoint(2, 2) << 19.0 / 3.0;
    }
    void spikesAtAreaRim()
    {
        QFETCH(bool, nes);
        QFETCH(QPoint, spike);
        QFETCH(double, value);
        Analyzed2DRes m("m");
        fill(m, grid(9, 6, 0, 0, 2, 1, 5, 4),
             [&](int x, int y) { return QPoint(x, y) == spike ? 60.0 : x + 2.0 * y; });
        if (nes) {
            m.deglitch2(40.0);
        } else {
            m.setDeglitchConds(2.0, 0.9);
            m.deglitch();
        }
        const double got = m.procData[size_t(spike.y() * 9 + spike.x())];
        QVERIFY2(std::fabs(got - value) < 1e-12, qPrintable(QString::number(got, 'g', 17)));
        QCOMPARE(m.procData[size_t(3 * 9 + 6)], 12.0); // no spike, kept
    }

    void copy()
    {
        Analyzed2DRes src("a2d dEdge");
        fill(src, grid(3, 2, 0, 0, 0, 0, 3, 2), [](int x, int y) { return x * 2.0 + y; });
        src.setNo(7);
        src.genImg();
        Analyzed2DRes dst("E-Shift Map 1");
        dst.copyFrom(&src);
        QCOMPARE(dst.max, 5.0);
        QVERIFY(dst.img() && dst.img() != src.img());
        QCOMPARE(*dst.img(), *src.img());
        src.setData(0, 0, 0, 0, 100.0);
        QCOMPARE(dst.valueAt(0, 0), 0.0);

        dst.copyFrom(&dst);
        QCOMPARE(dst.valueAt(2, 1), 5.0);
        QVERIFY(dst.img());
    }

    void copyNeverDrawn()
    {
        Analyzed2DRes src("src");
        fill(src, grid(6, 4, 0, 0, 1, 1, 3, 2), [](int, int) { return 1.0; });
        Analyzed2DRes dst("dst");
        fill(dst, grid(2, 2, 0, 0, 0, 0, 2, 2), [](int, int) { return 3.0; });
        dst.genImg();
        dst.copyFrom(&src);
        QCOMPARE(dst.cond.W, 6);
        QVERIFY(dst.img() == nullptr);
        // without arrays everything reads as no data
        dst.setData(1, 1, 0, 0, 2.0);
        QCOMPARE(dst.valueAt(1, 1), 0.0);
        QCOMPARE(dst.binSum(1, 1, 1, 1), 0.0);
        dst.deglitch();
        dst.genImg();
        QVERIFY(dst.tiffDataForSave(false, 0, 1, true) == nullptr);
    }
};

CORVELLINE_TEST(TestAnalyzed2DRes)
#include "tst_analyzed2dres.moc"
