#pragma once
// The two-dimensional analysis walk: the bins of the analysis area, a grid row
// at a time, go to a pool of workers, which build each bin's spectrum from the
// frames, analyse it and hand back the row's values; the GUI thread records
// the rows in raster order into the result maps. No widget here: the settings
// come as a snapshot, progress and read-outs leave as signals.
#include "analysis/AnalysisSettings.h"
#include "analysis/FeatureValue.h"
#include "foundation/AnalyzeCond.h"
#include "foundation/ColorScale.h"
#include "foundation/Spectrum.h"
#include "foundation/SuggestElm.h"

#include <QList>
#include <QMap>
#include <QObject>
#include <QString>

#include <functional>
#include <memory>
#include <vector>

class Analyzed2DRes;
class FVPoints;
class QThread;
class WalkWorker;
struct WalkBlock;
struct WalkContext;

class AnalysisWalk : public QObject {
    Q_OBJECT
public:
    // The bin's absorption curve into the spectrum given; called on the
    // workers at once, so it reads only what stays put during a walk.
    using BinSource = std::function<void(int cx, int cy, int hw, int hh, Spectrum& out)>;
    // The energy shift of a bin; called in the GUI thread.
    using ShiftAt = std::function<double(int cx, int cy)>;
    // The colour bar's scale at the moment the maps' pictures are rebuilt;
    // called in the GUI thread.
    using ColorsNow = std::function<ColorScale()>;

    struct Setup {
        AnalysisSettings settings;
        SuggestElm sElm;
        int normMode = 1;
        int viewW = 0;             // half sizes of the bin whose spectrum is built
        int viewH = 0;
        std::vector<double> energies; // unshifted energies of the stack, as the spectra's points
        BinSource source;
        ShiftAt shiftAt;
        ColorsNow colors;          // absent: each map keeps the colours it had
        double correlation = 0.0;  // kept for bins whose correlation cannot be formed
    };

    // The maps a walk writes; not owned, and let go when the walk ends or stops.
    struct Maps {
        QList<Analyzed2DRes*> lcf;  // map 0 of every reference row, then map 1 of every row
        Analyzed2DRes* zansa = nullptr;
        Analyzed2DRes* dEdge = nullptr;
        QList<Analyzed2DRes*> elem; // map k of every element row for k = 0..6, then the two correlation maps
        Analyzed2DRes* raDMut = nullptr;
        Analyzed2DRes* raRest = nullptr;
        Analyzed2DRes* raRati = nullptr;
        Analyzed2DRes* fv = nullptr;
        FVPoints* fvPoints = nullptr;
    };

    explicit AnalysisWalk(QObject* parent = nullptr);
    ~AnalysisWalk() override;

    // Configuration key of the number of workers; absent or below 1: one per core.
    static const char* const WorkersKey;
    static int configuredWorkers();
    // Takes effect at the next start.
    void setWorkers(int n);
    int workers() const { return workerCount; }

    bool running() const { return walkRunning; }
    const AnalyzeCond& cond() const { return walkCond; }
    const AnalysisChoice& choice() const { return setup.settings.choice; }

    // Prepares the maps of the chosen analyses and hands out the first rows.
    // With nothing chosen it does not start and answers 116 at once.
    bool start(const AnalyzeCond& c, Setup s, const Maps& m);
    // Returns once no worker reads the frames any more; answers 116, so a
    // batch that started the walk goes on.
    void stop();
    // The same at shutdown, answering nothing.
    void halt();

    // Images of the maps of the analyses chosen at the start, the ratio map
    // computed first; nothing once the walk has ended, as it keeps no map then.
    void generateResImages();

    // "Area(W,H), Bin(hx,hy), x(x0,x1,stepX), y(y0,y1,stepY), idx(cx,cy)"
    static QString areaLabel(const AnalyzeCond& c);
    // How far the rows have come, in percent; 0 for an area without height.
    static double progressOf(const AnalyzeCond& c);
    // r / (d + r), 0 where that is no finite number.
    static double restRatio(double r, double d);
    // The line of a walk stopped with next the first bin it did not record.
    static QString stopLine(const AnalyzeCond& next, qint64 done, qint64 all);

signals:
    void finishBatchExec(int id);
    // A walk stopped part-way: where, and how many bins it recorded.
    void stopped(const QString& line);
    void runningChanged(bool on);
    void progress(double perCent);
    // A row after the first is about to be recorded: the maps may be redrawn.
    void rowStarted();
    // The maps have new images.
    void imagesGenerated();
    // The last recorded bin's values, once per recorded row.
    void newZ(double z);
    void newDEdge(double dEdge);
    void newCorrelation(double c);
    void newFeatureValue(FeatureValue fv);

private:
    friend class WalkWorker;
    void ensurePool();
    void quitPool();
    void dispatch();
    void blockDone(int worker, std::shared_ptr<WalkBlock> b);
    // A row, bin by bin, and then what is shown of its last bin.
    void record(const WalkBlock& b);
    // One bin's values into the maps.
    void recordResForAPoint(int cx, int cy, const double* v);
    void finish();
    void setBin(Analyzed2DRes* map, int cx, int cy, double v);
    void prepareMaps();
    void ratioMap();

    int workerCount = 1;
    QList<QThread*> threads;
    QList<WalkWorker*> pool;
    QList<int> busy;               // blocks handed to each worker and not back yet
    bool walkRunning = false;
    quint64 generation = 0;
    AnalyzeCond walkCond;          // first bin of the next row to record
    AnalyzeCond sendCond;          // first bin of the next row to hand out
    bool allSent = false;
    int nextSend = 0;              // block numbers, in raster order
    int nextRecord = 0;
    QMap<int, std::shared_ptr<WalkBlock>> waiting; // back early, recorded in order
    Setup setup;
    Maps maps;
    std::shared_ptr<WalkContext> ctx;
    double lastCor = 0.0;
    qint64 binsAll = 0;  // of the grid
    qint64 binsDone = 0; // recorded
};
