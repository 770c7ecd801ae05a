// The spectrum block and the main window's events on Stars and the data target.
#include "support/LogCapture.h"
#include "support/Loopback.h"
#include "support/TestRegistry.h"

#include "analysis/Analyzer.h"
#include "foundation/Cfg.h"
#include "mainwindow/Body.h"
#include "mainwindow/SpectrumBlock.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {
// Point (7, 8), view bin 2 x 3, analysis bin 4 x 5, no data.
const QByteArray pointedBlock("# I1      : --\n# I0      : --\n# Point x : 7\n# Point y : 8\n# Bin W   : 2\n"
                              "# Bin H   : 3\n# View Bin W      : 2\n# View Bin H      : 3\n"
                              "# Analyze Bin W   : 4\n# Analyze Bin H   : 5\n---\n");
const QByteArray emptyBlock("# I1      : --\n# I0      : --\n# Point x : 0\n# Point y : 0\n# Bin W   : 0\n"
                            "# Bin H   : 0\n# View Bin W      : 0\n# View Bin H      : 0\n"
                            "# Analyze Bin W   : 0\n# Analyze Bin H   : 0\n---\n");
}

class TestSpectrumBlock : public QObject {
    Q_OBJECT
    QTemporaryDir tmp;

    QString keyFile()
    {
        const QString name = tmp.filePath(QStringLiteral("k.key"));
        QFile f(name);
        if (f.open(QIODevice::WriteOnly | QIODevice::Truncate))
            f.write("k\n");
        return name;
    }

private slots:
    void initTestCase() { QVERIFY(tmp.isValid()); }
    void cleanup() { loopback::resetConfig(); }

    void block_data()
    {
        QTest::addColumn<QStringList>("files");
        QTest::addColumn<QList<int>>("numbers"); // x, y, view W, H, analyse W, H
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<QByteArray>("block");
        QTest::newRow("no frames, no data") << QStringList{"--", "--"} << QList<int>{0, 0, 0, 0, 0, 0}
                                           << QByteArray() << emptyBlock;
        QTest::newRow("files, numbers, data as given")
            << QStringList{"/d/i1 %3.tif", "/d/i0.tif"} << QList<int>{12, -3, 2, 3, 4, 5}
            << QByteArray("8979 0.1\r\n8980 0.2\n")
            << QByteArray("# I1      : /d/i1 %3.tif\n# I0      : /d/i0.tif\n# Point x : 12\n# Point y : -3\n"
                          "# Bin W   : 2\n# Bin H   : 3\n# View Bin W      : 2\n# View Bin H      : 3\n"
                          "# Analyze Bin W   : 4\n# Analyze Bin H   : 5\n8979 0.1\r\n8980 0.2\n---\n");
    }
    void block()
    {
        QFETCH(QStringList, files);
        QFETCH(QList<int>, numbers);
        QFETCH(QByteArray, data);
        const SpectrumBlockHead h{files[0], files[1], numbers[0], numbers[1],
                                  numbers[2], numbers[3], numbers[4], numbers[5]};
        QTEST(spectrumBlock(h, data), "block");
    }

    void event()
    {
        QCOMPARE(spectrumEvent("# a : 1\n2 3\r\n---\n"), QStringLiteral("SendXafsData # a : 1|2 3\r|---|"));
    }

