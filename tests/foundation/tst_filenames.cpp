#include "support/TestRegistry.h"

#include "foundation/FileNames.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

class TestFileNames : public QObject {
    Q_OBJECT
private slots:
    void withSuffix_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("suffix");
        QTest::addColumn<bool>("keepOwn");
        QTest::addColumn<bool>("absolute");
        QTest::addColumn<QString>("expected");
        QTest::newRow("replaced") << "/data/out/map.png" << "txt" << false << true << "/data/out/map.txt";
        QTest::newRow("own kept") << "/data/out/map.png" << "txt" << true << true << "/data/out/map.png";
        QTest::newRow("no own suffix") << "/data/out/map" << "info" << true << false << "map.info";
        QTest::newRow("only last suffix") << "a.b.png" << "dat" << false << false << "a.b.dat";
        QTest::newRow("blank in folder") << "/my data/x.tif" << "png" << false << true << "/my data/x.png";
    }
    void withSuffix()
    {
        QFETCH(QString, name);
        QFETCH(QString, suffix);
        QFETCH(bool, keepOwn);
        QFETCH(bool, absolute);
        QFETCH(QString, expected);
        QCOMPARE(fileNameWithSuffix(name, suffix, keepOwn, absolute), expected);
    }

    void derived_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("addition");
        QTest::addColumn<bool>("absolute");
        QTest::addColumn<QString>("expected");
        QTest::newRow("colour bar") << "/data/out/map.png" << "cBar" << false << "map-cBar.png";
        QTest::newRow("no suffix ends in point") << "/data/out/map" << "cBar" << false << "map-cBar.";
        QTest::newRow("two points") << "/data/a.b.tif" << "info" << true << "/data/a.b-info.tif";
    }
    void derived()
    {
        QFETCH(QString, name);
        QFETCH(QString, addition);
        QFETCH(bool, absolute);
        QFETCH(QString, expected);
        QCOMPARE(derivedFileName(name, addition, absolute), expected);
    }

    void subDir_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("subDir");
        QTest::addColumn<QString>("expected");
        QTest::newRow("absolute") << "/data/out/map.png" << "spectra" << "/data/out/spectra/map.png";
        QTest::newRow("relative") << "map.png" << "sub" << "sub/map.png";
    }
    void subDir()
    {
        QFETCH(QString, name);
        QFETCH(QString, subDir);
        QFETCH(QString, expected);
        QCOMPARE(fileInSubDir(name, subDir), expected);
    }

    void ensureDir()
    {
        QTemporaryDir tmp;
        QVERIFY(tmp.isValid());
        const QString file = tmp.filePath(QStringLiteral("x/y/z/out.txt"));
        ensureDirOf(file);
        QVERIFY(QFileInfo(tmp.filePath(QStringLiteral("x/y/z"))).isDir());
        QVERIFY(!QFileInfo::exists(file)); // the file itself is not created
        ensureDirOf(file);                // an existing folder is left alone
        QVERIFY(QFileInfo(tmp.filePath(QStringLiteral("x/y/z"))).isDir());
    }
};
CORVELLINE_TEST(TestFileNames)
#include "tst_filenames.moc"
