#pragma once
// The save-data settings window. Completed later: for now an empty window.
#include <QFrame>

class SaveDataCfg : public QFrame {
    Q_OBJECT
public:
    explicit SaveDataCfg(QWidget* parent = nullptr);
    ~SaveDataCfg() override;
};