    // Saving publishes the file on Stars once logged in.
    void savedEvents_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<QString>("event");
        QTest::newRow("image") << "save_image a" << "SavedImage a.png";
        QTest::newRow("screen") << "screen s.jpg" << "SavedScreen s.png";
        QTest::newRow("data as text") << "save_data t.dat" << "SavedDataAsText t-0.dat";
        QTest::newRow("spectrum") << "" << "SavedXafsData x.dat";
    }
    void savedEvents()
    {
        QFETCH(QString, line);
        QFETCH(QString, event);
        loopback::Server srv;
        Body body;
        QVERIFY(loopback::logIn(body.stars, srv, keyFile()));
        const QString dir = tmp.path() + u'/';
        // Something to show: a picture is published only once written.
        Analyzed2DRes map(QStringLiteral("m"));
        AnalyzeCond c;
        const double rect[4] = {0, 0, 2, 2};
        c.setup(2, 2, 0, 0, rect, 1, 1);
        body.analyzer->ShowZ->setChecked(true);
        for (Analyzed2DRes* m : {&map, body.analyzer->selectedRes()}) {
            QVERIFY(m);
            m->setCond(c);
            m->setData(0, 0, 0, 0, 1.0);
            m->genImg();
        }
        body.dispA->showOverLayer = true;
        body.dispA->overlayMap = &map;
        body.dispA->viewWin = QRectF(0, 0, 2, 2);
        if (line.isEmpty()) {
            body.savedXafsData(dir + QStringLiteral("x.dat"));
        } else if (line.startsWith(QLatin1String("screen"))) {
            body.saveScreenAs(dir + line.section(u' ', 1));
        } else {
            body.execCmdSlot(CmdLine(QStringLiteral("saveDataCfg_save_as_text")), false);
            body.execCmdSlot(CmdLine(line.section(u' ', 0, 0) + u' ' + dir + line.section(u' ', 1)), false);
        }
        QVERIFY(srv.waitForLines(2));
        QCOMPARE(srv.lines().mid(1), QStringList{"Corvelline>System _" + event.section(u' ', 0, 0) + u' ' + dir
                                                 + event.section(u' ', 1)});
    }

    void sendBlock_data()
    {
        QTest::addColumn<QString>("useStars");
        QTest::addColumn<QString>("useTcp");
        QTest::newRow("both") << "1" << "1";
        QTest::newRow("Stars only") << "1" << "0";
        QTest::newRow("target only") << "0" << "1";
    }
    // The same block as one event line and as raw bytes; either switch alone.
    void sendBlock()
    {
        QFETCH(QString, useStars);
        QFETCH(QString, useTcp);
        loopback::Server srv;
        loopback::Server tcp;
        cfg.set(QStringLiteral("USE_STARS"), useStars, useStars, QString());
        cfg.set(QStringLiteral("USE_TCP"), useTcp, useTcp, QString());
        cfg.set(QStringLiteral("TcpTarget_PORT"), QString::number(tcp.port()), QString(), QString());
        Body body;
        QVERIFY(loopback::logIn(body.stars, srv, keyFile()));
        body.pointX = 7;
        body.pointY = 8;
        body.vHWidth_->setText(QStringLiteral("2"));
        body.vVWidth_->setText(QStringLiteral("3"));
        body.aHWidth_->setText(QStringLiteral("4"));
        body.aVWidth_->setText(QStringLiteral("5"));
        body.sendXafsDataToStars(QByteArray());
        body.stars.sendEvent(QString(), QStringLiteral("End")); // a marker after the block's event
        QVERIFY(srv.waitForLines(useStars == QLatin1String("1") ? 3 : 2));
        QStringList expected;
        if (useStars == QLatin1String("1"))
            expected << QStringLiteral("Corvelline>System _SendXafsData ")
                            + QString::fromLatin1(pointedBlock).replace(u'\n', u'|');
        expected << QStringLiteral("Corvelline>System _End");
        QCOMPARE(srv.lines().mid(1), expected);
        if (useTcp == QLatin1String("1")) {
            QVERIFY(tcp.waitForBytes(pointedBlock.size()));
            QCOMPARE(tcp.received(), pointedBlock);
        } else {
            QCoreApplication::processEvents();
            QCOMPARE(tcp.connections(), 0);
        }
    }

    // A right click on the image returns at once while the target's connect
    // hangs; the block is dropped with one line when the wait runs out.
    void rightClickWhileTargetHangs()
    {
        loopback::HangingPort hang;
        QVERIFY(hang.ready());
        cfg.set(QStringLiteral("TcpTarget_PORT"), QString::number(hang.port()), QString(), QString());
        Body body;
        body.client.setConnectWait(400);
        testlog::Capture log;
        QElapsedTimer t;
        t.start();
        emit body.dispA->mouseRPressed();
        emit body.dispA->mouseRPressed();
        QVERIFY2(t.elapsed() < 1000, qPrintable(QString::number(t.elapsed())));
        QCOMPARE(body.client.waitingBlocks(), 2);
        QTRY_COMPARE(body.client.waitingBlocks(), 0);
        QCOMPARE(log.linesStartingWith(QStringLiteral("Data target")),
                 QStringList{QStringLiteral("Data target 127.0.0.1:%1 not reached (no connection within 0.4 s): "
                                            "2 blocks dropped").arg(hang.port())});
    }
};

CORVELLINE_TEST(TestSpectrumBlock)
#include "tst_spectrumblock.moc"
