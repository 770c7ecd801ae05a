#include "support/ImageCraft.h"
#include "support/TestRegistry.h"

#include "imagestack/LoadTiff.h"
#include "imagestack/TiffData.h"

#include <QLoggingCategory>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QSemaphore>
#include <QThread>

// Stands in for the main window: keeps the frames of the current load and
// drops those of a stopped one, as the frame-set slots do.
class LoadReceiver : public QObject {
    Q_OBJECT
public:
    explicit LoadReceiver(LoadTiff* loader) : loader(loader)
    {
        connect(loader, &LoadTiff::loaded, this, &LoadReceiver::loaded);
        connect(loader, &LoadTiff::finishLoadFiles, this, &LoadReceiver::finished);
    }
    ~LoadReceiver() override { TiffData::clearList(stack); }

    LoadTiff* loader;
    QList<TiffData*> stack;
    QList<int> fNos;
    QList<int> totals;
    QList<int> finishes;
    int stale = 0;

public slots:
    void loaded(TiffData* d, int fNo, int total, quint64 g)
    {
        if (!loader->isCurrent(g)) {
            delete d;
            stale++;
            return;
        }
        stack << d;
        fNos << fNo;
        totals << total;
    }
    void finished(EX_CMD_ID id, quint64 g)
    {
        if (loader->isCurrent(g))
            finishes << int(id);
    }
};

// A loader on a thread of its own, taken down however the test ends.
struct LoaderThread {
    QThread thread;
    LoadTiff* loader = new LoadTiff;
    LoaderThread()
    {
        loader->moveToThread(&thread);
        thread.start();
    }
    ~LoaderThread()
    {
        thread.quit();
        thread.wait();
        delete loader;
        // Frames still posted to a receiver that is gone go with their events.
        QCoreApplication::sendPostedEvents();
    }
};

class TestLoader : public QObject {
    Q_OBJECT
    QTemporaryDir dir;

    // Files whose only sample is base + i, so a frame tells which request it came from.
    QStringList files(const QString& tag, int n, int base, const QString& sub = QString())
    {
        QStringList list;
        const QString folder = sub.isEmpty() ? dir.path() : dir.filePath(sub);
        QDir().mkpath(folder);
        for (int i = 0; i < n; i++) {
            const QString name = folder + QStringLiteral("/%1%2.img").arg(tag).arg(i);
            if (!QFile::exists(name))
                craft::writeIm(name, 1, 1, {quint32(base + i)});
            list << name;
        }
        return list;
    }
    static LoadTiffQue request(const LoadTiff& l, const QStringList& f, int skip = 1,
                               int cutFirst = 0, int cutLast = 0, EX_CMD_ID id = LOAD_I1_FILES,
                               bool ignoreLive = false)
    {
        return LoadTiffQue(f, ignoreLive, skip, cutFirst, cutLast, nullptr, id, l.generation());
    }
    static void post(LoadTiff* l, const LoadTiffQue& r)
    {
        QMetaObject::invokeMethod(l, [l, r] { l->loadTiffs(r); }, Qt::QueuedConnection);
    }

private slots:
    void initTestCase() { QVERIFY(dir.isValid()); }

    void walk_data()
    {
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("skip");
        QTest::addColumn<int>("cutFirst");
        QTest::addColumn<int>("cutLast");
        QTest::addColumn<QList<int>>("taken");
        QTest::newRow("cut 2 and 3, skip 2") << 10 << 2 << 2 << 3 << QList<int>{2, 4, 6};
        QTest::newRow("cut-last covers all: the first is taken")
            << 10 << 1 << 0 << 10 << QList<int>{0};
        QTest::newRow("every file") << 3 << 1 << 0 << 0 << QList<int>{0, 1, 2};
        QTest::newRow("skip 0 and negative cuts count as 1 and 0")
            << 3 << 0 << -1 << -2 << QList<int>{0, 1, 2};
        QTest::newRow("no file at cut-first") << 2 << 1 << 2 << 0 << QList<int>{};
        QTest::newRow("empty list") << 0 << 1 << 0 << 0 << QList<int>{};
    }
    void walk()
    {
        QFETCH(int, count);
        QFETCH(int, skip);
        QFETCH(int, cutFirst);
        QFETCH(int, cutLast);
        QFETCH(QList<int>, taken);
        LoadTiff loader;
        LoadReceiver r(&loader);
        loader.loadTiffs(request(loader, files(QStringLiteral("w"), count, 0), skip, cutFirst,
                                 cutLast, LOAD_I0_FILES));
        QTRY_COMPARE(r.finishes, QList<int>{LOAD_I0_FILES});
        QCOMPARE(r.fNos, taken);
        for (int i = 0; i < r.stack.size(); i++) {
            QCOMPARE(r.totals[i], count);
            QCOMPARE(r.stack[i]->value(0, 0), double(taken[i]));
        }
        QVERIFY(!loader.isBusy());
    }

