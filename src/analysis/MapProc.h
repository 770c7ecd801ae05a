#pragma once
// Map processing of the Analyzer panel: two maps, captured from the shown map
// or loaded from energy-shift map files, are subtracted, divided or masked
// bin by bin over the current analysis grid into the processed map.
#include "foundation/UserLines.h"
#include "analysis/Analyzed2DRes.h"

#include <QObject>
#include <QString>

class QAbstractButton;
class _FileDialog;
class QLineEdit;

// The panel's form widgets of the map-processing area.
struct MapProcForm {
    QAbstractButton* showMap1 = nullptr;
    QAbstractButton* showMap2 = nullptr;
    QAbstractButton* showProcessedMap = nullptr;
    QAbstractButton* procTypeSub = nullptr;
    QAbstractButton* procTypeDiv = nullptr;
    QAbstractButton* procTypeMask = nullptr;
    QAbstractButton* selMap1 = nullptr;
    QAbstractButton* selMap2 = nullptr;
    QAbstractButton* captureAsMap1 = nullptr;
    QAbstractButton* captureAsMap2 = nullptr;
    QAbstractButton* askProcessMaps = nullptr;
    QLineEdit* map1Name = nullptr;
    QLineEdit* map2Name = nullptr;
};

class MapProc : public QObject {
    Q_OBJECT
public:
    enum Op { Sub, Div, Mask };

    explicit MapProc(QObject* parent = nullptr);

    UserLines user;

    // The unit's part of the panel's construction; the dialogs are the panel's.
    void setup(const MapProcForm& form, _FileDialog* map1Dialog, _FileDialog* map2Dialog);

    Analyzed2DRes map1;    // "E-Shift Map 1"
    Analyzed2DRes map2;    // "E-Shift Map 2"
    Analyzed2DRes procMap; // "Processed Map"

    // The checked operation; Sub when none is.
    Op op() const;
    // The value of one bin from the two maps' bin values.
    static double combine(Op op, double v1, double v2);
    // The mean of map over the bin's pixels that hold a value of it: the bin's
    // value on a map of the same grid. 0 when no pixel of the bin does.
    static double binMean(const Analyzed2DRes& map, int cx, int cy, int hx, int hy);
    // The map to show while map processing is the main mode; null when none is chosen.
    Analyzed2DRes* shownMap();

signals:
    void changedSelection();
    // Answered (directly) by the main window with the current analysis grid.
    void askAnalyzeCond(AnalyzeCond& ac);
    // Answered by the panel with the map it shows (may stay null).
    void askSelectedRes(Analyzed2DRes*& res);
    // Answered by the reader of energy-shift map files; valid tells whether it filled the map.
    void loadMap(const QString& fname, Analyzed2DRes& map, bool& valid);

public slots:
    void loadMap1(const QString& fname);
    void loadMap2(const QString& fname);
    void captureAsMap1();
    void captureAsMap2();
    void processMaps();

private:
    MapProcForm form;
    void load(const QString& fname, Analyzed2DRes& map, QLineEdit* nameField);
    void capture(Analyzed2DRes& map, QLineEdit* nameField);
};
