#include "CastPipeline.h"

#include "ResultText.h"
#include "engine/BaseNumbers.h"
#include "engine/CastDispatch.h"
#include "engine/Report.h"

namespace orvenna {

bool castAnalysis(const CastRequest& request, CastResult& result) {
    result.cast = runAnalysis(request, result.analysis);
    if (!result.cast) {
        result.report.clear();
        for (std::wstring& list : result.suggestion) list.clear();
        result.resultText.clear();
        return false;
    }
    AnalysisRecord& record = result.analysis.record;
    // Each step writes over the last cast's texts in their own storage: a caller that keeps
    // its result casts again without allocating.
    deriveBaseNumbers(record, record.baseNumbers);
    interpretationLines(record, result.report);
    buildSuggestion(record.baseNumbers, result.suggestion);
    fillSuggestion(result.suggestion, result.resultText);
    return true;
}

bool castSuggestion(const CastRequest& request, Analysis& analysis, Suggestion& suggestion) {
    if (!runAnalysis(request, analysis)) {
        for (std::wstring& list : suggestion) list.clear();
        return false;
    }
    AnalysisRecord& record = analysis.record;
    deriveBaseNumbers(record, record.baseNumbers);
    buildSuggestion(record.baseNumbers, suggestion);
    return true;
}

bool runCast(CastRequest& request, const CastClock& clock, CastResult& result) {
    completeCastTime(request, clock);
    return castAnalysis(request, result);
}

}  // namespace orvenna
