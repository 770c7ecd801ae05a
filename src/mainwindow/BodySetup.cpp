// The constructor's set-up steps: the windows, workers and their wiring.
#include "mainwindow/Body.h"

#include "analysis/Analyzer.h"
#include "batch/BatchCtrl.h"
#include "batch/BatchDispatcher.h"
#include "calibration/CalibCtrl.h"
#include "display/EShiftMapDialog.h"
#include "display/FieldValue.h"
#include "display/FieldWidth.h"
#include "display/FrontWindow.h"
#include "display/ImgDispA.h"
#include "display/_FileDialog.h"
#include "foundation/Cfg.h"
#include "foundation/Globals.h"
#include "foundation/WholeFile.h"
#include "imagestack/Analyzer2.h"
#include "imagestack/ErrPoints.h"
#include "imagestack/LoadTiff.h"
#include "imagestack/TiffData.h"
#include "mainwindow/ReadOut.h"
#include "mainwindow/SaveDataCfg.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QScrollArea>
#include <QScrollBar>
#include <QStatusBar>
#include <QThread>
#include <QTime>

namespace {
// A save dialog for any file name, starting in the data root.
_FileDialog* newSaveDialog(const QStringList& filters)
{
    auto* d = new _FileDialog(QString());
    d->setAcceptMode(QFileDialog::AcceptSave);
    d->setFileMode(QFileDialog::AnyFile);
    if (!filters.isEmpty())
        d->setNameFilters(filters);
    return d;
}

const QStringList anyFiles{QStringLiteral("Any Files (* *.*)")};

// Puts the window's Tab stops in the order given. A widget that takes no focus
// itself (a panel of the program) stands for the stops in it, in the order
// they have among themselves.
void chainFocus(const QList<QWidget*>& order)
{
    QList<QWidget*> stops;
    for (QWidget* w : order) {
        if (w->focusPolicy() != Qt::NoFocus) {
            stops << w;
            continue;
        }
        for (QWidget* n = w->nextInFocusChain(); n != w; n = n->nextInFocusChain()) {
            if (n->focusPolicy() != Qt::NoFocus && w->isAncestorOf(n))
                stops << n;
        }
    }
    for (qsizetype i = 1; i < stops.size(); i++)
        QWidget::setTabOrder(stops[i - 1], stops[i]);
}

// The scroll area a tool box keeps each page in.
QWidget* pageScroll(QWidget* page)
{
    QWidget* w = page;
    while (w && !qobject_cast<QScrollArea*>(w))
        w = w->parentWidget();
    return w ? w : page;
}
} // namespace

void Body::setupTabOrder()
{
    // As the window reads, row by row and left to right; the form's creation
    // order is no order at all. The scrolled form first: the window opens
    // with it focused, so that the keys scroll it.
    chainFocus({centralWidget(),
                SelectI1Files, UseI0, SelectI0Files,
                FluoType, SelectDark, ClearDark, DarkExpTime, TotalI0ofI1XAFS,
                SelectBG, ShowBG, TotalI0ofI0XAFS,
                UseSuggestElm, SuggestingElm, SuggestingEdge, SuggestingEeV, DPreE, DPostS, ThJumpSigma,
                ShowData, ShowI0, ShowShiftMap, ShowResAnalysis,
                ShowStatistics, ShowXafsView, ShowImgProc, OpenCalibCtrl, ShowAnalyzer, ShowAnalyzer2,
                CBarAll,
                Value, PosX, PosY, QuadSurfFittedEShift,
                vHWidth_, vVWidth_, aHWidth_, aVWidth_, Prev, SeekBar, Next, ImgNo, ZoomIn, ResetScale, resetMax_,
                BatchCtrlB, CheckVals,
                pageScroll(page_3), SaveImage, SaveData, SaveDataCfgB, SaveFlatDark,
                pageScroll(page_5), SaveEachSpectrum, SaveAsNormalizedXAFS, SaveAsRawXAFS, SaveAsRaw,
                pageScroll(page_4), NormalizeEShift, ShowProcImg, DeGlitch, DeGlitchFactor, DeGlitchRatio,
                pageScroll(page), ExecFourierA});
}

