#pragma once
// A batch window wired to a dispatcher on a thread of its own, as the program
// wires them; scripts run through the Exec button.
#include "support/DispatcherRig.h"

#include "batch/BatchCtrl.h"

#include <QTest>

struct WiredBatchWindow {
    DispatcherRig rig{false};
    BatchCtrl w;

    WiredBatchWindow() { w.connectDispatcher(rig.dispatcher); }
    void exec(const QString& script)
    {
        w.BatchCmds->setPlainText(script);
        QTest::mouseClick(w.Exec, Qt::LeftButton);
    }
};
