#include "mainwindow/StartOptions.h"

#include "foundation/Cfg.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QTranslator>

namespace {
bool isKey(const Cfg& store, const QString& key)
{
    return store.keys().contains(key);
}

// "1" and only "1" (as a decimal integer) means on; any other text is off.
bool isOne(const QString& text)
{
    bool ok = false;
    const int v = text.toInt(&ok, 10);
    return ok && v == 1;
}
} // namespace

QString configPathOf(Cfg& store, const QString& besideProgram)
{
    QString path = besideProgram;
    if (isKey(store, QStringLiteral("-c")))
        path = store.exactValue(QStringLiteral("-c"), QString());
    if (isKey(store, QStringLiteral("-config")))
        path = store.exactValue(QStringLiteral("-config"), QString());
    return path;
}

StartOptions startOptionsOf(Cfg& store, const StartOptions& current)
{
    StartOptions o = current;

    o.dataRoot = store.exactValue(QStringLiteral("DataRoot"), o.dataRoot);
    if (isKey(store, QStringLiteral("-d")))
        o.dataRoot = store.exactValue(QStringLiteral("-d"), QString());

    o.batchRoot = store.exactValue(QStringLiteral("BatchRoot"), o.batchRoot);
    if (isKey(store, QStringLiteral("-br")))
        o.batchRoot = store.exactValue(QStringLiteral("-br"), QString());

    o.showAnalyzer2Button = isOne(store.exactValue(QStringLiteral("ShowAnalyzer2Button"),
                                                   o.showAnalyzer2Button ? QStringLiteral("1")
                                                                         : QStringLiteral("0")));
    if (isKey(store, QStringLiteral("-showA2B")))
        o.showAnalyzer2Button = isOne(store.exactValue(QStringLiteral("-showA2B"),
                                                       QStringLiteral("0")));

    o.noTranslation = isKey(store, QStringLiteral("-e"));
    o.batchGiven = isKey(store, QStringLiteral("-b"));
    o.batchFile = o.batchGiven ? store.exactValue(QStringLiteral("-b"), QString()) : QString();
    o.runBatch = isKey(store, QStringLiteral("-x"));
    return o;
}

BatchStart batchStartOf(const StartOptions& options, bool loaded)
{
    BatchStart b;
    if (options.batchFile.isEmpty()) {
        // "-b $BATCH -x" with the variable unset: with -x an empty batch would run for ever.
        if (options.batchGiven) {
            b.told = QStringLiteral("Batch file not read (no file name)");
            b.quit = options.runBatch;
        }
        return b;
    }
    if (loaded)
        return b;
    const QFileInfo info(options.batchFile);
    const QString why = !info.exists() ? QStringLiteral("no such file")
        : info.isDir()                 ? QStringLiteral("a folder")
                                       : QStringLiteral("not readable");
    b.told = QStringLiteral("Batch file not read (%1): %2").arg(why, options.batchFile);
    b.quit = options.runBatch;
    return b;
}

bool installQtTranslation(QTranslator& translator, const QString& name)
{
    if (!translator.load(name, QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        return false;
    return QCoreApplication::installTranslator(&translator);
}

bool installTranslation(QTranslator& translator, const StartOptions& options, const QString& resource)
{
    if (options.noTranslation
        || !translator.load(resource, QCoreApplication::applicationDirPath()))
        return false;
    return QCoreApplication::installTranslator(&translator);
}
