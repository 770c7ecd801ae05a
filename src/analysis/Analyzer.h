#pragma once
// The analysis panel: the choice and settings of the analyses as a form, the
// reference and element rows, and what the engine's replies and maps show.
// The engine (fan-out, worker, walk, maps) is the panel's; the panel turns its
// fields into the engine's settings snapshot.
#include "analysis/AnalysisEngine.h"
#include "analysis/AnalyzeReply.h"
#include "analysis/AnalyzeRequests.h"
#include "analysis/Analyzed2DRes.h"
#include "analysis/AnalyzerElems.h"
#include "analysis/FVPoints.h"
#include "analysis/FeatureValue.h"
#include "analysis/MapProc.h"
#include "calibration/EMPHeader.h"
#include "display/FDGroup.h"
#include "foundation/AnalyzeCond.h"
#include "foundation/SuggestElm.h"
#include "foundation/XafsSpectrum.h"
#include "ui_Analyzer.h"

#include <QElapsedTimer>
#include <QFrame>
#include <QList>

#include <memory>

class AnalyzeProc;
class EShiftMapDialog;
class FVView;
class LCFReference;
class QButtonGroup;
class QLineEdit;
class QCloseEvent;
class QThread;
class XafsView;

class Analyzer : public QFrame, public Ui_Analyzer {
    Q_OBJECT
public:
    explicit Analyzer(QWidget* parent = nullptr);
    ~Analyzer() override;

    // Reference rows present when the panel is built; the map buttons take the
    // display ids after them, rows added later the ids after the buttons.
    static const int BaseRefRows = 4;
    static const int FirstLaterRowId = BaseRefRows + 7;
    static int displayIdOfRow(int row);
    // -1 when the id belongs to no row.
    static int rowOfDisplayId(int id);

private:
    std::unique_ptr<AnalysisEngine> eng; // before the references into its maps

public:
    SuggestElm lastSElm;
    QList<LCFReference*> lcfRefs;
    XafsSpectrum lastSpectrum;
    XafsSpectrum fitResult;
    Analyzed2DRes& zansaMap;
    Analyzed2DRes& dEdgeMap;
    Analyzed2DRes& raDMutMap;
    Analyzed2DRes& raRestMap;
    Analyzed2DRes& raRatiMap;
    Analyzed2DRes& fvMap;
    Analyzed2DRes& sumUpMap;
    // Where the panel's lines for the user go; its units' lines go there too.
    UserLines user;
    AnalyzerElems elemUnit; // element rows and "a2d ElemsCor", "a2d ElemsCorTh"
    MapProc mapProc;        // "E-Shift Map 1", "E-Shift Map 2", "Processed Map"
    FVPoints& fvPoints;
    FeatureValue lastFV;
    // What the compare-with edge method compares against: the file's spectrum,
    // read when the file is chosen, or the step; the step never replaces the file.
    XafsSpectrum cwRef;
    XafsSpectrum cwStep;
    double correlation = 0.0;

    XafsView* xafsView() const { return xv; }
    AnalysisEngine* engine() const { return eng.get(); }
    // Whether selectImage(id) has a map to show.
    bool hasImage(int id) const;
    QThread* analysisThread() const { return eng->analysisThread(); }
    FVView* fvView() const { return fvv.get(); }
    bool contAccess() const { return contAccessFlag; }
    // Replies still expected of the fan-out in flight.
    int pendingReplies() const { return eng->pendingReplies(); }
    quint64 currentGeneration() const { return eng->currentGeneration(); }
    // The replies of the fan-out announced last by `finished`.
    const SpectrumResults& results() const { return eng->results(); }

    // The analyses checked now; none when 2D Analysis is not the main mode.
    AnalysisChoice chosenAnalyses() const;
    // The settings of the given analyses as the fields hold them now.
    AnalysisSettings settings(const AnalysisChoice& c) const;
    // The first number field the given analyses read that holds no number, told
    // as its name and text; empty when they all hold one.
    QString fieldMistake(const AnalysisChoice& c) const;
    // The first ticked reference row, or the comparison file, that the given
    // analyses would read and that holds no spectrum; empty when none.
    QString spectrumMistake(const AnalysisChoice& c) const;
    // The settings a walk starts with: the walk-time fields read again and the
    // step spectrum generated when it is compared with.
    AnalysisSettings walkSettings();
    // The maps a walk of the chosen analyses writes.
    AnalysisWalk::Maps walkMaps();
    // The requests of the given analyses, with the settings as they stand now,
    // sent under a new generation that drops the fan-out in flight; returns it,
    // 0 when nothing was sent.
    quint64 analyzeSpectrumFor(const XafsSpectrum& s, const SuggestElm& sElm, const AnalysisChoice& c);
    XafsSpectrum limitedSpectrum(const XafsSpectrum& s) const;
    // LCFFit::rangeMistake of the chosen fit on a stack of these energies;
    // empty when no fit is chosen or its range holds no number (told apart).
    QString lcfRangeMistake(const std::vector<double>& energies) const;
    // How often a running walk refreshes the residual and edge shown at the cursor.
    static const int LiveShowMs = 200;

    Analyzed2DRes* selectedRes();
    // A walk of these analyses starts: unless one of its maps is chosen, the
    // first it makes (by the rows in use, the image type as chosen) is.
    void chooseMapOfWalk(const AnalysisChoice& c);
    Analyzed2DRes* lcfResMap(int refNo, int idx);
    int checkedRefIndex() const;
    // 0 with DMut chosen, 1 with Ratio.
    int imageType() const;
    // The step spectrum := the step of the step fields (EdgePosition::stepSpectrum);
    // false, and the step kept, when it cannot be generated.
    bool dEdgeStepSpectrum();
    // The file's spectrum with "File" checked, the step with "Step at".
    const XafsSpectrum& compareWithRef() const;

