#pragma once
// The main window: owns every panel, window and worker of the program for the
// whole run and wires them together in its constructor. Its implementation is
// split by concern over the Body*.cpp files beside this header.
#include "analysis/Analyzed2DRes.h"
#include "batch/CmdDef.h"
#include "batch/CmdLine.h"
#include "calibration/CalibWalk.h"
#include "calibration/EMPHeader.h"
#include "calibration/ImgProc.h"
#include "display/SelectImgDialog.h"
#include "display/XafsFileSelect.h"
#include "display/XafsView.h"
#include "foundation/AnalyzeCond.h"
#include "foundation/FFT.h"
#include "foundation/Spectrum.h"
#include "foundation/SuggestElm.h"
#include "foundation/XafsSpectrum.h"
#include "imagestack/FrameSets.h"
#include "imagestack/LoadTiffQue.h"
#include "mainwindow/ShownState.h"
#include "mainwindow/Stats.h"
#include "stars/Client.h"
#include "stars/Stars.h"
#include "mainwindow/BodyForm.h"

#include <QButtonGroup>
#include <QByteArray>
#include <QElapsedTimer>
#include <QList>
#include <QMainWindow>
#include <QPoint>
#include <QRectF>
#include <QString>
#include <QStringList>

#include <functional>
#include <initializer_list>
#include <optional>
#include <vector>

class AnalysisWalk;
struct AnalysisSettings;
class Analyzer;
class Analyzer2;
class BatchCtrl;
class BatchDispatcher;
class CalibCtrl;
class ErrPoints;
class LineReader;
class LoadTiff;
class QLabel;
class QCloseEvent;
class QShowEvent;
class QPainter;
class QTextStream;
class QThread;
class SaveDataCfg;
class SelectDataFiles;
class TiffData;
class _FileDialog;

class Body : public QMainWindow, public Ui::Body {
    Q_OBJECT
public:
    explicit Body(QWidget* parent = nullptr);
    ~Body() override;

    // Stacks and their loaders
    QThread* i1Thread = nullptr;
    QThread* i0Thread = nullptr;
    LoadTiff* i1Loader = nullptr;
    LoadTiff* i0Loader = nullptr;
    QObject loaderInbox; // receives the loaders' frames and finishes
    // The stacks, dark frame, dark areas, total-I0 spectra and field of view.
    FrameSets frameSets;
    // The same under their usual names, to read; they change through frameSets.
    const QList<TiffData*>& i1Frames = frameSets.frames(FrameSets::I1);
    const QList<TiffData*>& i0Frames = frameSets.frames(FrameSets::I0);
    const int& imageW = frameSets.imageW;
    const int& imageH = frameSets.imageH;
    const int& imageHdrX = frameSets.imageHdrX;
    const int& imageHdrY = frameSets.imageHdrY;
    SelectImgDialog darkFileDialog;

    // Spectrum windows
    XafsView* xafsView = nullptr;  // "Spectrum at the position"
    QList<XafsView*> xafsViews;    // deleted by the destructor

    QButtonGroup dispSelector;     // ShowData 0, ShowI0 1, ShowShiftMap 2, ShowResAnalysis 3

    // Energy calibration
    CalibCtrl* calibCtrl = nullptr;
    // Running flag, grid (calibCond) and statistics of the walk.
    CalibWalk calib;
    Analyzed2DRes eShiftMap;
    // The edge a loaded map was read with, to save it at when the panel gives
    // none, and the standard its file names; none for a measured or cleared map.
    EMPEdge eShiftMapEdge;
    QString eShiftMapStd;
    XafsSpectrum calibStd;

    // Geometry of the first I1 frame, and of the images the shift map was measured on
    int mapXOffset = 0;
    int mapYOffset = 0;
    // What the window shows; every view of it comes from refreshShown().
    ShownState shown;
    int& pointX = shown.x; // the pointed pixel, the read-out position
    int& pointY = shown.y;
    // Brings every view of what is shown (picture, choice, file lists, slider,
    // frame number, position fields, crosshair, read-outs, cross sections and
    // spectrum windows) to the state in `shown` and the stacks, dark frame and
    // bin settings as they stand. Every change of any of them ends here.
    void refreshShown();

    // Two-dimensional analysis
    Analyzer* analyzer = nullptr;
    AnalysisWalk* walk = nullptr; // the panel engine's
    bool walkRunning() const;
    // Before the frames change under it.
    void stopWalkForFrames();
    Analyzer2* analyzer2 = nullptr;

    // Saving
    _FileDialog* imgFileDialog = nullptr;
    _FileDialog* dataFileDialog = nullptr;
    SaveDataCfg* saveDataCfg = nullptr;
    _FileDialog* spectraFileDialog = nullptr;

