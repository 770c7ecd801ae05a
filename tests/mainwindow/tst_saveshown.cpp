#include "support/EventSend.h"
#include "support/FrameCraft.h"
#include "support/InTempDir.h"
#include "support/StackBody.h"
#include "support/TestRegistry.h"
#include "support/Loopback.h"

#include "analysis/Analyzer.h"
#include "display/ColorBar.h"
#include "display/ImgDispA.h"
#include "imagestack/SelectDataFiles.h"
#include "imagestack/TiffData.h"
#include "mainwindow/Body.h"
#include "mainwindow/SaveDataCfg.h"
#include "mainwindow/SumUpCtrl.h"

#include <QImage>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <cmath>
#include <functional>
#include <memory>

namespace {

const int W = 6;
const int H = 4;
const int Frames = 40; // 8900 eV onwards in 2 eV steps

// An edge 10 eV wide at 8930 + 2x eV, of height 1 + y / 4: every frame has a
// range of its own, and the edge-position map varies over the field.
double transmission(int x, int y, int k)
{
    const double e = 8900.0 + 2.0 * k;
    const double e0 = 8930.0 + 2.0 * x;
    const double t = e <= e0 - 5 ? 0.0 : e >= e0 + 5 ? 1.0 : (e - e0 + 5) / 10.0;
    return std::exp(-(1.0 + 0.25 * y) * t);
}

void fill(Analyzed2DRes& m, const std::function<double(int, int)>& v)
{
    AnalyzeCond c;
    const double rect[4] = {0, 0, W, H};
    c.setup(W, H, 0, 0, rect, 1, 1);
    m.setCond(c);
    for (int y = 0; y < H; y++)
        for (int x = 0; x < W; x++)
            m.setData(x, y, 0, 0, v(x, y));
    m.genImg();
}

// The I1 stack with its file list, one I0 frame, an energy-shift map and the
// dMut maps of reference rows 0 and 1 and the ratio map of row 0, each with a
// range of its own. The window is never shown: nothing paints unless asked.
std::unique_ptr<Body> bodyShowingNothingYet()
{
    std::unique_ptr<Body> b = craft::bodyWithStack(W, H, Frames, transmission);
    // What a loader sets: the bar and the range of the values.
    auto loaded = [&b](TiffData* f, const std::function<double(int, int)>& v) {
        f->cBar = b->CBar;
        f->min = f->max = v(0, 0);
        for (int y = 0; y < H; y++) {
            for (int x = 0; x < W; x++) {
                f->min = std::min(f->min, double(float(v(x, y))));
                f->max = std::max(f->max, double(float(v(x, y))));
            }
        }
    };
    for (int k = 0; k < Frames; k++) {
        loaded(b->i1Frames[k], [k](int x, int y) { return transmission(x, y, k); });
        b->SelectI1Files->Selected->addItem(QString::number(k));
    }
    auto i0 = [](int x, int y) { return 50.0 + x * y; };
    QVector<double> samples;
    for (int y = 0; y < H; y++)
        for (int x = 0; x < W; x++)
            samples << i0(x, y);
    TiffData* f = craft::floatFrame(W, H, samples);
    loaded(f, i0);
    b->frameSets.append(FrameSets::I0, f, 8900.0);
    b->SelectI0Files->Selected->addItem(QStringLiteral("0"));
    b->SelectI0Files->Selected->setCurrentIndex(0);
    b->SelectI1Files->Selected->setCurrentIndex(Frames - 1);
    fill(b->eShiftMap, [](int x, int y) { return -3.0 + x - y; });
    Analyzer* a = b->analyzer;
    fill(*a->lcfResMap(0, 0), [](int x, int y) { return x + 10.0 * y; });
    fill(*a->lcfResMap(1, 0), [](int x, int y) { return 100.0 + 50.0 * x * y; });
    fill(*a->lcfResMap(0, 1), [](int x, int y) { return 0.5 + 0.1 * (x + y); });
    // Selected while no reference row is shown; a map without a result would save nothing.
    fill(a->dEdgeMap, [](int x, int y) { return 8990.0 + x - y; });
    return b;
}

// The display painted, as a screen would paint it.
void render(Body& b) { b.dispA->grab(); }

// A threshold dragged from near the top to the middle of the bar.
void dragThreshold(Body& b)
{
    const int h = b.CBar->height();
    events::drag(b.CBar, QPointF(5, 0.1 * h), QPointF(5, 0.5 * h), Qt::LeftButton);
}

void run(Body& b, const QString& lines)
{
    for (const QString& line : lines.split(u';', Qt::SkipEmptyParts)) {
        if (line == QLatin1String("drag"))
            dragThreshold(b);
        else
            b.execCmdSlot(CmdLine(line), false);
    }
}

struct Saved {
    QImage picture;  // save_image
    QImage bar;      // its colour bar
    QImage dataBar;  // the colour bar of the TIFF save_data
    bool operator==(const Saved& o) const
    {
        return picture == o.picture && bar == o.bar && dataBar == o.dataBar;
    }
};

// The colour bar of a TIFF save_data.
QImage saveData(Body& b, const QString& base)
{
    b.execCmdSlot(CmdLine(QStringLiteral("save_data ") + base + QStringLiteral("d.png")), false);
    // The data file is numbered by the reference row shown.
    const QString ext = QString::number(b.analyzer->checkedRefIndex());
    return QImage(base + QStringLiteral("d-") + ext + QStringLiteral("--cBar.png"));
}

Saved save(Body& b, const QString& base)
{
    b.execCmdSlot(CmdLine(QStringLiteral("save_image ") + base), false);
    const QImage dataBar = saveData(b, base);
    return {QImage(base + QStringLiteral(".png")), QImage(base + QStringLiteral("-cBar.png")), dataBar};
}

} // namespace

