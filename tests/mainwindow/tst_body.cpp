#include "support/TestRegistry.h"
#include "support/Loopback.h"
#include "support/LogCapture.h"

#include "analysis/Analyzer.h"
#include "batch/BatchCtrl.h"
#include "batch/BatchDispatcher.h"
#include "analysis/FVView.h"
#include "calibration/CalibCtrl.h"
#include "display/XafsView.h"
#include "mainwindow/SaveDataCfg.h"
#include "display/XafsFileSelect.h"
#include "foundation/Cfg.h"
#include "foundation/Globals.h"
#include "imagestack/Analyzer2.h"
#include "imagestack/ErrPoints.h"
#include "imagestack/EOFSetup.h"
#include "imagestack/LoadTiff.h"
#include "imagestack/SelectDataFiles.h"
#include "mainwindow/Body.h"
#include "support/ImageCraft.h"

#include <QApplication>
#include <QFile>
#include <QMetaType>
#include <QPointer>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <QTimer>

#include <atomic>

namespace {
void setKeys(const QList<QPair<QString, QString>>& keys)
{
    loopback::resetConfig();
    for (const auto& k : keys)
        cfg.set(k.first, k.second, k.second, QString());
}
} // namespace

class TestBody : public QObject {
    Q_OBJECT
private slots:
    void init()
    {
        loopback::resetConfig();
        globalErrPoints = ErrPoints();
        showAnalyzer2Button = false;
    }
    void cleanup()
    {
        loopback::resetConfig();
        globalErrPoints = ErrPoints();
        showAnalyzer2Button = false;
    }

    // Three threads of the main window and the analysis thread run once it is
    // built; destroying it ends every one of them.
    void threadsRunAndEnd()
    {
        auto* body = new Body();
        QList<QThread*> threads{body->i1Thread, body->i0Thread, body->batchThread,
                                body->analyzer->analysisThread()};
        QList<QPointer<QThread>> alive;
        // Counted in each thread as it ends. Not a QSignalSpy: one made here while
        // the thread runs reaches it through Qt's connection lock, which the
        // thread sanitizer cannot see; a static atomic needs no hand-over.
        static std::atomic<int> finished[4];
        for (int i = 0; i < threads.size(); i++) {
            QThread* t = threads[i];
            QVERIFY(t);
            QVERIFY(t->isRunning());
            QVERIFY(t != QThread::currentThread());
            alive << QPointer<QThread>(t);
            finished[i] = 0;
            connect(t, &QThread::finished, t, [i] { finished[i]++; }, Qt::DirectConnection);
        }
        QCOMPARE(QSet<QThread*>(threads.begin(), threads.end()).size(), 4);
        QCOMPARE(body->i1Loader->thread(), body->i1Thread);
        QCOMPARE(body->i0Loader->thread(), body->i0Thread);
        QCOMPARE(body->batchDispatcher->thread(), body->batchThread);
        delete body;
        for (int i = 0; i < threads.size(); i++) {
            QCOMPARE(finished[i].load(), 1);
            QVERIFY(alive[i].isNull()); // deleted, not left to the process end
        }
    }

    void sendToStarsButton_data()
    {
        QTest::addColumn<QString>("value"); // "" for no key
        QTest::addColumn<bool>("shown");
        QTest::newRow("no key") << "" << false;
        QTest::newRow("1") << "1" << true;
        QTest::newRow("0") << "0" << false;
        QTest::newRow("2") << "2" << false;
        QTest::newRow("text") << "yes" << false;
    }
    void sendToStarsButton()
    {
        QFETCH(QString, value);
        if (!value.isEmpty())
            setKeys({{QStringLiteral("show_send_to_stars_on_xafs_view"), value}});
        Body body;
        QTEST(!body.xafsView->toStars_->isHidden(), "shown");
        QCOMPARE(body.xafsView->windowTitle(), QStringLiteral("Spectrum at the position"));
        QCOMPARE(body.xafsViews, QList<XafsView*>{body.xafsView});
    }