    // Batch
    QThread* batchThread = nullptr;
    BatchDispatcher* batchDispatcher = nullptr;
    BatchCtrl* batchCtrl = nullptr;
    // Where failed saves were told before this window told them in its batch log.
    std::function<void(const QString&)> earlierSaveSink;

    ImgProc imgProc;
    FFT fft;

    // Background spectrum
    bool bgLoaded = false;
    XafsFileSelect bgFileSelect;
    XafsSpectrum bgSpectrum;
    XafsView bgView;

    // Statistics
    Stats stats;
    bool statsRangeSet = false;
    double statsMin = 0.0;
    double statsMax = 0.0;

    bool useStars = true; // publish the pointed bin's spectrum
    Stars stars;
    Client client;

    // The window's message place: the latest line told to the user, kept until
    // the next one (showMessage).
    QLabel* messagePlace = nullptr;
    void showMessage(const QString& text);
    QString lastTold; // the line shown there, without its time

    // Constructor steps
    void readConfig();
    void setupMessagePlace();
    void compactForm();
    // Scrolls the form, when it must, so that the read-outs under the display are in view.
    void readOutsInView();
    void setupBatch();
    void setupSpectrumView();
    void setupDataFiles();
    void setupNavigation();
    void setupCalibCtrl();
    void setupAnalyzer();
    void setupWalk();
    void setupAnalyzer2();
    void setupSaveData();
    void setupSaveSpectra();
    void setupProcButtons();
    void setupImgProc();
    void setupSumUp();
    void setupErrPoints();
    void setupStats();
    void setupOverlay();
    void setupTabOrder();
    void execConfigBatches();

    // Stops the loaders, then quits and joins every worker thread; safe to call twice.
    void stopWorkers();

    // Bin sizes of the form: 0 when the text is no whole number.
    int viewW() const;
    int viewH() const;
    int analyzeW() const;
    int analyzeH() const;
    SuggestElm suggestElm() const;
    // Energy shift of the bin centred at (x, y) of the current images, by the
    // shift map (or its fitted surface when "Q.S. Fitted" is on).
    double eShiftAt(int x, int y) const;

    // What the bin spectrum reads from the form.
    FrameSets::BinOptions binOptions() const;
    // Told once at the start of each result the user keeps (a walk, a calibration,
    // a spectrum saved, the spectra of every bin) when it is made with the stand-in I0.
    void tellStandInI0();
    // The frame on the picture; null under a map or with none chosen.
    TiffData* shownFrame() const;
    // The frame of the I1 list's selection; null when it selects none.
    TiffData* selectedI1Frame() const;
    // Keeps a frame of the current load with its energy (chosen when its panel
    // shows the latest); false for a frame of another load or size.
    bool takeFrame(FrameSets::Stack s, TiffData* data, int fNo, int totalFiles, quint64 generation,
                   SelectDataFiles::Batch& adding);
    // A loaded stack: its panel shows the exposure time (marked when the frames
    // disagree) and its dark-area means are rebuilt.
    void stackComplete(FrameSets::Stack s);
    // A loader's line about a file it could not read.
    void fileRefused(FrameSets::Stack s, const QString& line, quint64 generation);
    // A load that ends with the stack empty says so.
    void tellIfEmpty(FrameSets::Stack s);
    // The newest I1 frame shown in the geometry, seek bar and file list.
    void followI1Stack();
    // After a load: the read-out position stays unless the field lacks it.
    void keepPositionOnStack();
    // Takes the frames handed over since the last time into their stacks and
    // brings what shows them up to date (BodyFrames.cpp says when).
    void followLoads();
    void takeHanded(bool& i1, bool& any);

    Spectrum xafsSpectrumAt(int x, int y, int halfW, int halfH, Spectrum* rawI1 = nullptr);
    Spectrum rawI1SpectrumAt(int x, int y, int halfW, int halfH);
    Spectrum hProfileAt(int y, int hx, int hy, bool i1);
    Spectrum vProfileAt(int x, int hx, int hy, bool i1);
    // A bin's absorption spectrum, normalised, with its energy shift as offset.
    XafsSpectrum binXafsSpectrum(int cx, int cy, int hw, int hh, const QString& name, int normMode,
                                 const SuggestElm& sElm);
    // 0 (Victoreen lines) when the calibration panel's target background asks for them, else 1.
    int binNormMode() const;
    QString areaLabel(const AnalyzeCond& c) const;
    EMPHeader loadMapHeader(LineReader& in);
    // How the panel has the walk measure a bin.
    CalibSettings calibSettings() const;

signals:
    // The request carries the files with the panel's settings, a copy of its error
    // points and the loader's generation.
    void loadI1Files(LoadTiffQue request);
    void loadI0Files(LoadTiffQue request);
    void finishing();
    void finishBatchExec(int id);
    void doCollectQInfo(const AnalyzeCond& ac);
    void doCalibNextPoint();
    void doFinishCalib();
    void calibProgress(double p);
    void currentPosition(int ix, int iy, int hw, int vw);

public slots:
    void selectedBG(QString fname);
    void clearedBG();

