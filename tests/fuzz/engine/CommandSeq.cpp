#include "CommandSeq.h"

#include "Mutator.h"

#include "DemoSet.h"
#include "analysis/Analyzer.h"
#include "batch/BatchCtrl.h"
#include "batch/BatchDispatcher.h"
#include "batch/CmdDef.h"
#include "batch/CmdLine.h"
#include "display/ImgDispA.h"
#include "foundation/Globals.h"
#include "mainwindow/Body.h"
#include "support/ImageCraft.h"
#include "support/Loopback.h"

#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>

#include <cmath>
#include <iterator>
#include <random>
#include <utility>

namespace cmdseq {

namespace {

// Small, so that a sequence takes a fraction of a second; unequal sides.
const int W = 24;
const int H = 17;
// Across the Cu K edge, none on a round number.
const double energies[] = {8952.35, 8968.8, 8976.15, 8980.45, 8984.7, 8993.25, 9011.6, 9038.85};
const int frames = int(sizeof energies / sizeof energies[0]);
const char* const refFoil = "ref_foil.dat";
const char* const refOxide = "ref_oxide.dat";
const char* const dataName = "commands-data";
// The idle loop at a paint point: long enough for a shown window to paint.
const int idlePasses = 300;

// Windows of their own that read the maps and frames as the main window does,
// by the name of the idle loop that paints them; none is shown by itself.
struct Window {
    const char* loop;
    QWidget* (*of)(Body&);
};
const Window windows[] = {
    {"paintstats", [](Body& b) -> QWidget* { return &b.stats; }},
    {"paintanalyzer", [](Body& b) -> QWidget* { return b.analyzer; }},
    {"paintfit", [](Body& b) -> QWidget* { return b.analyzer->xafsView(); }},
    {"paintspectrum", [](Body& b) -> QWidget* { return b.xafsView; }},
};

QString frameFile(const char* stack, int k)
{
    return demo::DemoSet::frameName(QLatin1String(stack), energies[k]);
}

// The table's words in groups: a word is drawn from a group drawn first, so the
// many words of the energy setup do not crowd out the few of the element rows.
enum Group {
    Files, Energies, Absorber, Bins, Display, Saves, Pointer, Modes, Exec, Edge, Lcf, Elements,
    Residual, Calibration, Statistics, SaveSettings, Groups
};

Group groupOf(int id)
{
    if (id <= SKIP_I1 || id == SHOW_LATEST_I0 || id == SHOW_LATEST_I1)
        return id == SET_I1_ENERGY_PATTERN || id == SET_I0_ENERGY_PATTERN ? Energies : Files;
    if (id <= ENG_BY_REF_I1)
        return Energies;
    if (id <= SUGGESTING_POST_START_EV)
        return Absorber;
    if (id <= SET_ANALYZE_H)
        return Bins;
    switch (id) {
    case SAVE_IMAGE:
    case SAVE_IMAGE_W_NUM:
    case SAVE_ALL_IMAGES:
    case SAVE_DATA:
    case SAVE_DATA_AS_TIFF:
    case SAVE_SPECTRA:
        return Saves;
    case MOVE_POSITION:
    case SELECT_REGION:
    case SCALE_RESET:
    case ZOOM_IN:
        return Pointer;
    case ANALYZER_EXEC_2DA:
    case ANALYZER_EXEC_LCF:
    case ANALYZER_EXEC_ELEMS:
    case ANALYZER_EXEC_RA:
    case CALIB_EXEC:
        return Exec;
    case ANALYZER_SELECT_IMAGE_TYPE:
        return Modes;
    case ANALYZER_SET_RA_ENERGY:
    case ANALYZER_SET_RA_FACTOR:
        return Residual;
    default:
        break;
    }
    if (id <= ANALYZER_SHOW_WINDOW)
        return Display;
    if (id <= ANALYZER_SET_RATIO_SCALE_MIN)
        return Modes;
    if (id <= ANALYZER_DEDGE_COMP_PARAMS)
        return Edge;
    if (id <= ANALYZER_SET_LCF_RANGE)
        return Lcf;
    if (id <= ANALYZER_ELEMS_BG_NROI)
        return Elements;
    if (id <= CALIB_TYPE)
        return Calibration;
    if (id <= STATS_IN_SELECTED_REGION)
        return Statistics;
    return SaveSettings;
}

class Gen {
public:
    explicit Gen(std::uint64_t seed) : rng(seed)
    {
        // "quit" would end the program in the middle; every batch ends with it.
        for (const CmdDef& d : exCmds)
            if (d.id != QUIT && d.id != NOT_EX_CMD)
                groups[groupOf(d.id)] << d;
    }