    void setDEdgeMode(int mode);
    void setDEdgeCompTarget(int target);
    void setAnalysisMode(int mode);
    void setSubMode(int mainMode, int sub, bool on);
    void setMainMode(int mode);
    void setImageType(int type);
    void setDEdgeMidPointRatio(double ratio);
    void setDEdgeCompStepParams(double at, double width, double dE);
    void setDEdgeCompParams(double range, double initStep, double minStep);
    void setElemsBgDMut(double v);
    void setElemsBgDMutR(double v);
    void setElemsBgDE(double v);
    void setElemsBgROI(double v);
    void setElemsBgNROI(double v);

signals:
    // A line for the user: a chosen spectrum file that could not be read.
    void mistake(QString line);
    void askAnalyze();
    void askGenDEdgeMap();
    void analyzeSpectrum0(LCFRequest r);
    void analyzeSpectrumDEdge0(DEdgeRequest r);
    void finished();
    void analyzeSpectrumElems0(ElemsRequest r);
    void analyzeSpectrumRA(RARequest r);
    void analyzeSpectrumFV(FVRequest r);
    void changedSelection();
    void setNewCorrelation(double cor);
    void askSumUp();
    void loadMap(QString fname, Analyzed2DRes& map, EMPHeader& empH);
    void askAnalyzeCond(AnalyzeCond& ac);

public slots:
    void addNewRef();
    void analyze2DFinished(AnalyzeReply r);
    void analyze2DElemsFinished(AnalyzeReply r);
    void selectedNewRef(int i);
    void analyze2DFVFinished(AnalyzeReply r);
    void colorScaleChanged();
    void newElems();
    void setElemsStd();
    void calcCorrelation();
    void recalcCorMap();
    void newCorTh();
    void setCorrelation(double cor);
    void processMaps();
    void captureAsMap1();
    void captureAsMap2();
    void noticedNewZ(double z);
    void noticedNewDEdge(double dEdge);
    void toggledDEdgeCompWith(bool f);
    void toggledCWFile(bool f);
    void selectedNewDEdgeCWFile(QString fname);
    void setFVEStep();
    void setFVElimReg();
    void show();
    void showXv();
    void setContAccess(bool f);
    void setLCFMode(int f);
    void setLCFAsOld(bool f);
    void setLCFRange(double fromEV, double toEV);
    void analyzeAndShowSpectrum(XafsSpectrum s, SuggestElm sElm);
    void initAnalyzeSpectrum();
    void analyzeSpectrum(XafsSpectrum& s, SuggestElm sElm);
    void reAnalyzeSpectrum();
    void setProgress(double perCent);
    void setLCFStd(int no, bool use, double dE, QString fname, QString isVic);
    void selectImage(int id);
    void setRaEnergy(double eng);
    void setRaFactor(double factor);
    void setFixedScale(bool f);
    void setDMutScaleMax(double max);
    void setDMutScaleMin(double min);
    void setRatioScaleMax(double max);
    void setRatioScaleMin(double min);
    void setUseUpperLimit(bool f);
    void setUpperLimitV(double v);
    void setNormalize(bool f);
    void setEnergyCorrection(bool f);
    void setTargetElements(QString elements);
    void updateFVMap();

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

protected:
    void closeEvent(QCloseEvent* e) override;

private slots:
    void answerSelectedRes(Analyzed2DRes*& r);
    void loadMapFile(const QString& fname, Analyzed2DRes& map, bool& valid);

private:
    // A value shown while a walk runs: its field is rewritten at most every
    // LiveShowMs, the last value held back until then or the walk's end.
    struct LiveField {
        QLineEdit* field = nullptr;
        QElapsedTimer shown;
        bool held = false;
        double value = 0.0;
    };
    // The number as a line edit shows it: 'g', 6 significant digits.
    static void setField(QLineEdit* e, double v);
    // An energy keeps 10 significant digits, as the energy fields elsewhere.
    static void setEnergyField(QLineEdit* e, double v);
    void showLive(LiveField& f, double v);
    void flushLive(LiveField& f);

    void showReply(AnalyzeReply r);
    void applyScale(Analyzed2DRes* map, bool fixed, double lo, double hi, bool useLimit, double limit);
    void refreshView();
    void showElemResults(const AnalyzeReply& r);

    XafsView* xv = nullptr;             // no parent; owned
    QButtonGroup* dispGroup = nullptr;
    QButtonGroup* mainModeGroup = nullptr;
    FDGroup fdGroup;
    bool contAccessFlag = false;
    double raFactor = 1.0;
    double raAtEV = 8200.0;
    bool corGuard = false;
    bool corAbove = false;
    double fvEStep = 0.01;
    double fvElimReg = 1.0;
    std::unique_ptr<FVView> fvv;
    std::unique_ptr<EShiftMapDialog> map1Dialog;
    std::unique_ptr<EShiftMapDialog> map2Dialog;
    bool isMidPoint = true;
    double midRatio = 0.5;
    double cwFullRangeEV = 20.0;
    double cwInitDEeV = 1.0;
    double cwMinDEeV = 0.1;
    LiveField liveZ;
    LiveField liveDEdge;
};
