#pragma once
// The image processor: edge and binary images of a frame, a reference binary
// image, and the shift that lays a frame's binary image onto the reference,
// set by hand or by a hill climb and handed to the main window as the frame's
// origin. The numbers are worked out in ProcImage.h; this window reads its
// fields, calls them and shows the result.
#include "calibration/ProcImage.h"
#include "ui_ImgProc.h"

#include <QFrame>
#include <QImage>

#include <memory>
#include <optional>

class TiffData;

class ImgProc : public QFrame, public Ui_ImgProc {
    Q_OBJECT
public:
    explicit ImgProc(QWidget* parent = nullptr);
    ~ImgProc() override;

    // The frame whose shift the panel shows and sets (an I1 frame; null when
    // its stack is cleared); its images are made only while "Edge Detect" is on.
    void setImgData(TiffData* frame);
    TiffData* frame() const { return current; }
    double normScalarProduct() const;
    int shiftX() const;
    int shiftY() const;
    void setScore(double s);

    std::unique_ptr<QImage> dispImage;
    int frameW = 0;
    int frameH = 0;
    std::optional<ProcImage> edgeImg;
    std::optional<ProcImage> binImg;
    std::optional<ProcImage> refImg;
    double score = 0.0;

signals:
    void askGiveData();
    void askClearAllShifts();
    void updateImg();
    void imgShift(int sx, int sy);

public slots:
    void movedBinThVSlider(int);
    void newBinThV();
    void setBinThV();
    void setRefBin();
    void toggledEdgeDetect(bool f);
    void edgeDetect();
    void binarize();
    void drawOnImage();
    void shiftBinImg();
    void autoShiftBinImg();
    void autoShiftBinImg0();
    void setShift();
    void clearAllShifts();

private:
    // False, with the debug line, when there is nothing to compare.
    bool comparable() const;
    void showImage(QImage img);
    // The title names the frame worked on.
    void tellFrame();

    TiffData* current = nullptr;
};