    void starsSettings_data()
    {
        QTest::addColumn<QStringList>("keys"); // key, value pairs
        QTest::addColumn<QStringList>("fields"); // name, key file, host, port
        QTest::addColumn<bool>("useStars");
        // Host and port always stay on 127.0.0.1 and ports that open no connection.
        const QString closed = QString::number(loopback::closedPort());
        QTest::newRow("defaults; host and port of the test set-up")
            << QStringList() << QStringList{"Corvelline", "Corvelline.key", "127.0.0.1", closed} << true;
        QTest::newRow("from the configuration, any case")
            << QStringList{"Name_On_Stars", "Brannoch", "key_on_stars", "b.key", "STARS_IP",
                           "127.0.0.2", "stars_port", "65536", "USE_STARS", "0"}
            << QStringList{"Brannoch", "b.key", "127.0.0.2", "65536"} << false;
        QTest::newRow("a port that is no number reaches the form unchanged")
            << QStringList{"STARS_PORT", "abc", "use_stars", "01"}
            << QStringList{"Corvelline", "Corvelline.key", "127.0.0.1", "abc"} << true;
        QTest::newRow("USE_STARS other than 1")
            << QStringList{"USE_STARS", "2"}
            << QStringList{"Corvelline", "Corvelline.key", "127.0.0.1", closed} << false;
    }
    void starsSettings()
    {
        QFETCH(QStringList, keys);
        QFETCH(QStringList, fields);
        QList<QPair<QString, QString>> kv;
        for (int i = 0; i + 1 < keys.size(); i += 2)
            kv << qMakePair(keys[i], keys[i + 1]);
        setKeys(kv);
        Body body;
        QCOMPARE(body.stars.nameOnStarsLE->text(), fields[0]);
        QCOMPARE(body.stars.keyFileLE->text(), fields[1]);
        QCOMPARE(body.stars.hostLE->text(), fields[2]);
        QCOMPARE(body.stars.portLE->text(), fields[3]);
        QTEST(body.useStars, "useStars");
    }

    // The login's lines reach the batch window, where the program's log is read.
    void starsLoginLogged()
    {
        QTemporaryDir dir;
        const QString key = dir.filePath(QStringLiteral("missing.key"));
        loopback::Server srv;
        srv.greeting = "3\n";
        const QString port = QString::number(srv.port());
        setKeys({{QStringLiteral("STARS_PORT"), port}, {QStringLiteral("KEY_ON_STARS"), key}});
        Body body;
        const QString want = "opening key file [" + key + "]\nCan't open key file [" + key
            + "]\nI have no key to exchange with Stars. (nothing reconnects by itself: restart the program once the "
              "key file is put right)\n";
        QTRY_VERIFY2(body.batchCtrl->BatchLogs->toPlainText().contains(want),
                     qPrintable(body.batchCtrl->BatchLogs->toPlainText()));
        QTRY_COMPARE(body.stars.statusL->text(), QStringLiteral("Disconnected"));
    }

    // The data target's lines reach the batch window too, and stderr once.
    void dataTargetLogged()
    {
        Body body;
        testlog::Capture log;
        body.client.sendData("x\n");
        const QString want = QStringLiteral("Data target 127.0.0.1:%1 not reached (Connection refused): 1 block dropped")
                                 .arg(loopback::closedPort());
        QTRY_VERIFY2(body.batchCtrl->BatchLogs->toPlainText().contains(want + u'\n'),
                     qPrintable(body.batchCtrl->BatchLogs->toPlainText()));
        QCOMPARE(log.linesStartingWith(QStringLiteral("Data target")), QStringList{want});
    }

    void secondAnalyserButton_data()
    {
        QTest::addColumn<bool>("flag");
        QTest::newRow("off") << false;
        QTest::newRow("on") << true;
    }
    void secondAnalyserButton()
    {
        QFETCH(bool, flag);
        showAnalyzer2Button = flag;
        Body body;
        QCOMPARE(!body.ShowAnalyzer2->isHidden(), flag);
        QVERIFY(body.analyzer2);
        QVERIFY(body.analyzer2->isHidden());
        if (flag) {
            QTest::mouseClick(body.ShowAnalyzer2, Qt::LeftButton);
            QVERIFY(body.analyzer2->isVisible());
        }
    }

