#include "analysis/AnalyzeProc.h"

#include "analysis/EdgePosition.h"
#include "analysis/ElemAnalysis.h"
#include "analysis/LCFFit.h"
#include "analysis/SpectrumFeatures.h"

#include <QDebug>

AnalyzeProc::AnalyzeProc(QObject* parent) : QObject(parent) {}

AnalyzeProc::~AnalyzeProc() = default;

namespace {
AnalyzeReply replyTo(quint64 generation, AnalyzeKind kind)
{
    AnalyzeReply r;
    r.generation = generation;
    r.kind = kind;
    return r;
}
} // namespace

void AnalyzeProc::answerFit(const AnalyzeReply& reply)
{
    if (reply.fitted)
        emit newZ(reply.z);
    emit finished(reply);
}

void AnalyzeProc::analyzeSpectrum0(LCFRequest r)
{
    if (r.isMLCF)
        analyzeSpectrumByMLCF(std::move(r));
    else if (lcfOldFlag)
        analyzeSpectrumByLCF_Old(std::move(r));
    else
        analyzeSpectrumByLCF(std::move(r));
}

void AnalyzeProc::analyzeSpectrumByLCF(LCFRequest r) { answerFit(LCFFit::fit(r, LCFFit::Current)); }

void AnalyzeProc::analyzeSpectrumByLCF_Old(LCFRequest r) { answerFit(LCFFit::fit(r, LCFFit::Old)); }

void AnalyzeProc::analyzeSpectrumByMLCF(LCFRequest r) { answerFit(LCFFit::fit(r, LCFFit::Multi)); }

void AnalyzeProc::analyzeSpectrumDEdge0(DEdgeRequest r)
{
    AnalyzeReply reply = replyTo(r.generation, AnalyzeKind::DEdge);
    reply.dEdge = EdgePosition::dEdge(r);
    emit newDEdge(reply.dEdge);
    emit finished(reply);
}

void AnalyzeProc::analyzeSpectrumElems0(ElemsRequest r)
{
    AnalyzeReply reply = replyTo(r.generation, AnalyzeKind::Elems);
    ElemAnalysis::run(r, reply);
    emit finishedAElems(reply);
}

void AnalyzeProc::analyzeSpectrumRA(RARequest r)
{
    AnalyzeReply reply = replyTo(r.generation, AnalyzeKind::RA);
    SpectrumFeatures::residualAbsorption(r, reply);
    emit finished(reply);
}

void AnalyzeProc::analyzeSpectrumFV(FVRequest r)
{
    AnalyzeReply reply = replyTo(r.generation, AnalyzeKind::FV);
    reply.fv = SpectrumFeatures::featureValue(r.s, r.se.edgeEV, r.elimReg);
    emit finishedAFV(reply);
}

void AnalyzeProc::setLcfOld(bool f)
{
    lcfOldFlag = f;
    qDebug() << "lcf old flg" << (f ? "true" : "false");
}