    QByteArray batch(std::uint64_t seed)
    {
        out << QStringLiteral("# commands fuzz sequence, seed %1").arg(seed);
        start();
        const int steps = 8 + below(25);
        QList<QStringList> done;
        for (int i = 0; i < steps; ++i) {
            const qsizetype from = out.size();
            // Giving the same words again (new targets, a second load, the
            // same region) is where what the first ones left behind is used.
            if (!done.isEmpty() && chance(20))
                out << done.at(below(int(done.size())));
            else
                step();
            done << out.mid(from);
            if (chance(35))
                paint();
        }
        out << QStringLiteral("quit");
        return out.join(QLatin1Char('\n')).toUtf8() + '\n';
    }

private:
    int below(int n) { return n <= 0 ? 0 : int(rng() % std::uint64_t(n)); }
    bool chance(int percent) { return below(100) < percent; }
    QString pick(const QStringList& l) { return l.at(below(int(l.size()))); }

    void line(const QString& word, QStringList args)
    {
        malform(args);
        // A parameter with a blank in it must be quoted to stay one item.
        for (QString& a : args)
            if (a.contains(QLatin1Char(' ')))
                a = QLatin1Char('"') + a + QLatin1Char('"');
        out << (args.isEmpty() ? word : word + QLatin1Char(' ') + args.join(QLatin1Char(' ')));
    }
    void word(int id) { line(exCmdName(EX_CMD_ID(id)), argsOf(id)); }

    // Missing, surplus and odd parameters now and then.
    void malform(QStringList& args)
    {
        if (!chance(10))
            return;
        switch (below(3)) {
        case 0:
            if (!args.isEmpty())
                args = args.mid(0, below(int(args.size())));
            break;
        case 1:
            args << boundary();
            break;
        default:
            if (!args.isEmpty())
                args[below(int(args.size()))] = boundary();
            break;
        }
    }

    QString boundary()
    {
        const QList<QByteArray>& t = Mutator::boundaryTexts();
        return QString::fromLatin1(t.at(below(int(t.size()))));
    }
    QString integer(int lo, int hi)
    {
        if (chance(88))
            return QString::number(lo - 2 + below(hi - lo + 5));
        const QList<std::int64_t>& n = Mutator::boundaryNumbers();
        return QString::number(n.at(below(int(n.size()))));
    }
    QString real(double lo, double hi)
    {
        if (chance(90))
            return QString::number(lo + (hi - lo) * below(10001) / 10000.0, 'g', 7);
        return pick({QStringLiteral("nan"), QStringLiteral("inf"), QStringLiteral("-1e300"),
                     QStringLiteral("1e-300"), QStringLiteral("0"), QStringLiteral("-0"),
                     QStringLiteral("x")});
    }
    QString flag()
    {
        if (chance(85))
            return QString::number(below(2));
        return pick(
            {QStringLiteral("2"), QStringLiteral("-1"), QStringLiteral("true"), QStringLiteral("01")});
    }
    // Corners and points inside the image, just outside it, and at the ends of int.
    QString coord(int size)
    {
        const int r = below(100);
        if (r < 75)
            return QString::number(-3 + below(size + 7));
        if (r < 83)
            return pick({QStringLiteral("2147483647"), QStringLiteral("-2147483648"),
                         QStringLiteral("2147483646"), QStringLiteral("-2147483647"),
                         QStringLiteral("1073741824")});
        return pick({QStringLiteral("1000"), QStringLiteral("-1000"), QStringLiteral("65536"),
                     QStringLiteral("-100")});
    }
    QString data(const QString& name) { return QStringLiteral("$DataRoot$/") + name; }
    // Files a word reads: the references, frames, what earlier words saved,
    // and names that are no file.
    QString readFile()
    {
        const int r = below(100);
        if (r < 45)
            return data(QLatin1String(chance(50) ? refFoil : refOxide));
        if (r < 60)
            return data(frameFile(chance(50) ? "I1" : "I0", below(frames)));
        if (r < 80)
            return data(pick({QStringLiteral("o/map.emp"), QStringLiteral("o/spectra.dat"),
                              QStringLiteral("o/data.dat"), QStringLiteral("o/image.png")}));
        return pick({data(QStringLiteral("missing.dat")), QStringLiteral("$DataRoot$"),
                     data(QStringLiteral("none/x.dat")), QString()});
    }
    // Saves go into "o" of the data folder, or into a folder that is not there.
    QString writeFile(const QStringList& suffixes)
    {
        const QString name = pick({QStringLiteral("image"), QStringLiteral("data"), QStringLiteral("map"),
                                   QStringLiteral("spectra"), QStringLiteral("x y")})
                             + pick(suffixes);
        const int r = below(100);
        if (r < 88)
            return data(QStringLiteral("o/") + name);
        if (r < 96)
            return data(QStringLiteral("none/") + name);
        return data(QStringLiteral("o/"));
    }
    QString elementNames()
    {
        return pick({QStringLiteral("Cu"), QStringLiteral("Fe"), QStringLiteral("Cu,Fe"),
                     QStringLiteral("Fe,Cu,Zn"), QStringLiteral("Cu-K"), QStringLiteral("Cu-L3"),
                     QStringLiteral("Zn"), QStringLiteral("Xx"), QStringLiteral("cu")});
    }
    QString elementRow()
    {
        if (chance(40))
            return integer(0, 2);
        return pick({QStringLiteral("Cu-K"), QStringLiteral("Fe-K"), QStringLiteral("Zn-K"),
                     QStringLiteral("Cu-L3"), QStringLiteral("Cu")});
    }
    QString pattern()
    {
        return pick({QStringLiteral("(\\d|)\\d\\d\\d\\d_\\d\\d\\d\\d"), QStringLiteral("\\d\\d\\d\\d_\\d\\d"),
                     QStringLiteral("\\d\\d\\d\\d\\.\\d"), QStringLiteral("("), QStringLiteral(".*"),
                     QStringLiteral("[0-9]+")});
    }
    QString mode()
    {
        return pick(
            {QStringLiteral("NEW"), QStringLiteral("new"), QStringLiteral("ADD"), QStringLiteral("x")});
    }

