#include "support/ImageCraft.h"
#include "support/TestRegistry.h"

#include "batch/BatchCtrl.h"
#include "foundation/Cfg.h"
#include "foundation/LineReader.h"
#include "foundation/XafsSpectrum.h"
#include "imagestack/EOFSetup.h"
#include "imagestack/ErrPoints.h"
#include "imagestack/PixelMask.h"
#include "imagestack/TiffData.h"

#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>

// Every text reader refuses a FIFO, an endless device and a line over the cap,
// names the file in the log and keeps what it held before (or stays empty).
class TestTextRefusals : public QObject {
    Q_OBJECT
    QTemporaryDir dir;

    enum Reader { Config, ConfigInclude, ErrorPoints, Mask, Spectrum, RefList, BatchFile, Frame };
    enum Bad { Fifo, Device, Overlong };

    QString path(const QString& name) const { return dir.filePath(name); }

    // A good first line of each format, an overlong one, then more good lines.
    static QByteArray overlongText(int reader)
    {
        static const char* const heads[] = {"before 1\n", "before 1\n", "# Size 10 10\n3 4\n",
                                            "# Size 8 8\n", "8000 1\n", "angles\n12\n", "save_image a\n", ""};
        return QByteArray(heads[reader]) + QByteArray(LineReader::maxLineLength + 1, '7') + "\n8000 2\n";
    }

private slots:
    void initTestCase() { QVERIFY(dir.isValid()); }

    void refused_data()
    {
        QTest::addColumn<int>("reader");
        QTest::addColumn<int>("bad");
        const QStringList readers = {"configuration", "INCLUDE of it", "error points", "pixel mask",
                                     "spectrum", "energy reference list", "batch file", "frame"};
        const QStringList bads = {"FIFO", "/dev/urandom", "line over the cap"};
        for (int r = Config; r <= Frame; ++r)
            for (int b = Fifo; b <= Overlong; ++b)
                if (!(r == Frame && b == Overlong)) // text images: the frame reader tests
                    QTest::newRow(qPrintable(readers[r] + ", " + bads[b])) << r << b;
    }
    void refused()
    {
        QFETCH(int, reader);
        QFETCH(int, bad);
        QString bad_path;
        if (bad == Fifo) {
            bad_path = path(QStringLiteral("fifo-%1").arg(reader));
            QFile::remove(bad_path);
            QVERIFY(::mkfifo(QFile::encodeName(bad_path).constData(), 0600) == 0);
        } else if (bad == Device) {
            bad_path = QStringLiteral("/dev/urandom");
        } else {
            bad_path = path(QStringLiteral("long-%1.txt").arg(reader));
            QVERIFY(craft::writeBytes(bad_path, overlongText(reader)));
        }
        const QString named = QRegularExpression::escape(bad_path) + "$";
        QTest::ignoreMessage(QtDebugMsg, QRegularExpression(
            bad == Overlong ? "^Line \\d+ longer than \\d+ characters, reading stopped: " + named
                            : "^Not a regular file, not read: " + named));

        switch (reader) {
        case Config: {
            Cfg c;
            QVERIFY(!c.readFile(bad_path));
            QCOMPARE(c.keys(), bad == Overlong ? QStringList{"before"} : QStringList());
            break;
        }
        case ConfigInclude: {
            const QString main = path(QStringLiteral("main.cfg"));
            QVERIFY(craft::writeBytes(main, "a 1\nINCLUDE " + QFile::encodeName(bad_path) + "\nb 2\n"));
            Cfg c;
            QVERIFY(c.readFile(main));
            QVERIFY(c.keys().contains("a") && c.keys().contains("b"));
            break;
        }
        case ErrorPoints: {
            ErrPoints e;
            e.points = {QPoint(1, 1)};
            e.use = true;
            QVERIFY(!e.read(bad_path, true));
            QVERIFY(e.points.isEmpty() && !e.use && e.fileName.isEmpty());
            QVERIFY(!e.contains(3, 4));
            break;
        }
        case Mask: {
            const QString good = path(QStringLiteral("mask.txt"));
            QVERIFY(craft::writeBytes(good, "# Size 4 4\n1 1 1\n"));
            PixelMask m;
            QVERIFY(m.read(good, PixelMask::Replace));
            QVERIFY(!m.read(bad_path, PixelMask::Replace));
            QCOMPARE(m.width, 4);
            QCOMPARE(m.cell(1, 1), 1);
            break;
        }
        case Spectrum: {
            XafsSpectrum s;
            QVERIFY(!s.readFile(bad_path));
            QCOMPARE(s.size(), 0);
            break;
        }
        case RefList: {
            const QString good = path(QStringLiteral("angles.dat"));
            QVERIFY(craft::writeBytes(good, "angles\n10\n11\n"));
            EOFSetup w;
            w.refFileSelected(good);
            const QList<double> before = w.refEnergyList();
            QCOMPARE(before.size(), 2);
            w.refFileSelected(bad_path);
            QCOMPARE(w.refEnergyList(), before);
            QCOMPARE(w.RefFilePath->text(), good);
            break;
        }
        case BatchFile: {
            BatchCtrl w;
            w.BatchCmds->setPlainText(QStringLiteral("old text"));
            w.load(bad_path);
            QCOMPARE(w.BatchCmds->toPlainText(), QStringLiteral("old text"));
            break;
        }
        case Frame: {
            TiffData f;
            QVERIFY(!f.load(bad_path, nullptr));
            QVERIFY(f.rows.isEmpty());
            break;
        }
        }
    }
};

CORVELLINE_TEST(TestTextRefusals)
#include "tst_textrefusals.moc"
