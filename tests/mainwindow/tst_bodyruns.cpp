#include "support/ImageCraft.h"
#include "support/LogCapture.h"
#include "support/StackBody.h"
#include "support/TestRegistry.h"
#include "support/Loopback.h"

#include "analysis/Analyzer.h"
#include "batch/BatchCtrl.h"
#include "imagestack/LoadTiff.h"
#include "imagestack/SelectDataFiles.h"
#include "imagestack/TiffData.h"
#include "mainwindow/Body.h"

#include <QApplication>
#include <QComboBox>
#include <QFileInfo>
#include <QLineEdit>
#include <QSemaphore>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <QTimer>

#include <memory>

namespace {

const int waitMs = 20000;

// Runs a script through the batch window and waits for its end.
bool runBatch(Body& b, const QStringList& lines)
{
    const auto ends = [&b] { return int(b.batchCtrl->BatchLogs->toPlainText().count(QLatin1String("end"))); };
    const int before = ends();
    b.batchCtrl->BatchCmds->setPlainText(lines.join(u'\n'));
    b.batchCtrl->execCmdsSlot();
    return QTest::qWaitFor([&] { return ends() > before; }, waitMs);
}

int answersOf(const QSignalSpy& spy, int id)
{
    int n = 0;
    for (const QList<QVariant>& a : spy)
        n += a.at(0).toInt() == id;
    return n;
}

// A 10 x 4 field of 30 frames with a step, put into the I1 stack directly;
// the walk runs the first analysis.
std::unique_ptr<Body> walkBody()
{
    std::unique_ptr<Body> b = craft::bodyWithStack(10, 4, 30, [](int, int, int k) { return k < 15 ? 0.9 : 0.4; });
    b->analyzer->setSubMode(0, 0, true);
    return b;
}

// Holds the loader inside the hand-over of its first frame until released, so
// that what the test does next happens while the load still runs. Made after
// the test's own connections to `loaded`, so those are queued before it waits.
struct LoaderGate {
    QSemaphore gate;
    QSemaphore handedOver; // one per frame handed over
    QMetaObject::Connection c;
    explicit LoaderGate(LoadTiff* l)
    {
        c = QObject::connect(l, &LoadTiff::loaded, l, [this] {
            handedOver.release();
            gate.acquire();
        }, Qt::DirectConnection);
    }
    void open() { gate.release(1000); }
    ~LoaderGate()
    {
        QObject::disconnect(c);
        open();
    }
};

} // namespace

// The main window with its real loaders, dispatcher and analysis thread.
class TestBodyRuns : public QObject {
    Q_OBJECT
    QTemporaryDir dir;

    // n 4 x 3 TIFF files "<tag>_<energy>.tif".
    QStringList files(const QString& tag, int n)
    {
        QStringList out;
        for (int i = 0; i < n; i++) {
            out << dir.filePath(QStringLiteral("%1_%2.tif").arg(tag).arg(8990 + i));
            if (!QFileInfo::exists(out.last()))
                craft::writeTiff(out.last(), 4, 3, craft::ramp16(4, 3, 100 + 10 * i));
        }
        return out;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(dir.isValid());
        loopback::resetConfig();
    }

    // Replacing or clearing I0 leaves the I1 frame shown, so it can still be saved.
    void i1PictureSurvivesI0_data()
    {
        QTest::addColumn<QString>("i0Line");
        QTest::newRow("new I0 stack") << "load_I0_files NEW " + files("i0", 2).join(u' ');
        QTest::newRow("I0 cleared") << "clear_I0_files";
    }
    void i1PictureSurvivesI0()
    {
        QFETCH(QString, i0Line);
        Body body;
        const QString a = dir.filePath(QStringLiteral("a.png"));
        const QString b = dir.filePath(QStringLiteral("b.png"));
        QFile::remove(a);
        QFile::remove(b);
        QVERIFY(runBatch(body, {"load_I1_files NEW " + files("i1", 2).join(u' '), "save_image " + a, i0Line,
                                "save_image " + b}));
        QVERIFY(QFileInfo::exists(a));
        QVERIFY(QFileInfo::exists(b));
    }

