// A commandless batch loop of a million passes run from the batch window, wired
// to its dispatcher thread as the program wires them: the peak resident memory
// when the walk has passed 200,000 and once the last line has reached the log
// view, the growth between them, and the longest the window's event loop went
// without serving a 10 ms timer.
#include "BenchProcess.h"
#include "batch/BatchCtrl.h"
#include "batch/BatchDispatcher.h"
#include "foundation/Globals.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTextBlock>
#include <QTextDocument>
#include <QThread>
#include <QTimer>

#include <atomic>
#include <cstdio>
#include <cstring>

namespace {

const int Passes = 1000000;
const int Early = 200000;

} // namespace

int main(int argc, char** argv)
{
    bench::preferOffscreen();
    QApplication app(argc, argv);
    bench::quietStart();

    QThread thread;
    auto* dispatcher = new BatchDispatcher();
    dispatcher->moveToThread(&thread);
    thread.start(QThread::InheritPriority);
    BatchCtrl window;
    window.connectDispatcher(dispatcher);
    window.show();

    // Counted on the dispatcher's thread as it logs, whatever the window has shown.
    std::atomic<int> passes{0};
    std::atomic<double> earlyPeak{0.0};
    QObject::connect(
        dispatcher, &BatchDispatcher::Log, dispatcher,
        [&](const QString& text) {
            if (text.startsWith(QLatin1String("next ")) && passes.fetch_add(1) + 1 == Early)
                earlyPeak.store(bench::peakResidentMB());
        },
        Qt::DirectConnection);

    const double startPeak = bench::peakResidentMB();
    QElapsedTimer clock;
    qint64 lastTick = 0, longestGap = 0;
    QTimer ticker;
    QObject::connect(&ticker, &QTimer::timeout, &app, [&] {
        const qint64 now = clock.elapsed();
        longestGap = qMax(longestGap, now - lastTick);
        lastTick = now;
        if (window.BatchLogs->document()->lastBlock().text() == QLatin1String("end"))
            app.quit();
    });
    window.BatchCmds->setPlainText(QStringLiteral(":for i $i$ 1 %1\n:next i").arg(Passes));
    clock.start();
    ticker.start(10);
    window.execCmdsSlot();
    app.exec();
    const double seconds = clock.elapsed() / 1000.0;
    const double endPeak = bench::peakResidentMB();

    QTextDocument* doc = window.BatchLogs->document();
    const QString lastPass = doc->lastBlock().previous().text();
    std::printf("batch log over a %d-pass loop without commands\n", Passes);
    std::printf("  passes logged            %d in %.1f s\n", passes.load(), seconds);
    std::printf("  peak RSS before the run  %.1f MB\n", startPeak);
    std::printf("  peak RSS at %d passes %.1f MB\n", Early, earlyPeak.load());
    std::printf("  peak RSS at %d passes %.1f MB\n", Passes, endPeak);
    std::printf("  growth %d -> %d     %.1f MB\n", Early, Passes, endPeak - earlyPeak.load());
    std::printf("  longest event-loop gap   %lld ms\n", static_cast<long long>(longestGap));
    std::printf("  log view                 %d lines, last pass \"%s\"\n", doc->blockCount(),
                qPrintable(lastPass));

    thread.quit();
    thread.wait();
    delete dispatcher;
    return 0;
}