    // A window open behind the main window, or minimised, comes to the front
    // with the focus when its button is pressed again.
    void showButtonsBringTheirWindowToFront_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<bool>("minimised");
        for (const char* b : {"ShowAnalyzer", "ShowStatistics", "ShowXafsView", "ShowImgProc", "OpenCalibCtrl",
                              "ShowAnalyzer2", "ShowBG", "BatchCtrlB", "SaveDataCfgB", "ShowView", "showFVMap_",
                              "SelectBG", "I1 Setup", "I1 Add. Setup", "I0 Setup", "I0 Add. Setup"})
            QTest::newRow(b) << b << false;
        QTest::newRow("ShowAnalyzer, minimised") << "ShowAnalyzer" << true;
    }
    void showButtonsBringTheirWindowToFront()
    {
        QFETCH(QString, button);
        QFETCH(bool, minimised);
        Body body;
        Analyzer* a = body.analyzer;
        const QHash<QString, QPair<QAbstractButton*, QWidget*>> windows{
            {"ShowAnalyzer", {body.ShowAnalyzer, a}},
            {"ShowStatistics", {body.ShowStatistics, &body.stats}},
            {"ShowXafsView", {body.ShowXafsView, body.xafsView}},
            {"ShowImgProc", {body.ShowImgProc, &body.imgProc}},
            {"OpenCalibCtrl", {body.OpenCalibCtrl, body.calibCtrl}},
            {"ShowAnalyzer2", {body.ShowAnalyzer2, body.analyzer2}},
            {"ShowBG", {body.ShowBG, &body.bgView}},
            {"BatchCtrlB", {body.BatchCtrlB, body.batchCtrl}},
            {"SaveDataCfgB", {body.SaveDataCfgB, body.saveDataCfg}},
            {"ShowView", {a->ShowView, a->xafsView()}},
            {"showFVMap_", {a->showFVMap_, a->fvView()}},
            {"SelectBG", {body.SelectBG, &body.bgFileSelect}},
            {"I1 Setup", {body.SelectI1Files->EngOfFilesSetup, body.SelectI1Files->eofSetup}},
            {"I1 Add. Setup", {body.SelectI1Files->AdditionalSetup, &body.SelectI1Files->additionalSetup}},
            {"I0 Setup", {body.SelectI0Files->EngOfFilesSetup, body.SelectI0Files->eofSetup}},
            {"I0 Add. Setup", {body.SelectI0Files->AdditionalSetup, &body.SelectI0Files->additionalSetup}}};
        QAbstractButton* b = windows.value(button).first;
        QWidget* w = windows.value(button).second;
        QVERIFY(b && w);
        body.show();
        b->click();
        QTRY_VERIFY(w->isVisible());
        if (minimised)
            w->showMinimized();
        body.activateWindow();
        QTRY_VERIFY(body.isActiveWindow());
        QVERIFY(!w->isActiveWindow());
        b->click();
        QTRY_VERIFY(w->isActiveWindow());
        QVERIFY(!w->isMinimized());
    }

    void errorPoints_data()
    {
        QTest::addColumn<QString>("key");     // "" for none
        QTest::addColumn<QByteArray>("file"); // "" for a missing file
        QTest::addColumn<bool>("use");
        QTest::addColumn<bool>("boxEnabled");
        QTest::addColumn<int>("points");
        QTest::newRow("no key: box on, list off") << "" << QByteArray() << false << true << 0;
        QTest::newRow("key in lower case loads")
            << "errpoints" << QByteArray("# Size 10 10\n1 2\n3 4\n") << true << true << 2;
        QTest::newRow("unreadable file disables the box")
            << "ErrPoints" << QByteArray() << false << false << 0;
    }
    void errorPoints()
    {
        QFETCH(QString, key);
        QFETCH(QByteArray, file);
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString path = dir.filePath(QStringLiteral("err.dat"));
        if (!file.isEmpty())
            QVERIFY(craft::writeBytes(path, file));
        if (!key.isEmpty())
            setKeys({{key, path}});
        Body body;
        QTEST(globalErrPoints.use, "use");
        QTEST(body.analyzer2->UseErrPMask->isEnabled(), "boxEnabled");
        QTEST(int(globalErrPoints.points.size()), "points");
        QVERIFY(body.analyzer2->UseErrPMask->isChecked());
        if (globalErrPoints.use)
            QCOMPARE(body.analyzer2->ErrPMaskFileName->text(), globalErrPoints.fileName);
        // The box alone switches the list from now on.
        body.analyzer2->UseErrPMask->setEnabled(true);
        body.analyzer2->UseErrPMask->setChecked(false);
        QVERIFY(!globalErrPoints.use);
        body.analyzer2->UseErrPMask->setChecked(true);
        QVERIFY(globalErrPoints.use);
    }

    void displaySelector()
    {
        Body body;
        QCOMPARE(body.dispSelector.id(body.ShowData), 0);
        QCOMPARE(body.dispSelector.id(body.ShowI0), 1);
        QCOMPARE(body.dispSelector.id(body.ShowShiftMap), 2);
        QCOMPARE(body.dispSelector.id(body.ShowResAnalysis), 3);
        QVERIFY(body.dispSelector.exclusive());
        body.ShowI0->setChecked(true);
        QVERIFY(!body.ShowData->isChecked());
        QCOMPARE(body.dispSelector.checkedId(), 1);
    }

    void startState()
    {
        Body body;
        QCOMPARE(body.imageW, -1);
        QCOMPARE(body.imageH, -1);
        QCOMPARE(mainColorBar, static_cast<ColorBar*>(body.CBar));
        QCOMPARE(body.CBarAll->innerText(), QStringLiteral("Set All"));
        QVERIFY(body.VCross->vertical);
        QVERIFY(!body.HCross->vertical);
        QCOMPARE(body.eShiftMap.name, QStringLiteral("a2d esm"));
        QVERIFY(body.dispA->resetMax); // follows the checked "Max" box
        body.resetMax_->setChecked(false);
        QVERIFY(!body.dispA->resetMax);
        QVERIFY(!body.dispA->showOverLayer); // "Data" is shown
        QCOMPARE(body.analyzer->xafsView()->windowTitle(), QStringLiteral("Analyzing Spectrum"));
        QVERIFY(body.analyzer->xafsView()->isVisible()); // opens by itself
        QVERIFY(!body.bgView.Normalized->isChecked());
        QVERIFY(body.bgView.autoXScale);
        QCOMPARE(body.bgView.windowTitle(), QStringLiteral("BG Specturm"));
        QCOMPARE(body.bgFileSelect.windowTitle(), QStringLiteral("BG File"));
        QCOMPARE(body.TotalI0ofI1XAFS->Select->maximumWidth(), 50);
        QCOMPARE(body.TotalI0ofI0XAFS->Clear->maximumWidth(), 50);
        QCOMPARE(body.ToolBox->currentIndex(), 0);
    }

    void metaTypes()
    {
        Body body;
        for (const char* name : {"XafsSpectrum", "SuggestElm", "XafsSpectrum*", "CmdLine", "EX_CMD_ID",
                                 "FeatureValue", "ErrPoints*", "TiffData*", "AnalyzeCond", "EMPHeader",
                                 "QList<LCFReference*>", "QList<ElemCtrl*>", "AElemsConds*",
                                 "LCFRequest", "AnalyzeReply"})
            QVERIFY2(QMetaType::fromName(name).isValid(), name);
    }

    void bins_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("value");
        QTest::newRow("10") << "10" << 10;
        QTest::newRow("negative") << "-3" << -3;
        QTest::newRow("not a whole number") << "2.5" << 0;
        QTest::newRow("empty") << "" << 0;
        QTest::newRow("text") << "abc" << 0;
    }
    void bins()
    {
        QFETCH(QString, text);
        QFETCH(int, value);
        Body body;
        for (QLineEdit* e : {body.vHWidth_, body.vVWidth_, body.aHWidth_, body.aVWidth_})
            e->setText(text);
        QCOMPARE(body.viewW(), value);
        QCOMPARE(body.viewH(), value);
        QCOMPARE(body.analyzeW(), value);
        QCOMPARE(body.analyzeH(), value);
    }

    void background()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString good = dir.filePath(QStringLiteral("bg.dat"));
        QVERIFY(craft::writeBytes(good, "8900 0.10\n8950 0.20\n9000 1.10\n9050 1.20\n"));
        Body body;
        body.bgFileSelect.load(good);
        QVERIFY(body.bgLoaded);
        QCOMPARE(body.bgView.spectrum.size(), 4);
        QCOMPARE(body.bgSpectrum.size(), 4);
        body.clearedBG();
        QVERIFY(!body.bgLoaded);
        QCOMPARE(body.bgView.spectrum.size(), 4); // the view keeps what it shows

        body.selectedBG(good);
        body.selectedBG(dir.filePath(QStringLiteral("missing.dat")));
        QVERIFY(!body.bgLoaded);
        QCOMPARE(body.bgView.spectrum.size(), 4);
        QCOMPARE(body.bgSpectrum.size(), 4);
    }

    // A file not used as total I0 is not left named in its field, as Clear leaves it.
    void totalI0Field_data()
    {
        QTest::addColumn<bool>("ofI1");
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<bool>("named");
        const QByteArray head = "9809  total I0\nD= 3.13553\nOffset\n";
        QTest::newRow("I1, used") << true << head + "1 12.71 0 1000 5\n1 12.70 0 1010 5\n" << true;
        QTest::newRow("I1, no positive I0") << true << head + "1 12.71 0 0 5\n1 12.70 0 -3 5\n" << false;
        QTest::newRow("I0, no positive I0") << false << head + "1 12.71 0 0 5\n1 12.70 0 -3 5\n" << false;
        QTest::newRow("I0, no I0 column") << false << QByteArray("9000 1\n9010 2\n") << false;
    }
    void totalI0Field()
    {
        QFETCH(bool, ofI1);
        QFETCH(QByteArray, text);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("i0.dat"));
        QVERIFY(craft::writeBytes(path, text));
        Body body;
        XafsFileSelect* field = ofI1 ? body.TotalI0ofI1XAFS : body.TotalI0ofI0XAFS;
        field->load(path);
        QFETCH(bool, named);
        QCOMPARE(field->Selected->text(), named ? path : QString());
        QCOMPARE(field->hasFile, named);
    }

    // Closing the main window closes every other window too; the workers run
    // on until the window is destroyed.
    void closeClosesAll()
    {
        auto* body = new Body();
        connect(body, SIGNAL(finishing()), qApp, SLOT(closeAllWindows()));
        QSignalSpy finishing(body, &Body::finishing);
        body->show();
        body->batchCtrl->show();
        QVERIFY(body->analyzer->xafsView()->isVisible());
        body->close();
        QCOMPARE(finishing.count(), 1);
        QVERIFY(!body->isVisible());
        QVERIFY(!body->batchCtrl->isVisible());
        QVERIFY(!body->analyzer->xafsView()->isVisible());
        QVERIFY(body->batchThread->isRunning());
        delete body;
        QVERIFY(mainColorBar == nullptr);
    }

    // As the program runs: closing the window ends the event loop with 0.
    void closingEndsEventLoop()
    {
        auto* body = new Body();
        connect(body, SIGNAL(finishing()), qApp, SLOT(closeAllWindows()));
        body->show();
        QTimer::singleShot(0, body, &QWidget::close);
        QTimer guard; // ends a hang as a failure
        guard.setSingleShot(true);
        connect(&guard, &QTimer::timeout, qApp, [] { QCoreApplication::exit(1); });
        guard.start(20000);
        QCOMPARE(QApplication::exec(), 0);
        delete body;
    }

    void batchAnswered()
    {
        Body body;
        QSignalSpy done(&body, &Body::finishBatchExec);
        body.execCmdSlot(CmdLine(QStringLiteral("no_such_word 1")), false);
        QCOMPARE(done.count(), 1);
        QCOMPARE(done.at(0).at(0).toInt(), int(NOT_EX_CMD));
    }

    void screenshot()
    {
        Body body;
        body.show();
        QVERIFY(QTest::qWaitForWindowExposed(&body));
        const QImage shot = body.grab().toImage();
        QVERIFY(!shot.isNull());
        QVERIFY(shot.save(testreg::shotsDir() + QStringLiteral("/mainwindow.png")));
    }
};

CORVELLINE_TEST(TestBody)
#include "tst_body.moc"
