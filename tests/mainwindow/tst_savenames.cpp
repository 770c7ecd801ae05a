#include "support/TestRegistry.h"

#include "foundation/AnalyzeCond.h"
#include "mainwindow/SaveNames.h"

#include <QDir>
#include <QTest>

class TestSaveNames : public QObject {
    Q_OBJECT
private slots:
    void names_data()
    {
        QTest::addColumn<QString>("fname");
        QTest::addColumn<QString>("tif");   // numberedDataName(fname, 0, "tif")
        QTest::addColumn<QString>("dat");   // numberedDataName(fname, 3, "dat")
        QTest::addColumn<QString>("cBar");  // dataCBarName(fname, 0)
        QTest::addColumn<QString>("lcf");   // lcfMapPictureName(fname, 2, 1)
        QTest::addColumn<QString>("num");   // derivedPictureName(fname, "12")
        QTest::newRow("tif") << "/d/map.tif" << "/d/map-0.tif" << "/d/map-3.dat"
                             << "/d/map-0--cBar.tif" << "/d/map-2-1.tif" << "/d/map-12.tif";
        QTest::newRow("two points") << "/d/r.1.png" << "/d/r.1-0.tif" << "/d/r.1-3.dat"
                                    << "/d/r.1-0--cBar.png" << "/d/r.1-2-1.png" << "/d/r.1-12.png";
        QTest::newRow("no suffix: pictures get png") << "/d/map" << "/d/map-0.tif" << "/d/map-3.dat"
                                                     << "/d/map-0--cBar.png" << "/d/map-2-1.png"
                                                     << "/d/map-12.png";
        QTest::newRow("relative") << "out/m.dat" << QDir::currentPath() + "/out/m-0.tif"
                                  << QDir::currentPath() + "/out/m-3.dat"
                                  << QDir::currentPath() + "/out/m-0--cBar.dat"
                                  << QDir::currentPath() + "/out/m-2-1.dat"
                                  << QDir::currentPath() + "/out/m-12.dat";
    }
    void names()
    {
        QFETCH(QString, fname);
        QTEST(numberedDataName(fname, 0, QStringLiteral("tif")), "tif");
        QTEST(numberedDataName(fname, 3, QStringLiteral("dat")), "dat");
        QTEST(dataCBarName(fname, 0), "cBar");
        QTEST(lcfMapPictureName(fname, 2, 1), "lcf");
        QTEST(derivedPictureName(fname, QStringLiteral("12")), "num");
    }

    // Samples per row are the bin centres x0 + hx, x0 + hx + step, ... below x1.
    void analyzedSize_data()
    {
        QTest::addColumn<QVector<int>>("grid"); // x0 x1 hx stepX y0 y1 hy stepY
        QTest::addColumn<bool>("ok");
        QTest::addColumn<int>("w");
        QTest::addColumn<int>("h");
        QTest::newRow("0..100, half 2, step 5") << QVector<int>{0, 100, 2, 5, 0, 10, 0, 1} << true << 20 << 10;
        QTest::newRow("bins of one pixel") << QVector<int>{3, 7, 0, 1, 2, 4, 0, 1} << true << 4 << 2;
        QTest::newRow("last centre just inside") << QVector<int>{0, 9, 1, 3, 0, 9, 1, 3} << true << 3 << 3;
        QTest::newRow("area narrower than the half width") << QVector<int>{0, 2, 1, 3, 0, 5, 0, 1} << true << 1 << 5;
        QTest::newRow("no area") << QVector<int>{5, 5, 0, 1, 0, 5, 0, 1} << false << 0 << 0;
        QTest::newRow("half width past the area") << QVector<int>{0, 2, 9, 3, 0, 5, 0, 1} << false << 0 << 0;
        QTest::newRow("zero step") << QVector<int>{0, 10, 0, 0, 0, 5, 0, 1} << false << 0 << 0;
        QTest::newRow("extreme bounds") << QVector<int>{-2147483647 - 1, 2147483647, 0, 1, 0, 1, 0, 1}
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

    void imageInfo_data()
    {
        QTest::addColumn<QRectF>("view");
        QTest::addColumn<QByteArray>("text");
        QTest::newRow("whole numbers") << QRectF(2, 1, 4, 3)
                                       << QByteArray("###Corvelline::ImgInfo\n"
                                                     "VIEWING Xs          : \t2\n"
                                                     "VIEWING Ys          : \t1\n"
                                                     "VIEWING Xe          : \t6\n"
                                                     "VIEWING Ye          : \t4\n");
        QTest::newRow("fractions, end is start plus size") << QRectF(-0.5, 10.25, 100.5, 0.5)
                                       << QByteArray("###Corvelline::ImgInfo\n"
                                                     "VIEWING Xs          : \t-0.5\n"
                                                     "VIEWING Ys          : \t10.25\n"
                                                     "VIEWING Xe          : \t100\n"
                                                     "VIEWING Ye          : \t10.75\n");
        QTest::newRow("six significant digits") << QRectF(1234567, 0, 1, 0)
                                       << QByteArray("###Corvelline::ImgInfo\n"
                                                     "VIEWING Xs          : \t1.23457e+06\n"
                                                     "VIEWING Ys          : \t0\n"
                                                     "VIEWING Xe          : \t1.23457e+06\n"
                                                     "VIEWING Ye          : \t0\n");
    }
    void imageInfo()
    {
        QFETCH(QRectF, view);
        QTEST(imageInfoText(view), "text");
    }
};

CORVELLINE_TEST(TestSaveNames)
#include "tst_savenames.moc"
