#pragma once
// The analysis worker: lives in a thread of its own and answers every request
// with exactly one completion signal carrying its results. It keeps no result
// that another thread reads; the only state is the old-fit choice.
#include "analysis/AnalyzeReply.h"
#include "analysis/AnalyzeRequests.h"

#include <QObject>

class AnalyzeProc : public QObject {
    Q_OBJECT
public:
    explicit AnalyzeProc(QObject* parent = nullptr);
    ~AnalyzeProc() override;

signals:
    // The answer to a fit, edge-position or residual-absorption request.
    void finished(AnalyzeReply r);
    void finishedAElems(AnalyzeReply r);
    // r.fv holds the feature values.
    void finishedAFV(AnalyzeReply r);
    // Sent by a fit that ran, just before its finished().
    void newZ(double z);
    // Sent by every edge-position request, just before its finished().
    void newDEdge(double dEdge);

public slots:
    // MLCF when asked for, else the old or the current fit as set by setLcfOld.
    void analyzeSpectrum0(LCFRequest r);
    void analyzeSpectrumByLCF(LCFRequest r);
    void analyzeSpectrumByLCF_Old(LCFRequest r);
    void analyzeSpectrumByMLCF(LCFRequest r);
    void analyzeSpectrumDEdge0(DEdgeRequest r);
    void analyzeSpectrumElems0(ElemsRequest r);
    void analyzeSpectrumRA(RARequest r);
    void analyzeSpectrumFV(FVRequest r);
    void setLcfOld(bool f);

private:
    void answerFit(const AnalyzeReply& reply);

    bool lcfOldFlag = false;
};
