#include "support/ImageCraft.h"
#include "support/TestRegistry.h"

#include "foundation/ColorScale.h"
#include "imagestack/TiffData.h"

#include <QTemporaryDir>
#include <QTest>

#include <limits>
#include <memory>

namespace {
const int intMin = std::numeric_limits<int>::min();
const double qnan = std::numeric_limits<double>::quiet_NaN();
} // namespace

// Sums, means and interpolation over frames whose samples are known by construction:
// the 5 x 4 test frame holds 1 + x + 10 y at (x, y).
class TestFrameMath : public QObject {
    Q_OBJECT
    QTemporaryDir dir;
    int fileNo = 0;

    std::unique_ptr<TiffData> frame(int w, int h, const QVector<quint32>& v, int bpp = 2)
    {
        craft::ImOptions o;
        o.bytesPerPixel = bpp;
        o.comment = bpp == 4 ? "BytesPerPixel=4" : "BytesPerPixel=2";
        const QString name = dir.filePath(QStringLiteral("f%1.img").arg(fileNo++));
        std::unique_ptr<TiffData> f(new TiffData);
        if (!craft::writeIm(name, w, h, v, o) || !f->load(name, nullptr))
            return nullptr;
        return f;
    }
    std::unique_ptr<TiffData> grid()
    {
        QVector<quint32> v;
        for (int y = 0; y < 4; y++)
            for (int x = 0; x < 5; x++)
                v << quint32(1 + x + 10 * y);
        return frame(5, 4, v);
    }
    std::unique_ptr<TiffData> single(double energy, quint32 sample)
    {
        auto f = frame(1, 1, {sample});
        if (f)
            f->energy = energy;
        return f;
    }

private slots:
    void initTestCase() { QVERIFY(dir.isValid()); }

    void emptyFrame()
    {
        TiffData f;
        QCOMPARE(f.value(0, 0), 0.0);
        QCOMPARE(f.areaSum(0, 0, 3, 3), 0.0);
        QCOMPARE(f.rectMean(QRectF(0, 0, 2, 2)), 0.0);
        f.setPixel(0, 0, 5.0);
        QCOMPARE(f.value(0, 0), 0.0);
        QVERIFY(!f.makeDispImage(ColorScale()));
    }

    void areaSum_data()
    {
        QTest::addColumn<int>("x");
        QTest::addColumn<int>("y");
        QTest::addColumn<int>("hw");
        QTest::addColumn<int>("hh");
        QTest::addColumn<int>("x0");
        QTest::addColumn<double>("expected");
        // x 1..3, y 0..2: 9 + 3 (1 + 2 + 3) + 30 (0 + 1 + 2)
        QTest::newRow("3 x 3 inside") << 2 << 1 << 1 << 1 << 0 << 117.0;
        QTest::newRow("negative half sizes count as positive") << 2 << 1 << -1 << -1 << 0 << 117.0;
        QTest::newRow("over the bottom-right edge") << 4 << 3 << 2 << 0 << 0 << 33.0 + 34 + 35;
        QTest::newRow("int min half width: whole row") << 2 << 1 << intMin << 0 << 0 << 11.0 + 12 + 13 + 14 + 15;
        QTest::newRow("shifted by x0 1") << 1 << 0 << 0 << 0 << 1 << 1.0;
    }
    void areaSum()
    {
        QFETCH(int, x);
        QFETCH(int, y);
        QFETCH(int, hw);
        QFETCH(int, hh);
        QFETCH(int, x0);
        QFETCH(double, expected);
        auto f = grid();
        QVERIFY(f);
        f->x0 = x0;
        QCOMPARE(f->areaSum(x, y, hw, hh), expected);
    }

    void rectMean_data()
    {
        QTest::addColumn<QRectF>("rect");
        QTest::addColumn<double>("expected");
        // x 1..3, y 0..1: 2 + 3 + 4 + 12 + 13 + 14 over six
        QTest::newRow("inside") << QRectF(1, 0, 2, 1) << 48.0 / 6;
        QTest::newRow("zero size is one pixel") << QRectF(3, 2, 0, 0) << 24.0;
        // x 3..6, y 2..5: only 24, 25, 34, 35 lie on the frame, and only they count
        QTest::newRow("over the edge: the pixels on the frame") << QRectF(3, 2, 3, 3) << 118.0 / 4;
        // x -2^31..3, y 2: 21 + 22 + 23 + 24 over four
        QTest::newRow("corner at the end of int") << QRectF(intMin, 2, 3.0 - intMin, 0) << 90.0 / 4;
        QTest::newRow("beside the frame") << QRectF(5, 0, 2, 2) << 0.0;
        QTest::newRow("width -1: no pixels") << QRectF(1, 1, -1, 2) << 0.0;
        QTest::newRow("NaN") << QRectF(qnan, 0, 2, 2) << 0.0;
    }
    void rectMean()
    {
        QFETCH(QRectF, rect);
        QFETCH(double, expected);
        auto f = grid();
        QVERIFY(f);
        QCOMPARE(f->rectMean(rect), expected);
    }

    void interpolatedAreaSum_data()
    {
        QTest::addColumn<QVector<double>>("energies");
        QTest::addColumn<QVector<int>>("sums");
        QTest::addColumn<double>("e");
        QTest::addColumn<double>("expected");
        const QVector<double> two{8000, 8010};
        const QVector<int> twoSums{100, 200};
        QTest::newRow("empty list") << QVector<double>() << QVector<int>() << 8000.0 << 1.0;
        QTest::newRow("one frame") << QVector<double>{8000} << QVector<int>{70} << 9000.0 << 70.0;
        QTest::newRow("half way") << two << twoSums << 8005.0 << 150.0;
        QTest::newRow("below the first: same line") << two << twoSums << 7990.0 << 0.0;
        QTest::newRow("above the last") << two << twoSums << 8020.0 << 300.0;
        QTest::newRow("equal energies: mean") << QVector<double>{8000, 8000} << QVector<int>{100, 300}
                                              << 8000.0 << 200.0;
        const QVector<double> five{1, 2, 4, 8, 16};
        const QVector<int> fiveSums{10, 20, 40, 80, 160};
        QTest::newRow("bisection, 5 frames") << five << fiveSums << 12.0 << 120.0;
    }
    void interpolatedAreaSum()
    {
        QFETCH(QVector<double>, energies);
        QFETCH(QVector<int>, sums);
        QFETCH(double, e);
        QFETCH(double, expected);
        QList<TiffData*> list;
        for (int i = 0; i < energies.size(); i++)
            list << single(energies[i], quint32(sums[i])).release();
        const double got = TiffData::interpolatedAreaSum(list, e, 0, 0, 0, 0);
        TiffData::clearList(list);
        QCOMPARE(got, expected);
    }
};

CORVELLINE_TEST(TestFrameMath)
#include "tst_framemath.moc"
