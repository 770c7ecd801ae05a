#include "TestRegistry.h"

#include "foundation/Globals.h"
#include "support/Loopback.h"

#include <QApplication>
#include <QDir>
#include <QTest>
#include <cstring>

namespace testreg {

std::vector<Entry>& entries()
{
    static std::vector<Entry> list;
    return list;
}

QString shotsDir()
{
    QDir().mkpath(QStringLiteral(CORVELLINE_SHOTS_DIR));
    return QStringLiteral(CORVELLINE_SHOTS_DIR);
}

QString sourceDir() { return QStringLiteral(CORVELLINE_SOURCE_DIR); }

} // namespace testreg

// Runs every registered class; "-class Name" (may repeat) runs only those,
// the remaining arguments go to QTest (e.g. a test function name, -v2).
int main(int argc, char** argv)
{
    initGlobals();
    QApplication app(argc, argv);
    // No test reaches a real Stars server or data target.
    loopback::installGuard();
    loopback::resetConfig();
    QStringList only;
    QStringList rest;
    rest << QString::fromLocal8Bit(argv[0]);
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "-class") == 0 && i + 1 < argc) {
            only << QString::fromLocal8Bit(argv[++i]);
        } else {
            rest << QString::fromLocal8Bit(argv[i]);
        }
    }
    int failures = 0;
    int run = 0;
    for (const auto& e : testreg::entries()) {
        if (!only.isEmpty() && !only.contains(QString::fromLatin1(e.name)))
            continue;
        QObject* t = e.make();
        failures += QTest::qExec(t, rest);
        ++run;
        delete t;
    }
    if (run == 0 && !only.isEmpty()) {
        qWarning("no test class matched");
        return 1;
    }
    return failures == 0 ? 0 : 1;
}
