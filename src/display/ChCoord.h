#pragma once
// Mapping between real (data) and screen coordinates of one drawing surface,
// with tick steps and rounded axis ranges. Either end of an axis may be the
// larger one: a canvas flips y by putting its height at y0.
#include <QObject>

class ChCoord : public QObject {
    Q_OBJECT
public:
    explicit ChCoord(QObject* parent = nullptr);

    // full screen area
    double sx0 = 0, sx1 = 1, sy0 = 0, sy1 = 1;
    // inner screen area: what the real ranges map onto
    double isx0 = 0, isx1 = 1, isy0 = 0, isy1 = 1;
    // real area
    double rxmin = 0, rxmax = 1, rymin = 0, rymax = 1;
    double outerBand = 0.1, innerBand = 0.1;
    double marginLeft = 0.1, marginRight = 0.05, marginTop = 0.05, marginBottom = 0.1;
    // the spectrum plot sizes its label boxes from these
    int labelRows = 20, labelCols = 25;
    double labelFill = 0.85;
    bool flag = true;

    void setScreenArea(double x0, double y0, double x1, double y1);
    void setInnerScreenArea(double x0, double y0, double x1, double y1);
    void applyMargins();
    void setRealArea(double xmin, double ymin, double xmax, double ymax);
    void setRealXRange(double xmin, double xmax);
    void setRealYRange(double ymin, double ymax);

    // An empty or non-finite range maps everything onto the range's start.
    double toScreenX(double x) const;
    double toScreenY(double y) const;
    double toScreenLengthX(double l) const;
    double toScreenLengthY(double l) const;
    double toRealX(double s) const;
    double toRealY(double s) const;
    double toRealOffsetX(double s) const;
    double toRealOffsetY(double s) const;
    double toRealClampedX(double s) const;
    double toRealClampedY(double s) const;
    double toRealLengthX(double l) const;
    double toRealLengthY(double l) const;

    bool nearEdgeX(double s) const;
    bool nearEdgeY(double s) const;
    bool nearOuterEdgeX(double s) const;
    bool nearOuterEdgeY(double s) const;

    double tickStepX(double base, int minPixels) const;
    double tickStepY(double base, int minPixels) const;

    // Rounded axis range; false (step 0, first 0, last -1) unless both ends
    // are finite and hi > lo.
    static bool niceRange(double lo, double hi, double& step, double& first, double& last);
    // Number of ticks first + i*step (i = 0, 1, ...) up to last, at most
    // maxTicks; 0 when the step is not positive or does not move the value.
    static int tickCount(double first, double step, double last);
    static constexpr int maxTicks = 1000;

private:
    static double tickStep(double pixPerUnit, double base, int minPixels);
};
