#include "support/ImageCraft.h"
#include "support/LogCapture.h"
#include "support/TestRegistry.h"

#include "display/ColorBar.h"
#include "foundation/Globals.h"
#include "foundation/WorkerThread.h"
#include "imagestack/LoadTiff.h"
#include "imagestack/ReadAhead.h"
#include "imagestack/TiffData.h"

#include <QFile>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QSemaphore>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#include <tiffio.h>

#include <chrono>
#include <cstdarg>
#include <cstdio>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <utility>

// Keeps the frames of the current load and drops those of a stopped one, as
// the main window does.
class LoadReceiver : public QObject {
    Q_OBJECT
public:
    explicit LoadReceiver(LoadTiff* l) : loader(l)
    {
        connect(l, &LoadTiff::loaded, this, [this](TiffData* d, int fNo, int total, quint64 g) {
            if (!loader->isCurrent(g)) {
                delete d;
                stale++;
                return;
            }
            stack << d;
            values << d->value(0, 0);
            totals << total;
            fNos << fNo;
        });
        connect(l, &LoadTiff::finishLoadFiles, this, [this](EX_CMD_ID id, quint64 g) {
            if (loader->isCurrent(g))
                finishes << int(id);
        });
    }
    ~LoadReceiver() override { TiffData::clearList(stack); }

    LoadTiff* loader;
    QList<TiffData*> stack;
    QList<double> values;
    QList<int> fNos, totals, finishes;
    int stale = 0;
};

namespace {
const int cutW = 2048, cutH = 4;

// A detector that rewrites a frame in place truncates it first: here just
// after the first row was read, so the next rows lie past the new end.
void cutAfterFirstRow(const QString& name, int rowsRead)
{
    if (rowsRead == 1 && QFileInfo(name).fileName().startsWith(QLatin1String("cut")))
        QFile::resize(name, craft::rawTiffRowOffset(cutW, cutH, 1));
}

const int rwW = 512, rwH = 512, rwCttrW = 96, rwCttrH = 40;
QString rewritePath;
QByteArray rewriteBytes;
// The second the frame's time keeps through the rewrite, which moves only its
// nanoseconds from rewriteNsec; -1: the rewrite moves it a whole second.
qint64 rewriteSecond = -1;
const long rewriteNsec = 250000000;

// The rewrite lands once the first strip of 8 rows is read.
void rewriteAfterFirstStrip(const QString& name, int rowsRead)
{
    if (rowsRead == 8 && name == rewritePath) {
        craft::rewriteInPlace(name, rewriteBytes);
        if (rewriteSecond >= 0)
            craft::setModTime(name, rewriteSecond, rewriteNsec + 500);
    }
}

// A frame of that kind whose values start at base.
bool writeKind(const QString& kind, const QString& path, int base)
{
    if (kind == QLatin1String("im")) {
        const QVector<quint16> v = craft::ramp16(rwW, rwH, base, 3);
        return craft::writeIm(path, rwW, rwH, QVector<quint32>(v.begin(), v.end()));
    }
    if (kind == QLatin1String("cttr")) {
        QVector<double> v(rwCttrW * rwCttrH);
        for (int i = 0; i < v.size(); i++)
            v[i] = base + 0.125 * (i % 7);
        return craft::writeBytes(path, craft::cttrText(0, rwCttrW, 0, rwCttrH, v));
    }
    craft::TiffOptions o;
    o.rowsPerStrip = kind == QLatin1String("one strip") ? rwH : 8;
    o.pages = kind == QLatin1String("pages") ? 2 : 1;
    o.lzw = kind == QLatin1String("lzw");
    return craft::writeTiff(path, rwW, rwH, craft::ramp16(rwW, rwH, base, 3), o);
}
// One file's read is held in its first row until a later file of the list has
// been read to its last row, which only a read on another thread can do.
struct HeldRead {
    std::mutex lock;
    std::condition_variable cv;
    QString held, awaited;
    int awaitedRows = 0;
    bool awaitedDone = false;
    bool heldWhileRead = false;
} heldRead;

void holdUntilLaterRead(const QString& name, int rowsRead)
{
    HeldRead& h = heldRead;
    std::unique_lock<std::mutex> l(h.lock);
    if (name == h.awaited && rowsRead == h.awaitedRows) {
        h.awaitedDone = true;
        h.cv.notify_all();
    } else if (name == h.held && rowsRead == 1) {
        h.heldWhileRead = h.cv.wait_for(l, std::chrono::seconds(10), [&h] { return h.awaitedDone; });
    }
}
// libtiff's error messages as its handler is given them.
QStringList tiffErrors;
void collectTiffError(const char* module, const char* fmt, va_list ap)
{
    char text[512];
    std::vsnprintf(text, sizeof(text), fmt, ap);
    tiffErrors << QStringLiteral("%1: %2").arg(QLatin1String(module ? module : "(none)"), QLatin1String(text));
}
} // namespace

