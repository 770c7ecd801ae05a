#include "support/FileSizeLimit.h"
#include "support/LogCapture.h"
#include "support/TestRegistry.h"

#include "foundation/WholeFile.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace {
enum Writer { Bytes, Picture, Append };

const QByteArray earlier("A: 10.0.0.1\n");
const QByteArray more("A: 10.0.0.2\n");

bool save(int w, const QString& name)
{
    if (w == Bytes)
        return saveWhole(name, QByteArray("12345678901234567890\n"));
    if (w == Picture) {
        QImage img(7, 5, QImage::Format_ARGB32);
        img.fill(qRgba(30, 40, 200, 255));
        return savePictureWhole(img, name);
    }
    return appendWhole(name, more);
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
        QTest::addColumn<bool>("inFile"); // a folder that is a file, else a full disk
        QTest::addColumn<bool>("folder"); // the name is a folder
        QTest::addColumn<QString>("reason");
        const QList<QPair<const char*, Writer>> writers{{"bytes", Bytes}, {"picture", Picture}, {"append", Append}};
        for (const auto& w : writers) {
            QTest::addRow("%s, folder is a file", w.first) << int(w.second) << true << false << "Not a directory";
            QTest::addRow("%s, file size limit", w.first) << int(w.second) << false << false << "File too large";
            // The system's words, whichever writer meets it.
            QTest::addRow("%s, name is a folder", w.first) << int(w.second) << true << true << "Is a directory";
        }
    }
    void failedSave()
    {
        QFETCH(int, writer);
        QFETCH(bool, inFile);
        QFETCH(bool, folder);
        QFETCH(QString, reason);
        QTemporaryDir tmp;
        const QString old = tmp.filePath("old.png");
        QFile f(old);
        QVERIFY(f.open(QIODevice::WriteOnly) && f.write(earlier) == earlier.size());
        f.close();
        const QString name = folder ? tmp.filePath("dir.png") : inFile ? old + "/out.png" : old;
        QVERIFY(!folder || QDir(tmp.path()).mkdir("dir.png"));

        QStringList told;
        const SaveFailureSink before = setSaveFailureSink([&told](const QString& l) { told << l; });
        testlog::Capture log;
        bool saved = true;
        {
            std::unique_ptr<FileSizeLimit> limit;
            if (!inFile) {
                limit = std::make_unique<FileSizeLimit>();
                QVERIFY(limit->active());
            }
            saved = save(writer, name);
        }
        setSaveFailureSink(before);

        QVERIFY(!saved);
        const QString line = "Can't save " + name + ": " + reason;
        QCOMPARE(told, QStringList{line});
        QCOMPARE(log.linesStartingWith("Can't"), QStringList{line});
        // Nothing beside it, no temporary left over; the earlier file whole.
        QCOMPARE(QDir(tmp.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"old.png"});
        QCOMPARE(bytesOf(old), earlier);
    }

    // With room an append keeps what the file held.
    void appendWithRoom()
    {
        QTemporaryDir tmp;
        const QString name = tmp.filePath("h.dat");
        QVERIFY(save(Append, name));
        QVERIFY(save(Append, name));
        QCOMPARE(bytesOf(name), more + more);
    }
};

CORVELLINE_TEST(TestWholeFile)
#include "tst_wholefile.moc"
