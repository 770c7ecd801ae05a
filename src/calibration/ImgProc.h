#pragma once
// The image processor window. Completed later: for now an empty window that
// keeps the frame it is given.
#include <QFrame>

class TiffData;

class ImgProc : public QFrame {
    Q_OBJECT
public:
    explicit ImgProc(QWidget* parent = nullptr);
    ~ImgProc() override;

    // Null when the stack it came from is cleared.
    void setImgData(TiffData* frame) { current = frame; }
    TiffData* imgData() const { return current; }

private:
    TiffData* current = nullptr;
};