void Body::compactForm()
{
    // The form's frames nest four deep, and the style's margins at every level
    // would take the read-outs below a full-HD screen. Sizes of their own stay.
    const QList<QGridLayout*> grids{gridLayout,    gridLayout_2,  gridLayout_3,  gridLayout_4,  gridLayout_5,
                                    gridLayout_6,  gridLayout_7,  gridLayout_8,  gridLayout_9,  gridLayout_10,
                                    gridLayout_11, gridLayout_12, gridLayout_13, gridLayout_14, gridLayout_15,
                                    gridLayout_16, gridLayout_17, gridLayout_18, gridLayout_19, gridLayout_20,
                                    gridLayout_21, gridLayout_22};
    for (QGridLayout* g : grids) {
        const QMargins m = g->contentsMargins();
        g->setContentsMargins(qMin(m.left(), 2), qMin(m.top(), 2), qMin(m.right(), 2), qMin(m.bottom(), 2));
        const int v = g->verticalSpacing(); // -1: the style's, between any two controls
        g->setVerticalSpacing(v < 0 ? 2 : qMin(v, 2));
    }
    // The read-outs right under the display, the profile below them: on a
    // laptop's screen the display and what it points at are seen together.
    const QList<QWidget*> under{frame_13, HCross, frame_2, frame};
    for (QWidget* w : under)
        gridLayout_18->removeWidget(w);
    for (int row = 0; row < under.size(); row++)
        gridLayout_18->addWidget(under[row], row, 0);
}

void Body::readOutsInView()
{
    auto* scroll = qobject_cast<QScrollArea*>(centralWidget());
    if (!scroll || !scroll->widget())
        return;
    QScrollBar* bar = scroll->verticalScrollBar();
    const int bottom = frame_13->mapTo(scroll->widget(), QPoint(0, frame_13->height())).y();
    const int shown = scroll->viewport()->height();
    // As little as shows them: the stacks' panels above stay where they can.
    if (bottom > bar->value() + shown)
        bar->setValue(bottom - shown);
}

void Body::setupMessagePlace()
{
    messagePlace = new QLabel;
    messagePlace->setObjectName(QStringLiteral("messagePlace"));
    messagePlace->setStyleSheet(QStringLiteral("color: rgb(170, 0, 0); font-weight: bold;"));
    // A long line is cut at the window's edge (whole in its tool tip), never widening the window.
    messagePlace->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    messagePlace->setTextFormat(Qt::PlainText);
    statusBar()->setSizeGripEnabled(false);
    statusBar()->addWidget(messagePlace, 1);
}

void Body::showMessage(const QString& text)
{
    // The time tells an old line from one of the action just taken.
    // One line, whatever the text: the status line keeps its height.
    const QString line = QTime::currentTime().toString(QStringLiteral("HH:mm:ss  ")) + QString(text).replace(u'\n', u' ');
    lastTold = text;
    messagePlace->setText(line);
    messagePlace->setToolTip(line);
}

void Body::setupBatch()
{
    batchThread = new QThread();
    batchDispatcher = new BatchDispatcher();
    batchDispatcher->moveToThread(batchThread);
    batchThread->start(QThread::InheritPriority);
    batchCtrl = new BatchCtrl();
    batchCtrl->connectDispatcher(batchDispatcher);

    connect(BatchCtrlB, &QPushButton::clicked, this, [this] { showInFront(batchCtrl); });
    connect(batchDispatcher, SIGNAL(execCmdSig(CmdLine, bool)), this,
            SLOT(execCmdSlot(CmdLine, bool)));
    connect(this, &Body::finishBatchExec, batchDispatcher, &BatchDispatcher::finishBatchExec);
    // On stderr already, in the walk's order.
    connect(batchDispatcher, &BatchDispatcher::mistake, this, &Body::tellWritten);
    // The message server's login is followed where a batch is and in the
    // window (the client writes stderr itself).
    connect(&stars, &Stars::log, this, [this](const QString& line) { tellWritten(line); });
    // The data target's lines go the same way.
    connect(&client, &Client::log, this, [this](const QString& line) { tellWritten(line); });
    // A failed save is told where a batch is and in the window, whichever
    // part (or thread) wrote the file.
    earlierSaveSink = setSaveFailureSink([this](const QString& line) {
        QMetaObject::invokeMethod(this, [this, line] { tellWritten(line); });
    });
}

