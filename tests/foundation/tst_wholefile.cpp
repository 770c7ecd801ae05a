#include "support/FileSizeLimit.h"
#include "support/LogCapture.h"
#include "support/TestRegistry.h"

#include "foundation/WholeFile.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <QTest>
#include <QTextStream>

#include <memory>

namespace {
enum Writer { Bytes, Stream, Picture, Append };
enum Failure { None, FolderIsFile, SizeLimit };

const QByteArray earlier("A: 10.0.0.1\n");

QImage picture()
{
    QImage img(7, 5, QImage::Format_ARGB32);
    for (int y = 0; y < 5; y++)
        for (int x = 0; x < 7; x++)
            img.setPixel(x, y, qRgba(30 * x, 40 * y, 200, 255));
    return img;
}

bool save(Writer w, const QString& name)
{
    switch (w) {
    case Bytes:
        return saveWhole(name, QByteArray("12345678901234567890\n"));
    case Stream: {
        WholeFile f(name);
        if (!f.open(true))
            return false;
        for (int i = 0; i < 100; i++)
            f.text() << i << '\t' << i * 0.5 << '\n';
        return f.commit();
    }
    case Picture:
        return savePictureWhole(picture(), name);
    case Append:
        return appendWhole(name, QByteArray("A: 10.0.0.2\n"));
    }
    return false;
}

QByteArray bytesOf(const QString& name)
{
    QFile f(name);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}
} // namespace

// The one way files are written: whole, or not at all and told.
class TestWholeFile : public QObject {
    Q_OBJECT

private slots:
    void failedSave_data()
    {
        QTest::addColumn<int>("writer");
        QTest::addColumn<int>("failure");
        QTest::addColumn<QString>("reason");
        const QList<QPair<const char*, Writer>> writers{
            {"bytes", Bytes}, {"stream", Stream}, {"picture", Picture}, {"append", Append}};
        for (const auto& w : writers) {
            QTest::addRow("%s, folder is a file", w.first) << int(w.second) << int(FolderIsFile) << "Not a directory";
            QTest::addRow("%s, file size limit", w.first) << int(w.second) << int(SizeLimit) << "File too large";
        }
    }
    void failedSave()
    {
        QFETCH(int, writer);
        QFETCH(int, failure);
        QFETCH(QString, reason);
        QTemporaryDir tmp;
        QVERIFY(tmp.isValid());
        QFile plain(tmp.filePath("old.png"));
        QVERIFY(plain.open(QIODevice::WriteOnly) && plain.write(earlier) == earlier.size());
        plain.close();
        // The earlier file of the name, or a name inside a file.
        const QString name = failure == FolderIsFile ? tmp.filePath("old.png/out.png") : tmp.filePath("old.png");

        QStringList told;
        const SaveFailureSink before = setSaveFailureSink([&told](const QString& l) { told << l; });
        testlog::Capture log;
        bool saved = true;
        {
            std::unique_ptr<FileSizeLimit> limit;
            if (failure == SizeLimit) {
                limit = std::make_unique<FileSizeLimit>();
                QVERIFY(limit->active());
            }
            saved = save(Writer(writer), name);
        }
        setSaveFailureSink(before);

        QVERIFY(!saved);
        const QString line = "Can't save " + name + ": " + reason;
        QCOMPARE(told, QStringList{line});
        QCOMPARE(log.linesStartingWith("Can't"), QStringList{line});
        // Nothing beside it, no temporary left over; the earlier file whole.
        QCOMPARE(QDir(tmp.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"old.png"});
        QCOMPARE(bytesOf(tmp.filePath("old.png")), earlier);
    }

    // With room the file is what the writer gave; an append keeps what was there.
    void wholeWithRoom()
    {
        QTemporaryDir tmp;
        const QString name = tmp.filePath("h.dat");
        QVERIFY(saveWhole(name, earlier));
        QVERIFY(save(Append, name));
        QCOMPARE(bytesOf(name), earlier + "A: 10.0.0.2\n");
        QVERIFY(save(Picture, tmp.filePath("p.png")));
        QCOMPARE(QImage(tmp.filePath("p.png")).convertToFormat(QImage::Format_ARGB32), picture());
        QVERIFY(save(Stream, tmp.filePath("s.txt")));
        QCOMPARE(bytesOf(tmp.filePath("s.txt")).count('\n'), 100);
        QCOMPARE(QDir(tmp.path()).entryList(QDir::Files | QDir::Hidden), (QStringList{"h.dat", "p.png", "s.txt"}));
    }
};

CORVELLINE_TEST(TestWholeFile)
#include "tst_wholefile.moc"