    // A run of frames of one stack, with a missing file or a reference now and then.
    QStringList fileList(const char* stack)
    {
        QStringList l{mode()};
        const int from = below(frames);
        const int to = from + below(frames - from) + 1;
        for (int k = from; k < to; ++k)
            l << data(frameFile(stack, k));
        if (chance(10))
            l.insert(1 + below(int(l.size())),
                     chance(50) ? data(QStringLiteral("missing.tif")) : data(QLatin1String(refFoil)));
        return l;
    }
    QStringList ofPattern(const char* stack)
    {
        QStringList l{mode(),
                      pick({QStringLiteral("$DataRoot$/"), QStringLiteral("$DataRoot$"),
                            QStringLiteral("$DataRoot$/o/"), QStringLiteral("$DataRoot$/none/")})};
        if (chance(80))
            l << QLatin1String(stack) + QStringLiteral("_*.tif");
        if (chance(20))
            l << pick({QStringLiteral("*.dat"), QStringLiteral("*.tif"), QStringLiteral("*")});
        return l;
    }

    QStringList argsOf(int id)
    {
        switch (id) {
        case SET_I1_ENERGY_PATTERN:
        case SET_I0_ENERGY_PATTERN:
        case ENG_BY_NAME_REG_EXP_I0:
        case ENG_BY_NAME_REG_EXP_I1:
            return {pattern()};
        case LOAD_I1_FILES:
            return fileList("I1");
        case LOAD_I0_FILES:
            return fileList("I0");
        case LOAD_I1_FILES_OF_PATTERN:
            return ofPattern("I1");
        case LOAD_I0_FILES_OF_PATTERN:
            return ofPattern("I0");
        case USE_I0:
        case SHOW_LATEST_I0:
        case SHOW_LATEST_I1:
        case ENG_BY_CALC_I0:
        case ENG_BY_CALC_I1:
        case ENG_CALC_EVEN_IN_ENG_I0:
        case ENG_CALC_EVEN_IN_ENG_I1:
        case ENG_CALC_EVEN_IN_DEG_I0:
        case ENG_CALC_EVEN_IN_DEG_I1:
        case SET_FLUO_TYPE:
        case SUGGEST_ELM:
        case SELECT_QS_FITTED_ESHIFT:
        case XAFS_VIEW_NORMALIZE:
        case XAFS_VIEW_ENERUGY_CORRECTION:
        case ANALYZER_SELECT_SUB_MODE_DEDGE:
        case ANALYZER_SELECT_SUB_MODE_LCF:
        case ANALYZER_SELECT_SUB_MODE_ELEMS:
        case ANALYZER_SELECT_SUB_MODE_RA:
        case ANALYZER_VIEW_NORMALIZE:
        case ANALYZER_VIEW_ENERUGY_CORRECTION:
        case ANALYZER_SET_FIXED_SCALE:
        case ANALYZER_SET_LCF_MODE:
        case ANALYZER_SET_MLCF:
        case ANALYZER_SET_LCF_AS_OLD:
        case ANALYZER_ELEMS_SORT_BY_AN:
        case STATS_SHOW_WINDOW:
        case STATS_OVER_IMAGE:
        case STATS_IN_SELECTED_REGION:
        case SAVEDATACFG_TIFF_FIX_SCALE:
        case SAVEDATACFG_TIFF_AS_ANALYZED:
            return {flag()};
        case CUT_F_I0:
        case CUT_F_I1:
        case CUT_L_I0:
        case CUT_L_I1:
        case SKIP_I0:
        case SKIP_I1:
            return {integer(0, 3)};
        case ENG_BY_NAME_FACTOR_I0:
        case ENG_BY_NAME_FACTOR_I1:
            return {real(0.5, 2.0)};
        case ENG_CALC_BASE_I0:
        case ENG_CALC_BASE_I1:
            return {real(8900, 9000)};
        case ENG_CALC_DELTA_I0:
        case ENG_CALC_DELTA_I1:
            return {real(-2, 20)};
        case ENG_CALC_END_I0:
        case ENG_CALC_END_I1:
            return {real(8950, 9100)};
        case ENG_CALC_NUM_I0:
        case ENG_CALC_NUM_I1:
            return {integer(0, frames + 2)};
        case ENG_CALC_DISP_UNIT_I0:
        case ENG_CALC_DISP_UNIT_I1:
            return {integer(0, 2)};
        case ENG_BY_REF_I0:
        case ENG_BY_REF_I1:
        case ANALYZER_DEDGE_COMP_FILE_NAME:
        case CALIB_LOAD_STD:
        case CALIB_LOAD_MAP:
            return {readFile()};
        case SUGGESTING_ELM:
            return {pick(
                {QStringLiteral("Cu"), QStringLiteral("Fe"), QStringLiteral("cu"), QStringLiteral("Xx")})};
        case SUGGESTING_EDGE:
            return {integer(0, 3)};
        case SUGGESTING_EDGE_EV:
        case CALIB_SET_EDGE_EV:
            return {real(8960, 9000)};
        case SUGGESTING_PRE_END_EV:
            return {real(-60, -5)};
        case SUGGESTING_POST_START_EV:
            return {real(5, 80)};
        case SET_BAND_W:
        case SET_BAND_H:
        case SET_VIEW_W:
        case SET_VIEW_H:
        case SET_ANALYZE_W:
        case SET_ANALYZE_H:
            return {integer(0, 4)};
        case SELECT_DISP_IMAGE:
            return {integer(0, 3)};
        case SEEK_IMAGE:
            return {integer(0, frames - 1)};
        case SAVE_IMAGE:
        case SAVE_ALL_IMAGES:
            return {writeFile(
                {QStringLiteral(".png"), QStringLiteral(".jpg"), QStringLiteral(".bmp"), QString()})};
        case SAVE_IMAGE_W_NUM:
            return {writeFile({QStringLiteral(".png")}), integer(0, 20)};
        case SAVE_DATA:
            return {writeFile({QStringLiteral(".dat"), QStringLiteral(".tif"), QStringLiteral(".txt")})};
        case SAVE_DATA_AS_TIFF:
            return {writeFile({QStringLiteral(".tif")})};
        case SAVE_SPECTRA:
            return {writeFile({QStringLiteral(".dat")})};
        case MOVE_POSITION:
            return {coord(W), coord(H)};
        case CBAR_SET_RANGE:
            return {real(-1, 2), real(-1, 2)};
        case SAVEDATACFG_TIFF_SCALE_MIN:
        case SAVEDATACFG_TIFF_SCALE_MAX:
            return {real(-1, 2)};
        case SELECT_REGION:
            return {coord(W), coord(H), coord(W), coord(H)};
        case ANALYZER_SELECT_ANALYSIS_MODE:
            return {integer(0, 5)};
        case ANALYZER_MAIN_MODE:
        case ANALYZER_DEDGE_SELECT_MODE:
        case ANALYZER_DEDGE_COMP_TARGET:
        case ANALYZER_SELECT_IMAGE_TYPE:
        case CALIB_TYPE:
            return {integer(0, 1)};
        case ANALYZER_SUB_MODE: {
            QStringList l{chance(85) ? QStringLiteral("0") : integer(0, 1)};
            const int n = 1 + below(6);
            for (int k = 0; k < n; ++k)
                l << flag();
            return l;
        }
        case ANALYZER_SELECT_IMAGE:
            // Mostly one of the panel's maps: four reference rows and seven more.
            return {chance(75) ? QString::number(below(11)) : integer(0, 12)};
        case ANALYZER_SET_SCALE_MAX:
        case ANALYZER_SET_SCALE_MIN:
        case ANALYZER_SET_DMUT_SCALE_MAX:
        case ANALYZER_SET_DMUT_SCALE_MIN:
        case ANALYZER_SET_RATIO_SCALE_MAX:
        case ANALYZER_SET_RATIO_SCALE_MIN:
            return {real(-0.5, 2)};
        case ANALYZER_DEDGE_MID_POINT_RATIO:
            return {real(0, 1)};
        case ANALYZER_DEDGE_COMP_STEP_PARAMS:
        case ANALYZER_DEDGE_COMP_PARAMS:
            return {real(8960, 9000), real(0, 10), real(0, 2)};
        case ANALYZER_SET_LCF_STD:
            return {integer(0, 3), flag(), real(-5, 5), readFile(),
                    pick({QString(), QStringLiteral("VIC"), QStringLiteral("vic"), QStringLiteral("0"),
                          QStringLiteral("2"), QStringLiteral("-3"), QStringLiteral("x")})};
        case ANALYZER_SET_LCF_RANGE:
            return {real(8900, 9000), real(8970, 9100)};
        case ANALYZER_TARGET_ELEMENTS:
            return {elementNames()};
        case ANALYZER_ELEMS_SELECT_TARGET:
        case ANALYZER_ELEMS_SELECT_SHOW:
            return {elementRow()};
        case ANALYZER_ELEMS_SET_DEVS:
            return {real(0, 40)};
        case ANALYZER_ELEMS_SET_CORR_TH:
            return {real(-0.2, 1.2)};
        case ANALYZER_ELEMS_SELECT_DISP_MODE:
            return {integer(0, 8)};
        case ANALYZER_ELEMS_SET_USE:
        case ANALYZER_ELEMS_NO_NEG:
            return {elementRow(), flag()};
        case ANALYZER_ELEMS_ROI:
            return {elementRow(), real(8950, 9000), real(8970, 9050)};
        case ANALYZER_ELEMS_THDMUT:
            return {elementRow(), real(-0.1, 1)};
        case ANALYZER_ELEMS_BG_DMUT:
        case ANALYZER_ELEMS_BG_DMUTR:
        case ANALYZER_ELEMS_BG_DE:
        case ANALYZER_ELEMS_BG_ROI:
        case ANALYZER_ELEMS_BG_NROI:
            return {QStringLiteral("bg"), real(-1, 30)};
        case ANALYZER_SET_RA_ENERGY:
            return {real(8900, 9100)};
        case ANALYZER_SET_RA_FACTOR:
            return {real(0, 2)};
        case CALIB_SAVE_MAP:
            return {writeFile({QStringLiteral(".emp")})};
        case STATS_BINS:
            return {integer(1, 200)};
        default:
            return {};
        }
    }