void Body::setupSpectrumView()
{
    xafsView = new XafsView();
    xafsView->setWindowTitle(tr("Spectrum at the position"));
    xafsView->toStars_->setVisible(
        cfg.value(QStringLiteral("SHOW_SEND_TO_STARS_ON_XAFS_VIEW"), QStringLiteral("0")).toInt() == 1);

    connect(ShowXafsView, &QPushButton::clicked, this, [this] { showInFront(xafsView); });
    connect(xafsView, &XafsView::saveScreenAs, this, &Body::saveScreenAs);
    connect(xafsView, &XafsView::savedXafsData, this, &Body::savedXafsData);
    connect(xafsView, &XafsView::mistake, this, &Body::logMistake);
    connect(xafsView, &XafsView::sendXafsDataToStars, this, &Body::sendXafsDataToStars);
    connect(this, &Body::currentPosition, xafsView, &XafsView::currentPosition);
    xafsViews << xafsView;
}

void Body::setupDataFiles()
{
    using LoadSignal = void (Body::*)(LoadTiffQue);
    using LoadedSlot = void (Body::*)(TiffData*, int, int, quint64);
    using FinishedSlot = void (Body::*)(EX_CMD_ID, quint64);
    const auto setupStack = [this](SelectDataFiles* panel, const QString& title, QThread*& thread,
                                   LoadTiff*& loader, LoadSignal load, LoadedSlot loaded,
                                   FinishedSlot finished) {
        panel->setTitle(title);
        thread = new QThread();
        loader = new LoadTiff();
        loader->moveToThread(thread);
        connect(this, load, loader, &LoadTiff::loadTiffs);
        // Through the inbox, so that what is still queued at the end can be
        // taken (and a stopped load's frames deleted) before the window goes.
        connect(loader, &LoadTiff::loaded, &loaderInbox,
                [this, loaded](TiffData* d, int fNo, int total, quint64 g) { (this->*loaded)(d, fNo, total, g); });
        // The finish reaches a waiting batch through the stack's slot, which
        // drops the finish of a stopped or replaced load.
        connect(loader, &LoadTiff::finishLoadFiles, &loaderInbox,
                [this, finished](EX_CMD_ID id, quint64 g) { (this->*finished)(id, g); });
        const FrameSets::Stack s = load == &Body::loadI1Files ? FrameSets::I1 : FrameSets::I0;
        connect(loader, &LoadTiff::refused, &loaderInbox,
                [this, s](const QString& line, quint64 g) { fileRefused(s, line, g); });
        thread->start(QThread::InheritPriority);
    };
    setupStack(SelectI1Files, tr("I1 Data"), i1Thread, i1Loader, &Body::loadI1Files,
               &Body::loadedI1, &Body::loadI1Finished);
    setupStack(SelectI0Files, tr("I0 Data"), i0Thread, i0Loader, &Body::loadI0Files,
               &Body::loadedI0, &Body::loadI0Finished);

    connect(SelectI1Files, &SelectDataFiles::filesSelected, this, &Body::readI1Files);
    connect(SelectI0Files, &SelectDataFiles::filesSelected, this, &Body::readI0Files);
    connect(SelectI1Files, &SelectDataFiles::clear, this, &Body::clearI1Files);
    connect(SelectI0Files, &SelectDataFiles::clear, this, &Body::clearI0Files);
    // A file picked in either list is that stack's frame; the lists set by
    // refreshShown report nothing.
    for (const FrameSets::Stack s : {FrameSets::I1, FrameSets::I0}) {
        QComboBox* list = (s == FrameSets::I1 ? SelectI1Files : SelectI0Files)->Selected;
        connect(list, qOverload<int>(&QComboBox::currentIndexChanged), this, [this, s](int idx) {
            if (shown.choose(s, idx, int(frameSets.frames(s).size())))
                refreshShown();
        });
    }
    // The spectra and profiles read I0 and the fluorescence choice.
    connect(UseI0, &QCheckBox::toggled, this, &Body::refreshShown);
    connect(FluoType, &QCheckBox::toggled, this, &Body::refreshShown);

    connect(SelectDark, &QPushButton::clicked, &darkFileDialog, &_FileDialog::show);
    connect(ClearDark, &QPushButton::clicked, this, &Body::clearDark);
    connect(&darkFileDialog, &_FileDialog::fileSelected, this, &Body::selectedDark);

    connect(SelectI0Files, &SelectDataFiles::setDarkArea, this, &Body::setI0DarkArea);
    connect(SelectI1Files, &SelectDataFiles::setDarkArea, this, &Body::setI1DarkArea);
    connect(SelectI0Files, &SelectDataFiles::updateDarkArea, this, &Body::clearUpdateI0DarkArea);
    connect(SelectI1Files, &SelectDataFiles::updateDarkArea, this, &Body::clearUpdateI1DarkArea);
    connect(SelectI0Files, &SelectDataFiles::clearDarkArea, this, &Body::clearI0DarkArea);
    connect(SelectI1Files, &SelectDataFiles::clearDarkArea, this, &Body::clearI1DarkArea);
    frameSets.darkAreaDropped = [this](FrameSets::Stack s) {
        (s == FrameSets::I1 ? SelectI1Files : SelectI0Files)->noDarkArea();
    };
    frameSets.user.to = [this](const QString& line) { logMistake(line); };

    for (XafsFileSelect* total : {TotalI0ofI1XAFS, TotalI0ofI0XAFS}) {
        total->setMaxSelectBW(50);
        total->setMaxClearBW(50);
    }
    connect(TotalI0ofI1XAFS, &XafsFileSelect::newFile, this, &Body::newTotalI0ofI1File);
    connect(TotalI0ofI0XAFS, &XafsFileSelect::newFile, this, &Body::newTotalI0ofI0File);
}

