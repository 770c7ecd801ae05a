#pragma once
// The analysis panel. Completed later: for now it holds the analysis worker on
// its thread and its spectrum plot, and declares the signals the main window
// wires; it asks for no analysis yet.
#include "calibration/EMPHeader.h"
#include "foundation/AnalyzeCond.h"
#include "foundation/SuggestElm.h"
#include "foundation/XafsSpectrum.h"

#include <QFrame>
#include <QString>

class AnalyzeProc;
class Analyzed2DRes;
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