    // The stack and the two references, as a session starts.
    void start()
    {
        for (const char* stack : {"I1", "I0"}) {
            if (stack[1] == '0' && chance(10))
                continue;
            QStringList l{QStringLiteral("NEW")};
            for (int k = 0; k < frames; ++k)
                l << data(frameFile(stack, k));
            out << QStringLiteral("load_%1_files ").arg(QLatin1String(stack)) + l.join(QLatin1Char(' '));
        }
        out << QStringLiteral("Use_I0 %1").arg(chance(75) ? 1 : 0);
        out << QStringLiteral("analyzer_set_LCF_std 0 1 0 $DataRoot$/%1 0").arg(QLatin1String(refFoil));
        out << QStringLiteral("analyzer_set_LCF_std 1 1 0 $DataRoot$/%1 0").arg(QLatin1String(refOxide));
    }

    // The display is painted where the batch idles (a shown window paints
    // there); "paintall" paints the whole main window, the names of
    // "windows" one of those.
    void paint()
    {
        const int r = below(100);
        const QString name = r < 60   ? QStringLiteral("paint")
                             : r < 80 ? QStringLiteral("paintall")
                                      : QLatin1String(windows[below(int(std::size(windows)))].loop);
        out << QStringLiteral(":for %1 $p$ 1 %2").arg(name).arg(idlePasses)
            << QStringLiteral(":next ") + name;
    }

