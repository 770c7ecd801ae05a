// Stacks, dark image, dark areas, total I0 and bin spectra: what the form
// shows of them, around the frame sets that hold them.
#include "mainwindow/Body.h"

#include "analysis/Analyzer.h"
#include "display/ImgDispA.h"
#include "display/XafsFileSelect.h"
#include "imagestack/LoadTiff.h"
#include "imagestack/SelectDataFiles.h"
#include "imagestack/TiffData.h"

#include <QCoreApplication>
#include <QDebug>
#include <QEvent>
#include <QFileInfo>
#include <QGuiApplication>
#include <QScreen>
#include <QTimer>

#include <cmath>
#include <utility>

namespace {

const QEvent::Type followEvent = QEvent::Type(QEvent::registerEventType());

// The display follows a load no more often than the screen shows a picture.
int followIntervalMs()
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    const double hz = screen ? screen->refreshRate() : 0.0;
    return hz >= 1.0 && hz <= 1000.0 ? int(std::lround(1000.0 / hz)) : 16;
}

// Before a stack's frames are deleted, what shows one of them lets go of it;
// the result map, made from the I1 stack, goes with that stack. What the other
// stack shows stays.
void dropShownOf(FrameSets::Stack s, const FrameSets& sets, ImgDispA* d, ImgProc& proc)
{
    const QList<TiffData*>& frames = sets.frames(s);
    if (frames.contains(d->frame))
        d->setImageData(nullptr);
    // The image processor holds I1 frames only; for I0 nothing else on the
    // display went, and the picture is not painted again.
    if (s != FrameSets::I1)
        return;
    d->overlayMap = nullptr;
    proc.setImgData(nullptr);
    // A map dropped from the display is gone from the screen too.
    d->update();
}

} // namespace

FrameSets::BinOptions Body::binOptions() const
{
    FrameSets::BinOptions o;
    o.darkExpTime = DarkExpTime->text().toDouble();
    o.i1ExpTime = SelectI1Files->ExpTime->text().toDouble();
    o.i0ExpTime = SelectI0Files->ExpTime->text().toDouble();
    o.useI0 = UseI0->isChecked();
    o.fluo = FluoType->isChecked();
    return o;
}

void Body::tellStandInI0()
{
    const QString note = frameSets.standInI0Note(binOptions());
    if (!note.isEmpty())
        logMistake(note);
}

void Body::stopWalkForFrames()
{
    // The walk's workers read the frames themselves.
    if (walkRunning())
        stop2DAnalysis();
}

bool Body::loadSettingsRefused(const SelectDataFiles* panel, bool i1)
{
    const QString mistake = panel->settingsMistake();
    if (mistake.isEmpty())
        return false;
    logMistake(tr("Can't load the %1 files: %2")
                   .arg(i1 ? QStringLiteral("I1") : QStringLiteral("I0"), mistake));
    emit finishBatchExec(i1 ? LOAD_I1_FILES : LOAD_I0_FILES);
    return true;
}

void Body::readI1Files(QStringList files, bool newFile)
{
    if (loadSettingsRefused(SelectI1Files, true))
        return;
    stopWalkForFrames();
    if (newFile) {
        dropShownOf(FrameSets::I1, frameSets, dispA, imgProc);
        SelectI1Files->clearFiles();
        xafsView->autoXScale = true;
        analyzer->xafsView()->autoXScale = true;
    }
    SelectDataFilesAdditionalSetup& add = SelectI1Files->additionalSetup;
    emit loadI1Files(frameSets.startLoad(FrameSets::I1, i1Loader, newFile, files,
                                         add.IgnoreLiveFiles->isChecked(), SelectI1Files->skip(),
                                         SelectI1Files->cutFirst(), SelectI1Files->cutLast(),
                                         add.errPoints()));
}

void Body::readI0Files(QStringList files, bool newFile)
{
    if (loadSettingsRefused(SelectI0Files, false))
        return;
    stopWalkForFrames();
    if (newFile) {
        dropShownOf(FrameSets::I0, frameSets, dispA, imgProc);
        SelectI0Files->clearFiles();
    }
    SelectDataFilesAdditionalSetup& add = SelectI0Files->additionalSetup;
    emit loadI0Files(frameSets.startLoad(FrameSets::I0, i0Loader, newFile, files,
                                         add.IgnoreLiveFiles->isChecked(), SelectI0Files->skip(),
                                         SelectI0Files->cutFirst(), SelectI0Files->cutLast(),
                                         add.errPoints()));
}