    // An I0 load answers the batch with 5 once it ends, also when no file could be read.
    void i0LoadAnswersBatch_data()
    {
        QTest::addColumn<QStringList>("names");
        QTest::addColumn<int>("frames");
        QTest::newRow("files read") << files("i0", 2) << 2;
        QTest::newRow("every file fails") << QStringList{dir.filePath("none1.tif"), dir.filePath("none2.tif")} << 0;
    }
    void i0LoadAnswersBatch()
    {
        QFETCH(QStringList, names);
        Body body;
        QSignalSpy answers(&body, &Body::finishBatchExec);
        QVERIFY(runBatch(body, {"load_I0_files NEW " + names.join(u' '), "set_view_w 7"}));
        QCOMPARE(body.vHWidth_->text(), QStringLiteral("7"));
        QCOMPARE(answersOf(answers, LOAD_I0_FILES), 1);
        QTEST(int(body.i0Frames.size()), "frames");
    }

    // A NEW load while the first one's frames and finish still wait in the
    // queue: none of them lands, and only the second load answers.
    void secondNewLoad_data()
    {
        QTest::addColumn<bool>("i1");
        QTest::newRow("I1") << true;
        QTest::newRow("I0") << false;
    }
    void secondNewLoad()
    {
        QFETCH(bool, i1);
        Body body;
        LoadTiff* loader = i1 ? body.i1Loader : body.i0Loader;
        const FrameSets::Stack s = i1 ? FrameSets::I1 : FrameSets::I0;
        QSemaphore finished;
        connect(loader, &LoadTiff::finishLoadFiles, loader, [&finished] { finished.release(); },
                Qt::DirectConnection);
        const auto read = [&](const QStringList& f) { i1 ? body.readI1Files(f, true) : body.readI0Files(f, true); };
        QSignalSpy answers(&body, &Body::finishBatchExec);
        read(files("first", 3));
        // No event is handled here: the first load's frames and finish stay queued.
        QVERIFY(finished.tryAcquire(1, waitMs));
        const QStringList second = files("second", 2);
        read(second);
        QVERIFY(finished.tryAcquire(1, waitMs));
        QTRY_VERIFY(!answers.isEmpty());
        QCOMPARE(answers.count(), 1);
        QStringList names;
        for (const TiffData* f : body.frameSets.frames(s))
            names << f->fileName;
        QCOMPARE(names, second);
    }

    // The operator stops the work a batch waits for: the batch gets one answer
    // and goes on; a later batch waits for its own work to end.
    void stopWhileBatchWaits_data()
    {
        QTest::addColumn<bool>("walk");
        QTest::newRow("load") << false;
        QTest::newRow("walk") << true;
    }
    void stopWhileBatchWaits()
    {
        QFETCH(bool, walk);
        std::unique_ptr<Body> owner = walk ? walkBody() : std::make_unique<Body>();
        Body& body = *owner;
        QSignalSpy answers(&body, &Body::finishBatchExec);
        std::unique_ptr<LoaderGate> gate;
        QTimer whileWalking;
        bool stoppedDuringWork = false;
        QStringList work, later;
        int id = 0;
        if (walk) {
            // Stopped with the Analyze button on a turn of the event loop while it runs.
            connect(&whileWalking, &QTimer::timeout, &body, [&] {
                if (stoppedDuringWork || !body.walkRunning())
                    return;
                stoppedDuringWork = true;
                whileWalking.stop();
                body.analyzer->AskAnalyze->click();
            });
            whileWalking.start(0);
            work = QStringList{"analyzer_exec_2da"};
            later = QStringList{"select_region 0 0 4 2", "analyzer_exec_2da"};
            id = ANALYZER_EXEC_LCF;
        } else {
            // Cleared with the panel's button once the first frame has landed.
            connect(body.i1Loader, &LoadTiff::loaded, &body, [&] {
                if (stoppedDuringWork)
                    return;
                stoppedDuringWork = body.i1Loader->isBusy();
                body.SelectI1Files->Clear->click();
                gate->open();
            }, Qt::QueuedConnection);
            gate.reset(new LoaderGate(body.i1Loader));
            work = QStringList{"load_I1_files NEW " + files("long", 20).join(u' ')};
            later = QStringList{"load_I1_files NEW " + files("short", 2).join(u' ')};
            id = LOAD_I1_FILES;
        }
        QVERIFY(runBatch(body, work + QStringList{"set_view_w 7"}));
        QVERIFY(stoppedDuringWork);
        QCOMPARE(body.vHWidth_->text(), QStringLiteral("7"));
        QCOMPARE(answersOf(answers, id), 1);

        // When the later batch goes on, its own work has ended.
        bool workDoneAtNextLine = false;
        connect(body.vHWidth_, &QLineEdit::textChanged, &body, [&] {
            workDoneAtNextLine = walk ? !body.walkRunning() && body.analyzer->Progress->text() == "100.00"
                                      : body.i1Frames.size() == 2 && !body.i1Loader->isBusy();
        });
        QVERIFY(runBatch(body, later + QStringList{"set_view_w 9"}));
        QVERIFY(workDoneAtNextLine);
        QCOMPARE(answersOf(answers, id), 2);
    }