    // One word of the whole table, or a few that go together as a person
    // would give them: look at a map, pick a region, run an analysis.
    void step()
    {
        const int r = below(100);
        if (r < 42) {
            const QList<CmdDef>& g = groups[below(Groups)];
            word(g.at(below(int(g.size()))).id);
        } else if (r < 56) {
            if (chance(60)) {
                // Looking through the result maps one after another.
                word(chance(50) ? SELECT_DISP_IMAGE_ANALYZED : SELECT_DISP_IMAGE);
                const int maps = 1 + below(3);
                for (int k = 0; k < maps; ++k) {
                    word(ANALYZER_SELECT_IMAGE);
                    if (chance(30))
                        word(ANALYZER_ELEMS_SELECT_DISP_MODE);
                    if (chance(40))
                        paint();
                }
            } else {
                word(chance(50) ? SELECT_DISP_IMAGE : SEEK_IMAGE);
            }
        } else if (r < 64) {
            word(SELECT_REGION);
            if (chance(50))
                word(ZOOM_IN);
        } else if (r < 72) {
            const int modes = 1 + below(2);
            for (int k = 0; k < modes; ++k) {
                const int m = below(6);
                word(m < 4 ? ANALYZER_SELECT_SUB_MODE_DEDGE + m
                           : m == 4 ? ANALYZER_SUB_MODE : ANALYZER_SELECT_ANALYSIS_MODE);
            }
            word(groups[Exec].at(below(int(groups[Exec].size()))).id);
        } else if (r < 80) {
            word(ANALYZER_TARGET_ELEMENTS);
            if (chance(40)) {
                const QList<CmdDef>& g = groups[Elements];
                word(g.at(below(int(g.size()))).id);
            }
        } else if (r < 89) {
            const QList<CmdDef>& g = groups[Saves];
            word(g.at(below(int(g.size()))).id);
        } else if (r < 93) {
            const QList<CmdDef>& g = groups[Files];
            word(g.at(below(int(g.size()))).id);
        } else {
            paint();
        }
    }

