// Saving what the main window shows and what the analysis produced, and
// announcing the saved files on Stars.
#include "mainwindow/Body.h"

#include "analysis/Analyzer.h"
#include "analysis/LCFReference.h"
#include "batch/CmdParams.h"
#include "display/ColorBar.h"
#include "display/ImgDispA.h"
#include "display/_FileDialog.h"
#include "foundation/FileNames.h"
#include "foundation/WholeFile.h"
#include "imagestack/TiffData.h"
#include "imagestack/TiffWriter.h"
#include "mainwindow/SaveDataCfg.h"
#include "mainwindow/SaveNames.h"
#include "mainwindow/SpectrumBlock.h"

#include <QDebug>
#include <QPainter>
#include <QPixmap>

#include <memory>

namespace {
// Pictures are written only under a name and only when there is one to write;
// none tells why there is none.
bool savePicture(const QImage& img, const QString& name, const char* none)
{
    if (name.isEmpty() || img.isNull()) {
        tellSaveFailure(name, name.isEmpty() ? QStringLiteral("no file name") : QString::fromLatin1(none));
        return false;
    }
    return savePictureWhole(img, name);
}

const char* const NoBar = "there is no colour bar";

// The scale of a TIFF data save as the panel holds it.
struct TiffScale {
    bool fixed;
    double min;
    double max;
};

TiffScale tiffScale(const SaveDataCfg* c)
{
    return {c->TiffFixedScale->isChecked(), cmdReal(c->TiffScaleMin->text()), cmdReal(c->TiffScaleMax->text())};
}
} // namespace

void Body::publish(const QString& word, const QString& name)
{
    stars.sendEvent(QString(), QStringLiteral("%1 %2").arg(word, name));
}

bool Body::saveImage(QString fname)
{
    if (fname.isEmpty()) {
        logMistake(QStringLiteral("Can't save: no file name"));
        return false;
    }
    const QString name = fileNameWithSuffix(fname, QStringLiteral("png"), true, true);
    // Brings the bar to what is shown as well: no paint may have run since.
    if (!savePicture(dispA->visibleImage(), name, "the display shows no picture"))
        return false; // a bar and a view window of no picture would pass for its own
    savePicture(CBar->cBar.toImage(), derivedFileName(name, QStringLiteral("cBar"), true), NoBar);
    publish(QStringLiteral("SavedImage"), name);
    saveImageInfo(name);
    return true;
}

void Body::saveImageInfo(QString fname)
{
    if (fname.isEmpty())
        return;
    saveWhole(fileNameWithSuffix(fname, QStringLiteral("info"), false, true), imageInfoText(dispA->viewWin),
              true);
}

void Body::saveImageWNum(QString fname, QString num)
{
    if (fname.isEmpty()) {
        logMistake(QStringLiteral("Can't save: no file name"));
        return;
    }
    saveImage(derivedPictureName(fname, num));
}

void Body::saveAllImages(QString fname)
{
    if (fname.isEmpty()) {
        logMistake(QStringLiteral("Can't save: no file name"));
        return;
    }
    const QList<LCFReference*>& rows = analyzer->lcfRefs;
    for (int j = 0; j < 2; j++) {
        for (int i = 0; i < rows.size(); i++) {
            if (!rows[i] || !rows[i]->takesPart())
                continue;
            Analyzed2DRes* map = analyzer->lcfResMap(i, j);
            if (map)
                map->recolor(CBar->scale());
            if (map && map->valid && map->image)
                savePicture(*map->image, lcfMapPictureName(fname, i, j), "the map has no picture");
        }
    }
}

void Body::saveScreenAs(QString fname)
{
    if (fname.isEmpty()) {
        logMistake(QStringLiteral("Can't save: no file name"));
        return;
    }
    QPixmap pix(dispA->width(), dispA->height());
    if (!pix.isNull()) {
        pix.fill(Qt::white);
        QPainter p(&pix);
        dispA->drawImage(&p);
        draw(&p);
    }
    const QString name = fileNameWithSuffix(fname, QStringLiteral("png"), false, true);
    if (savePicture(pix.toImage(), name, "the display has no size"))
        publish(QStringLiteral("SavedScreen"), name);
}

void Body::savedXafsData(QString fname)
{
    qDebug().noquote() << "saved xafs data" << fname;
    tellStandInI0();
    publish(QStringLiteral("SavedXafsData"), fname);
}

void Body::showSaveDataDialog()
{
    if (saveDataCfg->SaveAsTiff->isChecked())
        dataFileDialog->setNameFilters({QStringLiteral("Tiff File (*.tif)"), QStringLiteral("Any Files (* *.*)")});
    else
        dataFileDialog->setNameFilters({QStringLiteral("Data File (*.dat)"), QStringLiteral("Any Files (* *.*)")});
    dataFileDialog->show();
}

void Body::saveData(QString fname) { writeData(fname); }

