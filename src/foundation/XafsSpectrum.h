#pragma once
// One X-ray absorption spectrum as a value: μt against energy (the base curve),
// the beam intensities when the file had them, the pre-edge and post-edge
// lines, the edge energy e0, the edge jump and the curves derived from them.
#include "foundation/Spectrum.h"
#include "foundation/SuggestElm.h"
#include "foundation/VictLine.h"

#include <QByteArray>
#include <QMetaType>
#include <QString>
#include <QStringList>

class LineReader;

class XafsSpectrum : public Spectrum {
public:
    int plainFile = 1;  // 0 after a "9809" file, 1 after two columns or a failed open
    QString name = QStringLiteral("No Name");
    SuggestElm sElm;
    VictLine pre;
    VictLine post;
    int normMode = 1;  // 0 Victoreen lines, anything else straight
    double preS = -1000.0;  // region bounds relative to e0
    double preE = -10.0;
    double postS = 10.0;
    double postE = 1000.0;
    Spectrum i0;
    Spectrum i1;
    Spectrum minusPostByJump;   // (μt - post) / dMut
    Spectrum minusPostByGap;    // (μt - post) / (post - pre)
    Spectrum normalized;        // (μt - post) / dMut + 1
    Spectrum doubleNormalized;  // (μt - pre) / (post - pre)
    double eOffset = 0.0;
    bool midxOutOfRange = false;
    bool midxNoisy = false;
    double e0 = 0.0;
    double dMut = 0.0;
    // Not a number until a normalisation, so no ratio matches it before then.
    double fraction;
    // Index of the steepest smoothed rise (per eV) of the last normalisation.
    int midxIndex = 0;

    XafsSpectrum();
    XafsSpectrum(const Spectrum& points, const QString& name, int normMode, double eOffset,
                 const SuggestElm& sElm);

    // What a normalisation fills: the fits of a walk's bins read only the
    // double-normalised curve, and the others stay empty then. A rebuild
    // without normalisation leaves the edge and every curve as a new spectrum
    // holds them before its normalisation.
    enum Curves { AllCurves, DoubleNormalizedOnly, NotNormalized };

    // As if constructed anew from these arguments, but on the storage of the
    // points and curves already held: a walk does this for every bin.
    void rebuild(const Spectrum& points, const QString& name, int normMode, double eOffset,
                 const SuggestElm& sElm, Curves curves = AllCurves);
    // Back to a fresh state under a new name and suggestion; the points stay.
    void reinit(const QString& name, const SuggestElm& sElm);
    bool load(const QString& fileName);
    void normalize(int mode, Curves curves = AllCurves);
    bool fitPrePost(double e0, int mode);
    // Energy where the smoothed curve crosses f·post + (1 - f)·pre upwards.
    double edgeAt(double f) const;
    double innerProduct(double shift, const XafsSpectrum& standard) const;
    // The same, with the number of this spectrum's points that were compared.
    double innerProduct(double shift, const XafsSpectrum& standard, int& compared) const;
    // The shift of best score among those where the two curves overlap on at
    // least half of the points of the narrower one, and on two at least: over a
    // point or two the score is near 1 whatever the shapes. Not a number when
    // no shift searched overlaps so; 0 when the steps allow no search.
    double innerProductShift(const XafsSpectrum& standard, double range, double step,
                             double minStep) const;

    // Fills the points (and i0, i1 for "9809") but does not normalise.
    bool readFile(const QString& fileName);
    // readFile, with what to tell the user: empty when at least one point was
    // read, else "Can't read <file>: <why>".
    QString readFileTold(const QString& fileName);
    static bool isPlainFile(const QString& fileName);
    // Reads the first line again from the start.
    static bool is9809(LineReader& in);
    bool read9809(const QString& fileName);
    // The crystal spacing (Å) a "9809" header line, split at blanks, states as
    // "D= value" (the last such pair), or d when it states no positive number.
    static double headerSpacing(const QStringList& items, double d);
    bool readColumns(const QString& fileName);
    // The "###Corvelline::XafsSpectrum" text; out holds exactly that block afterwards.
    void write(QByteArray* out, bool subtractEOffset) const;
    // False, with "Can't open" in the log, when the file cannot be written.
    bool save(const QString& fileName, bool subtractEOffset) const;

private:
    // An open reader; false, with no points, when it stops at an overlong line.
    bool read9809(LineReader& in);
    bool readColumns(LineReader& in);
    void setRegionFromSuggestion();
    int firstMidpointAbove(double v) const;
};

Q_DECLARE_METATYPE(XafsSpectrum)
