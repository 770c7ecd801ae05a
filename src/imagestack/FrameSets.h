#pragma once
// The measured data the main window works on: the I1 and I0 stacks, the dark
// frame, a dark area per stack with its per-frame means, the total-I0 spectra
// and the size of the field of view; and the curves built from them: the
// absorption spectrum and raw I1 sum of a pixel bin, and the row and column
// profiles of one frame. No widgets: the window passes what its form holds.
#include "foundation/Spectrum.h"
#include "foundation/UserLines.h"
#include "foundation/XafsSpectrum.h"
#include "imagestack/LoadTiffQue.h"

#include <QList>
#include <QRectF>
#include <QString>

#include <functional>
#include <vector>

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
    // Empty when a frame has the size of the stack's first, else the line that
    // refuses it: one of another size is not taken into the stack.
    QString misfitOf(Stack s, const TiffData* frame) const;
    // Deletes the frames and drops the stack's dark-area means and the frames
    // last logged as filled; the geometry stays.
    void clear(Stack s);
    // Field of view from the first I1 frame; false (and left alone) without one.
    bool updateGeometry();
    // Exposure time of the first frame, and whether every frame has exactly it.
    // False for an empty stack.
    static bool commonExpTime(const QList<TiffData*>& frames, double& expTime, bool& same);
    // The log line of a stack whose frames were taken at several exposure
    // times (the dark frame is scaled to the panel's one for all); empty when
    // they share one.
    static QString expTimesNote(const QList<TiffData*>& frames, Stack s, const QString& panelExpTime);
    // The log line of a stack of two or more frames that all have one energy
    // (no spectrum can be made of it); empty otherwise.
    static QString oneEnergyNote(const QList<TiffData*>& frames, Stack s);

    TiffData* darkFrame() const { return dark; }
    // Whether the I0 stack and the dark frame have the I1 stack's size; one that
    // has not is kept and shown but not used for spectra.
    bool i0Fits() const { return i0Fit; }
    bool darkFits() const { return darkFit; }
    // Replaces the dark frame (null clears it); the dark-area means depend on it.
    void setDarkFrame(TiffData* frame);
    // Loads a new dark frame; on failure there is none. Error points: the program's list.
    bool loadDark(const QString& fileName);

    bool darkInUse(Stack s) const { return sets[s].darkInUse; }
    QRectF darkRect(Stack s) const { return sets[s].darkRect; }
    // Per frame: its mean over the area less the dark frame's there, at the
    // dark frame's own exposure.
    const QList<double>& darkMeans(Stack s) const { return sets[s].darkMeans; }
    void setDarkArea(Stack s, const QRectF& rect);
    void clearDarkArea(Stack s);
    // Rebuilds the means when the area is in use.
    void clearUpdateDarkArea(Stack s);
    // Adds the means of frames that have none yet. A frame shifted off the area
    // takes the level of the frames nearest in energy; an area off the image,
    // or on no frame at all, is dropped.
    void updateDarkArea(Stack s);
    // Told when the program drops an area by itself (GUI thread).
    std::function<void(Stack)> darkAreaDropped;
    // Where a line for the user goes (GUI thread).
    UserLines user;

    // Whether the stack's energies never go down from frame to frame.
    bool energiesAscending(Stack s) const;
    // The I1 energies in the order of a spectrum's points.
    std::vector<double> i1Energies() const;

    // Reads an XAFS spectrum file; only one with an I0 column is used as total I0.
    static bool readTotalI0(XafsSpectrum& target, const QString& fileName, const UserLines& user = {});
    // The total I0 of every frame, by stack index: the column's value at the
    // frame's energy, interpolated between the rows around it as the I0 frames
    // are. Rows without a positive I0 are left out. A frame within 0.01 eV past
    // the first or last row takes that row; one further out is not extrapolated:
    // it takes the row of its own number (0 past the end), and note says which
    // frames those are (empty when there are none).
    static QList<double> totalI0ByFrame(const Spectrum& column, const QList<TiffData*>& frames,
                                        QString& note);

    // A bracket of I0 energies around an energy; see the private part.
    struct Bracket;
    // The I0 stack in ascending energy, with each frame's place in the stack;
    // runs of frames that share one energy count as one reading.
    struct I0Sorted {
        struct Run {
            qsizetype first = 0;
            qsizetype count = 0;
            double energy = 0.0;
        };
        QList<TiffData*> frames;
        QList<int> index;
        QList<Run> runs;
    };
    // Everything the bin spectrum needs, taken at once: a reader on another
    // thread needs the frames to stay while it reads and nothing else.
    class Reader {
    public:
        // The absorption spectrum of the bin centred at (x, y) into s (emptied
        // first); no points outside the field of view. rawI1, when given, gets
        // the bin's I1 readings as rawI1SpectrumAt gives them.
        void spectrumAt(int x, int y, int hw, int hh, Spectrum& s, Spectrum* rawI1 = nullptr) const;
        int energies() const { return int(i1.size()); }

    private:
        friend class FrameSets;
        QList<TiffData*> i1;
        // Frame indexes in ascending energy; empty when the stack is loaded so.
        QList<int> order;
        // I0 frames that fit the I1 stack; without them a bin's I0 is its pixel count.
        bool useI0 = false;
        I0Sorted i0;
        QList<Bracket> pairs;
        const TiffData* dark = nullptr;
        BinOptions o;
        bool darkScaled = false;
        bool i1Dark = false;
        bool i0Dark = false;
        QList<double> i1Means;
        QList<double> i0Means;
        // By I1 stack index; a total-I0 file overrules the bin's own I0.
        bool useTotal = false;
        QList<double> total;
        int imageW = -1;
        int imageH = -1;
        // The part of the image that every frame holds, shifted or not: a bin
        // inside it reads each frame as it is.
        int heldX0 = 0;
        int heldX1 = -1;
        int heldY0 = 0;
        int heldY1 = -1;
    };
    // Brings the dark-area means and the I0 brackets up to date first.
    Reader reader(const BinOptions& o);
    // The line telling that Use I0 is ticked with no I0 frame loaded (nor a total-I0
    // file), so that a bin's I0 is its pixel count; empty when that is not so.
    QString standInI0Note(const BinOptions& o) const;

    Spectrum xafsSpectrumAt(int x, int y, int hw, int hh, const BinOptions& o, Spectrum* rawI1 = nullptr);
    Spectrum xafsSpectrumInRect(int x1, int y1, int x2, int y2, const BinOptions& o);
    Spectrum rawI1SpectrumAt(int x, int y, int hw, int hh) const;
    // The same readings by stack index, into `out`; for a bin centred off the
    // image, each frame's own sum over it.
    void i1BinReadings(int x, int y, int hw, int hh, std::vector<double>& out) const;
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
        // By frame: the frame's own mean over the area and the dark frame's over
        // the same part of it (gaps filled), whether the frame had pixels there,
        // and the net dark level.
        QList<double> frameMeans;
        QList<double> darkParts;
        QList<bool> ownMean;
        QList<double> darkMeans;
        QList<int> filledLogged;
        bool loadOpen = false;
        void dropMeans();
    };
    // The runs of I0 energies on either side of an energy (one run: that run
    // twice; no I0: a count of 0), by place in the sorted I0 list.
