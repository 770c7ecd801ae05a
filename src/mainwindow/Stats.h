#pragma once
// The statistics window. Completed later: for now an empty window with the
// check box the main window's drawing reads.
#include <QCheckBox>
#include <QFrame>

class Stats : public QFrame {
    Q_OBJECT
public:
    explicit Stats(QWidget* parent = nullptr);
    ~Stats() override;

    QCheckBox* ShowOverImage;
};
