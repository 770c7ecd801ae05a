#include "support/TestRegistry.h"

#include "foundation/FileNames.h"

#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

class TestFileNames : public QObject {
    Q_OBJECT
private slots:
    // fn: "suffix" (keep own, absolute), "derived" (absolute) or "subDir"; arg is the suffix,
    // addition or folder.
    void names_data()
    {
        QTest::addColumn<QString>("fn");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("arg");
        QTest::addColumn<bool>("keepOwn");
        QTest::addColumn<bool>("absolute");
        QTest::addColumn<QString>("expected");
        QTest::newRow("suffix replaced") << "suffix" << "/data/out/map.png" << "txt" << false << true
                                         << "/data/out/map.txt";
        QTest::newRow("own suffix kept") << "suffix" << "/data/out/map.png" << "txt" << true << true
                                         << "/data/out/map.png";
        QTest::newRow("no own suffix") << "suffix" << "/data/out/map" << "info" << true << false << "map.info";
        QTest::newRow("only last suffix") << "suffix" << "a.b.png" << "dat" << false << false << "a.b.dat";
        QTest::newRow("blank in folder") << "suffix" << "/my data/x.tif" << "png" << false << true
                                         << "/my data/x.png";
        QTest::newRow("colour bar") << "derived" << "/data/out/map.png" << "cBar" << false << false
                                    << "map-cBar.png";
        QTest::newRow("no suffix ends in point") << "derived" << "/data/out/map" << "cBar" << false << false
                                                 << "map-cBar.";
        QTest::newRow("two points") << "derived" << "/data/a.b.tif" << "info" << false << true
                                    << "/data/a.b-info.tif";
        QTest::newRow("sub-folder") << "subDir" << "/data/out/map.png" << "spectra" << false << false
                                    << "/data/out/spectra/map.png";
        QTest::newRow("relative sub-folder") << "subDir" << "map.png" << "sub" << false << false << "sub/map.png";
    }
    void names()
    {
        QFETCH(QString, fn);
        QFETCH(QString, name);
        QFETCH(QString, arg);
        QFETCH(bool, keepOwn);
        QFETCH(bool, absolute);
        QFETCH(QString, expected);
        if (fn == u"suffix")
            QCOMPARE(fileNameWithSuffix(name, arg, keepOwn, absolute), expected);
        else if (fn == u"derived")
            QCOMPARE(derivedFileName(name, arg, absolute), expected);
        else
            QCOMPARE(fileInSubDir(name, arg), expected);
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