public:
    struct Bracket {
        qsizetype a = 0;
        qsizetype b = 0;
        qsizetype na = 0;
        qsizetype nb = 0;
        double ea = 0.0;
        double eb = 0.0;
    };

private:
    // A frame's reading of a bin, and the nearest frame above it in energy
    // that holds some of the bin (itself when it does).
    struct Reading {
        double v = 0.0;
        qsizetype above = 0;
    };
    // Every frame's reading of a bin (in ascending energy, as the spectra's
    // points), before any dark: a shifted frame's is scaled from the pixels it
    // holds to the bin's pixels on the image; a frame that holds none of them
    // takes the reading of the frames nearest in energy that do. Each frame is
    // read once: one pass down the energies finds the holders above, one pass
    // up those below.
    static void i1Readings(const QList<TiffData*>& i1, const QList<int>& order, int x, int y, int hw,
                           int hh, int imageW, int imageH, double npix, std::vector<Reading>& r);
    // The bin's pixels on the image.
    static double pixelsOnImage(int x, int y, int hw, int hh, int imageW, int imageH);
    void sortI0() const;
    Bracket bracketI0(double e) const;
    // The bracket of every I1 frame, kept until either stack changes.
    const QList<Bracket>& i1Brackets() const;
    const QList<int>& i1Order() const;
    static double i0At(const I0Sorted& i0, const Bracket& k, double e, int x, int y, int hw, int hh);
    static double i0DarkMeanAt(const QList<double>& means, const I0Sorted& i0, const Bracket& k, double e);
    // A frame with no pixel in the area takes the level of the frames nearest in energy.
    void fillDarkGaps(Set& set);
    void dropDarkArea(Stack s, const char* why);
    // The dark-area means with the dark frame's part scaled to the stack's exposure.
    QList<double> scaledDarkMeans(Stack s, bool darkScaled, double darkExp, double exp) const;
    void stacksChanged()
    {
        i0Sorted = false;
        bracketsValid = false;
        orderValid = false;
        totalValid = false;
    }
    bool inView(int x, int y) const;
    // The dark frame when it may be used for spectra.
    const TiffData* usedDark() const { return darkFit ? dark : nullptr; }
    // Compares the I0 stack and the dark frame with the I1 stack; logs a misfit when it begins.
    void checkFits();
    // totalI0ByFrame of the I1 stack, kept until the stack or the file changes.
    const QList<double>& totalI0();
    // Row `at` (alongRow) or column `at` of one frame of a stack.
    Spectrum profile(bool alongRow, int at, int hw, int hh, bool fromI1, int frame, bool fluo) const;

    Set sets[2];
    TiffData* dark = nullptr;
    mutable I0Sorted i0;
    mutable bool i0Sorted = false;
    mutable QList<int> order;
    mutable bool orderValid = false;
    mutable QList<Bracket> brackets;
    mutable bool bracketsValid = false;
    bool darkExpWarned = false;
    bool i0Fit = true;
    bool darkFit = true;
    // The column the total I0 was paired from: a new file is new data.
    QList<QPointF> totalSource;
    QList<double> totalByFrame;
    bool totalValid = false;
    // The frames the file does not cover are logged once the load has ended,
    // and again only when they change.
    QString totalNote;
    QString totalNoteLogged;
    bool totalNoteDue = false;
};
