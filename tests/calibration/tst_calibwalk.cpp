#include "CalibStack.h"
#include "support/LogCapture.h"
#include "support/Loopback.h"
#include "support/MapGrid.h"
#include "support/TestRegistry.h"

#include "analysis/Analyzer.h"
#include "batch/BatchCtrl.h"
#include "calibration/CalibCtrl.h"
#include "calibration/EMPFile.h"

#include <QApplication>
#include <QDir>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <array>
#include <cmath>
#include <limits>

typedef QList<double> Values;

namespace {

QStringList logged;
void collect(QtMsgType, const QMessageLogContext&, const QString& msg) { logged << msg; }

// Runs a batch line on the main window and waits for its answer.
int run(Body& b, const QString& line, int timeoutMs = 60000)
{
    QSignalSpy answers(&b, &Body::finishBatchExec);
    b.execCmdSlot(CmdLine(line), false);
    if (answers.isEmpty() && !answers.wait(timeoutMs))
        return -1;
    return answers.first().first().toInt();
}

double field(QLineEdit* e) { return e->text().toDouble(); }

// Least squares of z = c0 x² + c1 y² + c2 xy + c3 x + c4 y + c5 over (x, y, z):
// normal equations, Gauss-Jordan elimination with partial pivoting.
std::array<double, 6> lsqSurface(const QList<std::array<double, 3>>& points)
{
    double a[6][7] = {};
    for (const auto& p : points) {
        const double b[6] = {p[0] * p[0], p[1] * p[1], p[0] * p[1], p[0], p[1], 1.0};
        for (int i = 0; i < 6; i++)
            for (int j = 0; j < 7; j++)
                a[i][j] += b[i] * (j < 6 ? b[j] : p[2]);
    }
    for (int k = 0; k < 6; k++) {
        int piv = k;
        for (int i = k + 1; i < 6; i++)
            piv = std::fabs(a[i][k]) > std::fabs(a[piv][k]) ? i : piv;
        std::swap(a[k], a[piv]);
        for (int i = 0; i < 6; i++)
            for (int j = 6; i != k && j >= k; j--) // a[i][k] last: the others still need it
                a[i][j] -= a[i][k] / a[k][k] * a[k][j];
    }
    std::array<double, 6> c;
    for (int i = 0; i < 6; i++)
        c[i] = a[i][6] / a[i][i];
    return c;
}

// The map's range and surface are those of its values at the centres of its
// bins (hx wide, one row tall, over columns 0 .. areaW - 1).
void checkBinFit(const Analyzed2DRes& m, int hx, int areaW)
{
    QList<std::array<double, 3>> points;
    double lo = 1e300, hi = -1e300;
    for (int y = 0; y < m.cond.H; y++) {
        for (int x = hx; x < areaW; x += 2 * hx + 1) {
            points << std::array<double, 3>{double(x), double(y), m.valueAt(x, y)};
            lo = std::min(lo, points.last()[2]);
            hi = std::max(hi, points.last()[2]);
        }
    }
    QCOMPARE(QList<double>({m.min, m.max}), QList<double>({lo, hi}));
    const std::array<double, 6> c = lsqSurface(points);
    for (int i = 0; i < 6; i++)
        QVERIFY2(std::fabs(m.surfFit.c[i] - c[i]) < 1e-9,
                 qPrintable(QStringLiteral("c%1 %2, fitted here %3").arg(i).arg(m.surfFit.c[i]).arg(c[i])));
}

} // namespace

class TestCalibWalk : public QObject {
    Q_OBJECT
    QTemporaryDir tmp;
    QString stdFile;

    // Each pixel's shift, against the half it lies in.
    static void checkHalves(const Analyzed2DRes& m, int w, int h, double tolerance)
    {
        for (int y = 0; y < h; y++) {
            for (int x = 0; x < w; x++) {
                const double want = calibstack::shiftOf(x, w);
                QVERIFY2(std::fabs(m.valueAt(x, y) - want) <= tolerance,
                         qPrintable(QStringLiteral("(%1, %2): %3").arg(x).arg(y).arg(m.valueAt(x, y))));
            }
        }
    }

private slots:
    void initTestCase()
    {
        loopback::resetConfig();
        QVERIFY(tmp.isValid());
        stdFile = tmp.filePath(QStringLiteral("std.dat"));
        QVERIFY(calibstack::writeStandard(stdFile));
    }