class TestLoader : public QObject {
    Q_OBJECT
    QTemporaryDir dir;

    // n one-pixel files under the tag, file i holding base + i; missing ones are not written.
    QStringList files(const QString& tag, int n, int base = 0, bool write = true)
    {
        QStringList list;
        for (int i = 0; i < n; i++) {
            list << dir.filePath(QStringLiteral("%1%2.img").arg(tag).arg(i));
            if (write && !QFile::exists(list.last()))
                craft::writeIm(list.last(), 1, 1, {quint32(base + i)});
        }
        return list;
    }
    static void post(LoadTiff* l, const LoadTiffQue& r)
    {
        QMetaObject::invokeMethod(l, [l, r] { l->loadTiffs(r); }, Qt::QueuedConnection);
    }

private slots:
    void initTestCase()
    {
        QVERIFY(dir.isValid());
        QDir(dir.path()).mkpath(QStringLiteral("Live"));
        QDir(dir.path()).mkpath(QStringLiteral("live"));
    }

    // Requests of n files (file i holds 100 r + i for request r), sent together.
    void walk_data()
    {
        QTest::addColumn<QList<QList<int>>>("requests"); // files, skip, cut first, cut last
        QTest::addColumn<bool>("missing");
        QTest::addColumn<QList<double>>("values");
        QTest::addColumn<int>("finishId");
        QTest::newRow("cut 2 and 3, skip 2: files 2, 4, 6 of 10")
            << QList<QList<int>>{{10, 2, 2, 3}} << false << QList<double>{2, 4, 6} << 4;
        QTest::newRow("no file at cut-first: answered at once")
            << QList<QList<int>>{{2, 1, 2, 0}} << false << QList<double>{} << 4;
        QTest::newRow("two requests, one finish with the second's id")
            << QList<QList<int>>{{2, 1, 0, 0}, {2, 1, 0, 0}} << false
            << QList<double>{0, 1, 100, 101} << 5;
        QTest::newRow("an ignored request waits for the walk")
            << QList<QList<int>>{{2, 1, 0, 0}, {0, 1, 0, 0}} << false << QList<double>{0, 1} << 4;
        QTest::newRow("5000 missing files") << QList<QList<int>>{{5000, 1, 0, 0}} << true
                                            << QList<double>{} << 4;
    }
    void walk()
    {
        QFETCH(QList<QList<int>>, requests);
        QFETCH(bool, missing);
        QFETCH(QList<double>, values);
        QFETCH(int, finishId);
        QLoggingCategory::setFilterRules(QStringLiteral("default.debug=false"));
        LoadTiff loader;
        LoadReceiver r(&loader);
        for (int q = 0; q < requests.size(); q++) {
            const QList<int>& a = requests[q];
            const QStringList list = files(QString(missing ? "m%1_" : "w%1_").arg(q), a[0], 100 * q, !missing);
            loader.loadTiffs(LoadTiffQue(list, false, a[1], a[2], a[3], nullptr,
                                         EX_CMD_ID(LOAD_I1_FILES + q), loader.generation()));
        }
        QTRY_VERIFY_WITH_TIMEOUT(!r.finishes.isEmpty(), 30000);
        QTest::qWait(10);
        QLoggingCategory::setFilterRules(QString());
        QCOMPARE(r.finishes, QList<int>{finishId});
        QCOMPARE(r.values, values);
        if (!values.isEmpty())
            QCOMPARE(r.totals.first(), requests.first().first());
    }

