#include "batch/BatchCtrl.h"
#include "foundation/Cfg.h"
#include "foundation/Globals.h"
#include "mainwindow/Body.h"
#include "mainwindow/StartOptions.h"

#include <QApplication>
#include <QDebug>
#include <QDir>
#include <QFileInfo>
#include <QTranslator>

#include <cstdio>
#include <memory>

int main(int argc, char** argv)
{
    initGlobals();
    cfg.init(argc, argv, false, QStringLiteral("config.cfg"),
             {QStringLiteral("-c"), QStringLiteral("-config")});

    auto app = std::make_unique<QApplication>(argc, argv);
    auto translator = std::make_unique<QTranslator>();
    auto qtTranslator = std::make_unique<QTranslator>();
    QApplication::setStyle(QStringLiteral("Fusion"));

    const QString beside =
        QFileInfo(QDir(QCoreApplication::applicationDirPath()), QStringLiteral("config.cfg"))
            .canonicalFilePath();
    const QString cfgPath = configPathOf(cfg, beside);
    qDebug().noquote() << "cfg file" << cfgPath;
    cfg.readFile(cfgPath);

    StartOptions start;
    start.dataRoot = dataRoot;
    start.batchRoot = batchRoot;
    start.showAnalyzer2Button = showAnalyzer2Button;
    start = startOptionsOf(cfg, start);
    dataRoot = start.dataRoot;
    batchRoot = start.batchRoot;
    showAnalyzer2Button = start.showAnalyzer2Button;

    qDebug().noquote() << "show analyzer 2" << (showAnalyzer2Button ? "true" : "false");
    qDebug().noquote() << "Keys of Cfg::" << cfg.keys();
    const bool hasA2BKey = cfg.keys().contains(QStringLiteral("ShowAnalyzer2Button"));
    qDebug().noquote() << (hasA2BKey ? "true" : "false")
                       << (hasA2BKey ? cfg.exactValue(QStringLiteral("ShowAnalyzer2Button"), QString())
                                     : QString());

    if (installTranslation(*translator, start))
        installQtTranslation(*qtTranslator);

    int result = 0;
    {
        Body body(nullptr);
        QObject::connect(&body, SIGNAL(finishing()), app.get(), SLOT(closeAllWindows()));
        body.show();
        bool loaded = true;
        if (!start.batchFile.isEmpty())
            loaded = body.batchCtrl->load(start.batchFile);
        const BatchStart batch = batchStartOf(start, loaded);
        if (!batch.told.isEmpty()) {
            std::fprintf(stderr, "%s\n", batch.told.toLocal8Bit().constData());
            body.batchCtrl->Log(batch.told + u'\n');
        }
        // An unattended run must not wait for a "quit" it will never read.
        if (batch.quit) {
            result = unreadBatchStatus;
        } else {
            if (start.runBatch)
                body.batchCtrl->execCmdsSlot();
            result = QApplication::exec();
        }
    }
    qtTranslator.reset();
    translator.reset();
    app.reset();
    return result;
}