    void walk_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<double>("tolerance");
        QTest::newRow("dMidx") << 0 << 0.05;
        QTest::newRow("inner product") << 1 << 0.1; // its minimum step
    }
    void walk()
    {
        QFETCH(int, type);
        QFETCH(double, tolerance);
        auto b = calibstack::bodyWithStack();
        QCOMPARE(run(*b, QStringLiteral("calib_load_std ") + stdFile), 139);
        QCOMPARE(run(*b, QStringLiteral("calib_type %1").arg(type)), 145);
        QSignalSpy answers(b.get(), &Body::finishBatchExec);
        b->execCmdSlot(CmdLine(QStringLiteral("calib_exec")), false);
        QVERIFY(b->calib.running);
        QVERIFY(answers.isEmpty()); // the batch waits for the walk
        QTRY_COMPARE_WITH_TIMEOUT(answers.count(), 1, 60000);
        QCOMPARE(answers.first().first().toInt(), 141);
        QVERIFY(!b->calib.running);
        checkHalves(b->eShiftMap, 10, 4, tolerance);
        CalibCtrl* p = b->calibCtrl;
        QVERIFY(std::fabs(field(p->DEMin) + 1.0) <= tolerance);
        QVERIFY(std::fabs(field(p->DEMax) - 2.0) <= tolerance);
        QVERIFY(std::fabs(field(p->DEAvr) - 0.5) <= tolerance);
        QVERIFY(std::fabs(field(p->DESigma) - 1.5) <= tolerance);
        QCOMPARE(p->Progress->text(), QStringLiteral("100.0"));
        QCOMPARE(QList<QString>({p->Width->text(), p->Height->text()}), QList<QString>({"10", "4"}));
        QCoreApplication::processEvents(); // a stray queued step would answer again
        QCOMPARE(answers.count(), 1);
    }

    // An Initial E-range far past the stack's 200 eV of energies searches
    // within them, told once, and measures what 20 eV does; searched whole,
    // 1e6 eV would take minutes a bin.
    void innerProductWithinSpan()
    {
        auto b = calibstack::bodyWithStack(4, 2);
        QCOMPARE(run(*b, QStringLiteral("calib_load_std ") + stdFile), 139);
        QCOMPARE(run(*b, QStringLiteral("calib_type 1")), 145);
        std::vector<double> shifts[2];
        for (int k = 0; k < 2; ++k) {
            b->calibCtrl->DEw->setText(k == 0 ? QStringLiteral("20") : QStringLiteral("1e6"));
            QSignalSpy answers(b.get(), &Body::finishBatchExec);
            b->execCmdSlot(CmdLine(QStringLiteral("calib_exec")), false);
            QTRY_COMPARE_WITH_TIMEOUT(answers.count(), 1, 30000);
            for (int y = 0; y < 2; ++y)
                for (int x = 0; x < 4; ++x)
                    shifts[k].push_back(b->eShiftMap.valueAt(x, y));
        }
        for (size_t i = 0; i < shifts[0].size(); ++i)
            QVERIFY2(std::fabs(shifts[1][i] - shifts[0][i]) < 1e-9, qPrintable(QString::number(shifts[1][i])));
        checkHalves(b->eShiftMap, 4, 2, 0.1);
        const QString told = QStringLiteral("The Initial E-range 1e+06 eV reaches past the span of the stack's "
                                            "energies, 200 eV: shifts are searched within \u00b1200 eV");
        QCOMPARE(b->batchCtrl->BatchLogs->toPlainText().count(told), 1);
        QCOMPARE(b->batchCtrl->BatchLogs->toPlainText().count("reaches past"), 1);
    }

    // A second Exec between two bins stops the walk: the bins so far stay,
    // the queued step measures nothing, the waiting batch goes on.
    void stopBetweenBins()
    {
        auto b = calibstack::bodyWithStack();
        b->calibCtrl->loadStd(stdFile);
        QSignalSpy answers(b.get(), &Body::finishBatchExec);
        b->execCalibration();
        for (int k = 0; k < 3; k++)
            b->calibNextPoint(); // as the queued steps would, without the event loop
        b->execCalibration();
        QVERIFY(!b->calib.running);
        QCOMPARE(answers.count(), 1);
        QCoreApplication::processEvents();
        QCoreApplication::processEvents();
        const int done = 3;
        QCOMPARE(b->calib.count, done);
        // Raster order, one pixel per bin: the last bin measured and the next one.
        const Analyzed2DRes& m = b->eShiftMap;
        QVERIFY(std::fabs(m.valueAt((done - 1) % 10, (done - 1) / 10) - calibstack::shiftOf((done - 1) % 10, 10)) < 0.05);
        QCOMPARE(m.valueAt(done % 10, done / 10), 0.0);
        QCOMPARE(b->calibCtrl->DEAvr->text(), QStringLiteral("0"));
    }

    // A walk stopped after 13 of its 40 bins says where; the bins it never
    // reached hold no shift, and a save of the map counts the bins it holds.
    void stoppedWalkToldAndCounted()
    {
        auto b = calibstack::bodyWithStack();
        b->calibCtrl->loadStd(stdFile);
        b->execCalibration();
        for (int k = 0; k < 13; k++)
            b->calibNextPoint();
        testlog::Capture lines;
        b->execCalibration();
        QCOMPARE(lines.linesStartingWith("Calibration stopped"),
                 QStringList{"Calibration stopped at bin (3, 1), 25.00 % of the rows: 13 of 40 bins measured, "
                             "the others hold no result"});
        const Analyzed2DRes& m = b->eShiftMap;
        QVERIFY(m.onMap(2, 1) && !m.onMap(3, 1) && !m.onMap(9, 3));
        QTemporaryDir dir;
        const QString name = dir.filePath(QStringLiteral("part.emp"));
        b->saveEMap(name);
        QVERIFY(QFile::exists(name));
        QCOMPARE(lines.linesStartingWith(name),
                 QStringList{name + ": 13 of the map's 40 bins hold a result; the other 27 hold none"});
    }

    // Bins reaching past the image's lower border fill only the rows inside;
    // bins centred beside the image (the view is wider) measure nothing.
    void binsAtTheBorder()
    {
        auto b = calibstack::bodyWithStack(10, 5);
        b->calibCtrl->loadStd(stdFile);
        // Bins one column wide and three rows tall: the rows between centres
        // are theirs too.
        b->aHWidth_->setText(QStringLiteral("0"));
        b->aVWidth_->setText(QStringLiteral("1"));
        b->dispA->viewWin = QRectF(0, 0, 12, 5);
        QCOMPARE(run(*b, QStringLiteral("calib_exec")), 141);
        const Analyzed2DRes& m = b->eShiftMap;
        QCOMPARE(qsizetype(m.data.size()), qsizetype(50));
        // centres x 0..9 (10 and 11 are off the image), y 1 and 4 (rows 3..5, past the bottom)
        QCOMPARE(b->calib.count, 20);
        QVERIFY(std::fabs(m.valueAt(1, 0) - 2.0) < 0.05);
        QVERIFY(std::fabs(m.valueAt(8, 3) + 1.0) < 0.05);
        QVERIFY(std::fabs(m.valueAt(9, 4) + 1.0) < 0.05);
        QVERIFY(std::fabs(field(b->calibCtrl->DEAvr) - 0.5) < 0.05); // five columns of 2, five of -1
    }

    // A walk whose stack goes away stops as a second Exec would.
    void stackClearedStops()
    {
        auto b = calibstack::bodyWithStack();
        b->calibCtrl->loadStd(stdFile); // without one the walk would not start
        QSignalSpy answers(b.get(), &Body::finishBatchExec);
        b->execCalibration();
        b->calibNextPoint();
        b->clearI1Files();
        QTRY_VERIFY(!b->calib.running);
        QCOMPARE(answers.count(), 1);
        QCOMPARE(b->calib.count, 1);
    }

    void progress_data()
    {
        QTest::addColumn<int>("hy");
        QTest::addColumn<double>("rows"); // area height
        QTest::addColumn<double>("first");
        QTest::newRow("first centre below the top") << 1 << 4.0 << 25.0;
        QTest::newRow("area without height") << 0 << 0.0 << 0.0;
    }
    void progress()
    {
        QFETCH(int, hy);
        QFETCH(double, rows);
        AnalyzeCond g;
        const double rect[4] = {0, 0, 10, rows};
        g.setup(10, 4, 0, hy, rect, -1, -1);
        CalibWalk w;
        Analyzed2DRes map(QStringLiteral("m"));
        w.start(g, map);
        QTEST(w.progress(), "first");
    }

    // The statistics run over the counted bins only: one without a finite shift
    // adds no deviation, and without any the fields show 0 / 0. A walk done
    // before on the same object leaves nothing in them. On 3 x 3 the shifts
    // 5 + u (3v² - 1), with u, v = x - 1, y - 1, have the least-squares surface
    // 5 + u (the rest, u (3v² - 2), is orthogonal to all its terms on this grid):
    // "Q.S. Fitted" spreads sqrt(6 / 9) about the average 5, the shifts sqrt(18 / 9).
    void statisticsOverCountedBins_data()
    {
        const double nan = std::numeric_limits<double>::quiet_NaN();
        const double inf = std::numeric_limits<double>::infinity();
        QTest::addColumn<Values>("before"); // shifts of an earlier walk, one row
        QTest::addColumn<Values>("shifts"); // one bin per pixel, row by row
        QTest::addColumn<int>("rows");
        QTest::addColumn<bool>("fitted");
        QTest::addColumn<int>("count");
        QTest::addColumn<Values>("stats"); // min, max, average, sigma
        QTest::newRow("two of four") << Values{} << Values{2, nan, 4, -inf} << 1 << false << 2 << Values{2, 4, 3, 1};
        QTest::newRow("none") << Values{} << Values{nan, inf} << 1 << false << 0 << Values{1e300, -1e300, nan, nan};
        QTest::newRow("after a wider walk")
            << Values{10, nan, 20, 30, 40} << Values{2, nan, 4, -inf} << 1 << false << 2 << Values{2, 4, 3, 1};
        QTest::newRow("Q.S. Fitted: spread of the surface")
            << Values{} << Values{3, 5, 7, 6, 5, 4, 3, 5, 7} << 3 << true << 9 << Values{3, 7, 5, std::sqrt(6.0 / 9)};
    }
    void statisticsOverCountedBins()
    {
        QFETCH(Values, before);
        QFETCH(Values, shifts);
        QFETCH(int, rows);
        QFETCH(bool, fitted);
        QFETCH(Values, stats);
        CalibWalk w;
        Analyzed2DRes map(QStringLiteral("m"));
        const auto walk = [&w, &map](const Values& values, int h, bool fit) {
            const int n = int(values.size()) / h;
            AnalyzeCond g;
            const double rect[4] = {0, 0, double(n), double(h)};
            g.setup(n, h, 0, 0, rect, -1, -1);
            w.start(g, map);
            for (double s : values) {
                QCOMPARE(w.record(s, map), std::isfinite(s));
                w.cond.next();
            }
            w.finish(map, fit);
        };
        if (!before.isEmpty())
            walk(before, 1, false);
        walk(shifts, rows, fitted);
        if (QTest::currentTestFailed())
            return;
        const int n = int(shifts.size());
        QTEST(w.count, "count");
        QCOMPARE(w.noEdge, n - w.count);
        const Values got{w.min, w.max, w.sum, w.sqSum};
        for (int i = 0; i < 4; i++) {
            QVERIFY2(std::isnan(stats[i]) ? std::isnan(got[i]) : std::fabs(got[i] - stats[i]) <= 1e-9,
                     qPrintable(QStringLiteral("%1: %2, expected %3").arg(i).arg(got[i]).arg(stats[i])));
        }
    }

    // A standard without an edge energy: no bin counts, one log line says so.
    void noBinCounted()
    {
        auto b = calibstack::bodyWithStack();
        b->calibCtrl->loadStd(stdFile);
        b->calibStd.e0 = std::numeric_limits<double>::quiet_NaN();
        testlog::Capture log;
        QCOMPARE(run(*b, QStringLiteral("calib_exec")), 141);
        QCOMPARE(log.linesStartingWith(QStringLiteral("Calibration: no edge")),
                 QStringList{QStringLiteral("Calibration: no edge in 40 of 40 bins")});
        CalibCtrl* p = b->calibCtrl;
        QCOMPARE((QStringList{p->DEMin->text(), p->DEMax->text(), p->DEAvr->text(), p->DESigma->text()}),
                 (QStringList{"1e+300", "-1e+300", "nan", "nan"}));
    }

    // A map measured over part of the view comes back from its file with the
    // range and surface of its bins, not of every pixel: the corrected edge
    // map is the same after the round trip, beyond the measured part too.
    void roundTripKeepsSurface_data()
    {
        QTest::addColumn<QSize>("stack");
        QTest::addColumn<int>("hx");
        QTest::addColumn<int>("areaW");
        QTest::newRow("left half, one-pixel bins") << QSize(8, 6) << 0 << 4;
        QTest::newRow("bins 3 wide, columns left over") << QSize(11, 7) << 1 << 9;
    }
    void roundTripKeepsSurface()
    {
        QFETCH(QSize, stack);
        QFETCH(int, hx);
        QFETCH(int, areaW);
        const int w = stack.width(), h = stack.height();
        auto b = calibstack::bodyWithStack(w, h, [](int x, int y) {
            return 0.5 + 0.3 * x - 0.2 * y + 0.05 * x * x + 0.04 * y * y - 0.03 * x * y;
        });
        b->aHWidth_->setText(QString::number(hx));
        const QString file = tmp.filePath(QStringLiteral("part.emp"));
        const auto batch = [&b](const QStringList& lines) {
            for (const QString& l : lines)
                QVERIFY2(run(*b, l) >= 0, qPrintable(l));
        };
        const QString region = QStringLiteral("select_region 0 0 %1 %2");
        batch({"calib_load_std " + stdFile, region.arg(areaW).arg(h), "calib_exec", "select_qs_fitted_eShift 1",
               "analyzer_select_sub_mode_dEdge 1", region.arg(w).arg(h), "analyzer_exec_2da"});
        checkBinFit(b->eShiftMap, hx, areaW);
        const SurfFit2D fit = b->eShiftMap.surfFit;
        const std::vector<double> corrected = b->analyzer->dEdgeMap.data;
        batch({"calib_save_map " + file, "calib_clear_map", "calib_load_map " + file, "analyzer_exec_2da"});
        checkBinFit(b->eShiftMap, hx, areaW);
        for (int i = 0; i < 6; i++)
            QVERIFY(std::fabs(b->eShiftMap.surfFit.c[i] - fit.c[i]) < 1e-4); // the file's angles have 6 digits
        for (size_t i = 0; i < corrected.size(); i++)
            QVERIFY2(std::fabs(b->analyzer->dEdgeMap.data[i] - corrected[i]) < 1e-3, qPrintable(QString::number(i)));
    }

    // 3 x 3 bins over a region reaching past the top left corner: the centres
    // on the 11 x 7 image are x 2, 5, 8 and y 2, 5, two rows, so the surface has
    // no y² term. The shifts 0.5 + 0.1 x - 0.2 y + 0.01 x² + 0.02 xy lie in the
    // terms fitted, so the surface is exactly they. "Q.S. Fitted" then takes off
    // pixel (1,1) the shift it has: its edge 8990 + s(1,1) less s(1,1) less the
    // suggested 8984.5 is 5.5, after the walk and after a save, clear and load.
    void fewRowsCalibratedThroughFile()
    {
        const auto shift = [](int x, int y) { return 0.5 + 0.1 * x - 0.2 * y + 0.01 * x * x + 0.02 * x * y; };
        auto b = calibstack::bodyWithStack(11, 7, shift);
        b->aHWidth_->setText(QStringLiteral("1"));
        b->aVWidth_->setText(QStringLiteral("1"));
        const QString file = tmp.filePath(QStringLiteral("rows.emp"));
        const auto batch = [&b](const QStringList& lines) {
            for (const QString& l : lines)
                QVERIFY2(run(*b, l) >= 0, qPrintable(l));
        };
        const auto check = [&b](const char* when) {
            const double want[6] = {0.01, 0, 0.02, 0.1, -0.2, 0.5};
            for (int k = 0; k < 6; k++)
                QVERIFY2(std::fabs(b->eShiftMap.surfFit.c[k] - want[k]) < 1e-4,
                         qPrintable(QStringLiteral("%1: c%2 %3").arg(when).arg(k).arg(b->eShiftMap.surfFit.c[k])));
            const double edge = b->analyzer->dEdgeMap.valueAt(1, 1);
            QVERIFY2(std::fabs(edge - 5.5) < 1e-3, qPrintable(QStringLiteral("%1: %2").arg(when).arg(edge, 0, 'f', 4)));
        };
        batch({"Suggesting_Edge_eV 8984.5", "calib_load_std " + stdFile, "select_region -2 -2 9 8", "calib_exec",
               "select_qs_fitted_eShift 1", "analyzer_select_sub_mode_dEdge 1", "select_region 0 0 11 7",
               "analyzer_exec_2da"});
        check("calibrated");
        batch({"calib_save_map " + file, "calib_clear_map", "calib_load_map " + file, "analyzer_exec_2da"});
        check("loaded");
    }

    // "Deglitch E-Shift Map" fits range and surface again from the values
    // without the spike.
    void deglitchRefits_data()
    {
        QTest::addColumn<QSize>("map");
        QTest::addColumn<int>("hx");
        QTest::addColumn<int>("areaW");
        QTest::addColumn<QPoint>("spike");
        QTest::addColumn<double>("replaced"); // the mean of its eight neighbours
        // 0.1 x + 0.05 y² round (3, 2): (2.4 + 1.9) / 8
        QTest::newRow("6 x 5, one-pixel bins") << QSize(6, 5) << 0 << 6 << QPoint(3, 2) << 0.5375;
        // Centres x = 1, 4, 7, 10; column 12 stays 0. Round (7, 2): (5.6 + 1.9) / 8
        QTest::newRow("bins 3 wide, a column left over") << QSize(13, 5) << 1 << 12 << QPoint(7, 2) << 0.9375;
    }
    void deglitchRefits()
    {
        QFETCH(QSize, map);
        QFETCH(int, hx);
        QFETCH(int, areaW);
        QFETCH(QPoint, spike);
        Body b;
        testmaps::fill(b.eShiftMap, testmaps::grid(map.width(), map.height(), hx, 0, 0, 0, areaW, map.height()),
                       [&](int x, int y) { return QPoint(x, y) == spike ? 100.0 : 0.1 * x + 0.05 * y * y; });
        b.eShiftMap.genImg();
        b.normalizeEShift();
        QTEST(b.eShiftMap.valueAt(spike.x(), spike.y()), "replaced");
        checkBinFit(b.eShiftMap, hx, areaW);
    }

    // Stars and the data target stay on this host's loopback.
    void aimsAtLoopback()
    {
        Body b;
        QCOMPARE(b.stars.hostLE->text(), QStringLiteral("127.0.0.1"));
        QCOMPARE(b.client.host(), QStringLiteral("127.0.0.1"));
    }

    void noStackAnswersAtOnce()
    {
        Body b;
        QCOMPARE(run(b, QStringLiteral("calib_exec"), 0), 141);
        QVERIFY(!b.calib.running);
    }

    // The edge-position map of the shifted stack is flat once the map just
    // measured corrects every bin, and shows the 3 eV step without it.
    void shiftReachesEdgeMap()
    {
        auto b = calibstack::bodyWithStack();
        QCOMPARE(run(*b, QStringLiteral("calib_load_std ") + stdFile), 139);
        QCOMPARE(run(*b, QStringLiteral("calib_exec")), 141);
        QCOMPARE(run(*b, QStringLiteral("analyzer_select_sub_mode_dEdge 1")), 84);
        const auto halves = [&b](double& left, double& right) {
            const Analyzed2DRes& m = b->analyzer->dEdgeMap;
            left = m.valueAt(1, 2);
            right = m.valueAt(8, 2);
            for (int y = 0; y < 4; y++) {
                for (int x = 0; x < 10; x++)
                    QVERIFY(std::fabs(m.valueAt(x, y) - (x < 5 ? left : right)) < 0.05);
            }
        };
        double left = 0, right = 0;
        QCOMPARE(run(*b, QStringLiteral("analyzer_exec_2da")), 116);
        halves(left, right);
        QVERIFY2(std::fabs(left - right) < 0.1, qPrintable(QStringLiteral("%1 %2").arg(left).arg(right)));
        QCOMPARE(run(*b, QStringLiteral("calib_clear_map")), 143);
        QCOMPARE(run(*b, QStringLiteral("analyzer_exec_2da")), 116);
        halves(left, right);
        QVERIFY2(std::fabs(left - right - 3.0) < 0.1, qPrintable(QStringLiteral("%1 %2").arg(left).arg(right)));
    }

    // The program's own run: a batch measures, saves, clears, reloads and
    // quits with status 0.
    void headlessBatch()
    {
        QVERIFY(QDir(tmp.path()).mkpath(QStringLiteral("out")));
        const QString oldDir = QDir::currentPath();
        QDir::setCurrent(tmp.path());
        auto b = calibstack::bodyWithStack();
        connect(b.get(), SIGNAL(finishing()), qApp, SLOT(closeAllWindows()));
        std::vector<double> measured;
        connect(b.get(), &Body::calibProgress, this, [&](double p) {
            if (p == 100.0)
                measured = b->eShiftMap.data;
        });
        b->batchCtrl->BatchCmds->setPlainText(QStringList{
            QStringLiteral("calib_load_std ") + stdFile, QStringLiteral("calib_exec"),
            QStringLiteral("calib_save_map out/m.emp"), QStringLiteral("calib_clear_map"),
            QStringLiteral("calib_load_map out/m.emp"), QStringLiteral("calib_load_map missing.emp"),
            QStringLiteral("quit")}.join(u'\n'));
        QTimer::singleShot(0, b->batchCtrl, &BatchCtrl::execCmdsSlot);
        QTimer guard; // ends a hang as a failure
        guard.setSingleShot(true);
        connect(&guard, &QTimer::timeout, qApp, [] { QCoreApplication::exit(1); });
        guard.start(60000);
        logged.clear();
        QtMessageHandler old = qInstallMessageHandler(collect);
        const int status = QApplication::exec();
        qInstallMessageHandler(old);
        QDir::setCurrent(oldDir);
        QCOMPARE(status, 0);

        QCOMPARE(qsizetype(measured.size()), qsizetype(40));
        checkHalves(b->eShiftMap, 10, 4, 0.05);
        for (int i = 0; i < 40; i++)
            QVERIFY(std::fabs(b->eShiftMap.data[size_t(i)] - measured[size_t(i)]) < 1e-4);
        QCOMPARE(b->calibCtrl->EMPFileName->text(), QStringLiteral("out/m.emp"));
        // Every bin is in the file: 4 body lines of 10 values.
        QFile f(tmp.filePath(QStringLiteral("out/m.emp")));
        QVERIFY(f.open(QIODevice::ReadOnly | QIODevice::Text));
        const QStringList lines = QString::fromUtf8(f.readAll()).split(u'\n', Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), 16 + 4 + 1 + 4); // header, "Map Width" per row, end line, rows
        for (int r = 0; r < 4; r++)
            QCOMPARE(lines.at(lines.size() - 4 + r).split(u' ', Qt::SkipEmptyParts).size(), 10);
        QVERIFY(logged.filter(QStringLiteral("Can not open")).filter(QStringLiteral("missing.emp")).size() == 1);
    }
};

CORVELLINE_TEST(TestCalibWalk)
#include "tst_calibwalk.moc"