    // Stacks, dark image, dark areas
    void clearI1Files();
    void clearI0Files();
    void readI1Files(QStringList files, bool newFile);
    void readI0Files(QStringList files, bool newFile);
    void finishedLoadI1Files();
    void finishedLoadI0Files();
    void selectedDark(QString fname);
    void clearDark();
    // A frame of a stopped or replaced load (an older generation) is deleted.
    void loadedI1(TiffData* data, int fNo, int totalFiles, quint64 generation);
    void loadedI0(TiffData* data, int fNo, int totalFiles, quint64 generation);
    // The loaders' finish: passed on to a waiting batch and the stack unless it is stale.
    void loadI1Finished(EX_CMD_ID id, quint64 generation);
    void loadI0Finished(EX_CMD_ID id, quint64 generation);
    void selectedNewRef();
    void setI0DarkArea();
    void setI1DarkArea();
    void clearUpdateI0DarkArea();
    void clearUpdateI1DarkArea();
    void updateI0DarkArea();
    void updateI1DarkArea();
    void clearI0DarkArea();
    void clearI1DarkArea();
    void newTotalI0ofI1File(QString fname);
    void newTotalI0ofI0File(QString fname);
    void darkCheck();
    void useErrPMaskToggled(bool f);

    // Two-dimensional analysis
    // The bins of the selected region (or the view) centred on the image;
    // false, with a log line, when there is no stack or no such bin.
    bool askAnalyzeCond(AnalyzeCond& ac);
    // The same without the log line, for what every paint reads.
    bool binGrid(AnalyzeCond& ac) const;
    void start2DAnalysis();
    void stop2DAnalysis();
    void analyzeASpectrumFinished();
    void generateResImages();
    void setupResAnalysisImage();
    void startCollectQInfo();

    // Navigation and display selection
    void showData(int no);
    void prev();
    void next();
    void sliderMoved(int idx);
    void showXafsSpectrum(double x, double y);
    void showXafsSpectrum();
    void cBarUpdating();
    void cBarUpdated();
    void dispImgSelected(bool f);
    void seekImage(int imgNo);
    void deglitch();
    // "ShowProcImg": the shown map's processed copy or its values.
    void showProcImg(bool on);
    void showAnalyzedVals();
    void newCurPos();

    // Overlay and pointer read-out
    void draw(QPainter* p);
    void onMouseMovedInDispA();

    // Saving
    void saveScreenAs(QString fname);
    bool saveImage(QString fname); // false when the picture was not written
    void saveImageInfo(QString fname);
    void saveImageWNum(QString fname, QString num);
    void saveAllImages(QString fname);
    void showSaveDataDialog();
    void saveData(QString fname);
    bool saveDataAsTiff(QString fname, int ext);
    bool saveDataAsText(QString fname, int ext);
    void saveFlatDark();
    void savedXafsData(QString fname);
    // False when the spectra were not written (told).
    bool saveEachSpectrum(QString fname);
    bool saveEachNormalizedXafsSpectrum(QString fname);
    bool saveEachRawXafsSpectrum(QString fname);
    bool saveEachRawSpectrum(QString fname);
    void sendXafsDataToStars(QByteArray data);

    // Statistics, sum-up, Fourier check
    void showStatistics();
    void selectedRangeInStats();
    void doSumUp();
    void execFourierA();

    // Calibration, shift map, image shifts
    void newStdFile();
    void execCalibration();
    void calibNextPoint();
    void finishCalib();
    void clearShiftMap();
    void normalizeEShift();
    // False when the map was not written (told).
    bool saveEMap(const QString& fname);
    bool saveEMap(const QString& fname, const Analyzed2DRes& map);
    void loadEMap(const QString& fname);
    void loadMap(QString fname, Analyzed2DRes& map, EMPHeader& empH);
    void giveProcData();
    void setImgShift(int dx, int dy);
    void clearAllShifts();
    // Redraws and re-reads what shows the frames after their shifts changed.
    void frameShiftChanged();

