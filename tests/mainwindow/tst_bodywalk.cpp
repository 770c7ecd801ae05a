#include "support/EventSend.h"
#include "support/FrameCraft.h"
#include "support/LogCapture.h"
#include "support/MapGrid.h"
#include "support/StackBody.h"
#include "support/TestRegistry.h"
#include "support/Loopback.h"

#include "analysis/AnalysisWalk.h"
#include "analysis/Analyzer.h"
#include "batch/BatchCtrl.h"
#include "batch/CmdLine.h"
#include "display/ImgDispA.h"
#include "display/XafsFileSelect.h"
#include "analysis/LCFReference.h"
#include "imagestack/SelectDataFiles.h"
#include "imagestack/TiffData.h"
#include "mainwindow/Body.h"

#include <QDir>
#include <QFile>
#include <QHash>
#include <QImage>
#include <QLabel>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <cmath>
#include <memory>

namespace {

// A 10 x 4 field of 120 I1 frames from 8900 eV in 2 eV steps, no I0: the pixel
// at (x, y) absorbs mu = jump(y) behind an edge rising over 10 eV around 8990 + 2x.
double jumpAt(int y) { return 1.0 + 0.25 * y; }

double muAt(int x, int y, double e)
{
    const double e0 = 8990.0 + 2.0 * x;
    const double t = e <= e0 - 5 ? 0.0 : e >= e0 + 5 ? 1.0 : (e - e0 + 5) / 10.0;
    return jumpAt(y) * t;
}

std::unique_ptr<Body> bodyWithStack()
{
    std::unique_ptr<Body> b(new Body());
    for (int k = 0; k < 120; k++) {
        const double e = 8900.0 + 2.0 * k;
        QVector<double> v;
        for (int y = 0; y < 4; y++) {
            for (int x = 0; x < 10; x++)
                v << std::exp(-muAt(x, y, e));
        }
        b->frameSets.append(FrameSets::I1, craft::floatFrame(10, 4, v), e);
    }
    b->followI1Stack();
    b->UseI0->setChecked(false);
    b->FluoType->setChecked(false);
    b->vHWidth_->setText("0");
    b->vVWidth_->setText("0");
    b->aHWidth_->setText("0");
    b->aVWidth_->setText("0");
    b->dispA->sel.valid = false;
    b->dispA->viewWin = QRectF(0, 0, 10, 4);
    return b;
}

} // namespace

