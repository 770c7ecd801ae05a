#pragma once
// The analysis without its panels: the worker of single-spectrum analyses with
// the fan-out of a spectrum's requests and the count of their replies, the
// two-dimensional walk, and the result maps of the panel. Every spectrum handed
// over is one fan-out, numbered by a generation; a new one drops the one in
// flight, and replies of any other generation are dropped, so a spectrum is
// announced exactly once, by the last reply of its own fan-out.
#include "analysis/AnalysisSettings.h"
#include "analysis/AnalysisWalk.h"
#include "analysis/AnalyzeReply.h"
#include "analysis/AnalyzeRequests.h"
#include "analysis/Analyzed2DRes.h"
#include "analysis/FVPoints.h"

#include <QList>
#include <QObject>

#include <array>
#include <memory>
#include <vector>

class AnalyzeProc;
class QThread;

// The requests of one spectrum, built before they are sent.
struct Fanout {
    AnalysisChoice choice;
    SuggestElm sElm;
    LCFRequest lcf;
    DEdgeRequest dEdge;
    ElemsRequest elems;
    RARequest ra;
    FVRequest fv;
};

// The replies of one fan-out; complete when it is announced.
struct SpectrumResults {
    quint64 generation = 0;
    AnalyzeReply lcf;
    AnalyzeReply dEdge;
    AnalyzeReply elems;
    AnalyzeReply ra;
    AnalyzeReply fv;
};

// The result maps of the panel; the element unit keeps those of its rows.
struct ResultMaps {
    // Amount ("LCF Ref 1") and fraction ("LCF Ref 2") of every reference row, in row order.
    std::vector<std::array<std::unique_ptr<Analyzed2DRes>, 2>> refMaps;
    QList<Analyzed2DRes*> addRefRow();
    Analyzed2DRes zansa{QStringLiteral("a2d Zansa")};
    Analyzed2DRes dEdge{QStringLiteral("a2d dEdge")};
    Analyzed2DRes raDMut{QStringLiteral("a2d DMut")};
    Analyzed2DRes raRest{QStringLiteral("a2d Rest")};
    Analyzed2DRes raRati{QStringLiteral("a2d Rati")};
    Analyzed2DRes fv{QStringLiteral("a2d FV")};
    Analyzed2DRes sumUp{QStringLiteral("Sum Up Img")};
    FVPoints fvPoints;
};

class AnalysisEngine : public QObject {
    Q_OBJECT
public:
    explicit AnalysisEngine(QObject* parent = nullptr);
    ~AnalysisEngine() override;

    ResultMaps maps;
    AnalysisWalk* walk() { return &walker; }
    QThread* analysisThread() const { return thread; }
    AnalyzeProc* worker() const { return proc; }

    // The requests of s under the settings; the fit's spectrum is cut to its range.
    static Fanout prepare(const AnalysisSettings& set, const XafsSpectrum& s, const SuggestElm& sElm);
    // Sends them under a new generation; returns it, 0 when nothing was sent.
    // The fan-out still in flight is dropped.
    quint64 send(Fanout f);
    // Replies still expected of the fan-out in flight.
    int pendingReplies() const { return pending; }
    quint64 currentGeneration() const { return generation; }
    // The replies of the fan-out announced last by `finished`.
    const SpectrumResults& results() const { return res; }

signals:
    void analyzeSpectrum0(LCFRequest r);
    void analyzeSpectrumDEdge0(DEdgeRequest r);
    void analyzeSpectrumElems0(ElemsRequest r);
    void analyzeSpectrumRA(RARequest r);
    void analyzeSpectrumFV(FVRequest r);
    void setLcfOld(bool f);
    // A reply of the fan-out awaited, before it counts.
    void replied(AnalyzeReply r);
    void finished();

public slots:
    // Any reply of the worker; one of another generation is dropped.
    void takeReply(AnalyzeReply r);

private:
    QThread* thread = nullptr;  // no parent; quit and waited for on destruction
    AnalyzeProc* proc = nullptr;
    AnalysisWalk walker;
    quint64 generation = 0;
    int pending = 0;
    SpectrumResults open;       // the replies in so far of the fan-out in flight
    SpectrumResults res;
};