void Body::followI1Stack()
{
    const int count = int(i1Frames.size());
    if (frameSets.updateGeometry())
        shown.loaded(FrameSets::I1, count, SelectI1Files->additionalSetup.ShowLatest->isChecked());
    refreshShown();
}

bool Body::takeFrame(FrameSets::Stack s, TiffData* data, int fNo, int totalFiles,
                     quint64 generation, SelectDataFiles::Batch& adding)
{
    LoadTiff* loader = s == FrameSets::I1 ? i1Loader : i0Loader;
    SelectDataFiles* panel = s == FrameSets::I1 ? SelectI1Files : SelectI0Files;
    if (!FrameSets::accept(loader, data, generation))
        return false;
    // Refused as an unreadable file is: the panel's list never hears of it.
    const QString misfit = frameSets.misfitOf(s, data);
    if (!misfit.isEmpty()) {
        logMistake(misfit);
        delete data;
        return false;
    }
    data->cBar = CBar;
    {
        // The list names the chosen frame, which refreshShown sets, not the
        // first file a list takes.
        const QSignalBlocker quiet(panel->Selected);
        frameSets.append(s, data, adding.addFile(data->fileName, fNo, totalFiles));
    }
    shown.loaded(s, int(frameSets.frames(s).size()), panel->additionalSetup.ShowLatest->isChecked());
    return true;
}

// A loader hands frames over faster than a screen shows pictures, and what the
// user sees of them (the newest frame, its number, the file list, the spectrum
// at the pointer over all frames) is only seen at a paint. So the frames are
// handed over at once but taken into their stacks, with everything that shows
// them, in one step: after every frame already queued (a posted event of low
// priority), at most once per picture of the screen, and at the end of the load.
void Body::loadedI1(TiffData* data, int fNo, int totalFiles, quint64 generation)
{
    handOver(FrameSets::I1, data, fNo, totalFiles, generation);
}

void Body::loadedI0(TiffData* data, int fNo, int totalFiles, quint64 generation)
{
    handOver(FrameSets::I0, data, fNo, totalFiles, generation);
}

void Body::handOver(FrameSets::Stack s, TiffData* data, int fNo, int totalFiles, quint64 generation)
{
    if (!FrameSets::accept(s == FrameSets::I1 ? i1Loader : i0Loader, data, generation))
        return;
    handed.append(Handed{s, data, fNo, totalFiles, generation});
    scheduleFollow();
}

void Body::scheduleFollow()
{
    if (followScheduled)
        return;
    followScheduled = true;
    static const int interval = followIntervalMs();
    const qint64 wait = lastFollow.isValid() ? interval - lastFollow.elapsed() : 0;
    auto post = [this] {
        QCoreApplication::postEvent(this, new QEvent(followEvent), Qt::LowEventPriority);
    };
    if (wait > 0)
        QTimer::singleShot(int(wait), this, post);
    else
        post();
}

bool Body::event(QEvent* e)
{
    if (e->type() != followEvent)
        return QMainWindow::event(e);
    followScheduled = false;
    followLoads();
    return true;
}

void Body::followLoads()
{
    lastFollow.start();
    bool i1 = false;
    bool any = false;
    takeHanded(i1, any);
    // The field of view first, so the first frame's spectrum is not empty.
    if (i1)
        followI1Stack();
    else if (any)
        refreshShown();
}

void Body::takeHanded(bool& i1, bool& any)
{
    if (handed.isEmpty())
        return;
    SelectDataFiles::Batch i1Adding(SelectI1Files), i0Adding(SelectI0Files);
    // A frame of a load stopped meanwhile is deleted here.
    for (const Handed& h : std::exchange(handed, {})) {
        if (!takeFrame(h.stack, h.frame, h.fNo, h.totalFiles, h.generation,
                       h.stack == FrameSets::I1 ? i1Adding : i0Adding))
            continue;
        i1 = i1 || h.stack == FrameSets::I1;
        any = true;
    }
}

// Every frame of the load is in its stack before a batch goes on; the stack is
// shown once, after the answer: the batch's next word comes through the
// dispatcher's thread and so runs after it.
void Body::loadI1Finished(EX_CMD_ID id, quint64 generation)
{
    if (!i1Loader->isCurrent(generation))
        return;
    bool i1 = false, any = false;
    takeHanded(i1, any);
    frameSets.loadEnded(FrameSets::I1);
    tellIfEmpty(FrameSets::I1);
    emit finishBatchExec(id);
    finishedLoadI1Files();
}

