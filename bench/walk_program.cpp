// The program itself, run as a user runs it, on a synthetic 512 x 512 stack of
// 126 energies across an edge at 7112 eV: a batch loads the stack, runs a
// two-reference LCF over 7050-7250 eV with one-pixel bins, chooses the map to
// show and saves it as x,y,value text, then quits. The times come from the
// program's own log (each batch command is logged as it starts):
//   bench_walk_program <folder> <program> [<program> ...] [runs]
// writes the stack into the folder when it is not there yet, runs the
// programs in turn (runs times, 3 when not given) and prints the medians.
#include "EdgeStack.h"

#include <QMap>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStringList>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

namespace {

const int Side = 512;
const int Energies = 126;

double energy(int k) { return 6990.0 + 3.0 * k; }

bool writeSet(const QDir& dir)
{
    QByteArray batch = "load_I1_files NEW \\\n";
    for (int k = 0; k < Energies; ++k) {
        const QString name = bench::edgeFrameName("I1", energy(k));
        if (!bench::writeEdgeFrame(dir.filePath(name), Side, energy(k)))
            return false;
        batch += "  $DataRoot$/" + name.toUtf8() + (k + 1 < Energies ? " \\\n" : "\n");
    }
    if (!bench::writeEdgeReferences(dir))
        return false;
    batch += "set_band_w 0\nset_band_h 0\n"
             "select_region 0 0 512 512\n"
             "analyzer_select_analysis_mode 0\n"
             "analyzer_set_MLCF 0\n"
             "analyzer_set_LCF_std 0 1 0 $DataRoot$/ref0.dat 0\n"
             "analyzer_set_LCF_std 1 1 0 $DataRoot$/ref1.dat 0\n"
             "analyzer_set_LCF_range 7050 7250\n"
             "analyzer_exec_LCF\n"
             "analyzer_select_image_type 0\n"
             "saveDataCfg_save_as_text\n"
             "saveDataCfg_text_as_csv\n"
             "saveDataCfg_text_as_xyz\n"
             "analyzer_select_image 0\n"
             "save_data $DataRoot$/fraction.dat\n"
             "quit\n";
    // Last, so that its presence marks a complete set.
    return bench::writeText(dir.filePath(QStringLiteral("walk.bat")), batch);
}

struct Times {
    double walk = -1, select = -1, save = -1;
};

// Seconds since the start of each batch command, from lines "<seconds>|<command> : ...".
Times runOnce(const QString& program, const QDir& dir)
{
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("QT_MESSAGE_PATTERN"), QStringLiteral("%{time process}|%{message}"));
    p.setProcessEnvironment(env);
    p.setWorkingDirectory(dir.path());
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(program, {QStringLiteral("-d"), dir.path(), QStringLiteral("-b"), dir.filePath(QStringLiteral("walk.bat")),
                      QStringLiteral("-x")});
    p.waitForFinished(-1);
    QMap<QString, double> at;
    for (const QByteArray& line : p.readAll().split('\n')) {
        const int bar = line.indexOf('|');
        const int colon = line.indexOf(" : ");
        if (bar < 0 || colon < bar)
            continue;
        const QString cmd = QString::fromUtf8(line.mid(bar + 1, colon - bar - 1));
        if (!at.contains(cmd))
            at.insert(cmd, line.left(bar).trimmed().toDouble());
    }
    auto span = [&at](const char* a, const char* b) {
        const QString ka = QLatin1String(a), kb = QLatin1String(b);
        return at.contains(ka) && at.contains(kb) ? at[kb] - at[ka] : -1.0;
    };
    Times t;
    t.walk = span("analyzer_exec_LCF", "analyzer_select_image_type");
    t.select = span("analyzer_select_image_type", "saveDataCfg_save_as_text");
    t.save = span("save_data", "quit");
    return t;
}

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? -1.0 : v[v.size() / 2];
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    if (argc < 3) {
        std::fprintf(stderr, "usage: bench_walk_program <folder> <program> [<program> ...] [runs]\n");
        return 2;
    }
    QDir dir(QString::fromLocal8Bit(argv[1]));
    if (!dir.exists(QStringLiteral("walk.bat")) && !(dir.mkpath(QStringLiteral(".")) && writeSet(dir))) {
        std::fprintf(stderr, "cannot write the stack into %s\n", argv[1]);
        return 1;
    }
    QStringList programs;
    int runs = 3;
    for (int i = 2; i < argc; ++i) {
        bool number = false;
        const int n = QString::fromLocal8Bit(argv[i]).toInt(&number);
        if (number)
            runs = std::max(1, n);
        else
            programs << QString::fromLocal8Bit(argv[i]);
    }
    std::vector<std::vector<Times>> all(size_t(programs.size()));
    for (int r = 0; r < runs; ++r) {
        for (int i = 0; i < programs.size(); ++i) {
            all[size_t(i)].push_back(runOnce(programs[i], dir));
            QFile::rename(dir.filePath(QStringLiteral("fraction-0.dat")),
                          dir.filePath(QStringLiteral("fraction-0.dat.%1").arg(i)));
        }
    }
    std::printf("%d x %d pixels, %d energies, LCF of 2 references over 7050-7250 eV; medians of %d runs\n", Side, Side,
                Energies, runs);
    std::printf("%-10s %-12s %-12s %-12s %s\n", "program", "exec->end s", "bins/s", "select s", "save_data s");
    for (int i = 0; i < programs.size(); ++i) {
        std::vector<double> w, s, d;
        for (const Times& t : all[size_t(i)]) {
            w.push_back(t.walk);
            s.push_back(t.select);
            d.push_back(t.save);
        }
        std::printf("%-10d %-12.3f %-12.0f %-12.3f %.3f   (%s; its map in fraction-0.dat.%d)\n", i, median(w),
                    Side * Side / median(w), median(s), median(d), qPrintable(programs[i]), i);
    }
    return 0;
}
