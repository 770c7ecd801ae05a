#pragma once
// The two-dimensional analysis walk: bin after bin of the analysis area, in
// raster order, each bin's spectrum is handed to the Analyzer panel and, once
// the panel has all replies of that bin, their values go into the result maps.
// One bin per turn of the event loop; the main window supplies the spectrum
// of a bin and shows the maps.
#include "analysis/Analyzer.h"
#include "foundation/AnalyzeCond.h"

#include <QList>
#include <QObject>
#include <QString>

#include <functional>

class Analyzed2DRes;

class AnalysisWalk : public QObject {
    Q_OBJECT
public:
    // The normalised spectrum of the bin centred at (c.cx, c.cy), with its suggested absorber.
    using BinSpectrum = std::function<XafsSpectrum(const AnalyzeCond& c)>;

    AnalysisWalk(Analyzer* panel, BinSpectrum source, QObject* parent = nullptr);

    // Bins in flight at once: the worker has the next bin's requests in hand
    // while the replies of the current one travel back.
    static const int Depth = 2;

    bool running() const { return walkRunning; }
    const AnalyzeCond& cond() const { return walkCond; }
    const AnalysisChoice& choice() const { return walkChoice; }

    // Prepares the maps of the analyses chosen now and sends the first bin.
    // With nothing chosen it does not start and answers 116 at once.
    bool start(const AnalyzeCond& c);
    // Answers 116, so a batch that started the walk goes on.
    void stop();

    // Images of the maps of the analyses chosen at the start, the ratio map computed first.
    void generateResImages();

    // "Area(W,H), Bin(hx,hy), x(x0,x1,stepX), y(y0,y1,stepY), idx(cx,cy)"
    static QString areaLabel(const AnalyzeCond& c);
    // How far the rows have come, in percent; 0 for an area without height.
    static double progressOf(const AnalyzeCond& c);
    // r / (d + r), 0 where that is no finite number.
    static double restRatio(double r, double d);

    QList<Analyzed2DRes*> lcfMaps;  // map 0 of every row, then map 1 of every row
    QList<Analyzed2DRes*> elemMaps; // map k of every row for k = 0..6, then the two correlation maps
    Analyzed2DRes* raDMutMap = nullptr;
    Analyzed2DRes* raRestMap = nullptr;
    Analyzed2DRes* raRatiMap = nullptr;
    Analyzed2DRes* fvMap = nullptr;

signals:
    void finishBatchExec(int id);
    // The maps have new images: the main window shows the panel's chosen one.
    void imagesGenerated();

public slots:
    // The panel's `finished`: records the bin and moves on.
    void analyzeASpectrumFinished();

private:
    // Sends the next bins until Depth are in flight.
    void analyzeAPoint();
    void recordResForAPoint();
    void ratioMap();
    void setBin(Analyzed2DRes* map, double v);

    Analyzer* panel;
    BinSpectrum source;
    bool walkRunning = false;
    AnalyzeCond walkCond;
    AnalysisChoice walkChoice;
    int refRows = 0;   // rows when the walk started
    int elemRows = 0;
    AnalyzeCond sendCond; // the last bin sent, walkCond or up to Depth - 1 bins ahead of it
    bool allSent = false;
    QList<quint64> awaited; // generations of the bins in flight, oldest (walkCond's) first
};