void Body::loadI0Finished(EX_CMD_ID id, quint64 generation)
{
    if (!i0Loader->isCurrent(generation))
        return;
    bool i1 = false, any = false;
    takeHanded(i1, any);
    frameSets.loadEnded(FrameSets::I0);
    tellIfEmpty(FrameSets::I0);
    emit finishBatchExec(id);
    // Frames of the I1 load handed over meanwhile are shown too.
    if (i1)
        followI1Stack();
    finishedLoadI0Files();
}

void Body::fileRefused(FrameSets::Stack s, const QString& line, quint64 generation)
{
    // A stopped or replaced load's refusals are no news for the user.
    if ((s == FrameSets::I1 ? i1Loader : i0Loader)->isCurrent(generation))
        logMistake(line);
    else
        qDebug().noquote() << line;
}

void Body::tellIfEmpty(FrameSets::Stack s)
{
    if (frameSets.frames(s).isEmpty())
        logMistake(QStringLiteral("No file was read: the %1 stack is empty")
                       .arg(s == FrameSets::I1 ? QStringLiteral("I1") : QStringLiteral("I0")));
}

void Body::stackComplete(FrameSets::Stack s)
{
    double expTime = 0.0;
    bool same = false;
    if (!FrameSets::commonExpTime(frameSets.frames(s), expTime, same))
        return;
    SelectDataFiles* panel = s == FrameSets::I1 ? SelectI1Files : SelectI0Files;
    panel->setExpTimeMS(expTime, same);
    // A batch run does not see the field turn pink.
    const QString note = FrameSets::expTimesNote(frameSets.frames(s), s, panel->ExpTime->text());
    if (!note.isEmpty())
        logMistake(note);
    // A batch run does not see the flat spectrum either.
    const QString oneEnergy = FrameSets::oneEnergyNote(frameSets.frames(s), s);
    if (!oneEnergy.isEmpty())
        logMistake(oneEnergy);
    if (s == FrameSets::I1 && !frameSets.energiesAscending(s))
        logMistake(QStringLiteral("The I1 energies are not in ascending order: spectra are built in energy order"));
    frameSets.clearUpdateDarkArea(s);
}

void Body::keepPositionOnStack()
{
    // The position the user chose stays while the field of view holds it.
    if (pointX < 0 || pointX >= imageW || pointY < 0 || pointY >= imageH) {
        pointX = 0;
        pointY = 0;
    }
}

void Body::finishedLoadI1Files()
{
    frameSets.updateGeometry();
    keepPositionOnStack();
    // A last file that failed or was skipped left the stack's display behind.
    followI1Stack();
    xafsView->autoXScale = false;
    analyzer->xafsView()->autoXScale = false;
    stackComplete(FrameSets::I1);
    // Nothing could be read: the results are of a stack that is gone.
    if (frameSets.frames(FrameSets::I1).isEmpty())
        clearChosenMaps(true);
}

void Body::finishedLoadI0Files()
{
    keepPositionOnStack();
    refreshShown();
    stackComplete(FrameSets::I0);
}

void Body::clearI1Files()
{
    stopWalkForFrames();
    dropShownOf(FrameSets::I1, frameSets, dispA, imgProc);
    SelectI1Files->clearFiles();
    i1Loader->stop();
    frameSets.clear(FrameSets::I1);
    // The spectrum windows and the read-outs show the stack's values no more.
    refreshShown();
    // A batch waiting for the stopped load goes on.
    if (frameSets.abandonLoad(FrameSets::I1))
        emit finishBatchExec(LOAD_I1_FILES);
}

void Body::clearI0Files()
{
    stopWalkForFrames();
    dropShownOf(FrameSets::I0, frameSets, dispA, imgProc);
    i0Loader->stop();
    SelectI0Files->clearFiles();
    frameSets.clear(FrameSets::I0);
    refreshShown();
    if (frameSets.abandonLoad(FrameSets::I0))
        emit finishBatchExec(LOAD_I0_FILES);
}

