#include "support/FrameCraft.h"
#include "support/TestRegistry.h"
#include "support/Loopback.h"

#include "imagestack/Analyzer2.h"
#include "imagestack/DarkCheck.h"
#include "imagestack/ErrPoints.h"
#include "imagestack/TiffData.h"
#include "mainwindow/Body.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <cmath>
#include <limits>

typedef QList<QPoint> Points;

// The dark check's histogram and dark-point files, against files written out by hand.
class TestDarkCheck : public QObject {
    Q_OBJECT

    static QByteArray fileText(const QDir& d, const QString& name)
    {
        QFile f(d.filePath(name));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("(missing)");
    }

    // Two 3 x 2 frames at threshold 20000: (0, 0) stays above it, (2, 0) drops out
    // in the second frame and (1, 1) sits exactly at it in the first.
    static QList<TiffData*> twoFrames()
    {
        return {craft::floatFrame(3, 2, {25000, 0, 30000, 0, 20000, 0}),
                craft::floatFrame(3, 2, {21000, 0, 100, 0, 20000, 0})};
    }

private slots:
    void histogramFile()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        QList<TiffData*> frames{craft::floatFrame(6, 1, {-5, 0, 600, 59999.99, 60000, 70000})};
        QVERIFY(darkcheck::run(frames, 1e9, 60000, 100, ErrPoints(), dir.path()));
        TiffData::clearList(frames);

