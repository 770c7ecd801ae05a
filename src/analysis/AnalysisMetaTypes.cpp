#include "analysis/AnalysisMetaTypes.h"

#include "analysis/AnalyzeReply.h"
#include "analysis/AnalyzeRequests.h"

void registerAnalysisMetaTypes()
{
    qRegisterMetaType<XafsSpectrum>("XafsSpectrum");
    qRegisterMetaType<SuggestElm>("SuggestElm");
    qRegisterMetaType<FeatureValue>("FeatureValue");
    qRegisterMetaType<ElemRowConds>("ElemRowConds");
    qRegisterMetaType<ElemBackground>("ElemBackground");
    qRegisterMetaType<LCFRefData>("LCFRefData");
    qRegisterMetaType<LCFRequest>("LCFRequest");
    qRegisterMetaType<DEdgeRequest>("DEdgeRequest");
    qRegisterMetaType<ElemsRequest>("ElemsRequest");
    qRegisterMetaType<RARequest>("RARequest");
    qRegisterMetaType<FVRequest>("FVRequest");
    qRegisterMetaType<AnalyzeKind>("AnalyzeKind");
    qRegisterMetaType<AnalyzeReply>("AnalyzeReply");
}
