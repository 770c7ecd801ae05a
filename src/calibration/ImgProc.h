#pragma once
// The image processor window. Completed later: for now an empty window.
#include <QFrame>

class ImgProc : public QFrame {
    Q_OBJECT
public:
    explicit ImgProc(QWidget* parent = nullptr);
    ~ImgProc() override;
};
