#include "calibration/ImgProc.h"

#include "display/ScreenFit.h"
#include "imagestack/TiffData.h"

#include <QDebug>
#include <QFileInfo>

ImgProc::ImgProc(QWidget* parent) : QFrame(parent)
{
    setupUi(this);
    screenfit::scrollForm(*this);
    CBar->format = QImage::Format_RGB888;
    CBar->paintCBar();
    score = NormScolarP->text().toDouble();

    connect(CBar, &ColorBar::cBarUpdating, this, &ImgProc::drawOnImage);
    connect(BinThVSlider, &QSlider::sliderMoved, this, &ImgProc::movedBinThVSlider);
    connect(BinThV, &QLineEdit::editingFinished, this, &ImgProc::setBinThV);
    connect(SetRef, &QPushButton::clicked, this, &ImgProc::setRefBin);
    connect(EdgeDetect, &QCheckBox::toggled, this, &ImgProc::toggledEdgeDetect);
    connect(BinaryImage, &QCheckBox::toggled, this, &ImgProc::toggledEdgeDetect);
    connect(Compare, &QCheckBox::toggled, this, &ImgProc::toggledEdgeDetect);
    connect(ShiftX, &QLineEdit::editingFinished, this, &ImgProc::drawOnImage);
    connect(ShiftY, &QLineEdit::editingFinished, this, &ImgProc::drawOnImage);
    connect(ShiftU, &QToolButton::clicked, this, &ImgProc::shiftBinImg);
    connect(ShiftD, &QToolButton::clicked, this, &ImgProc::shiftBinImg);
    connect(ShiftL, &QToolButton::clicked, this, &ImgProc::shiftBinImg);
    connect(ShiftR, &QToolButton::clicked, this, &ImgProc::shiftBinImg);
    connect(ShiftAuto, &QPushButton::clicked, this, &ImgProc::autoShiftBinImg);
    connect(AAutoShift, &QCheckBox::toggled, this, &ImgProc::drawOnImage);
    connect(this, &ImgProc::updateImg, this, &ImgProc::drawOnImage);
    connect(SetShift, &QPushButton::clicked, this, &ImgProc::setShift);
    connect(ClearAllShifts, &QPushButton::clicked, this, &ImgProc::clearAllShifts);
}

ImgProc::~ImgProc()
{
    // The display must not keep a picture that is about to go.
    DispA->setImage(nullptr);
}

void ImgProc::setImgData(TiffData* frame)
{
    const bool other = frame != current;
    current = frame;
    frameW = frame ? frame->width : 0;
    frameH = frame ? frame->height : 0;
    tellFrame();
    if (!frame)
        return;
    // Unless a climb sets them, the fields name the shift this frame holds,
    // which "Set Shift" writes back to it.
    const bool ownShift = !(AAutoShift->isChecked() && EdgeDetect->isChecked() && Compare->isChecked());
    if (ownShift) {
        ShiftX->setText(QString::number(frame->x0));
        ShiftY->setText(QString::number(frame->y0));
    }
    if (EdgeDetect->isChecked()) {
        // edgeDetect binarises and repaints once through the slider, but with
        // "A. A. Shift" that climb starts from the previous frame's score and may
        // stop at once; the second pass climbs from this frame's own.
        edgeDetect();
        if (BinaryImage->isChecked())
            binarize();
        drawOnImage();
    } else if (other) {
        // The edge and binary images were another frame's; the reference stays.
        edgeImg.reset();
        binImg.reset();
        showImage(QImage());
    }
    if (ownShift)
        setScore(normScalarProduct());
}

void ImgProc::tellFrame()
{
    setWindowTitle(current ? tr("Image Processor - I1 frame %1").arg(QFileInfo(current->fileName).fileName())
                           : tr("Image Processor"));
}

int ImgProc::shiftX() const
{
    return ShiftX->text().toInt();
}

int ImgProc::shiftY() const
{
    return ShiftY->text().toInt();
}

double ImgProc::normScalarProduct() const
{
    if (!binImg || !refImg)
        return 0.0;
    return improc::normScalarProduct(*refImg, *binImg, shiftX(), shiftY());
}

void ImgProc::setScore(double s)
{
    score = s;
    NormScolarP->setText(improc::scoreText(s));
}

