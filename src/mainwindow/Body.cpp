// Construction, configuration, shutdown.
#include "mainwindow/Body.h"

#include "analysis/AElemsConds.h"
#include "analysis/AnalysisMetaTypes.h"
#include "analysis/Analyzer.h"
#include "analysis/ElemCtrl.h"
#include "analysis/FeatureValue.h"
#include "analysis/LCFReference.h"
#include "batch/BatchCtrl.h"
#include "batch/BatchDispatcher.h"
#include "calibration/CalibCtrl.h"
#include "display/FrontWindow.h"
#include "display/ScreenFit.h"
#include "display/_FileDialog.h"
#include "foundation/WorkerThread.h"
#include "foundation/Cfg.h"
#include "foundation/Globals.h"
#include "foundation/WholeFile.h"
#include "foundation/VictoreenRec.h"
#include "imagestack/Analyzer2.h"
#include "imagestack/ErrPoints.h"
#include "imagestack/LoadTiff.h"
#include "imagestack/TiffData.h"
#include "mainwindow/SaveDataCfg.h"

#include <QCloseEvent>
#include <QShowEvent>
#include <QDebug>
#include <QHostInfo>
#include <QThread>

namespace {
// Everything that crosses a thread in a queued signal, before any worker exists.
void registerMetaTypes()
{
    qRegisterMetaType<XafsSpectrum>("XafsSpectrum");
    qRegisterMetaType<SuggestElm>("SuggestElm");
    qRegisterMetaType<QList<LCFReference*>>("QList<LCFReference*>");
    qRegisterMetaType<QList<ElemCtrl*>>("QList<ElemCtrl*>");
    qRegisterMetaType<XafsSpectrum*>("XafsSpectrum*");
    qRegisterMetaType<CmdLine>("CmdLine");
    qRegisterMetaType<AElemsConds*>("AElemsConds*");
    qRegisterMetaType<EX_CMD_ID>("EX_CMD_ID");
    qRegisterMetaType<FeatureValue>("FeatureValue");
    qRegisterMetaType<ErrPoints*>("ErrPoints*");
    qRegisterMetaType<TiffData*>("TiffData*");
    qRegisterMetaType<LoadTiffQue>("LoadTiffQue");
    qRegisterMetaType<AnalyzeCond>("AnalyzeCond");
    qRegisterMetaType<EMPHeader>("EMPHeader");
    registerAnalysisMetaTypes();
}
} // namespace

Body::Body(QWidget* parent)
    : QMainWindow(parent),
      darkFileDialog(true),
      eShiftMap(QStringLiteral("a2d esm"))
{
    loadVictoreenTable();
    registerMetaTypes();
    setupUi(this);
    compactForm();
    setupMessagePlace();
    // Taller than a laptop's screen: the form scrolls and keeps its size, so
    // the display and saved pictures are as on a large screen.
    screenfit::scrollCentralWidget(*this, true);
    // The display's size in the designed 1011 x 1024 window, in English: the
    // default view, the saved pictures and the bins of a walk without a
    // region follow from it, so batches give the same results in either
    // language whatever the other columns need.
    screenfit::keepPartSize(*this, *dispA, QSize(813, 600));

    mainColorBar = CBar;
    CBarAll->setText(tr("Set All"));
    connect(CBar, SIGNAL(cBarUpdating()), this, SLOT(cBarUpdating()));
    connect(CBarAll, SIGNAL(clicked()), this, SLOT(cBarUpdated()));

    const QList<QRadioButton*> selectors{ShowData, ShowI0, ShowShiftMap, ShowResAnalysis};
    for (int id = 0; id < selectors.size(); id++) {
        dispSelector.addButton(selectors[id], id);
        connect(selectors[id], &QRadioButton::toggled, this, &Body::dispImgSelected);
    }

    mapXOffset = 0;
    mapYOffset = 0;
    pointX = 0;
    pointY = 0;
    HCross->vertical = false;
    VCross->vertical = true;

    readConfig();

    newEdgeSuggested(0);
    connect(SuggestingElm, &QLineEdit::editingFinished, this, &Body::newElmSuggested);
    connect(SuggestingEdge, SIGNAL(currentIndexChanged(int)), this, SLOT(newEdgeSuggested(int)));

    setupBatch();
    setupSpectrumView();
    setupDataFiles();
    setupNavigation();
    setupCalibCtrl();
    setupAnalyzer();
    setupAnalyzer2();
    setupSaveData();
    setupSaveSpectra();
    setupProcButtons();
    setupImgProc();

    connect(ExecFourierA, &QPushButton::clicked, this, &Body::execFourierA);

    setupSumUp();
    setupErrPoints();
    setupStats();
    setupOverlay();
    setupTabOrder();

    connect(CheckVals, SIGNAL(clicked()), this, SLOT(showAnalyzedVals()));

    bgFileSelect.setWindowTitle(tr("BG File"));
    screenfit::keepInside(bgFileSelect);
    bgView.setWindowTitle(tr("BG Specturm"));
    bgView.autoXScale = true;
    bgView.Normalized->setChecked(false);
    bgLoaded = false;
    connect(SelectBG, &QPushButton::clicked, this, [this] { showInFront(&bgFileSelect); });
    connect(ShowBG, &QPushButton::clicked, this, [this] { showInFront(&bgView); });
    connect(&bgView, &XafsView::mistake, this, &Body::logMistake);
    connect(&bgFileSelect, &XafsFileSelect::newFile, this, &Body::selectedBG);
    connect(&bgFileSelect, &XafsFileSelect::cleared, this, &Body::clearedBG);

    connect(PosX, &QLineEdit::editingFinished, this, &Body::newCurPos);
    connect(PosY, &QLineEdit::editingFinished, this, &Body::newCurPos);

    // The form's own texts until now: from here on they show the state.
    refreshShown();
    execConfigBatches();
    stars.connectToStars();
}