    void twoRequestsOneFinish()
    {
        LoadTiff loader;
        LoadReceiver r(&loader);
        loader.loadTiffs(request(loader, files(QStringLiteral("a"), 3, 100), 1, 0, 0, LOAD_I1_FILES));
        loader.loadTiffs(request(loader, files(QStringLiteral("b"), 2, 200), 1, 0, 0, LOAD_I0_FILES));
        QTRY_COMPARE(r.finishes, QList<int>{LOAD_I0_FILES});
        QTest::qWait(20);
        QCOMPARE(r.finishes.size(), 1);
        QList<double> values;
        for (TiffData* f : r.stack)
            values << f->value(0, 0);
        QCOMPARE(values, (QList<double>{100, 101, 102, 200, 201}));
    }

    void ignoredWhileBusyWaitsForTheWalk()
    {
        LoadTiff loader;
        LoadReceiver r(&loader);
        loader.loadTiffs(request(loader, files(QStringLiteral("c"), 3, 0), 1, 0, 0, LOAD_I1_FILES));
        loader.loadTiffs(request(loader, QStringList(), 1, 0, 0, LOAD_I0_FILES));
        QTRY_COMPARE(r.finishes, QList<int>{LOAD_I1_FILES});
        QCOMPARE(r.stack.size(), 3);
    }

    void liveFiles()
    {
        LoadTiff loader;
        LoadReceiver r(&loader);
        const QStringList live = files(QStringLiteral("x"), 1, 10, QStringLiteral("Live"));
        const QStringList small = files(QStringLiteral("x"), 1, 20, QStringLiteral("live"));
        const QStringList named = files(QStringLiteral("Live"), 1, 30);
        QTest::ignoreMessage(QtDebugMsg, qPrintable(QStringLiteral("ignoe ") + live[0]));
        QTest::ignoreMessage(QtDebugMsg, qPrintable(QStringLiteral("ignoe ") + named[0]));
        loader.loadTiffs(LoadTiffQue(live + small + named, true, 1, 0, 0, nullptr, LOAD_I1_FILES,
                                     loader.generation()));
        QTRY_COMPARE(r.finishes.size(), 1);
        QCOMPARE(r.fNos, QList<int>{1});
        QCOMPARE(r.stack[0]->value(0, 0), 20.0);
    }

    void manyMissingFilesOnAThread()
    {
        QStringList missing;
        for (int i = 0; i < 5000; i++)
            missing << dir.filePath(QStringLiteral("missing%1.tif").arg(i));
        QLoggingCategory::setFilterRules(QStringLiteral("default.debug=false"));
        LoaderThread t;
        LoadReceiver r(t.loader);
        post(t.loader, request(*t.loader, missing));
        QTRY_COMPARE_WITH_TIMEOUT(r.finishes, QList<int>{LOAD_I1_FILES}, 60000);
        QLoggingCategory::setFilterRules(QString());
        QCOMPARE(r.stack.size(), 0);
    }

    // Stopped while a file is read on the loader's thread, then a new stack asked
    // for: nothing of the old request may land in it, and only the new one finishes.
    void stopMidWalkOnAThread()
    {
        LoaderThread t;
        LoadTiff* loader = t.loader;
        const QStringList old = files(QStringLiteral("old"), 10, 1000);
        const QStringList fresh = files(QStringLiteral("new"), 5, 2000);
        // Holds the loader inside its step for file 3 until the stop has been made.
        QSemaphore reading, stopped;
        connect(loader, &LoadTiff::loaded, loader, [&](TiffData*, int fNo, int total) {
            if (fNo == 3 && total == 10) {
                reading.release();
                stopped.acquire();
            }
        }, Qt::DirectConnection);
        LoadReceiver r(loader);
        post(loader, request(*loader, old));
        reading.acquire();
        loader->stop();
        TiffData::clearList(r.stack);
        r.fNos.clear();
        post(loader, request(*loader, fresh, 1, 0, 0, LOAD_I0_FILES));
        stopped.release();
        QTRY_COMPARE(r.finishes, QList<int>{LOAD_I0_FILES});
        QTest::qWait(50);
        QCOMPARE(r.fNos, (QList<int>{0, 1, 2, 3, 4}));
        for (TiffData* f : r.stack)
            QVERIFY(f->value(0, 0) >= 2000);
        QVERIFY(r.stale >= 1);
    }
};

CORVELLINE_TEST(TestLoader)
#include "tst_loader.moc"