// A save writes what a paint at that moment would show, however long ago the
// display last painted.
class TestSaveShown : public QObject {
    Q_OBJECT
    InTempDir dir;

private slots:
    void initTestCase() { loopback::resetConfig(); }

    // setup runs and is painted; step runs and is saved at once, then again
    // after a paint: the two saves must be the same files. The data is saved
    // first on its own too, as no save_image has brought the bar up to date.
    void saveAtOnce_data()
    {
        QTest::addColumn<QString>("setup");
        QTest::addColumn<QString>("step");
        const QString map0 = QStringLiteral("select_disp_image_analyzed;analyzer_select_image 0;");
        QTest::newRow("another frame") << "seek_image 39" << "seek_image 22";
        QTest::newRow("I1 to I0") << "select_disp_image 0" << "select_disp_image 1";
        QTest::newRow("frame to shift map") << "select_disp_image 0" << "select_disp_image 2";
        QTest::newRow("shift map to result") << "select_disp_image 2" << map0;
        QTest::newRow("result to frame") << map0 << "select_disp_image 0";
        QTest::newRow("another map") << map0 << "analyzer_select_image 1";
        QTest::newRow("ratio to dMut") << map0 + "analyzer_select_image_type 0"
                                       << "analyzer_select_image_type 1";
        QTest::newRow("drag, then another map") << map0 << "drag;analyzer_select_image 1";
        QTest::newRow("drag, then the shift map") << "select_disp_image 0" << "drag;select_disp_image 2";
    }
    void saveAtOnce()
    {
        QFETCH(QString, setup);
        QFETCH(QString, step);
        QTemporaryDir out;
        std::unique_ptr<Body> b = bodyShowingNothingYet();
        run(*b, setup);
        render(*b);
        const Saved before = save(*b, out.filePath(QStringLiteral("before")));
        run(*b, step);
        const QImage dataAlone = saveData(*b, out.filePath(QStringLiteral("alone")));
        const Saved now = save(*b, out.filePath(QStringLiteral("now")));
        render(*b);
        const Saved painted = save(*b, out.filePath(QStringLiteral("painted")));
        QVERIFY(!painted.picture.isNull() && !painted.dataBar.isNull());
        QVERIFY(!(painted == before)); // the step changes what is shown
        QVERIFY2(dataAlone == painted.dataBar, "the data bar saved alone is not the painted one");
        QVERIFY(now.picture == painted.picture);
        QVERIFY(now.bar == painted.bar);
        QVERIFY(now.dataBar == painted.dataBar);
    }

