#pragma once
// A batch window wired to a dispatcher on a thread of its own, as the program
// wires them; scripts run through the Exec button.
#include "support/DispatcherRig.h"

#include "batch/BatchCtrl.h"
#include "batch/BatchDispatcher.h"

#include <QTest>

struct WiredBatchWindow {
    DispatcherRig rig{false};
    BatchCtrl w;

    WiredBatchWindow()
    {
        w.connectDispatcher(rig.dispatcher);
        // As the main window logs them.
        QObject::connect(rig.dispatcher, &BatchDispatcher::mistake, &w,
                         [this](const QString& line) { w.Log(line + u'\n'); });
    }
    void exec(const QString& script)
    {
        w.BatchCmds->setPlainText(script);
        QTest::mouseClick(w.Exec, Qt::LeftButton);
    }
};
