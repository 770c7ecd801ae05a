// The dark check of the second analyser window: its files go to the working folder.
#include "mainwindow/Body.h"

#include "imagestack/Analyzer2.h"
#include "imagestack/DarkCheck.h"
#include "imagestack/ErrPoints.h"

#include <QDir>

void Body::darkCheck()
{
    if (i1Frames.isEmpty())
        return;
    darkcheck::run(i1Frames, analyzer2->DarkTh->text().toDouble(),
                   analyzer2->HistgMax->text().toDouble(), analyzer2->HistgBins->text().toInt(),
                   globalErrPoints, QDir::currentPath());
}