void Body::setupNavigation()
{
    connect(Prev, SIGNAL(clicked()), this, SLOT(prev()));
    connect(Next, SIGNAL(clicked()), this, SLOT(next()));
    connect(SeekBar, SIGNAL(sliderMoved(int)), this, SLOT(sliderMoved(int)));
    // The wheel, the keys and a click on the groove move the handle without
    // sliderMoved. A drag has shown its frame by the time its action comes,
    // and the value follows the handle: only a handle ahead of the value
    // names a frame not yet shown. Values the program sets trigger no action.
    connect(SeekBar, &QAbstractSlider::actionTriggered, this, [this] {
        if (SeekBar->sliderPosition() != SeekBar->value())
            sliderMoved(SeekBar->sliderPosition());
    });
    connect(ZoomIn, SIGNAL(clicked()), dispA, SLOT(setViewWAsSelectedArea()));
    connect(ResetScale, SIGNAL(clicked()), dispA, SLOT(resetImageViewWindow()));
    // The read-out position follows the pointer while no button is held and
    // goes where a button goes down; a drag that follows chooses an area, not
    // the position.
    connect(dispA, SIGNAL(mouseMoved(double, double)), this, SLOT(showXafsSpectrum(double, double)));
    connect(dispA, &DispA::mousePressed0, this, [this] {
        pointTo(readout::truncated(dispA->cc.toRealX(dispA->m.x)),
                readout::truncated(dispA->cc.toRealY(dispA->m.y)));
    });
    connect(dispA, SIGNAL(drawImage2(QPainter*)), this, SLOT(draw(QPainter*)));
    connect(dispA, &ImgDispA::mouseRPressed, xafsView, &XafsView::toStars);
    dispA->setResetMax(resetMax_->isChecked());
    connect(resetMax_, &QCheckBox::toggled, dispA, &ImgDispA::setResetMax);
    // The image column is as wide as the display. In its navigation row the
    // slider keeps its width, and bins and frame numbers of up to four digits
    // show whole: the frame number, the spacing and the bins' spare pixels
    // give way.
    SeekBar->setMinimumWidth(SeekBar->sizeHint().width());
    gridLayout_4->setHorizontalSpacing(4);
    for (QLineEdit* e : {vHWidth_, vVWidth_, aHWidth_, aVWidth_, ImgNo}) {
        const int w = digitsWidth(e, 4);
        e->setMinimumWidth(w);
        e->setMaximumWidth(qMax(e->maximumWidth(), w));
    }
}