void ImgProc::edgeDetect()
{
    if (!current)
        return;
    edgeImg = improc::frameEdges(*current);
    MinEdgeV->setText(QString::number(edgeImg->min, 'g', 6));
    MaxEdgeV->setText(QString::number(edgeImg->max, 'g', 6));
    movedBinThVSlider(BinThVSlider->value());
}

void ImgProc::movedBinThVSlider(int)
{
    const double th = improc::thresholdFromSlider(BinThVSlider->value(), MinEdgeV->text().toDouble(),
                                                  MaxEdgeV->text().toDouble());
    BinThV->setText(QString::number(th, 'g', 6));
    binarize();
    drawOnImage();
}

void ImgProc::newBinThV()
{
    setBinThV();
}

void ImgProc::setBinThV()
{
    BinThVSlider->setValue(improc::sliderFromThreshold(
        BinThV->text().toDouble(), MinEdgeV->text().toDouble(), MaxEdgeV->text().toDouble()));
    binarize();
    drawOnImage();
}

void ImgProc::binarize()
{
    if (!current || !edgeImg)
        return;
    binImg = improc::binarize(*edgeImg, BinThV->text().toDouble());
}

void ImgProc::setRefBin()
{
    if (!binImg)
        return;
    // Placed where the stack reads the frame, so shifts found against it are
    // whole origins even when the reference frame has one.
    refImg = current ? improc::displaced(*binImg, current->x0, current->y0) : *binImg;
    drawOnImage();
}

void ImgProc::toggledEdgeDetect(bool)
{
    emit askGiveData();
}

bool ImgProc::comparable() const
{
    if (!binImg) {
        qDebug() << "no bin image";
        return false;
    }
    if (!refImg) {
        qDebug() << "no ref bin image";
        return false;
    }
    if (binImg->width != refImg->width || binImg->height != refImg->height) {
        qDebug() << "size mis-match";
        return false;
    }
    return true;
}

void ImgProc::showImage(QImage img)
{
    // The display takes the new picture before the old one goes.
    std::unique_ptr<QImage> next(new QImage(std::move(img)));
    DispA->setImage(next.get());
    dispImage.swap(next);
    DispA->update();
    update();
}

void ImgProc::drawOnImage()
{
    if (!Compare->isChecked()) {
        const std::optional<ProcImage>& src = BinaryImage->isChecked() ? binImg : edgeImg;
        if (!src)
            return;
        CBar->dataMin = src->min;
        CBar->dataMax = src->max;
        CBar->paintCBar();
        CBar->update();
        const ColorBar* bar = CBar;
        showImage(improc::valuePicture(*src, [bar](double t) { return bar->colorOf(t); }));
        return;
    }
    if (!comparable())
        return;
    if (AAutoShift->isChecked())
        autoShiftBinImg0();
    QImage img;
    setScore(improc::comparePicture(*refImg, *binImg, shiftX(), shiftY(), img));
    showImage(std::move(img));
}

void ImgProc::shiftBinImg()
{
    const QObject* s = sender();
    if (s == ShiftU)
        ShiftY->setText(QString::number(qint64(shiftY()) - 1));
    else if (s == ShiftD)
        ShiftY->setText(QString::number(qint64(shiftY()) + 1));
    else if (s == ShiftR)
        ShiftX->setText(QString::number(qint64(shiftX()) + 1));
    else if (s == ShiftL)
        ShiftX->setText(QString::number(qint64(shiftX()) - 1));
    drawOnImage();
}

void ImgProc::autoShiftBinImg0()
{
    if (!comparable())
        return;
    const improc::Climb c = improc::hillClimb(*refImg, *binImg, shiftX(), shiftY(), score);
    ShiftX->setText(QString::number(c.sx));
    ShiftY->setText(QString::number(c.sy));
    if (ASetShift->isChecked())
        emit imgShift(shiftX(), shiftY());
}

void ImgProc::autoShiftBinImg()
{
    autoShiftBinImg0();
    drawOnImage();
}

void ImgProc::setShift()
{
    emit imgShift(shiftX(), shiftY());
}

void ImgProc::clearAllShifts()
{
    emit askClearAllShifts();
}
