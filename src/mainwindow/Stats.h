#pragma once
// The statistics window. Completed later: for now an empty window.
#include <QFrame>

class Stats : public QFrame {
    Q_OBJECT
public:
    explicit Stats(QWidget* parent = nullptr);
    ~Stats() override;
};
