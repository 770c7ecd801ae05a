#pragma once
// The measured data the main window works on: the I1 and I0 stacks, the dark
// frame, a dark area per stack with its per-frame means, the total-I0 spectra
// and the size of the field of view; and the curves built from them: the
// absorption spectrum and raw I1 sum of a pixel bin, and the row and column
// profiles of one frame. No widgets: the window passes what its form holds.
#include "foundation/Spectrum.h"
#include "foundation/XafsSpectrum.h"
#include "imagestack/LoadTiffQue.h"

#include <QList>
#include <QRectF>
#include <QString>

class LoadTiff;
class TiffData;

class FrameSets {
public:
    enum Stack { I1 = 0, I0 = 1 };

    // What the bin spectrum reads from the form.
    struct BinOptions {
        double darkExpTime = 0.0; // ms of the dark frame
        double i1ExpTime = 0.0;   // ms of each stack
        double i0ExpTime = 0.0;
        bool useI0 = false;
        bool fluo = false;        // I1 / I0 in place of ln(I0 / I1)
    };

    FrameSets() = default;
    ~FrameSets();
    FrameSets(const FrameSets&) = delete;
    FrameSets& operator=(const FrameSets&) = delete;

    // A new stack stops its loader and drops the frames first; the request carries
    // the loader's generation from then on (a null loader gives generation 0).
    LoadTiffQue startLoad(Stack s, LoadTiff* loader, bool newFile, const QStringList& files,
                          bool ignoreLive, int skip, int cutFirst, int cutLast, ErrPoints* errPs);
    // False, with the frame deleted, for a frame of a stopped or replaced load.
    static bool accept(const LoadTiff* loader, TiffData* frame, quint64 generation);
    // The current load's finish has arrived.
    void loadEnded(Stack s) { sets[s].loadOpen = false; }
    // A load stopped before its finish: true when one was under way, which then
    // never answers by itself.
    bool abandonLoad(Stack s);

    // Stacks own their frames.
    const QList<TiffData*>& frames(Stack s) const { return sets[s].frames; }
    void append(Stack s, TiffData* frame, double energy);
    // Deletes the frames and drops the stack's dark-area means; the geometry stays.
    void clear(Stack s);
    // Field of view from the first I1 frame; false (and left alone) without one.
    bool updateGeometry();
    // Exposure time of the first frame, and whether every frame has exactly it.
    // False for an empty stack.
    static bool commonExpTime(const QList<TiffData*>& frames, double& expTime, bool& same);

    TiffData* darkFrame() const { return dark; }
    // Replaces the dark frame (null clears it); the dark-area means depend on it.
    void setDarkFrame(TiffData* frame);
    // Loads a new dark frame; on failure there is none. Error points: the program's list.
    bool loadDark(const QString& fileName);

    bool darkInUse(Stack s) const { return sets[s].darkInUse; }
    QRectF darkRect(Stack s) const { return sets[s].darkRect; }
    const QList<double>& darkMeans(Stack s) const { return sets[s].darkMeans; }
    void setDarkArea(Stack s, const QRectF& rect);
    void clearDarkArea(Stack s);
    // Rebuilds the means when the area is in use.
    void clearUpdateDarkArea(Stack s);
    // Adds the means of frames that have none yet.
    void updateDarkArea(Stack s);

    // Reads an XAFS spectrum file; only one with an I0 column is used as total I0.
    static bool readTotalI0(XafsSpectrum& target, const QString& fileName);

    Spectrum xafsSpectrumAt(int x, int y, int hw, int hh, const BinOptions& o);
    Spectrum xafsSpectrumInRect(int x1, int y1, int x2, int y2, const BinOptions& o);
    Spectrum rawI1SpectrumAt(int x, int y, int hw, int hh) const;
    // frame: index into the stack chosen by fromI1.
    Spectrum hProfileAt(int y, int hw, int hh, bool fromI1, int frame, bool fluo) const;
    Spectrum vProfileAt(int x, int hw, int hh, bool fromI1, int frame, bool fluo) const;

    int imageW = -1;
    int imageH = -1;
    int imageHdrX = 0;
    int imageHdrY = 0;
    XafsSpectrum totalI0ofI1;
    XafsSpectrum totalI0ofI0;

private:
    struct Set {
        QList<TiffData*> frames;
        bool darkInUse = false;
        QRectF darkRect;
        QList<double> darkMeans;
        bool loadOpen = false;
    };
    // The I0 frames on either side of an energy (one frame: that frame twice;
    // none: null), and their places in the I0 stack for the dark-area means.
    struct Bracket {
        const TiffData* a = nullptr;
        const TiffData* b = nullptr;
        double ea = 0.0;
        double eb = 0.0;
        int ia = 0;
        int ib = 0;
    };
    // I0 in ascending energy, whatever the loading order, with each frame's place in the stack.
    void sortI0() const;
    Bracket bracketI0(double e) const;
    // The bracket of every I1 frame, kept until either stack changes.
    const QList<Bracket>& i1Brackets() const;
    static double i0At(const Bracket& k, double e, int x, int y, int hw, int hh);
    double i0DarkMeanAt(const Bracket& k, double e) const;
    void stacksChanged() { i0Sorted = false; bracketsValid = false; }
    bool inView(int x, int y) const;
    // Row `at` (alongRow) or column `at` of one frame of a stack.
    Spectrum profile(bool alongRow, int at, int hw, int hh, bool fromI1, int frame, bool fluo) const;

    Set sets[2];
    TiffData* dark = nullptr;
    mutable QList<TiffData*> i0ByEnergy;
    mutable QList<int> i0Index;
    mutable bool i0Sorted = true;
    mutable QList<Bracket> brackets;
    mutable bool bracketsValid = false;
    bool darkExpWarned = false;
};
