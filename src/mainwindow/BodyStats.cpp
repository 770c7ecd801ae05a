// The statistics window's wiring, the sum-up map and the Fourier check.
#include "mainwindow/Body.h"

#include "analysis/Analyzer.h"
#include "display/ColorBar.h"
#include "display/FrontWindow.h"
#include "display/ImgDispA.h"
#include "foundation/Globals.h"
#include "foundation/WholeFile.h"
#include "mainwindow/StackSums.h"
#include "mainwindow/SumUpCtrl.h"

#include <QDebug>

void Body::setupStats()
{
    statsRangeSet = false;
    statsMin = 0.0;
    statsMax = 1.0;
    stats.user.to = [this](const QString& line) { logMistake(line); };
    connect(ShowStatistics, &QPushButton::clicked, this, &Body::showStatistics);
    connect(ShowStatistics, &QPushButton::clicked, this, [this] { showInFront(&stats); });
    connect(&stats, &Stats::rangeSelected, this, &Body::selectedRangeInStats);
    connect(dispA, SIGNAL(mouseMoved(double, double)), &stats, SLOT(pointedAt(double, double)));
}

void Body::showStatistics()
{
    Analyzed2DRes* map = analyzer->selectedRes();
    AnalyzeCond c;
    if (map && binGrid(c))
        stats.calcStats(map, c);
    else
        stats.clearStats();
}

void Body::selectedRangeInStats()
{
    statsRangeSet = true;
    statsMin = stats.range.usedLow;
    statsMax = stats.range.usedHigh;
    dispA->update();
}

void Body::setupSumUp()
{
    connect(analyzer, &Analyzer::askSumUp, this, &Body::doSumUp);
}

void Body::doSumUp()
{
    const QString unreadable = binSizeMistake(false, true);
    if (!unreadable.isEmpty()) {
        logMistake(QStringLiteral("Can't sum up: %1").arg(unreadable));
        return;
    }
    AnalyzeCond c;
    if (!askAnalyzeCond(c))
        return;
    Analyzed2DRes& map = analyzer->sumUpMap;
    sumUpMap(map, frameSets, analyzer->SumUpC->sumUps, c, CBar->scale());
    const QString name = QStringLiteral("sumUpImg.png");
    if (!map.image)
        tellSaveFailure(name, QStringLiteral("the sum-up map has no picture"));
    else
        savePictureWhole(*map.image, name);
    dispA->update();
}

void Body::execFourierA()
{
    if (i1Frames.isEmpty())
        return;
    logWithTime(QStringLiteral("2da FA 1:"));
    AnalyzeCond c;
    if (!askAnalyzeCond(c))
        return;
    const FourierSums s = fourierSums(frameSets, c, fft);
    for (int k = 0; k < s.size(); k++)
        qDebug().noquote() << fourierResLine(s, k);
}