    // A frame of another size than its stack's first is refused and named,
    // the load going on with the next file.
    void otherSizeInStack_data()
    {
        QTest::addColumn<QList<QSize>>("sizes");
        QTest::addColumn<int>("frames");
        QTest::addColumn<QStringList>("refused");
        QTest::newRow("second of three") << QList<QSize>{{6, 4}, {8, 6}, {6, 4}} << 2
                                         << QStringList{"Frame of 8 x 6 pixels in a stack of 6 x 4, not loaded: size_1.tif"};
        QTest::newRow("first larger than the rest")
            << QList<QSize>{{8, 6}, {6, 4}, {6, 4}} << 1
            << QStringList{"Frame of 6 x 4 pixels in a stack of 8 x 6, not loaded: size_1.tif",
                           "Frame of 6 x 4 pixels in a stack of 8 x 6, not loaded: size_2.tif"};
    }
    void otherSizeInStack()
    {
        QFETCH(QList<QSize>, sizes);
        QFETCH(QStringList, refused);
        QTemporaryDir here;
        QStringList names;
        for (int i = 0; i < sizes.size(); i++) {
            names << here.filePath(QStringLiteral("size_%1.tif").arg(i));
            const QSize z = sizes[i];
            QVERIFY(craft::writeTiff(names.last(), z.width(), z.height(), craft::ramp16(z.width(), z.height(), 100)));
        }
        testlog::Capture log;
        Body body;
        QVERIFY(runBatch(body, {"load_I1_files NEW " + names.join(u' ')}));
        QTEST(int(body.i1Frames.size()), "frames");
        QCOMPARE(body.SelectI1Files->Selected->count(), body.i1Frames.size());
        QStringList lines = log.linesStartingWith(QStringLiteral("Frame of "));
        for (QString& l : lines)
            l.replace(here.path() + u'/', QString());
        QCOMPARE(lines, refused);
    }

    // As the program ends on "quit": while a load or a walk runs, the event loop
    // ends with 0 and the window goes right after, as in main.
    void quitWhileBusy_data()
    {
        QTest::addColumn<bool>("walk");
        QTest::newRow("load") << false;
        QTest::newRow("walk") << true;
    }
    void quitWhileBusy()
    {
        QFETCH(bool, walk);
        Body* body = walk ? walkBody().release() : new Body();
        connect(body, SIGNAL(finishing()), qApp, SLOT(closeAllWindows()));
        body->show();
        std::unique_ptr<LoaderGate> gate;
        QTimer whileWalking;
        bool busyAtQuit = false;
        const auto quit = [&] {
            if (busyAtQuit)
                return;
            busyAtQuit = walk ? body->walkRunning() : body->i1Loader->isBusy();
            if (gate) {
                // A second frame waits in the queue when the program quits.
                gate->open();
                busyAtQuit = busyAtQuit && gate->handedOver.tryAcquire(2, waitMs);
            }
            body->execCmdSlot(CmdLine(QStringLiteral("quit")), false);
        };
        if (walk) {
            connect(&whileWalking, &QTimer::timeout, body, [&] {
                if (!body->walkRunning())
                    return;
                whileWalking.stop();
                quit();
            });
            whileWalking.start(0);
            QTimer::singleShot(0, body, [body] { body->execCmdSlot(CmdLine(QStringLiteral("analyzer_exec_2da")), false); });
        } else {
            connect(body->i1Loader, &LoadTiff::loaded, body, quit, Qt::QueuedConnection);
            gate.reset(new LoaderGate(body->i1Loader));
            body->readI1Files(files("long", 20), true);
        }
        QTimer guard; // ends a hang as a failure
        guard.setSingleShot(true);
        connect(&guard, &QTimer::timeout, qApp, [] { QCoreApplication::exit(1); });
        guard.start(waitMs);
        QCOMPARE(QApplication::exec(), 0);
        QVERIFY(busyAtQuit);
        for (QThread* t : {body->batchThread, body->i1Thread, body->i0Thread})
            QVERIFY(t->isFinished());
        delete body;
    }
};

CORVELLINE_TEST(TestBodyRuns)
#include "tst_bodyruns.moc"