    void liveFiles()
    {
        LoadTiff loader;
        LoadReceiver r(&loader);
        const QStringList list = files(QStringLiteral("Live/a"), 1, 10) + files(QStringLiteral("live/a"), 1, 20)
            + files(QStringLiteral("Live"), 1, 30);
        QTest::ignoreMessage(QtDebugMsg, qPrintable(QStringLiteral("ignoe ") + list[0]));
        QTest::ignoreMessage(QtDebugMsg, qPrintable(QStringLiteral("ignoe ") + list[2]));
        loader.loadTiffs(LoadTiffQue(list, true, 1, 0, 0, nullptr, LOAD_I1_FILES, loader.generation()));
        QTRY_COMPARE(r.finishes.size(), 1);
        QCOMPARE(r.values, QList<double>{20});
        QCOMPARE(r.fNos, QList<int>{1});
    }

    // The cut frame is refused with its line and the load goes on.
    void frameCutWhileRead_data()
    {
        QTest::addColumn<QString>("folder");
        QTest::newRow("frame") << "";
        QTest::newRow("'Live' frame, Live files read") << "Live/";
    }
    void frameCutWhileRead()
    {
        QFETCH(QString, folder);
        const QString cut = dir.filePath(folder + QStringLiteral("cut.tif"));
        const QString next = dir.filePath(folder + QStringLiteral("next.tif"));
        QVERIFY(craft::writeRawTiff(cut, cutW, cutH, craft::ramp16(cutW, cutH, 1, 1)));
        QVERIFY(craft::writeTiff(next, 1, 1, {7}));
        TiffData::setRowReadHook(cutAfterFirstRow);
        QTest::ignoreMessage(QtDebugMsg,
                             qPrintable(QStringLiteral("TIFF file refused: error on reading row 1 ") + cut));
        LoadTiff loader;
        LoadReceiver r(&loader);
        loader.loadTiffs(LoadTiffQue({cut, next}, false, 1, 0, 0, nullptr, LOAD_I1_FILES, loader.generation()));
        QTRY_COMPARE(r.finishes.size(), 1);
        TiffData::setRowReadHook(nullptr);
        QCOMPARE(r.fNos, QList<int>{1});
        QCOMPARE(r.values, QList<double>{7});
    }