Body::~Body()
{
    setSaveFailureSink(earlierSaveSink);
    // The client outlives this body's members and may still say goodbye.
    disconnect(&stars, nullptr, this, nullptr);
    disconnect(&client, nullptr, this, nullptr);
    stopWorkers();
    // While the batch log is still there: what the network could not take is told.
    stars.finish();
    client.finish();
    delete i1Loader;
    delete i0Loader;
    delete batchDispatcher;
    delete i1Thread;
    delete i0Thread;
    delete batchThread;

    if (dispA) {
        dispA->frame = nullptr;
        dispA->overlayMap = nullptr;
    }
    frameSets.clear(FrameSets::I1);
    frameSets.clear(FrameSets::I0);
    frameSets.setDarkFrame(nullptr);
    qDeleteAll(xafsViews);
    xafsViews.clear();
    xafsView = nullptr;
    delete calibCtrl;
    delete analyzer; // joins its analysis thread
    delete imgFileDialog;
    delete saveDataCfg;
    // Windows that would otherwise live until the process ends.
    delete batchCtrl;
    batchCtrl = nullptr;
    delete analyzer2;
    delete dataFileDialog;
    delete spectraFileDialog;

    // The bar is the form's and goes with it.
    if (mainColorBar == CBar)
        mainColorBar = nullptr;
}

void Body::stopWorkers()
{
    if (workersStopped)
        return;
    workersStopped = true;
    // Its workers read the frames, which go next.
    if (walk)
        walk->halt();
    if (i1Loader)
        i1Loader->stop();
    if (i0Loader)
        i0Loader->stop();
    joinWorkerThread(i1Thread);
    joinWorkerThread(i0Thread);
    // Frames of the stopped loads still queued for the window, or handed over
    // and not yet taken, are deleted.
    QCoreApplication::sendPostedEvents(&loaderInbox, QEvent::MetaCall);
    followLoads();
    joinWorkerThread(batchThread);
}

void Body::closeEvent(QCloseEvent*)
{
    emit finishing();
}

void Body::showEvent(QShowEvent* e)
{
    QMainWindow::showEvent(e);
    // Once laid out at the size the screen gave it.
    if (!e->spontaneous() && !shownBefore) {
        shownBefore = true;
        QMetaObject::invokeMethod(this, &Body::readOutsInView, Qt::QueuedConnection);
    }
}

void Body::readConfig()
{
    const QString host = QHostInfo::localHostName();
    useStars = cfg.value(QStringLiteral("USE_STARS"), QStringLiteral("1")).toInt() == 1;
    stars.nameOnStarsLE->setText(cfg.value(QStringLiteral("NAME_ON_STARS"), QStringLiteral("Corvelline")));
    stars.keyFileLE->setText(cfg.value(QStringLiteral("KEY_ON_STARS"), QStringLiteral("Corvelline.key")));
    stars.hostLE->setText(cfg.value(QStringLiteral("STARS_IP"), host));
    stars.portLE->setText(cfg.value(QStringLiteral("STARS_PORT"), QStringLiteral("6057")));
    qDebug().noquote() << "Stars:" << cfg.value(QStringLiteral("NAME_ON_STARS"), QStringLiteral("Corvelline"))
                       << cfg.value(QStringLiteral("KEY_ON_STARS"), QStringLiteral("Corvelline.key"))
                       << cfg.value(QStringLiteral("STARS_IP"), host)
                       << cfg.value(QStringLiteral("STARS_PORT"), QStringLiteral("6057"));
}