    // The colour bar beside TIFF data carries the range the data were scaled
    // with, whatever the display shows: the bar the display paints when it
    // shows the map on that range.
    void dataBarOfItsRange_data()
    {
        QTest::addColumn<QString>("tiff");   // the TIFF's scale
        QTest::addColumn<QString>("shown");  // what the display shows at the save
        QTest::addColumn<QString>("asData"); // the map on the TIFF's range, shown
        const QString own = QStringLiteral("saveDataCfg_tiff_fix_scale 0");
        const QString fixed = QStringLiteral("saveDataCfg_tiff_fix_scale 1;saveDataCfg_tiff_scale_min -4;"
                                             "saveDataCfg_tiff_scale_max 32.5");
        const QString map = QStringLiteral("select_disp_image_analyzed");
        const QString mapFixed = QStringLiteral("analyzer_set_scale_min -4;analyzer_set_scale_max 32.5;"
                                                "analyzer_set_fixed_scale 1;select_disp_image_analyzed");
        QTest::newRow("own range, I1 frame shown") << own << "select_disp_image 0" << map;
        QTest::newRow("own range, shift map shown") << own << "select_disp_image 2" << map;
        QTest::newRow("own range, map shown on another scale") << own << mapFixed << map;
        QTest::newRow("fixed, I1 frame shown") << fixed << "select_disp_image 0" << mapFixed;
        QTest::newRow("fixed, map shown on its own range") << fixed << map << mapFixed;
    }
    void dataBarOfItsRange()
    {
        QFETCH(QString, tiff);
        QFETCH(QString, shown);
        QFETCH(QString, asData);
        QTemporaryDir out;
        std::unique_ptr<Body> b = bodyShowingNothingYet();
        run(*b, QStringLiteral("analyzer_select_image 0;") + tiff + u';' + shown);
        render(*b);
        const QImage bar = saveData(*b, out.filePath(QStringLiteral("d")));
        QVERIFY(!bar.isNull());
        run(*b, QStringLiteral("analyzer_set_fixed_scale 0;") + asData);
        render(*b);
        QCOMPARE(bar, b->CBar->cBar.toImage().convertToFormat(bar.format()));
    }

    // The walk's maps and the sum-up picture are rebuilt after a threshold
    // moved: they take the bar's colours, not those they were last drawn in.
    void rebuiltPictures_data()
    {
        QTest::addColumn<bool>("walk");
        QTest::newRow("edge-position walk") << true;
        QTest::newRow("sum-up") << false;
    }
    void rebuiltPictures()
    {
        QFETCH(bool, walk);
        std::unique_ptr<Body> b = bodyShowingNothingYet();
        Analyzer* a = b->analyzer;
        run(*b, QStringLiteral("seek_image 22;drag"));
        QVERIFY(b->CBar->upperTh < 0.9);
        QImage built;
        if (walk) {
            a->setSubMode(0, 0, true);
            emit a->AskAnalyze->clicked();
            QTRY_VERIFY_WITH_TIMEOUT(!b->walkRunning(), 60000);
            QVERIFY(a->dEdgeMap.image);
            built = a->dEdgeMap.image->copy(); // the map's image is drawn over its own buffer
            a->ShowDEdge->setChecked(true);
        } else {
            a->SumUpC->SumUpFrom->setText(QStringLiteral("0"));
            a->SumUpC->SumUpTo->setText(QStringLiteral("40"));
            a->SumUpC->add();
            b->doSumUp();
            built = QImage(QStringLiteral("sumUpImg.png"));
            a->SelSumUp->setChecked(true);
        }
        run(*b, QStringLiteral("select_disp_image_analyzed"));
        render(*b);
        const Saved painted = save(*b, dir.tmp.filePath(QStringLiteral("painted")));
        QCOMPARE(painted.picture.size(), QSize(W, H));
        QCOMPARE(built.convertToFormat(painted.picture.format()), painted.picture);
    }
};

CORVELLINE_TEST(TestSaveShown)
#include "tst_saveshown.moc"