    // Batch
    void execCmdSlot(CmdLine cmd, bool inRem);
    void newEdgeSuggested(int);
    void newElmSuggested();

protected:
    void closeEvent(QCloseEvent* e) override;
    void showEvent(QShowEvent* e) override;
    bool event(QEvent* e) override;

private:
    // Batch words by group (BodyCommands*.cpp): each carries out its word and
    // says who answers the batch.
    enum class CmdAnswer {
        Now,   // the slot answers with the word's own id
        Later, // the work started answers, or the word has answered itself
        Error, // no handler: the error path answers 162
    };
    CmdAnswer execStackCmd(EX_CMD_ID id, const CmdLine& cmd);
    CmdAnswer execDisplayCmd(EX_CMD_ID id, const CmdLine& cmd);
    CmdAnswer execAnalyzerCmd(EX_CMD_ID id, const CmdLine& cmd);
    CmdAnswer execSettingsCmd(EX_CMD_ID id, const CmdLine& cmd);
    CmdAnswer loadFilesCmd(const CmdLine& cmd, bool i1, bool byPattern);
    CmdAnswer analyzeCmd();
    void movePosition(double x, double y);
    // Cross sections and value read-outs of image pixel (x, y).
    // Parts of refreshShown.
    void refreshPicture();
    void refreshReadOuts();
    void refreshSpectrum();
    // The map a map choice shows; null for a frame choice.
    Analyzed2DRes* shownMap();
    // A frame index from the slider, keys, wheel, arrows or seek_image.
    void seekTo(int idx);
    // The position the pointer is at, unless a button is held.
    void pointTo(int x, int y);
    bool refreshing = false;
    QPoint markedAt; // the position the display's marks were last asked for
    void cmdError(const CmdLine& cmd);
    // A mistake of the batch author (or operator), a refusal or a failure: one
    // line on stderr, in the batch log and in the window's message place.
    void logMistake(const QString& text);
    // The same for a line its maker has written to stderr already.
    void tellWritten(const QString& text);
    void saveSpectraCmd(const QString& fname);
    // Save Data to fname; false when nothing was written (told).
    bool writeData(const QString& fname);
    void seekImageCmd(int imgNo);
    // The selected map when it holds a result; else nullptr, with a log line naming name.
    Analyzed2DRes* resultToSave(const QString& name);
    // A saved map that holds a result in only some of its bins says how many, in the log.
    void tellSavedBins(const Analyzed2DRes& map, const QString& name);
    // Clears the maps the chosen analyses fill (all maps: a load that left no I1 frame).
    void clearChosenMaps(bool all = false);
    // The first refusal the checks give, in their order; empty when none refuses.
    static QString firstRefusal(std::initializer_list<std::function<QString()>> checks);
    // A walk's bins (into grid); else why there are none.
    QString areaRefusal(AnalyzeCond& grid);
    // The first bin size field (Sum R. when view, A. Step when analysis) that
    // holds no half size, told as its name and text; empty when they all do.
    QString binSizeMistake(bool view, bool analysis) const;
    // The same for the "Suggest Elm." fields a bin's spectrum reads: all of them
    // while the suggestion is used, the edge energy also when `edgeRead`.
    QString suggestMistake(bool edgeRead) const;
    // A load whose panel holds a Skip or cut that is no count does not start;
    // told, and answered as the loader would (4 for I1, 5 for I0).
    bool loadSettingsRefused(const SelectDataFiles* panel, bool i1);
    void tellClippedComparison(const AnalysisSettings& set, const std::vector<double>& energies);
    void tellBinsWithoutShift();
    // Tells which rows or columns a walk over the part on screen leaves out.
    void tellPartWalked(const AnalyzeCond& c);
    void quitProgram();
    // Ends a running calibration walk where it is and lets a batch waiting for it go on.
    void stopCalibration();
    // Sets the frames' origins; when any changed, frameShiftChanged.
    void moveFrames(const QList<TiffData*>& frames, int dx, int dy);
    // Publishes "word name" on Stars.
    void publish(const QString& word, const QString& name);
    // "ShowProcImg" ticked while the shown map shows its processed copy.
    void followShownMap();

    bool workersStopped = false;
    bool shownBefore = false;
    bool calibStepQueued = false; // a doCalibNextPoint is on its way

    // A frame a loader handed over, until it is taken into its stack.
    struct Handed {
        FrameSets::Stack stack;
        TiffData* frame;
        int fNo;
        int totalFiles;
        quint64 generation;
    };
    QList<Handed> handed;
    bool followScheduled = false;
    QElapsedTimer lastFollow;
    void handOver(FrameSets::Stack s, TiffData* data, int fNo, int totalFiles, quint64 generation);
    void scheduleFollow();
};
