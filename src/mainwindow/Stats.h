#pragma once
// The statistics window: a histogram of the shown result map over the
// analysis area with a value range chosen by dragging its two ends. The
// numbers come from StatsCalc; the window keeps them and draws them.
#include "foundation/UserLines.h"
#include "analysis/Analyzed2DRes.h"
#include "foundation/AnalyzeCond.h"
#include "mainwindow/StatsCalc.h"
#include "ui_Stats.h"

#include <QFrame>
#include <QPen>
#include <QPointer>

class QPainter;

class Stats : public QFrame, public Ui_Stats {
    Q_OBJECT
public:
    explicit Stats(QWidget* parent = nullptr);
    ~Stats() override;

    UserLines user;

    // Element-row maps go when their rows are rebuilt: no map reads as 0.
    QPointer<Analyzed2DRes> map;
    AnalyzeCond cond;
    double pointedValue = 0.0;
    StatsHist hist;
    StatsRange range;
    QPen dashedPen;

    void calcStats(Analyzed2DRes* map, const AnalyzeCond& cond);
    // Nothing to count (no map, or no bin on the image or the map): no numbers from before stay.
    void clearStats();
    // The Bins field as the histogram reads it.
    int bins() const;
    // 0 none, 1 the low end, 2 the high end.
    int grabbed() const { return grabbedEnd; }

signals:
    void rangeSelected();

public slots:
    void draw(QPainter* p);
    void mouseMoved();
    void mousePressed();
    void mouseReleased();
    void toggledShowOverImage(bool f);
    void pointedAt(double rx, double ry);
    void setBins(int bins);
    void setOverImage(bool f);
    void setCalcInSelectedRegion(bool f);

private:
    // The range statistics; announced only when the range moved, so that the
    // main window's repaint, which recomputes them, cannot start a cycle.
    void updateRange();
    void recount();
    void showValues();
    double mapValue(int x, int y) const;

    int grabbedEnd = 0;
    bool calculated = false;
    QString toldLeftOut; // told once, not on every repaint
};