    std::mt19937_64 rng;
    QList<CmdDef> groups[Groups];
    QStringList out;
};

bool writeText(const QString& path, const QByteArray& text)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(text) == text.size();
}

const QString endMark = QStringLiteral("sequence-end");

// The lines the program would run: a "quit" ends the program, so nothing after
// it runs; here a mark whose log tells the batch has got there stands for it.
QByteArray untilQuit(const QByteArray& batch)
{
    QByteArray kept;
    for (const QByteArray& l : batch.split('\n')) {
        if (CmdLine(QString::fromUtf8(l)).cmd.compare(QLatin1String("quit"), Qt::CaseInsensitive) == 0)
            break;
        kept += l + '\n';
    }
    return kept + ":echo " + endMark.toLatin1() + '\n';
}

// The working folder of a run: the sum-up picture goes there.
class InFolder {
public:
    explicit InFolder(const QString& dir) : old(QDir::currentPath()) { QDir::setCurrent(dir); }
    ~InFolder() { QDir::setCurrent(old); }

private:
    QString old;
};

QString dataDir(const QString& workDir) { return QDir(workDir).filePath(QLatin1String(dataName)); }

} // namespace

bool writeStack(const QString& workDir)
{
    const QDir dir(dataDir(workDir));
    if (!QDir().mkpath(dir.filePath(QStringLiteral("o"))))
        return false;
    // ln(I0/I1): a jump growing down the image, a foil fraction growing to the
    // right, and a flat background; I0 varies a little over the field.
    QVector<quint16> i1(W * H);
    QVector<quint16> i0(W * H);
    for (int k = 0; k < frames; ++k) {
        const double e = energies[k];
        for (int y = 0; y < H; ++y)
            for (int x = 0; x < W; ++x) {
                const double f = 0.1 + 0.8 * x / (W - 1);
                const double jump = 0.6 + 0.5 * y / (H - 1);
                const double mut =
                    jump * (f * demo::DemoSet::foil(e) + (1 - f) * demo::DemoSet::oxide(e)) + 0.3;
                const double n0 = 20000.0 + 37.0 * x + 53.0 * y - 11.0 * k;
                i0[y * W + x] = quint16(std::lround(n0));
                i1[y * W + x] = quint16(std::lround(n0 * std::exp(-mut)));
            }
        if (!craft::writeTiff(dir.filePath(frameFile("I1", k)), W, H, i1)
            || !craft::writeTiff(dir.filePath(frameFile("I0", k)), W, H, i0))
            return false;
    }
    const std::pair<const char*, double (*)(double)> refs[] = {{refFoil, &demo::DemoSet::foil},
                                                               {refOxide, &demo::DemoSet::oxide}};
    for (const auto& [name, curve] : refs) {
        QByteArray text = "# energy/eV  mu t\n";
        for (int i = 0; i <= 400; ++i) {
            const double e = 8900.0 + 0.5 * i;
            text += QByteArray::number(e, 'f', 1) + ' ' + QByteArray::number(curve(e), 'f', 6) + '\n';
        }
        if (!writeText(dir.filePath(QLatin1String(name)), text))
            return false;
    }
    return true;
}

