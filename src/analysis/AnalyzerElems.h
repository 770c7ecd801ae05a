#pragma once
// The Analyzer panel's element unit: the element rows built from the list of
// names, the batch setters of the rows, the standard ratios and the
// correlation between measured and standard ratios, for one spectrum and as
// maps over the field of view.
#include "foundation/UserLines.h"
#include "analysis/Analyzed2DRes.h"
#include "analysis/AnalyzeRequests.h"
#include "analysis/ElemRowConds.h"

#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>

#include <array>
#include <memory>
#include <vector>

class ElemCtrl;
class QAbstractButton;
class QButtonGroup;
class QCheckBox;
class QGridLayout;
class QLabel;
class QLineEdit;

// The panel's form widgets the unit works on.
struct ElemsForm {
    QLineEdit* names = nullptr;         // AElemNames
    QCheckBox* sortByANo = nullptr;     // SortByANo
    QGridLayout* rowLayout = nullptr;   // AElemBaseLayout
    QLineEdit* corTh = nullptr;         // CorTh
    QLabel* progress = nullptr;         // Progress
    QAbstractButton* setStd = nullptr;  // SetSTD
    QAbstractButton* reCalcCor = nullptr; // ReCalcCor
    // ShowElemsDMut0, ShowElemsDMutN, ShowElemsCorr, ShowElemsCorrTh, ShowElemsMutPlus,
    // ShowElemsMutMinus, ShowElemsDE, ShowElemsROI, ShowElemsNROI
    QAbstractButton* disp[9] = {};
};

// One token of the element list: "Fe", "Cu-L3", "Zn-".
struct ElemToken {
    QString element;
    QString edgeName;
    int z = -1;
    int edge = 0;
    QString name() const { return element + QLatin1Char('-') + edgeName; }
};

// The tokens that name a known element, in the order typed.
QList<ElemToken> parseElemNames(const QString& text);
// Selection sort on z: rows of one element keep the order a selection sort gives.
void sortElemTokens(QList<ElemToken>& tokens);
// The rows a typed text names: every row of exactly that name; else the one
// row whose element is that symbol; else, when byIndex, the row of that whole
// number. Empty when the text names none.
QList<int> elemRowsNamed(const QList<ElemCtrl*>& rows, const QString& key, bool byIndex);
// The first row key names, by name, symbol or index; -1 when none.
int findElemRow(const QList<ElemCtrl*>& rows, const QString& key);

// Sums for P / sqrt(V S) over pairs of measured and standard ratios.
struct CorrelationSums {
    double vv = 0.0;
    double ss = 0.0;
    double vs = 0.0;
    void add(double v, double s)
    {
        vv += v * v;
        ss += s * s;
        vs += v * s;
    }
    // false when either sum of squares is not positive or the result is not finite
    bool value(double& c) const;
};

// The correlation of measured ratios with the rows' standard ratios, over the
// rows in use (as far as all three lists go); false when it cannot be formed.
bool elemCorrelation(const QList<double>& ratios, const QList<bool>& use, const QList<double>& stdRatio, double& c);

// One line for every row whose edge energy (e0 of its conds in r) lies outside the energies
// of the frames: its jump is none, so each of its maps would hold a background value of r's
// in every bin with nothing said. The line says what each map holds (N. dmut by the main
// target) and names an edge of the row's element that lies among them, when one does.
QStringList elemEdgesOutside(const QList<ElemCtrl*>& rows, const ElemsRequest& r,
                             const std::vector<double>& energies);

class AnalyzerElems : public QObject {
    Q_OBJECT
public:
    explicit AnalyzerElems(QObject* parent = nullptr);
    ~AnalyzerElems() override;

    // The unit's part of the panel's construction.
    void setup(const ElemsForm& form);

    UserLines user;
    QList<ElemCtrl*> elems;
    // The seven maps of every row, in row order; the rows point at them.
    std::vector<std::array<std::unique_ptr<Analyzed2DRes>, 7>> rowMaps;
    QButtonGroup* targetGroup = nullptr;
    QButtonGroup* showGroup = nullptr;
    QButtonGroup* elemsDispGroup = nullptr;
    double corTh = 0.999;
    Analyzed2DRes corMap;   // "a2d ElemsCor"
    Analyzed2DRes corThMap; // "a2d ElemsCorTh"
    // Set by the panel while a walk holds pointers to the rows' maps.
    bool analysisRunning = false;

    int targetIndex() const; // checked target row, 0 without rows
    int showIndex() const;   // checked show row, 0 without rows
    // Per row: in the correlation, and its standard ratio.
    QList<bool> useFlags() const;
    QList<double> stdRatios() const;

signals:
    void changedSelection();
    void setNewCorrelation(double cor);

public slots:
    void newElems();
    void setElemsStd();
    void recalcCorMap();
    void calcCorrelation();
    void newCorTh();
    void setCorTh(double v);
    void selectElemTarget(const QString& row);
    void selectElemShow(const QString& row);
    void setElemUse(const QString& row, bool f);
    void setElemsDE(double v);
    void setElemROI(const QString& name, double s, double e);
    void setElemThDMut(const QString& name, double v);
    void setElemNoNeg(const QString& name, bool f);
    void selectElemsDispMode(int i);
    void setSortByANo(bool f);

private:
    ElemsForm form;
    void setProgress(double perCent);
    // The rows key names; a log line with the rows there are when none.
    QList<int> rowsNamed(const QString& key, bool byIndex);
};