class TestBodyWalk : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { loopback::resetConfig(); }

    // Without a stack there is no area: the walk does not start, and a batch
    // waiting for it is let go.
    void noStack()
    {
        Body body;
        body.analyzer->setSubMode(0, 0, true);
        QSignalSpy done(&body, &Body::finishBatchExec);
        AnalyzeCond c;
        QVERIFY(!body.askAnalyzeCond(c));
        emit body.analyzer->AskAnalyze->clicked();
        QVERIFY(!body.walkRunning());
        QCOMPARE(done.count(), 1);
        QCOMPARE(done.first().first().toInt(), 116);
    }

    // Pressing Analyze walks the view window bin by bin over the stack's spectra.
    void walkThroughTheWindow()
    {
        std::unique_ptr<Body> b = bodyWithStack();
        Analyzer* a = b->analyzer;
        a->setSubMode(0, 0, true);
        a->setSubMode(0, 3, true);
        QSignalSpy done(b.get(), &Body::finishBatchExec);
        emit a->AskAnalyze->clicked();
        QVERIFY(b->walkRunning());
        QTRY_VERIFY_WITH_TIMEOUT(!b->walkRunning(), 60000);
        QCOMPARE(done.count(), 1);
        QCOMPARE(done.first().first().toInt(), 116);
        for (int y = 0; y < 4; y++) {
            for (int x = 0; x < 10; x++) {
                QVERIFY(std::fabs(a->raDMutMap.valueAt(x, y) - jumpAt(y)) < 1e-5);
                // The edge moves 2 eV from one column to the next.
                if (x > 0)
                    QVERIFY(std::fabs(a->dEdgeMap.valueAt(x, y) - a->dEdgeMap.valueAt(x - 1, y) - 2.0) < 1e-3);
            }
        }
        QCOMPARE(static_cast<Analyzed2DRes*>(b->dispA->overlayMap), &a->dEdgeMap);
    }

    // After a walk the result display shows a map the walk made: the one
    // chosen when it is one of them, else the first it made.
    void walkShowsAMapOfIt_data()
    {
        QTest::addColumn<int>("analysis"); // sub mode: 0 edge, 1 LCF, 3 residual absorption
        QTest::addColumn<QList<int>>("refs"); // reference rows given a spectrum
        QTest::addColumn<QString>("chosen");  // batch line before the walk
        QTest::addColumn<QString>("shown");
        QTest::newRow("LCF, the edge map chosen as at start") << 1 << QList<int>{0, 1} << "" << "row 0 dMut";
        QTest::newRow("LCF, the second row alone") << 1 << QList<int>{1} << "" << "row 1 dMut";
        QTest::newRow("LCF, image type Ratio") << 1 << QList<int>{0, 1} << "analyzer_select_image_type 0"
                                                << "row 0 ratio";
        QTest::newRow("LCF, an unused row chosen") << 1 << QList<int>{0, 1} << "analyzer_select_image 3"
                                                    << "row 0 dMut";
        QTest::newRow("LCF, residual chosen") << 1 << QList<int>{0, 1} << "analyzer_select_image 5" << "zansa";
        QTest::newRow("residual absorption") << 3 << QList<int>{} << "" << "dmut";
        QTest::newRow("edge") << 0 << QList<int>{} << "analyzer_select_image 5" << "edge";
    }
    void walkShowsAMapOfIt()
    {
        QFETCH(int, analysis);
        QFETCH(QList<int>, refs);
        QFETCH(QString, chosen);
        QFETCH(QString, shown);
        QTemporaryDir dir;
        std::unique_ptr<Body> b = bodyWithStack();
        Analyzer* a = b->analyzer;
        for (int r = 0; r < 2; r++) // a ticked row without a spectrum refuses the walk
            a->lcfRefs[r]->XFS->setUse(refs.contains(r));
        for (int r : refs) {
            // edges 10 eV apart across the stack's
            const QString name = dir.filePath(QStringLiteral("ref%1.dat").arg(r));
            QFile f(name);
            QVERIFY(f.open(QIODevice::WriteOnly));
            for (int e = 8700; e <= 9300; e++)
                f.write(QByteArray::number(e) + ' ' + QByteArray::number(e < 8985 + 10 * r ? 0 : 1) + '\n');
            f.close();
            b->execCmdSlot(CmdLine(QStringLiteral("analyzer_set_LCF_std %1 1 0 %2 0").arg(r).arg(name)), false);
        }
        b->execCmdSlot(CmdLine(QStringLiteral("select_disp_image_analyzed")), false);
        if (!chosen.isEmpty())
            b->execCmdSlot(CmdLine(chosen), false);
        a->setSubMode(0, analysis, true);
        emit a->AskAnalyze->clicked();
        QVERIFY(b->walkRunning());
        QTRY_VERIFY_WITH_TIMEOUT(!b->walkRunning(), 60000);
        const QHash<QString, Analyzed2DRes*> maps{{"row 0 dMut", a->lcfResMap(0, 0)},
                                                  {"row 1 dMut", a->lcfResMap(1, 0)},
                                                  {"row 0 ratio", a->lcfResMap(0, 1)},
                                                  {"zansa", &a->zansaMap},
                                                  {"dmut", &a->raDMutMap},
                                                  {"edge", &a->dEdgeMap}};
        Analyzed2DRes* want = maps.value(shown);
        QVERIFY(want);
        QCOMPARE(static_cast<Analyzed2DRes*>(b->dispA->overlayMap), want);
        QVERIFY(want->valid);
        QVERIFY(b->dispA->currentImage());
    }

    // With no region chosen the walk covers the part on screen; when that
    // leaves rows or columns of the 10 x 4 image out it says which it walks.
    void partOnScreenTold_data()
    {
        QTest::addColumn<QRectF>("view");
        QTest::addColumn<bool>("region"); // the view chosen as the region
        QTest::addColumn<int>("halfHeight");
        QTest::addColumn<QString>("told");
        QTest::newRow("rows cut") << QRectF(0, 1, 10, 2) << false << 0 << "rows 1\u20132 of 4";
        QTest::newRow("columns and rows cut") << QRectF(2.5, -0.5, 5, 3) << false << 0
                                              << "columns 2\u20136 of 10, rows 0\u20131 of 4";
        QTest::newRow("bins 3 tall over 3 rows") << QRectF(0, 0, 10, 3) << false << 1 << "rows 0\u20132 of 4";
        QTest::newRow("whole image with margins") << QRectF(-2, -1, 14, 6) << false << 0 << "";
        QTest::newRow("region chosen") << QRectF(0, 1, 10, 2) << true << 0 << "";
    }
    void partOnScreenTold()
    {
        QFETCH(QRectF, view);
        QFETCH(bool, region);
        QFETCH(int, halfHeight);
        QFETCH(QString, told);
        std::unique_ptr<Body> b = bodyWithStack();
        b->aVWidth_->setText(QString::number(halfHeight));
        b->dispA->viewWin = view;
        b->dispA->sel.valid = region;
        b->dispA->sel.area = view;
        b->analyzer->setSubMode(0, 0, true);
        testlog::Capture log;
        emit b->analyzer->AskAnalyze->clicked();
        QTRY_VERIFY_WITH_TIMEOUT(!b->walkRunning(), 60000);
        const QString start = QStringLiteral("Analysing the part on screen only, ");
        QCOMPARE(log.linesStartingWith(start), told.isEmpty() ? QStringList()
                                                   : QStringList{start + told + ": choose a region to analyse the whole image"});
    }

    // A spectrum file that cannot be read is told when chosen, naming it and
    // why; a walk that would need it is refused, naming what is missing, and
    // the maps of the walk before are kept.
    void missingSpectrumRefused_data()
    {
        QTest::addColumn<QString>("setup"); // lines run, then the walk; $D is the folder
        QTest::addColumn<QString>("mistake");
        QTest::addColumn<QString>("word");
        QTest::addColumn<QString>("toldAtChoice");
        QTest::addColumn<QString>("toldAtWalk");
        const QString lcf = QStringLiteral("analyzer_select_sub_mode_LCF 1;analyzer_set_LCF_std 0 1 0 $D/ref0.dat 0;"
                                           "analyzer_set_LCF_std 1 1 0 $D/ref1.dat 0");
        QTest::newRow("Ref2 missing") << lcf << "analyzer_set_LCF_std 1 1 0 /nonexistent/x.dat 0"
                                      << "analyzer_exec_LCF" << "Ref2: Can't read /nonexistent/x.dat: no such file"
                                      << "Can't analyse: Ref2 is ticked but its file /nonexistent/x.dat could not be read";
        QTest::newRow("Ref2 empty quotes: a file named 0") << lcf << "analyzer_set_LCF_std 1 1 0 \"\" 0"
                                      << "analyzer_exec_LCF" << "Ref2: Can't read 0: no such file"
                                      << "Can't analyse: Ref2 is ticked but its file 0 could not be read";
        QTest::newRow("Ref2 cleared, still ticked") << lcf << "analyzer_set_LCF_std 1 1 0" << "analyzer_exec_LCF" << ""
                                      << "Can't analyse: Ref2 is ticked but holds no spectrum: choose its file or untick it";
        QTest::newRow("comparison file empty")
            << "analyzer_select_sub_mode_dEdge 1;analyzer_dEdge_select_mode_comp;analyzer_dEdge_comp_file_name $D/ref0.dat"
            << "analyzer_dEdge_comp_file_name $D/empty.dat" << "analyzer_exec_2da"
            << "dEdge comparison file: Can't read $D/empty.dat: no spectrum points in it"
            << "Can't analyse: the dEdge comparison file holds no spectrum: choose one or compare with the step";
        QTest::newRow("standard a folder") << "calib_load_std $D/ref0.dat" << "calib_load_std $D/folder" << "calib_exec"
                                           << "Standard: Can't read $D/folder: it is a folder"
                                           << "Can't calibrate: no standard spectrum: choose its file (Select Std.)";
    }
    void missingSpectrumRefused()
    {
        QFETCH(QString, setup);
        QFETCH(QString, mistake);
        QFETCH(QString, word);
        QFETCH(QString, toldAtChoice);
        QFETCH(QString, toldAtWalk);
        QTemporaryDir dir;
        for (int r = 0; r < 2; r++) {
            QFile f(dir.filePath(QStringLiteral("ref%1.dat").arg(r)));
            QVERIFY(f.open(QIODevice::WriteOnly));
            for (int e = 8700; e <= 9300; e++)
                f.write(QByteArray::number(e) + ' ' + QByteArray::number(e < 8985 + 10 * r ? 0 : 1) + '\n');
        }
        QFile empty(dir.filePath(QStringLiteral("empty.dat")));
        QVERIFY(empty.open(QIODevice::WriteOnly));
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("folder")));
        std::unique_ptr<Body> b = bodyWithStack();
        Analyzer* a = b->analyzer;
        const auto run = [&](const QString& line) {
            b->execCmdSlot(CmdLine(QString(line).replace(QLatin1String("$D"), dir.path())), false);
        };
        QSignalSpy done(b.get(), &Body::finishBatchExec);
        const auto walk = [&] {
            done.clear();
            run(word);
            return QTest::qWaitFor([&] { return !b->walkRunning() && !b->calib.running && done.count() == 1; }, 60000);
        };
        for (const QString& l : setup.split(u';'))
            run(l);
        QVERIFY(walk());
        Analyzed2DRes* map = word == QLatin1String("calib_exec") ? &b->eShiftMap
            : word == QLatin1String("analyzer_exec_LCF")          ? a->lcfResMap(0, 0)
                                                                  : &a->dEdgeMap;
        QVERIFY(map->valid);
        const double before = map->valueAt(3, 2);
        QVERIFY(std::isfinite(before));
        testlog::Capture log;
        run(mistake);
        if (!toldAtChoice.isEmpty())
            QCOMPARE(log.linesStartingWith(toldAtChoice.replace(QLatin1String("$D"), dir.path())).size(), 1);
        QVERIFY(walk());
        QCOMPARE(done.count(), 1);
        QCOMPARE(log.linesStartingWith(toldAtWalk).size(), 1);
        QVERIFY(map->valid);
        QCOMPARE(map->valueAt(3, 2), before);
    }

    // A comparison range far past the stack's 238 eV of energies searches
    // only within them, says so once, and finds the edges as a range of just
    // the span does: 2 eV further from one column to the next.
    void comparisonWithinTheEnergies()
    {
        std::unique_ptr<Body> b = bodyWithStack();
        Analyzer* a = b->analyzer;
        for (const char* l : {"analyzer_select_sub_mode_dEdge 1", "analyzer_dEdge_select_mode_comp",
                              "analyzer_dEdge_comp_w_step"})
            b->execCmdSlot(CmdLine(QString::fromLatin1(l)), false);
        QSignalSpy done(b.get(), &Body::finishBatchExec);
        const auto walk = [&](const QString& params) {
            done.clear();
            b->execCmdSlot(CmdLine(QStringLiteral("analyzer_dEdge_comp_params ") + params), false);
            b->execCmdSlot(CmdLine(QStringLiteral("analyzer_exec_2da")), false);
            QList<double> m;
            if (!QTest::qWaitFor([&] { return !b->walkRunning() && done.count() == 2; }, 60000))
                return m; // did not end
            for (int y = 0; y < 4; y++)
                for (int x = 0; x < 10; x++)
                    m << a->dEdgeMap.valueAt(x, y);
            return m;
        };
        testlog::Capture log;
        const QList<double> wide = walk(QStringLiteral("1000000.0 1 0.01"));
        QCOMPARE(wide.size(), 40);
        const QString told = QStringLiteral("The comparison range 1e+06 eV reaches past the span of the stack's "
                                            "energies, 238 eV: shifts are searched within \u00b1238 eV");
        QCOMPARE(log.linesStartingWith(told).size(), 1);
        QCOMPARE(b->batchCtrl->BatchLogs->toPlainText().count(told), 1);
        for (int y = 0; y < 4; y++) {
            for (int x = 1; x < 10; x++)
                QVERIFY2(std::fabs(wide[y * 10 + x] - wide[y * 10 + x - 1] - 2.0) < 0.02,
                         qPrintable(QStringLiteral("%1 %2: %3").arg(x).arg(y).arg(wide[y * 10 + x])));
        }
        QCOMPARE(walk(QStringLiteral("476 1 0.01")), wide);
        QCOMPARE(log.linesStartingWith(QStringLiteral("The comparison range")).size(), 1);
    }

    // The walk's workers read the frames: whatever drops or replaces a stack
    // or the dark frame stops the walk first, with its one answer.
    void stackChangeStopsWalk_data()
    {
        QTest::addColumn<QString>("change");
        QTest::newRow("clear I1") << "clearI1";
        QTest::newRow("clear I0") << "clearI0";
        QTest::newRow("new I1 stack") << "loadI1";
        QTest::newRow("clear dark") << "clearDark";
        QTest::newRow("image shift") << "shift";
    }
    void stackChangeStopsWalk()
    {
        QFETCH(QString, change);
        std::unique_ptr<Body> b = bodyWithStack();
        b->analyzer->setSubMode(0, 3, true);
        QSignalSpy done(b.get(), &Body::finishBatchExec);
        emit b->analyzer->AskAnalyze->clicked();
        QVERIFY(b->walkRunning());
        if (change == "clearI1")
            b->clearI1Files();
        else if (change == "clearI0")
            b->clearI0Files();
        else if (change == "loadI1")
            b->readI1Files(QStringList(), true);
        else if (change == "shift") {
            b->showData(0); // the processor shifts the frame shown
            b->setImgShift(1, 0);
        } else
            b->clearDark();
        QVERIFY(!b->walkRunning());
        QCOMPARE(done.count(), 1);
        QCOMPARE(done.first().first().toInt(), 116);
    }

    void area_data()
    {
        QTest::addColumn<bool>("selected");
        QTest::addColumn<QList<int>>("expected");  // x0, x1, y0, y1, hx, stepX
        QTest::newRow("view window") << false << QList<int>{0, 10, 0, 4, 1, 3};
        QTest::newRow("selected area") << true << QList<int>{2, 7, 1, 3, 1, 3};
    }
    void area()
    {
        QFETCH(bool, selected);
        QFETCH(QList<int>, expected);
        std::unique_ptr<Body> b = bodyWithStack();
        b->aHWidth_->setText("1");
        if (selected)
            b->dispA->sel.set(2, 1, 7, 3);
        AnalyzeCond c;
        QVERIFY(b->askAnalyzeCond(c));
        QCOMPARE(QList<int>({c.W, c.H}), QList<int>({10, 4}));
        QCOMPARE(QList<int>({c.x0, c.x1, c.y0, c.y1, c.hx, c.stepX}), expected);
    }

    // A region typed far outside the image is read only where its bins are
    // centred on the image; with none there, the command refuses and is still
    // answered, and the statistics show none of the numbers from before.
    void regionOffTheImage_data()
    {
        QTest::addColumn<QString>("corners"); // select_region's x0 y0 x1 y1
        QTest::addColumn<int>("half");        // the bins' half width and height
        QTest::addColumn<QString>("command");
        // Bins the walk or the statistics took from the 10 x 4 image; 1 when
        // the dark area was set.
        QTest::addColumn<int>("bins");
        QTest::newRow("walk, 2^31 wide") << "-2147483648 -10 2147483647 64" << 0 << "analyzer_exec_2da" << 40;
        QTest::newRow("walk, rows above") << "2 -2147483648 8 0" << 0 << "analyzer_exec_2da" << 0;
        QTest::newRow("statistics, 2^31 wide") << "3 -10 2147483647 1000" << 0 << "statistics" << 28;
        QTest::newRow("statistics, right of it") << "200 -10 2147483647 1000" << 0 << "statistics" << 0;
        // Centres -1, 2, 5 across and -1, 2 down: the bins at -1 reach the
        // image but are centred off it, leaving (2, 2) and (5, 2).
        QTest::newRow("statistics, bins centred off it") << "-2 -2 8 4" << 1 << "statistics" << 2;
        QTest::newRow("dark area, partly on it") << "8 -5 20 2" << 0 << "set_i1_dark_area" << 1;
        QTest::newRow("dark area, beside it") << "12 0 20 3" << 0 << "set_i1_dark_area" << 0;
    }
    void regionOffTheImage()
    {
        QFETCH(QString, corners);
        QFETCH(int, half);
        QFETCH(QString, command);
        QFETCH(int, bins);
        std::unique_ptr<Body> b = bodyWithStack();
        Analyzer* a = b->analyzer;
        a->setSubMode(0, 3, true);
        // the statistics count only bins on the shown map: it covers the image
        if (command == "statistics")
            testmaps::fill(*a->selectedRes(), testmaps::grid(10, 4, 0, 0, 0, 0, 10, 4),
                           [](int x, int y) { return x + 10.0 * y; });
        QSignalSpy done(b.get(), &Body::finishBatchExec);
        b->showStatistics(); // the whole window's 40 bins, before the region
        b->stats.DA->grab();  // and the pointed X and value over them
        b->aHWidth_->setText(QString::number(half));
        b->aVWidth_->setText(QString::number(half));
        b->execCmdSlot(CmdLine(QStringLiteral("select_region ") + corners), false);
        int took = 0;
        if (command == "statistics") {
            b->showStatistics();
            took = b->stats.hist.n;
            QCOMPARE(b->stats.Num->text(), QString::number(took));
            if (!took)
                QCOMPARE(QStringList({b->stats.X->text(), b->stats.Val->text()}), QStringList({"", ""}));
        } else if (command == "set_i1_dark_area") {
            b->execCmdSlot(CmdLine(command), false);
            took = b->frameSets.darkInUse(FrameSets::I1) ? 1 : 0;
        } else {
            b->execCmdSlot(CmdLine(command), false);
            QTRY_VERIFY_WITH_TIMEOUT(!b->walkRunning() && done.count() == 2, 60000);
            for (int y = 0; y < 4; y++)
                for (int x = 0; x < 10; x++)
                    took += std::fabs(a->raDMutMap.valueAt(x, y) - jumpAt(y)) < 1e-5;
        }
        QCOMPARE(took, bins);
        QTRY_COMPARE_WITH_TIMEOUT(done.count(), command == "statistics" ? 1 : 2, 5000);
    }

    // Shifting frames in the image processor keeps the I1 dark area; only when
    // every frame has left it is it dropped, and the panel's field says so.
    // Three 8 x 2 frames, dark level 5 + k over columns 0-1, 50 elsewhere.
    void darkAreaUnderShifts()
    {
        auto b = craft::bodyWithStack(8, 2, 3, [](int x, int, int k) { return x < 2 ? 5.0 + k : 50.0; });
        b->SelectI1Files->Selected->addItems({"a", "b", "c"});
        b->execCmdSlot(CmdLine(QStringLiteral("select_region 0 0 1 1")), false);
        b->execCmdSlot(CmdLine(QStringLiteral("set_i1_dark_area")), false);
        const QLabel* field = b->SelectI1Files->additionalSetup.DarkArea;
        QCOMPARE(field->text(), QStringLiteral("(0,0)-(1,1)"));
        testlog::Capture log;
        const QList<QList<double>> means{{6, 6, 7}, {7, 7, 7}, {}};
        for (int k = 0; k < 3; k++) {
            b->SelectI1Files->Selected->setCurrentIndex(k);
            b->setImgShift(3, 0);
            QCOMPARE(b->frameSets.darkMeans(FrameSets::I1), means[k]);
        }
        QVERIFY(!b->frameSets.darkInUse(FrameSets::I1));
        QCOMPARE(field->text(), QStringLiteral("(-,-)-(-,-)"));
        QVERIFY(log.linesStartingWith(QStringLiteral("The dark area lies outside")).isEmpty());
        QCOMPARE(log.linesStartingWith(QStringLiteral("No frame has a pixel in the dark area")).size(), 1);
    }

    // Choosing a dark area gives the selection back as it was before the box
    // was selected, and a choice for the other stack right after takes the
    // same box. 12 x 8 pixels, two frames; columns 8-11 of rows 0-2 (the box
    // "8 0 11 2") get no beam: 20 in I1, 30 in I0. Elsewhere I0 is 830, but
    // 430 at (0, 0), and I1 is 220 and 420. At (3, 5) with those darks:
    // mu = ln((830 - 30) / (220 - 20)) = ln 4 and ln(800 / 400) = ln 2.
    // The view (0, 0, 16, 8) on a 256 x 128 display: image point = widget / 16.
    void darkAreaKeepsSelection_data()
    {
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<bool>("i0Dark");          // the I0 dark area is the box too
        QTest::addColumn<bool>("selected");        // an area is selected afterwards
        QTest::addColumn<QList<int>>("walk");      // x0, x1, y0, y1 of the walk
        const QList<int> view{0, 12, 0, 8};        // the view cut to the image's 12 x 8 bins
        QTest::newRow("one box for both stacks")
            << QStringList{"select_region 8 0 11 2", "set_i1_dark_area", "set_i0_dark_area"} << true << false << view;
        QTest::newRow("area selected before the box")
            << QStringList{"select_region 1 3 7 7", "select_region 8 0 11 2", "set_i1_dark_area"} << false << true
            << QList<int>{1, 7, 3, 7};
        // widget (128, 0) to (176, 32) is image (8, 0) to (11, 2)
        QTest::newRow("window: drag, Set Dark Area") << QStringList{"drag", "SetDA"} << false << false << view;
        QTest::newRow("box selected for each")
            << QStringList{"select_region 8 0 11 2", "set_i1_dark_area", "select_region 8 0 11 2",
                           "set_i0_dark_area"}
            << true << false << view;
    }
    void darkAreaKeepsSelection()
    {
        QFETCH(QStringList, steps);
        QFETCH(bool, i0Dark);
        QFETCH(bool, selected);
        QFETCH(QList<int>, walk);
        auto box = [](int x, int y) { return x >= 8 && y <= 2; };
        auto b = craft::bodyWithStack(12, 8, 2,
                                      [&](int x, int y, int k) { return box(x, y) ? 20.0 : 220.0 + 200 * k; });
        for (int k = 0; k < 2; k++) {
            QVector<double> v;
            for (int y = 0; y < 8; y++)
                for (int x = 0; x < 12; x++)
                    v << (box(x, y) ? 30.0 : x + y == 0 ? 430.0 : 830.0);
            b->frameSets.append(FrameSets::I0, craft::floatFrame(12, 8, v), 8900.0 + 2 * k);
        }
        b->UseI0->setChecked(true);
        for (TiffData* f : b->i1Frames)
            f->cBar = b->CBar;
        b->dispA->setImageData(b->i1Frames.first());
        b->dispA->setMinimumSize(256, 128); // the form asks for 600 x 600
        b->dispA->resize(256, 128);
        b->dispA->viewWin = QRectF(0, 0, 16, 8);
        for (const QString& step : steps) {
            if (step == "drag")
                events::drag(b->dispA, QPointF(128, 0), QPointF(176, 32), Qt::LeftButton);
            else if (step == "SetDA")
                b->SelectI1Files->additionalSetup.SetDA->click();
            else
                b->execCmdSlot(CmdLine(step), false);
        }
        const QRectF dark(8, 0, 3, 2);
        QCOMPARE(b->frameSets.darkRect(FrameSets::I1), dark);
        QCOMPARE(b->frameSets.darkInUse(FrameSets::I0), i0Dark);
        if (i0Dark) {
            QCOMPARE(b->frameSets.darkRect(FrameSets::I0), dark);
            const Spectrum mu = b->xafsSpectrumAt(3, 5, 0, 0);
            QCOMPARE(mu.points.size(), 2);
            QVERIFY(std::fabs(mu.points[0].y() - std::log(4.0)) < 1e-9);
            QVERIFY(std::fabs(mu.points[1].y() - std::log(2.0)) < 1e-9);
        }
        QCOMPARE(b->dispA->sel.valid, selected);
        AnalyzeCond c;
        QVERIFY(b->askAnalyzeCond(c));
        QCOMPARE(QList<int>({c.x0, c.x1, c.y0, c.y1}), walk);
    }

    // The same stack loaded ascending, descending or shuffled gives one fraction
    // map. 6 x 4 pixels, 15 energies: pixel (x, y) is a mix of f = 0.2 + 0.1 x
    // + 0.05 y of the first reference and 1 - f of the second. The references
    // differ only at 8980 eV (0.75 and 0.25) and are flat 4 eV either side, so
    // every normalisation is exact and the fit gives f.
    void fractionsWhateverTheLoadOrder()
    {
        QTemporaryDir dir;
        const QList<double> energies{8800, 8850, 8900, 8930, 8950, 8960, 8968, 8972,
                                     8976, 8980, 8984, 8988, 9000, 9050, 9150};
        auto ref1 = [](double e) { return std::clamp((e - 8977) / 4, 0.0, 1.0); };
        auto ref2 = [](double e) { return std::clamp((e - 8979) / 4, 0.0, 1.0); };
        const QString names[2] = {dir.filePath("ref1.dat"), dir.filePath("ref2.dat")};
        for (int r = 0; r < 2; r++) {
            QFile f(names[r]);
            QVERIFY(f.open(QIODevice::WriteOnly));
            for (int e = 8700; e <= 9300; e++)
                f.write(QByteArray::number(e) + ' ' + QByteArray::number(r ? ref2(e) : ref1(e)) + '\n');
        }
        auto frac = [](int x, int y) { return 0.2 + 0.1 * x + 0.05 * y; };
        const QList<QList<int>> orders{{0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14},
                                       {14, 13, 12, 11, 10, 9, 8, 7, 6, 5, 4, 3, 2, 1, 0},
                                       {7, 2, 11, 0, 14, 5, 9, 1, 13, 3, 8, 12, 4, 10, 6}};
        QList<QList<double>> maps;
        for (const QList<int>& order : orders) {
            auto b = craft::bodyWithStack(6, 4, 0, nullptr);
            for (int k : order) {
                const double e = energies[k];
                QVector<double> v;
                for (int y = 0; y < 4; y++)
                    for (int x = 0; x < 6; x++)
                        v << std::exp(-(frac(x, y) * ref1(e) + (1 - frac(x, y)) * ref2(e)));
                b->frameSets.append(FrameSets::I1, craft::floatFrame(6, 4, v), e);
            }
            b->followI1Stack();
            b->dispA->viewWin = QRectF(0, 0, 6, 4);
            testlog::Capture log;
            b->finishedLoadI1Files();
            QCOMPARE(log.linesStartingWith(QStringLiteral("The I1 energies are not in ascending order")).size(),
                     order == orders[0] ? 0 : 1);
            QSignalSpy done(b.get(), &Body::finishBatchExec);
            for (const QString& line : {QStringLiteral("analyzer_select_analysis_mode 0"),
                                        QStringLiteral("analyzer_set_MLCF 0"),
                                        QStringLiteral("analyzer_set_LCF_std 0 1 0 %1 0").arg(names[0]),
                                        QStringLiteral("analyzer_set_LCF_std 1 1 0 %1 0").arg(names[1]),
                                        QStringLiteral("analyzer_set_LCF_range 8780 9170"),
                                        QStringLiteral("analyzer_exec_LCF")})
                b->execCmdSlot(CmdLine(line), false);
            QTRY_VERIFY_WITH_TIMEOUT(!b->walkRunning() && done.count() == 6, 60000);
            QList<double> map;
            for (int y = 0; y < 4; y++)
                for (int x = 0; x < 6; x++)
                    map << b->analyzer->lcfResMap(0, 1)->valueAt(x, y);
            maps << map;
        }
        QCOMPARE(maps[1], maps[0]);
        QCOMPARE(maps[2], maps[0]);
        // The maps hold single precision.
        for (int i = 0; i < 24; i++)
            QVERIFY2(qAbs(maps[0][i] - frac(i % 6, i / 6)) < 1e-6, qPrintable(QString::number(maps[0][i])));
    }

    // Use I0 ticked with no I0 frame: the stand-in I0 is told at the start of each
    // result the user keeps, once, and not when a load ends and the view redraws.
    void standInI0Told_data()
    {
        QTest::addColumn<QString>("step");
        QTest::addColumn<bool>("i0Frames");
        QTest::addColumn<int>("lines");
        QTest::newRow("the view redrawn") << "show" << false << 0;
        QTest::newRow("analysis") << "analysis" << false << 1;
        QTest::newRow("analysis with I0 frames") << "analysis" << true << 0;
        QTest::newRow("calibration") << "calib_exec" << false << 1;
        QTest::newRow("spectrum saved") << "save_spectra" << false << 1;
        QTest::newRow("spectra of every bin") << "every" << false << 1;
    }
    void standInI0Told()
    {
        QFETCH(QString, step);
        QFETCH(bool, i0Frames);
        auto b = craft::bodyWithStack(4, 2, 6, [](int x, int y, int k) { return 900.0 - 20 * k + x + 3 * y; });
        for (int k = 0; i0Frames && k < 6; k++)
            b->frameSets.append(FrameSets::I0, craft::flatFrame(4, 2, 1000), 8900.0 + 2 * k);
        b->UseI0->setChecked(true);
        b->analyzer->setSubMode(0, 3, true);
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("s.dat"));
        if (step == "calib_exec") { // a calibration needs a standard
            QFile s(dir.filePath(QStringLiteral("std.dat")));
            QVERIFY(s.open(QIODevice::WriteOnly));
            for (int e = 8880; e <= 8930; e++)
                s.write(QByteArray::number(e) + ' ' + QByteArray::number(e < 8905 ? 0 : 1) + '\n');
            s.close();
            b->execCmdSlot(CmdLine(QStringLiteral("calib_load_std ") + s.fileName()), false);
        }
        testlog::Capture log;
        auto told = [&log] { return int(log.linesStartingWith(QStringLiteral("Use I0 is ticked but no I0")).size()); };
        b->finishedLoadI1Files();
        QCOMPARE(told(), 0);
        if (step == "analysis")
            emit b->analyzer->AskAnalyze->clicked();
        else if (step == "every")
            b->saveEachSpectrum(file);
        else if (step == "show")
            b->showXafsSpectrum();
        else
            b->execCmdSlot(CmdLine(step + u' ' + file), false);
        QTRY_VERIFY_WITH_TIMEOUT(!b->walkRunning() && !b->calib.running, 60000);
        QTEST(told(), "lines");
    }

    // A deglitch shows the processed copy; a later walk's values are shown and
    // saved as themselves (text, TIFF scaled over 0..2, picture), and
    // "ShowProcImg" switches between the two only while there is a copy.
    // The residual-absorption jumps are 1 + 0.25 y.
    void walkAfterDeglitch()
    {
        QTemporaryDir tmp;
        std::unique_ptr<Body> b = bodyWithStack();
        Analyzer* a = b->analyzer;
        a->setSubMode(0, 3, true);
        b->ShowResAnalysis->setChecked(true);
        emit a->AskAnalyze->clicked();
        QTRY_VERIFY_WITH_TIMEOUT(!b->walkRunning(), 60000);
        Analyzed2DRes* map = a->selectedRes();
        QCOMPARE(map, &a->raDMutMap);
        emit b->DeGlitch->clicked();
        QVERIFY(map->showProc && b->ShowProcImg->isChecked());

        emit a->AskAnalyze->clicked();
        QTRY_VERIFY_WITH_TIMEOUT(!b->walkRunning(), 60000);
        QVERIFY(!map->showProc && !b->ShowProcImg->isChecked());
        const QString dir = tmp.path() + u'/';
        for (const QString& line : QStringList{"saveDataCfg_save_as_text", "save_data " + dir + "w.dat",
                                    "saveDataCfg_save_as_tiff", "saveDataCfg_tiff_scale_max 2",
                                    "save_data " + dir + "w.tif", "save_image " + dir + "w.png"})
            b->execCmdSlot(CmdLine(line), false);
        QFile f(dir + "w-0.dat");
        QVERIFY(f.open(QIODevice::ReadOnly | QIODevice::Text));
        const QStringList lines = QString::fromUtf8(f.readAll()).split(u'\n', Qt::SkipEmptyParts);
        const QStringList rows = lines.mid(lines.indexOf(QStringLiteral("## End of Header ##")) + 1);
        QCOMPARE(rows.size(), 40);
        TiffData t;
        QVERIFY(t.load(dir + "w-0.tif", nullptr));
        for (const QString& r : rows) {
            const QStringList xyv = r.split(u',');
            const int x = xyv[0].toInt(), y = xyv[1].toInt();
            QVERIFY2(std::fabs(xyv[2].toDouble() - jumpAt(y)) < 1e-4, qPrintable(r));
            QVERIFY(std::fabs(t.ownValue(x, y) - jumpAt(y) / 2.0 * 65535.0) <= 2.0);
        }
        const QImage pic(dir + "w.png");
        QCOMPARE(pic.size(), QSize(10, 4));
        QVERIFY(pic.pixel(3, 0) != pic.pixel(3, 3));

        b->ShowProcImg->setChecked(true); // nothing deglitched since the walk
        QVERIFY(!map->showProc && !b->ShowProcImg->isChecked());
        map->setData(4, 1, 0, 0, 50.0);
        emit b->DeGlitch->clicked();
        double lo = 0, hi = 0;
        map->displayRange(lo, hi);
        QVERIFY(map->showProc && b->ShowProcImg->isChecked() && hi < 50.0);
        b->ShowProcImg->setChecked(false);
        map->displayRange(lo, hi);
        QVERIFY(!map->showProc && hi == 50.0);
        b->ShowProcImg->setChecked(true);
        QVERIFY(map->showProc);
    }

    // New element rows free the maps of the old ones: a display showing one
    // is left with a live map or none, and a paint or save reads no freed map.
    void elementMapFreedWhileShown()
    {
        std::unique_ptr<Body> b = bodyWithStack();
        for (const char* line : {"analyzer_target_elements Cu", "analyzer_elems_select_disp_mode 0",
                                 "analyzer_select_image 6", "select_disp_image 3"})
            b->execCmdSlot(CmdLine(QString::fromLatin1(line)), false);
        QVERIFY(b->dispA->overlayMap);
        b->execCmdSlot(CmdLine(QStringLiteral("analyzer_target_elements Fe")), false);
        QVERIFY(!b->dispA->overlayMap || b->dispA->overlayMap == b->analyzer->selectedRes());
        b->dispA->visibleImage();
        b->dispA->grab();
    }

    void suggestedAbsorber_data()
    {
        QTest::addColumn<QString>("element");
        QTest::addColumn<QString>("eV");
        QTest::addColumn<int>("z");
        QTest::addColumn<double>("edgeEV");
        QTest::newRow("iron") << "Fe" << "7112" << 26 << 7112.0;
        QTest::newRow("symbols are case-sensitive, no number") << "fe" << "abc" << -1 << 0.0;
    }
    void suggestedAbsorber()
    {
        QFETCH(QString, element);
        QFETCH(QString, eV);
        QFETCH(int, z);
        QFETCH(double, edgeEV);
        Body b;
        b.UseSuggestElm->setChecked(true);
        b.SuggestingElm->setText(element);
        b.SuggestingEeV->setText(eV);
        b.DPreE->setText("-30");
        b.DPostS->setText("15");
        b.ThJumpSigma->setText("2.5");
        const SuggestElm s = b.suggestElm();
        QVERIFY(s.use);
        QCOMPARE(s.z, z);
        QCOMPARE(s.edge, b.SuggestingEdge->currentIndex());
        QCOMPARE(s.edgeEV, edgeEV);
        QCOMPARE(s.dPreE, -30.0);
        QCOMPARE(s.dPostS, 15.0);
        QCOMPARE(s.thJumpSigma, 2.5);
    }
};

CORVELLINE_TEST(TestBodyWalk)
#include "tst_bodywalk.moc"