bool Body::writeData(const QString& fname)
{
    if (fname.isEmpty()) {
        logMistake(QStringLiteral("Can't save: no file name"));
        return false;
    }
    if (ShowShiftMap->isChecked()) {
        // What is on screen is not what this saves.
        const Analyzed2DRes* selected = analyzer->selectedRes();
        logMistake(QStringLiteral("The energy shift map shown is saved as .emp with calib_save_map (Save of the "
                                  "calibration panel); saving data writes the analyser's map %1 to %2")
                       .arg(selected ? QStringLiteral("\"%1\"").arg(selected->name) : QStringLiteral("(none)"),
                            fname));
    }
    const int ext = analyzer->checkedRefIndex();
    const bool tiff = saveDataCfg->SaveAsTiff->isChecked();
    // Nothing at all, not even the colour bar, for a map without a result.
    const Analyzed2DRes* map =
        resultToSave(numberedDataName(fname, ext, tiff ? QStringLiteral("tif") : QStringLiteral("dat")));
    if (!map)
        return false;
    if (!tiff) {
        qDebug().noquote() << "selected text";
        return saveDataAsText(fname, ext);
    }
    qDebug().noquote() << "selected tiff";
    // A bar beside data only, labelled with the range the data were scaled
    // with, whatever the display shows.
    if (!saveDataAsTiff(fname, ext))
        return false;
    const TiffScale s = tiffScale(saveDataCfg);
    double lo = 0.0, hi = 0.0;
    map->exportRange(s.fixed, s.min, s.max, lo, hi);
    savePicture(CBar->pictureOf(lo, hi), dataCBarName(fname, ext), NoBar);
    return true;
}

Analyzed2DRes* Body::resultToSave(const QString& name)
{
    Analyzed2DRes* map = analyzer->selectedRes();
    if (map && map->holdsResult())
        return map;
    logMistake(tr("Can't save %1: the selected map holds no result").arg(name));
    return nullptr;
}

bool Body::saveDataAsTiff(QString fname, int ext)
{
    if (fname.isEmpty())
        return false;
    const QString name = numberedDataName(fname, ext, QStringLiteral("tif"));
    qDebug().noquote() << "saveDataAsTiff" << name;
    Analyzed2DRes* map = resultToSave(name);
    if (!map)
        return false;
    const bool asAnalyzed = saveDataCfg->TiffAsAnalyzed->isChecked();
    const TiffScale s = tiffScale(saveDataCfg);
    const std::unique_ptr<quint16[]> buf(map->tiffDataForSave(s.fixed, s.min, s.max, asAnalyzed));
    if (!buf)
        return false;
    int w = map->cond.W;
    int h = map->cond.H;
    // Never other samples than the export made: one per bin the walk visits.
    if (asAnalyzed && (!analyzedTiffSize(map->cond, w, h) || qint64(w) * h != map->saveCount)) {
        tellSaveFailure(name, QStringLiteral("the analysed area has no bins"));
        return false;
    }
    if (!TiffWriter().write(name, w, h, buf.get()))
        return false;
    tellSavedBins(*map, name);
    return true;
}

bool Body::saveDataAsText(QString fname, int ext)
{
    if (fname.isEmpty())
        return false;
    const QString name = numberedDataName(fname, ext, QStringLiteral("dat"));
    Analyzed2DRes* map = resultToSave(name);
    if (!map)
        return false;
    const SaveDataCfg* c = saveDataCfg;
    const QString saved =
        map->saveAsText(name, c->TiffAsAnalyzed->isChecked(),
                        c->DataCommaSeparated->isChecked(), c->DataXYVal->isChecked());
    if (saved.isEmpty())
        return false;
    tellSavedBins(*map, saved);
    publish(QStringLiteral("SavedDataAsText"), saved);
    return true;
}

void Body::tellSavedBins(const Analyzed2DRes& map, const QString& name)
{
    const QString note = map.savedBinsNote(name);
    if (!note.isNull())
        logMistake(note);
}

void Body::saveFlatDark()
{
    // No stack loaded yet: there is no size to write.
    if (imageW < 1 || imageH < 1)
        return;
    TiffWriter writer;
    writer.writeFlat(QStringLiteral("flat.dat"), imageW, imageH);
    writer.writeDark(QStringLiteral("dark.dat"), imageW, imageH);
}

void Body::sendXafsDataToStars(QByteArray data)
{
    SpectrumBlockHead head;
    head.i1File = i1Frames.isEmpty() ? QStringLiteral("--") : i1Frames.first()->fileName;
    head.i0File = i0Frames.isEmpty() ? QStringLiteral("--") : i0Frames.first()->fileName;
    head.x = pointX;
    head.y = pointY;
    head.viewW = viewW();
    head.viewH = viewH();
    head.analyzeW = analyzeW();
    head.analyzeH = analyzeH();
    const QByteArray block = spectrumBlock(head, data);
    if (useStars)
        stars.sendEvent(QString(), spectrumEvent(block));
    client.sendData(block);
}
