#pragma once
// Plot window of one XAFS spectrum (the pointed bin's, the background or the
// analysed one) with its edge lines, further spectra for comparison, the raw
// I1 curve or its Fourier amplitudes, a pointer read-out, pan and zoom of the
// energy axis and saving of what it shows.
#include "display/ChCoord.h"
#include "display/DrawText.h"
#include "foundation/FFT.h"
#include "foundation/Spectrum.h"
#include "foundation/XafsSpectrum.h"
#include "ui_XafsView.h"

#include <QByteArray>
#include <QFrame>
#include <QList>
#include <QPen>
#include <QString>

class ElemCtrl;
class MouseC;
class QPainter;
class _FileDialog;

class XafsView : public QFrame, public Ui_XafsView {
    Q_OBJECT
public:
    explicit XafsView(QWidget* parent = nullptr);
    ~XafsView() override;

    ChCoord coord;             // refitted to the canvas at every draw, move and wheel step
    DrawText drawText;
    MouseC* mouse = nullptr;   // the canvas's own
    Spectrum rawSpectrum;      // I1 of the pointed bin against energy
    XafsSpectrum spectrum;     // the shown one
    double xMin = 0.0;         // shown energy range, in the plot's frame (offset taken off)
    double defaultXMin = 0.0;
    double xMax = 1.0;
    double defaultXMax = 1.0;
    bool autoXScale = true;    // a new spectrum refits both ranges to its span
    XafsSpectrum standard;     // nothing fills it; saved as "std"
    QList<XafsSpectrum*> extraSpectra; // not owned
    double frameEnergy = -1.0; // marked when positive
    FFT fft;
    QList<QPen> pens;          // of the further spectra, by index
    _FileDialog* saveDialog = nullptr;
    QList<ElemCtrl*>* elemRows = nullptr; // not owned
    int ix = 0;
    int iy = 0;
    int hw = 0;
    int vw = 0;

    // Returns the shown edge energy less the standard's.
    double setXafsSpectrum(const XafsSpectrum& s);
    void setRawSpectrum(const Spectrum& s);
    void fitXRangeToSpectrum();
    void addSpectrum(XafsSpectrum* s);

signals:
    void updated();
    void saveScreenAs(QString fname);
    void savedXafsData(QString fname);
    // A line for the user: why a save wrote nothing.
    void mistake(const QString& line);
    void sendXafsDataToStars(QByteArray data);

public slots:
    void draw(QPainter* p);
    void onMouseMoved();
    void onWheelMoved();
    void resetXScale();
    void update();
    // False when the shown spectrum was not written (told).
    bool saveData(QString fname);
    void setNormalize(bool f);
    void setEnergyCorrection(bool f);
    void toStars();
    void currentPosition(int ix, int iy, int hw, int vw);

private:
    void fitCoordToCanvas();
    // x from the shown energy range, y from the extremes of ys
    void setEnergyArea(const Spectrum& ys);
    void setCurveArea(bool normalized);
    double energyAtPixel(int s) const;
    void drawNormalized(QPainter* p, bool ecorr);
    void drawMeasured(QPainter* p, bool ecorr);
    void setRawArea(bool fourier);
    // edge: the edge energy on the scale the curve is drawn on.
    void drawMarkers(QPainter* p, double edge);
    void drawFrameAndTicks(QPainter* p);
    void drawElemLabels(QPainter* p);
    void drawRawView(QPainter* p, bool fourier);
    QPen extraPen(int i) const;
    double elemEnergy(const ElemCtrl* row) const;

    const double* fftAmp = nullptr; // amplitudes of the last transform, null below 10 points
};