void Body::selectedDark(QString fname)
{
    stopWalkForFrames();
    frameSets.setDarkFrame(nullptr);
    DarkFileName->setText(QString());
    if (frameSets.loadDark(fname)) {
        DarkFileName->setText(QFileInfo(fname).fileName());
        DarkExpTime->setText(QString::number(frameSets.darkFrame()->expTime, 'g', 6));
    }
    // The dark value and the spectra at the position take the new dark at once.
    refreshShown();
}

void Body::clearDark()
{
    stopWalkForFrames();
    frameSets.setDarkFrame(nullptr);
    DarkFileName->setText(QString());
    refreshShown();
}

void Body::selectedNewRef()
{
    refreshShown();
}

namespace {

// The selected area becomes the dark area; the analysis area goes back to what
// it was. Without a selected area (a click or a right-click selects none), or
// with one on none of the stack's pixels (every frame's dark mean would be 0),
// the dark area and the selection stay as they are and the line that says so
// is returned.
QString chooseDarkArea(FrameSets& sets, FrameSets::Stack s, ImgDispA* d, SelectDataFiles* panel)
{
    const std::optional<QRectF> box = d->sel.darkAreaBox();
    if (!box)
        return QStringLiteral("No area is selected for the %1 dark area, not set")
            .arg(s == FrameSets::I1 ? QStringLiteral("I1") : QStringLiteral("I0"));
    const QList<TiffData*>& frames = sets.frames(s);
    if (!frames.isEmpty() && !frames.first()->rectOnImage(*box))
        return QStringLiteral("The dark area (%1, %2, %3 x %4) lies outside the image, not set")
            .arg(box->x())
            .arg(box->y())
            .arg(box->width())
            .arg(box->height());
    const QRectF rect = *d->takeDarkArea();
    panel->darkArea(rect);
    sets.setDarkArea(s, rect);
    return QString();
}

} // namespace

void Body::setI0DarkArea()
{
    const QString mistake = chooseDarkArea(frameSets, FrameSets::I0, dispA, SelectI0Files);
    if (!mistake.isEmpty())
        logMistake(mistake);
}

void Body::setI1DarkArea()
{
    const QString mistake = chooseDarkArea(frameSets, FrameSets::I1, dispA, SelectI1Files);
    if (!mistake.isEmpty())
        logMistake(mistake);
}

void Body::clearUpdateI0DarkArea() { frameSets.clearUpdateDarkArea(FrameSets::I0); }
void Body::clearUpdateI1DarkArea() { frameSets.clearUpdateDarkArea(FrameSets::I1); }
void Body::updateI0DarkArea() { frameSets.updateDarkArea(FrameSets::I0); }
void Body::updateI1DarkArea() { frameSets.updateDarkArea(FrameSets::I1); }
void Body::clearI0DarkArea() { frameSets.clearDarkArea(FrameSets::I0); }
void Body::clearI1DarkArea() { frameSets.clearDarkArea(FrameSets::I1); }

namespace {
// A file that is not used as total I0 is not left named in its field.
void readTotalI0(XafsSpectrum& target, XafsFileSelect* field, const QString& fname, const UserLines& user)
{
    FrameSets::readTotalI0(target, fname, user);
    if (target.i0.points.isEmpty() && !field->Selected->text().isEmpty())
        field->clear();
}
} // namespace

void Body::newTotalI0ofI1File(QString fname)
{
    readTotalI0(frameSets.totalI0ofI1, TotalI0ofI1XAFS, fname, frameSets.user);
}

void Body::newTotalI0ofI0File(QString fname)
{
    readTotalI0(frameSets.totalI0ofI0, TotalI0ofI0XAFS, fname, frameSets.user);
}

Spectrum Body::xafsSpectrumAt(int x, int y, int halfW, int halfH, Spectrum* rawI1)
{
    return frameSets.xafsSpectrumAt(x, y, halfW, halfH, binOptions(), rawI1);
}

Spectrum Body::rawI1SpectrumAt(int x, int y, int halfW, int halfH)
{
    return frameSets.rawI1SpectrumAt(x, y, halfW, halfH);
}

Spectrum Body::hProfileAt(int y, int hx, int hy, bool i1)
{
    return frameSets.hProfileAt(y, hx, hy, i1, shown.frame[i1 ? FrameSets::I1 : FrameSets::I0],
                                FluoType->isChecked());
}

Spectrum Body::vProfileAt(int x, int hx, int hy, bool i1)
{
    return frameSets.vProfileAt(x, hx, hy, i1, shown.frame[i1 ? FrameSets::I1 : FrameSets::I0],
                                FluoType->isChecked());
}
