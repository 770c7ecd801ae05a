#pragma once
// One reference row of the linear combination fit: a small panel (file,
// energy shift, Victoreen choice, fitted fraction and amount) that is also
// the reference spectrum itself. Its derived curves are always computed on
// the file's own energies; the shift enters only through the fits' look-ups.
#include "analysis/AnalyzeReply.h"
#include "analysis/AnalyzeRequests.h"
#include "foundation/XafsSpectrum.h"
#include "ui_LCFReference.h"

#include <QFrame>
#include <QList>

class Analyzed2DRes;

class LCFReference : public QFrame, public Ui_LCFReference, public XafsSpectrum {
    Q_OBJECT
public:
    explicit LCFReference(QWidget* parent = nullptr);
    ~LCFReference() override;

    bool use = false;             // last state of the Use box
    double ratio = 0.0;           // fraction from the last single-spectrum fit
    QList<Analyzed2DRes*> maps;   // not owned (the engine's): "LCF Ref 1" (amount), "LCF Ref 2" (fraction)

    // Use box checked and a file set in the chooser.
    bool takesPart() const;
    // The file in the chooser was read: a failed choice keeps the spectrum
    // before it, which is not the one the chooser names.
    bool holdsSpectrum() const;
    LCFRefData refData(int index) const;
    // The rows that take part, as values for a fit request.
    static QList<LCFRefData> usedRefs(const QList<LCFReference*>& rows);
    // Shows a single-spectrum fit in its rows; a walk's fits and fits that did
    // not run change nothing.
    static void applyFit(const QList<LCFReference*>& rows, const AnalyzeReply& r);

    void setRatio(double r);
    void setDMut(double v);

signals:
    void newFileSelected();
    void newDeltaE();
    // A chosen file gave no spectrum: the line names it and says why.
    void unreadableFile(QString line);

public slots:
    void newFile(QString fname);
    void changedUse(bool f);
    void editedDeltaE();
    void toggledIsVictreen(bool f);
    void setStd(bool use, double dE, QString fname, QString isVic);

private:
    bool fileRead = false;
    void normalizeOnFileEnergies();
    void showEdge();
    void setShift(double v);
};