    // Written again at the same size after its first rows are read: refused and
    // named, the load goes on. A compressed TIFF's strips no longer decode.
    void frameRewrittenWhileRead_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("line"); // a pattern, the file's name follows
        QTest::addColumn<bool>("sameSecond");
        const QString changed = QStringLiteral("file refused: changed while it was read");
        QTest::newRow("TIFF, strips of 8 rows") << "strips" << "TIFF " + changed << false;
        QTest::newRow("TIFF, one strip") << "one strip" << "TIFF " + changed << false;
        QTest::newRow("TIFF, two pages") << "pages" << "TIFF " + changed << false;
        QTest::newRow("TIFF, LZW") << "lzw" << "TIFF file refused: error on reading row \\d+" << false;
        QTest::newRow("IM") << "im" << "IM " + changed << false;
        QTest::newRow("CTTR") << "cttr" << "CTTR " + changed << false;
        QTest::newRow("TIFF, time 500 ns later") << "strips" << "TIFF " + changed << true;
    }
    void frameRewrittenWhileRead()
    {
        QFETCH(QString, kind);
        QFETCH(QString, line);
        QFETCH(bool, sameSecond);
        rewritePath = dir.filePath(QStringLiteral("rw %1.frame").arg(kind));
        const QString next = dir.filePath(QStringLiteral("next.tif"));
        QVERIFY(writeKind(kind, rewritePath, 5000));
        QFile again(rewritePath);
        QVERIFY(again.open(QIODevice::ReadOnly));
        rewriteBytes = again.readAll();
        again.close();
        QVERIFY(writeKind(kind, rewritePath, 1000));
        if (kind != QLatin1String("lzw"))
            QCOMPARE(QFileInfo(rewritePath).size(), rewriteBytes.size());
        QVERIFY(craft::writeTiff(next, 1, 1, {7}));
        rewriteSecond = sameSecond ? QFileInfo(rewritePath).lastModified().toSecsSinceEpoch() : -1;
        if (sameSecond && !craft::setModTime(rewritePath, rewriteSecond, rewriteNsec))
            QSKIP("This file system keeps no nanoseconds of a file's time");
        TiffData::setRowReadHook(rewriteAfterFirstStrip);
        QTest::ignoreMessage(QtDebugMsg,
                             QRegularExpression('^' + line + ' ' + QRegularExpression::escape(rewritePath) + '$'));
        LoadTiff loader;
        LoadReceiver r(&loader);
        loader.loadTiffs(LoadTiffQue({rewritePath, next}, false, 1, 0, 0, nullptr, LOAD_I1_FILES,
                                     loader.generation()));
        QTRY_COMPARE(r.finishes.size(), 1);
        TiffData::setRowReadHook(nullptr);
        QCOMPARE(r.fNos, QList<int>{1});
        QCOMPARE(r.values, QList<double>{7});
    }

    // A TIFF frame whose middle sample is an error point: the loader repairs it by
    // the program-wide switch as it stood when the request was made, and hands the
    // frame over uncoloured though a colour bar is there to colour through.
    void handOver_data()
    {
        QTest::addColumn<bool>("useAtRequest");
        QTest::addColumn<double>("middle");
        QTest::newRow("on when asked, off while read") << true << 5.0; // (1+2+3+4+6+7+8+9)/8
        QTest::newRow("off when asked, on while read") << false << 100.0;
    }
    void handOver()
    {
        QFETCH(bool, useAtRequest);
        QFETCH(double, middle);
        const QString name = dir.filePath(QStringLiteral("e.tif"));
        QVERIFY(craft::writeTiff(name, 3, 3, {1, 2, 3, 4, 100, 6, 7, 8, 9}));
        ColorBar bar;
        mainColorBar = &bar;
        ErrPoints list;
        list.points = {QPoint(1, 1)};
        globalErrPoints.use = useAtRequest;
        LoadTiff loader;
        LoadReceiver r(&loader);
        const LoadTiffQue req({name}, false, 1, 0, 0, &list, LOAD_I1_FILES, loader.generation());
        globalErrPoints.use = !useAtRequest;
        post(&loader, req);
        QTRY_COMPARE(r.finishes.size(), 1);
        mainColorBar = nullptr;
        globalErrPoints = ErrPoints();
        QCOMPARE(r.stack.size(), 1);
        QCOMPARE(r.stack[0]->value(1, 1), middle);
        QVERIFY(!r.stack[0]->dispImg && !r.stack[0]->dispBuf);
        QCOMPARE(r.stack[0]->errPs, &list);
    }

    // Stopped while file 3 is read on the loader's thread, then a new stack asked
    // for: nothing of the old request lands in it, and only the new one finishes.
    void stopMidWalkOnAThread()
    {
        QThread thread;
        LoadTiff* loader = new LoadTiff;
        loader->moveToThread(&thread);
        thread.start();
        QSemaphore reading, stopped;
        connect(loader, &LoadTiff::loaded, loader, [&](TiffData*, int fNo, int total) {
            if (fNo == 3 && total == 10) {
                reading.release();
                stopped.acquire();
            }
        }, Qt::DirectConnection);
        {
            LoadReceiver r(loader);
            post(loader, LoadTiffQue(files(QStringLiteral("old"), 10, 1000), false, 1, 0, 0, nullptr,
                                     LOAD_I1_FILES, loader->generation()));
            reading.acquire();
            loader->stop();
            TiffData::clearList(r.stack);
            r.values.clear();
            post(loader, LoadTiffQue(files(QStringLiteral("new"), 5, 2000), false, 1, 0, 0, nullptr,
                                     LOAD_I0_FILES, loader->generation()));
            stopped.release();
            QTRY_COMPARE(r.finishes, QList<int>{LOAD_I0_FILES});
            QTest::qWait(50);
            QCOMPARE(r.values, (QList<double>{2000, 2001, 2002, 2003, 2004}));
            QVERIFY(r.stale >= 1);
        }
        joinWorkerThread(&thread);
        delete loader;
        QCoreApplication::sendPostedEvents();
    }

    // libtiff's messages of a read for the loader reach libtiff's handler only
    // when the loader logs that read, as a read of its own would give them.
    void tiffMessagesKept_data()
    {
        QTest::addColumn<QByteArray>("bytes"); // empty: a TIFF cut in its third row
        QTest::newRow("cut in its third row") << QByteArray();
        QTest::newRow("version 41") << QByteArray("II\x29\x00") + QByteArray(28, '\0');
    }
    void tiffMessagesKept()
    {
        QFETCH(QByteArray, bytes);
        const QString path = dir.filePath(QStringLiteral("messages.tif"));
        craft::RawTiffOptions cut;
        cut.keepBytes = craft::rawTiffRowOffset(64, 4, 2) + 10;
        QVERIFY(bytes.isEmpty() ? craft::writeRawTiff(path, 64, 4, craft::ramp16(64, 4, 3, 100), cut)
                                : craft::writeBytes(path, bytes));
        tiffErrors.clear();
        const TIFFErrorHandler previous = TIFFSetErrorHandler(collectTiffError);
        const auto restore = qScopeGuard([previous] { TIFFSetErrorHandler(previous); });
        TiffData alone;
        QVERIFY(!alone.load(path, nullptr));
        const QStringList direct = std::exchange(tiffErrors, {});
        QVERIFY(!direct.isEmpty());
        ReadAhead::Read read = ReadAhead::readFile(path, LoadTiffQue({path}, false, 1, 0, 0, nullptr, LOAD_I1_FILES, 0));
        QVERIFY(!read.frame);
        QCOMPARE(tiffErrors, QStringList());
        read.log.write();
        QCOMPARE(tiffErrors, direct);
    }

    // A text image's warning of a read for the loader is written when the
    // loader logs that read, not at once on the reading thread.
    void textWarningKept()
    {
        const QString path = dir.filePath(QStringLiteral("quote.dat"));
        QByteArray text = craft::cttrText(0, 3, 0, 2, QVector<double>(6, 2.5));
        text.replace(QByteArray("2 1 2.5"), QByteArray("2 1 \"1.25"));
        QVERIFY(text.contains("\"1.25"));
        QVERIFY(craft::writeBytes(path, text));
        static QStringList said;
        said.clear();
        const QtMessageHandler previous = qInstallMessageHandler(
            [](QtMsgType, const QMessageLogContext&, const QString& m) { said << m; });
        const auto restore = qScopeGuard([previous] { qInstallMessageHandler(previous); });
        const ReadAhead::Read read =
            ReadAhead::readFile(path, LoadTiffQue({path}, false, 1, 0, 0, nullptr, LOAD_I1_FILES, 0));
        QVERIFY(read.frame);
        delete read.frame;
        QCOMPARE(said, QStringList());
        read.log.write();
        const QStringList warned =
            said.filter(QStringLiteral("\"1.25] item is started from quote but not ended by quote"));
        QCOMPARE(warned.size(), 1);
    }

    // Files read ahead: 256 MB of samples by the last frame read, 256 files at
    // most; before a frame is read, one a thread at most and none without a file.
    void framesAhead_data()
    {
        QTest::addColumn<qint64>("frameBytes");
        QTest::addColumn<qint64>("fileBytes");
        QTest::addColumn<qint64>("ahead");
        const qint64 mb = qint64(1) << 20;
        QTest::newRow("512 KB frames: the file bound") << mb / 2 << mb << qint64(256);
        QTest::newRow("8 MB frames") << 8 * mb << mb << qint64(32);
        QTest::newRow("a frame over 256 MB: one") << 300 * mb << mb << qint64(1);
        QTest::newRow("none read, small files: one a thread") << qint64(0) << qint64(30 * 1024) << qint64(6);
        QTest::newRow("none read, 100 MB file") << qint64(0) << 100 * mb << qint64(2);
        QTest::newRow("none read, no file") << qint64(0) << qint64(0) << qint64(0);
    }
    void framesAhead()
    {
        QFETCH(qint64, frameBytes);
        QFETCH(qint64, fileBytes);
        QFETCH(qint64, ahead);
        QCOMPARE(ReadAhead::framesAhead(frameBytes, fileBytes, 6), ahead);
    }

    // A loader that asks for another file than the one planned next (a file
    // it passed over) gets that file, not the planned one.
    void takesTheFileAskedFor()
    {
        const int w = 11, h = 7;
        QStringList list;
        for (int i = 0; i < 6; i++) {
            list << dir.filePath(QStringLiteral("asked%1.tif").arg(i));
            QVERIFY(craft::writeTiff(list.last(), w, h, craft::ramp16(w, h, 300 + 10 * i, 1)));
        }
        const LoadTiffQue req(list, false, 1, 0, 0, nullptr, LOAD_I1_FILES, 0);
        ReadAhead ahead(3);
        QList<double> got;
        for (int at : {0, 1, 3, 4, 5}) {
            const ReadAhead::Read read = ahead.take(req, 1, at);
            QVERIFY(read.frame);
            got << read.frame->value(0, 0);
            delete read.frame;
        }
        QCOMPARE(got, (QList<double>{300, 310, 330, 340, 350}));
    }

    // A list read on several threads, file 1 held until file 3 is read whole:
    // the frames, and the lines of the files that give none, still come in the
    // list's order, each frame with the samples a read of its own gives.
    void severalThreadsKeepOrder_data()
    {
        QTest::addColumn<bool>("repair");
        QTest::newRow("error points not in use") << false;
        QTest::newRow("error points repaired") << true;
    }
    void severalThreadsKeepOrder()
    {
        QFETCH(bool, repair);
        const int w = 37, h = 23;
        const QString tag = dir.filePath(repair ? QStringLiteral("order1_") : QStringLiteral("order0_"));
        craft::TiffOptions strips;
        strips.rowsPerStrip = 4;
        const craft::ImOptions im;
        craft::ImOptions cut;
        cut.keepBytes = craft::imDataOffset(cut.comment) + 2 * w * (h - 3);
        auto ramp = [&](int i) { return craft::ramp16(w, h, 7 + 1000 * i, 50); };
        auto ramp32 = [&](int i) {
            const QVector<quint16> v = ramp(i);
            return QVector<quint32>(v.begin(), v.end());
        };
        // 2 is missing, 4 lies in a folder "Live", 5 is cut short.
        QStringList list;
        for (int i = 0; i < 8; i++)
            list << (i == 4 ? dir.filePath(QStringLiteral("Live/order")) : tag) + QString::number(i)
                    + (i == 5 || i == 6 ? QStringLiteral(".img") : QStringLiteral(".tif"));
        for (int i : {0, 1, 3, 4, 7})
            QVERIFY(craft::writeTiff(list[i], w, h, ramp(i), strips));
        QVERIFY(craft::writeIm(list[5], w, h, ramp32(5), cut));
        QVERIFY(craft::writeIm(list[6], w, h, ramp32(6), im));
        QFile::remove(list[2]);

        ErrPoints points;
        points.points = {QPoint(0, 0), QPoint(3, 5), QPoint(4, 5), QPoint(36, 22)};
        points.use = repair;
        globalErrPoints.use = repair; // TIFF frames are repaired by the program's switch
        {
            std::lock_guard<std::mutex> l(heldRead.lock);
            heldRead.held = list[1];
            heldRead.awaited = list[3];
            heldRead.awaitedRows = h;
            heldRead.awaitedDone = false;
            heldRead.heldWhileRead = false;
        }
        QThread thread;
        LoadTiff* loader = new LoadTiff;
        loader->moveToThread(&thread);
        thread.start();
        const auto join = qScopeGuard([&] {
            TiffData::setRowReadHook(nullptr);
            joinWorkerThread(&thread);
            delete loader;
            QCoreApplication::sendPostedEvents();
        });
        connect(loader, &LoadTiff::loaded, loader, [](TiffData*, int fNo) {
            qDebug().noquote() << "handed" << fNo;
        }, Qt::DirectConnection);
        QStringList lines;
        {
            LoadReceiver r(loader);
            {
                const testlog::Capture log;
                TiffData::setRowReadHook(holdUntilLaterRead);
                post(loader, LoadTiffQue(list, true, 1, 0, 0, &points, LOAD_I1_FILES, loader->generation()));
                globalErrPoints.use = false;
                QTRY_COMPARE_WITH_TIMEOUT(r.finishes.size(), 1, 60000);
                TiffData::setRowReadHook(nullptr);
                for (const QString& line : log.linesStartingWith(QString())) {
                    for (const char* kind : {"handed ", "Can not open", "ignoe ", "IM file refused"})
                        if (line.startsWith(QLatin1String(kind)))
                            lines << line;
                }
            }
            {
                std::lock_guard<std::mutex> l(heldRead.lock);
                QVERIFY2(heldRead.heldWhileRead, "file 3 was not read while file 1 was held");
            }
            QCOMPARE(lines, (QStringList{"handed 0", "handed 1", "Can not open (1) " + list[2], "handed 3",
                                         "ignoe " + list[4],
                                         QStringLiteral("IM file refused: %1 bytes of samples, the file holds %2 ")
                                                 .arg(2 * w * h)
                                                 .arg(2 * w * (h - 3))
                                             + list[5],
                                         "handed 6", "handed 7"}));
            QCOMPARE(r.fNos, (QList<int>{0, 1, 3, 6, 7}));
            // Off the list's ramp where repaired: (8 + 57 + 58) / 3 from the corner's neighbours.
            QCOMPARE(r.values.first(), repair ? 41.0 : 7.0);
            for (int k = 0; k < r.stack.size(); k++) {
                const TiffData* f = r.stack[k];
                TiffData alone;
                QVERIFY(alone.load(list[r.fNos[k]], &points, repair));
                QCOMPARE(f->fileName, alone.fileName);
                QCOMPARE(f->srcType, alone.srcType);
                QCOMPARE(f->width, alone.width);
                QCOMPARE(f->height, alone.height);
                QCOMPARE(f->min, alone.min);
                QCOMPARE(f->max, alone.max);
                QCOMPARE(f->expTime, alone.expTime);
                QCOMPARE(f->errPs, &points);
                int differ = 0;
                for (int y = 0; y < h; y++)
                    for (int x = 0; x < w; x++)
                        differ += f->ownValue(x, y) != alone.ownValue(x, y);
                QCOMPARE(differ, 0);
            }
        }
    }

    // Two loaders on threads of their own read through the same reading threads.
    // The first is stopped and goes while a read of it is held until the
    // second's last file is read whole: the second walks to its end and gets
    // its own frames, whole, in its list's order.
    void twoLoadersShareTheThreads()
    {
        const int w = 29, h = 17;
        QStringList lists[2];
        for (int k = 0; k < 2; k++)
            for (int i = 0; i < (k ? 12 : 60); i++) {
                lists[k] << dir.filePath(QStringLiteral("share%1_%2.tif").arg(k).arg(i));
                QVERIFY(craft::writeTiff(lists[k].last(), w, h, craft::ramp16(w, h, 20000 * k + 100 * i + 5, 3)));
            }
        {
            std::lock_guard<std::mutex> l(heldRead.lock);
            heldRead.held = lists[0][1];
            heldRead.awaited = lists[1].last();
            heldRead.awaitedRows = h;
            heldRead.awaitedDone = false;
            heldRead.heldWhileRead = false;
        }
        QThread threads[2];
        LoadTiff* loaders[2];
        for (int k = 0; k < 2; k++) {
            loaders[k] = new LoadTiff;
            loaders[k]->moveToThread(&threads[k]);
            threads[k].start();
        }
        // What was handed over reaches its receiver before the loader goes.
        auto quit = [&](int k) {
            joinWorkerThread(&threads[k]);
            QCoreApplication::sendPostedEvents();
            delete std::exchange(loaders[k], nullptr);
        };
        const auto join = qScopeGuard([&] {
            TiffData::setRowReadHook(nullptr);
            for (int k = 0; k < 2; k++)
                if (loaders[k])
                    quit(k);
        });
        auto a = std::make_unique<LoadReceiver>(loaders[0]);
        LoadReceiver b(loaders[1]);
        TiffData::setRowReadHook(holdUntilLaterRead);
        post(loaders[0], LoadTiffQue(lists[0], false, 1, 0, 0, nullptr, LOAD_I1_FILES, loaders[0]->generation()));
        // Frame 0 is in: file 1 is being read, and held.
        QTRY_VERIFY_WITH_TIMEOUT(!a->fNos.isEmpty(), 60000);
        post(loaders[1], LoadTiffQue(lists[1], false, 1, 0, 0, nullptr, LOAD_I0_FILES, loaders[1]->generation()));
        loaders[0]->stop();
        quit(0);
        QCOMPARE(a->fNos, QList<int>{0});
        a.reset();
        QTRY_COMPARE_WITH_TIMEOUT(b.finishes, QList<int>{LOAD_I0_FILES}, 60000);
        {
            std::lock_guard<std::mutex> l(heldRead.lock);
            QVERIFY2(heldRead.heldWhileRead, "the second list was not read while the first was held");
        }
        QList<double> firsts;
        for (int i = 0; i < lists[1].size(); i++)
            firsts << 20005 + 100 * i;
        QCOMPARE(b.values, firsts);
        for (const TiffData* f : b.stack) // read to its last sample
            QCOMPARE(f->value(w - 1, h - 1), f->value(0, 0) + (w - 1) + 3 * (h - 1));
    }
};

CORVELLINE_TEST(TestLoader)
#include "tst_loader.moc"
