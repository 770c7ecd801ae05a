#include "support/TestRegistry.h"

#include "foundation/AnalyzeCond.h"
#include "mainwindow/SaveNames.h"

#include <QTest>

// Samples per row of a map saved as analysed: the bin centres x0 + hx,
// x0 + hx + step, ... below x1, and always the first, as the walk visits
// them; a grid of more than an int is refused.
class TestSaveNames : public QObject {
    Q_OBJECT
private slots:
    void analyzedSize_data()
    {
        QTest::addColumn<QVector<int>>("grid"); // x0 x1 hx stepX y0 y1 hy stepY
        QTest::addColumn<bool>("ok");
        QTest::addColumn<int>("w");
        QTest::addColumn<int>("h");
        QTest::newRow("0..100, half 2, step 5") << QVector<int>{0, 100, 2, 5, 0, 10, 0, 1} << true << 20 << 10;
        QTest::newRow("centres 1, 4, 7 of 9") << QVector<int>{0, 9, 1, 3, 3, 7, 0, 1} << true << 3 << 4;
        QTest::newRow("narrower than the half width") << QVector<int>{0, 2, 1, 3, 0, 1, 0, 1} << true << 1 << 1;
        QTest::newRow("one pixel wide") << QVector<int>{5, 5, 0, 1, 0, 5, 0, 1} << true << 1 << 5;
        QTest::newRow("one pixel tall, bins of 3") << QVector<int>{3, 20, 1, 3, 10, 10, 1, 3} << true << 6 << 1;
        QTest::newRow("half width past the area") << QVector<int>{0, 2, 9, 3, 0, 5, 0, 1} << true << 1 << 5;
        QTest::newRow("zero step walks as one") << QVector<int>{0, 10, 0, 0, 0, 5, 0, 1} << true << 10 << 5;
        QTest::newRow("wider than an int") << QVector<int>{-2147483647 - 1, 2147483647, 0, 1, 0, 1, 0, 1}
                                           << false << 0 << 0;
    }
    void analyzedSize()
    {
        QFETCH(QVector<int>, grid);
        AnalyzeCond c;
        c.x0 = grid[0];
        c.x1 = grid[1];
        c.hx = grid[2];
        c.stepX = grid[3];
        c.y0 = grid[4];
        c.y1 = grid[5];
        c.hy = grid[6];
        c.stepY = grid[7];
        int w = 0, h = 0;
        QTEST(analyzedTiffSize(c, w, h), "ok");
        QTEST(w, "w");
        QTEST(h, "h");
    }
};

CORVELLINE_TEST(TestSaveNames)
#include "tst_savenames.moc"