        QByteArray want("# min, max = (0, 60000)  bins = 100\n");
        for (int i = 0; i <= 100; i++) {
            const int count = i == 0 ? 2 : (i == 1 || i == 99 ? 1 : (i == 100 ? 2 : 0));
            want += QStringLiteral("%1\t%2\t%3\n").arg(i).arg(600 * i).arg(count).toUtf8();
        }
        QCOMPARE(fileText(QDir(dir.path()), QStringLiteral("dark-hg-all.dat")), want);
        // No pixel above the threshold: the histogram is the only file.
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("dark-hg-all.dat")});
    }

    // bins x (v - min) / (max - min), truncated; v = max always in the last index.
    void binIndex_data()
    {
        QTest::addColumn<int>("bins");
        QTest::addColumn<double>("min");
        QTest::addColumn<double>("max");
        QTest::addColumn<double>("v");
        QTest::addColumn<int>("index");
        QTest::newRow("97 of 0..97 in 100") << 100 << 0.0 << 97.0 << 97.0 << 100;
        QTest::newRow("77, lower end of bin 5 of 0..154") << 10 << 0.0 << 154.0 << 77.0 << 5;
        QTest::newRow("just below it") << 10 << 0.0 << 154.0 << 76.99 << 4;
        QTest::newRow("lower end with min 100") << 10 << 100.0 << 254.0 << 177.0 << 5;
        QTest::newRow("max 100 of 3..100") << 100 << 3.0 << 100.0 << 100.0 << 100;
        QTest::newRow("max 97 in 7") << 7 << 0.0 << 97.0 << 97.0 << 7;
        QTest::newRow("max 154 in 5") << 5 << 0.0 << 154.0 << 154.0 << 5;
        QTest::newRow("max 60000 in 59") << 59 << 0.0 << 60000.0 << 60000.0 << 59;
        QTest::newRow("max 0.7 in 3") << 3 << 0.0 << 0.7 << 0.7 << 3;
        QTest::newRow("max 10 in 1") << 1 << 0.0 << 10.0 << 10.0 << 1;
        QTest::newRow("below max in 1") << 1 << 0.0 << 10.0 << 9.99 << 0;
        QTest::newRow("600 of 0..60000 in 100") << 100 << 0.0 << 60000.0 << 600.0 << 1;
        QTest::newRow("far above max") << 10 << 0.0 << 154.0 << 1e300 << 10;
        QTest::newRow("below min") << 10 << 0.0 << 154.0 << -1.0 << 0;
        QTest::newRow("not a number") << 10 << 0.0 << 154.0 << std::numeric_limits<double>::quiet_NaN() << 0;
        QTest::newRow("no bins") << 0 << 0.0 << 10.0 << 5.0 << 0;
    }
    void binIndex()
    {
        QFETCH(int, bins);
        QFETCH(double, min);
        QFETCH(double, max);
        QFETCH(double, v);
        QTEST(darkcheck::binIndex(v, min, max, bins), "index");
    }

    void zeroBinsCountEverything()
    {
        QList<TiffData*> frames{craft::floatFrame(3, 1, {0, 5, 1e6})};
        const DarkHistogram h = darkcheck::histogram(frames, 10, 0);
        TiffData::clearList(frames);
        QCOMPARE(h.counts, QList<int>{3});
    }

    void darkPointFiles_data()
    {
        QTest::addColumn<Points>("errPoints");
        QTest::addColumn<QByteArray>("onlyDark");
        QTest::addColumn<QByteArray>("onlyErr");
        QTest::newRow("no error points") << Points() << QByteArray("0\t0\n") << QByteArray();
        QTest::newRow("error points on both sides")
            << Points{{1, 1}, {0, 0}, {2, 1}} << QByteArray() << QByteArray("1\t1\n2\t1\n");
    }
    void darkPointFiles()
    {
        QFETCH(Points, errPoints);
        QFETCH(QByteArray, onlyDark);
        QFETCH(QByteArray, onlyErr);
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        ErrPoints errPs;
        errPs.points = errPoints;
        QList<TiffData*> frames = twoFrames();
        QVERIFY(darkcheck::run(frames, 20000, 60000, 100, errPs, dir.path()));
        TiffData::clearList(frames);
        const QDir d(dir.path());
        QCOMPARE(fileText(d, QStringLiteral("dark-allDarkPoints.dat")), QByteArray("# Size 3\t2\n0\t0\t46000\n"));
        QCOMPARE(fileText(d, QStringLiteral("dark-allDarkPointNums.dat")), QByteArray("0\t2\n1\t1\n"));
        QCOMPARE(fileText(d, QStringLiteral("dark-allDarkPoints-onlyInPs1.dat")), onlyDark);
        QCOMPARE(fileText(d, QStringLiteral("dark-allDarkPoints-onlyInErrPs.dat")), onlyErr);
    }

    void badSettingsWriteNothing_data()
    {
        QTest::addColumn<double>("max");
        QTest::addColumn<int>("bins");
        QTest::newRow("negative bins") << 60000.0 << -1;
        QTest::newRow("max 0 (empty text)") << 0.0 << 100;
        QTest::newRow("negative max") << -5.0 << 100;
        QTest::newRow("max not a number") << std::numeric_limits<double>::quiet_NaN() << 100;
        QTest::newRow("infinite max") << std::numeric_limits<double>::infinity() << 100;
        QTest::newRow("bins beyond memory") << 60000.0 << 2000000000;
    }
    void badSettingsWriteNothing()
    {
        QFETCH(double, max);
        QFETCH(int, bins);
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        QList<TiffData*> frames = twoFrames();
        QVERIFY(!darkcheck::run(frames, 20000, max, bins, ErrPoints(), dir.path()));
        TiffData::clearList(frames);
        QVERIFY(QDir(dir.path()).entryList(QDir::Files).isEmpty());
    }

    // The window's check writes into the working folder, and refuses an empty maximum.
    void windowUsesWorkingFolder()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString before = QDir::currentPath();
        QVERIFY(QDir::setCurrent(dir.path()));
        loopback::resetConfig();
        {
            Body b;
            b.darkCheck(); // no frame: nothing
            QVERIFY(QDir(dir.path()).entryList(QDir::Files).isEmpty());
            for (TiffData* f : twoFrames())
                b.frameSets.append(FrameSets::I1, f, 0);
            b.analyzer2->HistgMax->setText(QString());
            b.darkCheck();
            QVERIFY(QDir(dir.path()).entryList(QDir::Files).isEmpty());
            b.analyzer2->HistgMax->setText(QStringLiteral("60000"));
            b.analyzer2->DarkCheck->click();
        }
        QDir::setCurrent(before);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files).size(), 5);
        QCOMPARE(fileText(QDir(dir.path()), QStringLiteral("dark-allDarkPointNums.dat")),
                 QByteArray("0\t2\n1\t1\n"));
    }
};

CORVELLINE_TEST(TestDarkCheck)
#include "tst_darkcheck.moc"
