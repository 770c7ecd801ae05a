// Writes the demo data set: gen_demo <folder>. See tools/demo/DemoSet.h.
#include "DemoSet.h"
#include "imagestack/EnergyRules.h"

#include <QDir>
#include <QRegularExpression>
#include <QString>

#include <cstdio>

int main(int argc, char** argv)
{
    if (argc != 2 || argv[1][0] == '-') {
        std::fprintf(stderr, "usage: gen_demo <folder>\n"
                             "Writes a synthetic Cu K-edge image stack with two references, the "
                             "true fraction map and the batch files that analyse it.\n");
        return 2;
    }
    const QString folder = QDir(QString::fromLocal8Bit(argv[1])).absolutePath();
    // The default energy pattern reads the first match in the whole path.
    if (QRegularExpression(EnergyRules::defaultPatterns().first()).match(folder).hasMatch())
        std::fprintf(stderr, "warning: the default energy pattern reads a number in %s "
                             "instead of the energies in the frame names\n",
                     qPrintable(folder));
    const demo::DemoSet set;
    QString error;
    if (!set.write(folder, &error)) {
        std::fprintf(stderr, "gen_demo: %s\n", qPrintable(error));
        return 1;
    }
    std::printf("Demo data in %s: %d I1 and %d I0 frames of %d x %d pixels, %.1f to %.1f eV,\n"
                "%s, %s, %s, %s; batch files %s and %s (this one ends with quit).\n",
                qPrintable(folder), int(set.energies().size()), int(set.energies().size()),
                demo::DemoSet::width, demo::DemoSet::height, set.energies().first(),
                set.energies().last(), demo::DemoSet::darkFile, demo::DemoSet::foilFile,
                demo::DemoSet::oxideFile, demo::DemoSet::truthFile, demo::DemoSet::batchFile,
                demo::DemoSet::headlessBatchFile);
    return 0;
}
