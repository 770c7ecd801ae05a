#pragma once
// The frame of image-number ranges to sum, placed in the Analyzer panel.
// Completed later: for now only the frame the panel's form places.
#include <QFrame>

class SumUpCtrl : public QFrame {
    Q_OBJECT
public:
    explicit SumUpCtrl(QWidget* parent = nullptr) : QFrame(parent) {}
};
