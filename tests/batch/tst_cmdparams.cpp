#include "support/TestRegistry.h"

#include "batch/CmdParams.h"
#include "support/ImageCraft.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

class TestCmdParams : public QObject {
    Q_OBJECT
private slots:
    void conversions_data()
    {
        QTest::addColumn<QString>("p");
        QTest::addColumn<int>("integer");
        QTest::addColumn<bool>("flag");
        QTest::addColumn<double>("real");
        QTest::newRow("missing") << "" << 0 << false << 0.0;
        QTest::newRow("+1 is on") << "+1" << 1 << true << 1.0;
        QTest::newRow("the word true is off") << "true" << 0 << false << 0.0;
        QTest::newRow("decimal is no integer") << "2.5" << 0 << false << 2.5;
        QTest::newRow("does not fit an int") << "2147483648" << 0 << false << 2147483648.0;
        QTest::newRow("trailing text") << "7x" << 0 << false << 0.0;
        QTest::newRow("nan is no number") << "nan" << 0 << false << 0.0;
    }
    void conversions()
    {
        QFETCH(QString, p);
        QTEST(cmdInt(p), "integer");
        QTEST(cmdFlag(p), "flag");
        QTEST(cmdReal(p), "real");
    }

    // Paths in the folder whether or not it is written with its closing slash.
    void pattern_data()
    {
        QTest::addColumn<QString>("dir");
        QTest::addColumn<QStringList>("filters");
        QTest::addColumn<QStringList>("expected");
        const QStringList tifs{"a_8990.tif", "B_9000.tif", "c_9010.tif"};
        QTest::newRow("tif filter, name order") << "d" << QStringList{"*.tif"} << tifs;
        QTest::newRow("closing slash") << "d/" << QStringList{"*.tif"} << tifs;
        QTest::newRow("no filter: every file") << "d" << QStringList() << tifs + QStringList{"notes.txt"};
        QTest::newRow("missing folder") << "nothere" << QStringList() << QStringList();
    }
    void pattern()
    {
        QFETCH(QString, dir);
        QFETCH(QStringList, filters);
        QFETCH(QStringList, expected);
        QTemporaryDir tmp;
        QVERIFY(tmp.isValid());
        QVERIFY(QDir(tmp.path()).mkpath(QStringLiteral("d/sub.tif"))); // a folder is no file
        for (const char* n : {"c_9010.tif", "a_8990.tif", "notes.txt", "B_9000.tif"})
            QVERIFY(craft::writeBytes(tmp.filePath(QStringLiteral("d/") + QLatin1String(n)), "x"));
        QStringList paths;
        for (const QString& e : expected)
            paths << tmp.path() + QStringLiteral("/d/") + e;
        QCOMPARE(filesOfPattern(tmp.filePath(dir), filters), paths);
    }
};

CORVELLINE_TEST(TestCmdParams)
#include "tst_cmdparams.moc"