QByteArray sequence(std::uint64_t seed)
{
    Gen g(seed);
    return g.batch(seed);
}

void run(const QByteArray& batch, const QString& workDir)
{
    static const bool guarded = [] {
        loopback::installGuard();
        return true;
    }();
    (void)guarded;
    const QString data = dataDir(workDir);
    // What an earlier sequence saved is not there for this one.
    QDir(data + QStringLiteral("/o")).removeRecursively();
    QDir().mkpath(data + QStringLiteral("/o"));
    const QString file = QDir(workDir).filePath(QStringLiteral("sequence.bat"));
    writeText(file, untilQuit(batch));

    const InFolder in(workDir);
    loopback::resetConfig();
    const QString oldRoot = dataRoot;
    dataRoot = data;
    {
        // As the program's start does, but without showing the window.
        Body body;
        body.grab(); // lays the window out as showing it would
        QEventLoop loop;
        QObject::connect(body.batchDispatcher, &BatchDispatcher::Log, &loop, [&](const QString& text) {
            // Painted where the dispatcher logs the idle loop's start: the
            // window takes that text before the next word.
            if (text == QLatin1String("echo ") + endMark + u'\n')
                loop.quit();
            else if (text.startsWith(QLatin1String("for paintall ")))
                body.grab();
            else if (text.startsWith(QLatin1String("for paint ")))
                body.dispA->grab();
            else
                for (const Window& w : windows)
                    if (text.startsWith(QLatin1String("for ") + QLatin1String(w.loop) + QLatin1Char(' ')))
                        w.of(body)->grab();
        });
        body.batchCtrl->load(file);
        body.batchCtrl->execCmdsSlot();
        loop.exec();
    }
    dataRoot = oldRoot;
    loopback::resetConfig();
}

FuzzTarget target()
{
    FuzzTarget t;
    t.name = QStringLiteral("commands");
    t.examples = [](const QString& workDir) -> QList<QByteArray> {
        if (!writeStack(workDir))
            return {};
        return {sequence(0)};
    };
    t.generate = sequence;
    t.run = run;
    t.ciInputs = 12;
    t.saveSuffix = QStringLiteral("bat");
    t.replayNote = [](const QString& failurePath) {
        const QFileInfo saved(failurePath);
        const QString dir = saved.absolutePath();
        writeStack(dir);
        return QStringLiteral("run it with the program: cd %1 && QT_QPA_PLATFORM=offscreen "
                              "ASAN_OPTIONS=detect_leaks=0:max_allocation_size_mb=1024 "
                              "UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 timeout 120 "
                              "%2 -e -d %3 -b %4 -x")
            .arg(dir, QStringLiteral(CORVELLINE_BIN), QLatin1String(dataName), saved.fileName());
    };
    return t;
}

} // namespace cmdseq
