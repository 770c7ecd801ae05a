#pragma once
// The analysis panel. Completed later: for now it holds the analysis worker on
// its thread and its spectrum plot, and declares the signals the main window
// wires; it asks for no analysis yet.
#include "calibration/EMPHeader.h"
#include "foundation/AnalyzeCond.h"
#include "foundation/SuggestElm.h"
#include "foundation/XafsSpectrum.h"

#include <QFrame>
#include <QList>
#include <QString>

class AnalyzeProc;
class Analyzed2DRes;
class LCFReference;
class QCheckBox;
class QLineEdit;
class XafsFileSelect;
class QThread;
class XafsView;

class Analyzer : public QFrame {
    Q_OBJECT
public:
    explicit Analyzer(QWidget* parent = nullptr);
    ~Analyzer() override;

    XafsView* xafsView() const { return view; }
    QThread* analysisThread() const { return thread; }
    // No result maps yet.
    Analyzed2DRes* selectedRes() const { return nullptr; }

    // What batch words and savers use; no reference rows or settings yet.
    QList<LCFReference*> lcfRefs;
    QCheckBox* FixedScale = nullptr;
    QCheckBox* MLCF = nullptr;
    QCheckBox* AsOldLCF = nullptr;
    QLineEdit* AElemNames = nullptr;
    XafsFileSelect* DEdgeCWFileSelect = nullptr;
    Analyzed2DRes* lcfResMap(int, int) { return nullptr; }
    int checkedRefIndex() const { return 0; }
    void setDEdgeMode(int) {}
    void setDEdgeCompTarget(int) {}
    void setAnalysisMode(int) {}
    void setSubMode(int, int, bool) {}
    void setMainMode(int) {}
    void setImageType(int) {}
    void setDEdgeMidPointRatio(double) {}
    void setDEdgeCompStepParams(double, double, double) {}
    void setDEdgeCompParams(double, double, double) {}
    void setElemsBgDMut(double) {}
    void setElemsBgDMutR(double) {}
    void setElemsBgDE(double) {}
    void setElemsBgROI(double) {}
    void setElemsBgNROI(double) {}
    void colorScaleChanged() {}
    void newElems() {}
    void setLCFRange(double, double) {}
    void setLCFStd(int, bool, double, QString, QString) {}
    void selectImage(int) {}
    void setRaEnergy(double) {}
    void setRaFactor(double) {}
    void setDMutScaleMax(double) {}
    void setDMutScaleMin(double) {}
    void setRatioScaleMax(double) {}
    void setRatioScaleMin(double) {}
    void setCorTh(double) {}
    void selectElemTarget(const QString&) {}
    void selectElemShow(const QString&) {}
    void setElemUse(const QString&, bool) {}
    void setElemsDE(double) {}
    void setElemROI(const QString&, double, double) {}
    void setElemThDMut(const QString&, double) {}
    void setElemNoNeg(const QString&, bool) {}
    void selectElemsDispMode(int) {}
    void setSortByANo(bool) {}

signals:
    void askAnalyzeCond(AnalyzeCond& ac);
    void askAnalyze();
    void finished();
    void changedSelection();
    void askSumUp();
    void loadMap(QString fname, Analyzed2DRes& map, EMPHeader& empH);

public slots:
    // The panel, then its spectrum plot.
    void show();
    // For now it only keeps and shows the spectrum.
    void analyzeAndShowSpectrum(XafsSpectrum s, SuggestElm sElm);

private:
    QThread* thread = nullptr;
    AnalyzeProc* worker = nullptr;
    XafsView* view = nullptr; // made without a parent; owned
    XafsSpectrum lastSpectrum;
};
