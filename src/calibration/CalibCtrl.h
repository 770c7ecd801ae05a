#pragma once
// The calibration panel: the standard spectrum, the crystal, the calibration
// type, the walk's progress and statistics, the geometry of the shift map and
// its files. It computes nothing: the main window handles its signals and
// reads its fields.
#include "ui_CalibCtrl.h"

#include <QFrame>
#include <QString>

class EShiftMapDialog;
class QButtonGroup;
class XafsSpectrum;

class CalibCtrl : public QFrame, public Ui_CalibCtrl {
    Q_OBJECT
public:
    explicit CalibCtrl(QWidget* parent = nullptr);
    ~CalibCtrl() override;

    XafsSpectrum* standard = nullptr; // owned; null until a file was chosen
    EShiftMapDialog* saveMapDialog = nullptr;
    EShiftMapDialog* loadMapDialog = nullptr;
    QButtonGroup* calibTypeGroup = nullptr;

    double spacing() const;
    QString crystalName() const;
    double edgeEV() const;
    int xOffset() const;
    int yOffset() const;
    // The first field the walk reads (the search of the inner product) that
    // holds no number, told as its name and text; empty when they all hold one.
    QString walkMistake() const;
    // The same for the edge energy the map files read; empty gives none.
    QString edgeMistake() const;
    // Empty when a standard spectrum is held.
    QString standardMistake() const;

    // "%1" of p, fixed, width 5, one decimal: "  5.0", " 12.5", "100.0".
    static QString progressText(double p);

signals:
    // A line for the user: a chosen standard file that could not be read.
    void mistake(QString line);
    void newStdFileLoaded();
    void execCalibration();
    void loadEMap(const QString& fname);
    void clearMap();

public slots:
    void newFile(QString fname);
    void stdBGToggled(bool f);
    void loadStd(QString fname);
    void setEdgeEV(QString eV);
    void loadEShiftMap(QString fname);
    void progress(double p);

private:
    int stdMode() const;
};