void Body::setupCalibCtrl()
{
    calibCtrl = new CalibCtrl();
    connect(OpenCalibCtrl, &QPushButton::clicked, this, [this] { showInFront(calibCtrl); });
    connect(calibCtrl, SIGNAL(newStdFileLoaded()), this, SLOT(newStdFile()));
    connect(calibCtrl, SIGNAL(execCalibration()), this, SLOT(execCalibration()),
            Qt::QueuedConnection);
    connect(this, SIGNAL(doCalibNextPoint()), this, SLOT(calibNextPoint()), Qt::QueuedConnection);
    connect(this, SIGNAL(calibProgress(double)), calibCtrl, SLOT(progress(double)));
    connect(this, SIGNAL(doFinishCalib()), this, SLOT(finishCalib()));
    calibCtrl->saveMapDialog->saveWith(this, [this](const QString& f) { return saveEMap(f); });
    connect(calibCtrl, SIGNAL(loadEMap(const QString&)), this, SLOT(loadEMap(const QString&)));
    connect(calibCtrl, &CalibCtrl::clearMap, this, &Body::clearShiftMap);
    connect(calibCtrl, &CalibCtrl::mistake, this, &Body::logMistake);
    dispA->setShowOverLayer(!ShowData->isChecked() && !ShowI0->isChecked());
}

void Body::setupAnalyzer()
{
    analyzer = new Analyzer();
    XafsView* view = analyzer->xafsView();
    connect(ShowAnalyzer, &QPushButton::clicked, analyzer, &Analyzer::show);
    connect(analyzer, &Analyzer::askAnalyzeCond, this, &Body::askAnalyzeCond);
    connect(analyzer, &Analyzer::askAnalyze, this, &Body::start2DAnalysis);
    connect(analyzer, &Analyzer::mistake, this, &Body::logMistake);
    connect(analyzer, &Analyzer::finished, this, &Body::analyzeASpectrumFinished);
    connect(view, &XafsView::saveScreenAs, this, &Body::saveScreenAs);
    connect(view, &XafsView::savedXafsData, this, &Body::savedXafsData);
    connect(view, &XafsView::mistake, this, &Body::logMistake);
    connect(this, &Body::currentPosition, view, &XafsView::currentPosition);
    connect(analyzer, &Analyzer::changedSelection, this, &Body::selectedNewRef);
    analyzer->user.to = [this](const QString& line) { logMistake(line); };
    setupWalk();
    connect(analyzer, &Analyzer::loadMap, this, &Body::loadMap);
    view->show();
}

