#pragma once
// Registers the types that cross to and from the analysis worker; call once
// before the first request is queued.
void registerAnalysisMetaTypes();