void Body::setupAnalyzer2()
{
    analyzer2 = new Analyzer2();
    ShowAnalyzer2->setVisible(showAnalyzer2Button);
    connect(ShowAnalyzer2, &QPushButton::clicked, this, [this] { showInFront(analyzer2); });
    connect(analyzer2, SIGNAL(startCollectQInfo()), this, SLOT(startCollectQInfo()));
    connect(this, SIGNAL(doCollectQInfo(const AnalyzeCond&)), analyzer2,
            SLOT(doCollectQInfo(const AnalyzeCond&)));
    connect(analyzer2, SIGNAL(askedDarkCheck()), this, SLOT(darkCheck()));
}

void Body::setupSaveData()
{
    imgFileDialog = newSaveDialog(QStringList{QStringLiteral("Image File (*.png)")} + anyFiles);
    dataFileDialog = newSaveDialog(QStringList());
    saveDataCfg = new SaveDataCfg();
    connect(SaveImage, &QPushButton::clicked, imgFileDialog, &_FileDialog::show);
    // A file chosen and not written leaves its dialog open, saying why.
    imgFileDialog->saveWith(this, [this](const QString& f) {
        if (!dispA->visibleImage().isNull())
            return saveImage(f);
        logMistake(tr("Can't save %1: no frame is shown").arg(f));
        return false;
    });
    connect(SaveDataCfgB, &QPushButton::clicked, this, [this] { showInFront(saveDataCfg); });
    connect(SaveData, &QPushButton::clicked, this, &Body::showSaveDataDialog);
    dataFileDialog->saveWith(this, [this](const QString& f) { return writeData(f); });
    connect(SaveFlatDark, &QPushButton::clicked, this, &Body::saveFlatDark);
}

void Body::setupSaveSpectra()
{
    spectraFileDialog = newSaveDialog(QStringList{QStringLiteral("XAFS Spectra (*.dat)")} + anyFiles);
    connect(SaveEachSpectrum, &QPushButton::clicked, spectraFileDialog, &_FileDialog::show);
    spectraFileDialog->saveWith(this, [this](const QString& f) { return saveEachSpectrum(f); });
}

void Body::setupProcButtons()
{
    connect(DeGlitch, &QPushButton::clicked, this, &Body::deglitch);
    connect(ShowProcImg, &QCheckBox::toggled, this, &Body::showProcImg);
    for (QLineEdit* e : {DeGlitchFactor, DeGlitchRatio})
        watchNumberField(e, FieldKind::Real);
    connect(NormalizeEShift, &QPushButton::clicked, this, &Body::normalizeEShift);
}

void Body::setupImgProc()
{
    connect(ShowImgProc, &QPushButton::clicked, this, [this] { showInFront(&imgProc); });
    connect(&imgProc, &ImgProc::askGiveData, this, &Body::giveProcData);
    connect(&imgProc, &ImgProc::imgShift, this, &Body::setImgShift);
    connect(&imgProc, &ImgProc::askClearAllShifts, this, &Body::clearAllShifts);
}

void Body::setupErrPoints()
{
    connect(analyzer2, &Analyzer2::useErrPMaskToggled, this, &Body::useErrPMaskToggled);
    if (!cfg.upperKeys().contains(QStringLiteral("ERRPOINTS")))
        return;
    const QString fname = cfg.value(QStringLiteral("ErrPoints"), QString());
    if (globalErrPoints.read(fname, false)) {
        globalErrPoints.use = true;
        analyzer2->setUseErrPMaskEnabled(true);
        analyzer2->setErrPMaskFileName(globalErrPoints.fileName);
    } else {
        analyzer2->setUseErrPMaskEnabled(false);
    }
}

void Body::selectedBG(QString fname)
{
    XafsSpectrum s;
    bgLoaded = s.readFile(fname);
    if (!bgLoaded)
        return;
    bgSpectrum = s;
    bgView.setXafsSpectrum(bgSpectrum);
    bgView.fitXRangeToSpectrum();
}

void Body::clearedBG()
{
    bgLoaded = false;
}

void Body::useErrPMaskToggled(bool f)
{
    globalErrPoints.use = f;
}

void Body::startCollectQInfo() {}
