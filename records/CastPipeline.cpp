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
        result.suggestion = Suggestion{};
        result.resultText.clear();
        return false;
    }
    AnalysisRecord& record = result.analysis.record;
    record.baseNumbers = deriveBaseNumbers(record);
    result.report = interpretationLines(record);
    result.suggestion = buildSuggestion(record.baseNumbers);
    result.resultText = fillSuggestion(result.suggestion);
    return true;
}

bool runCast(CastRequest& request, const CastClock& clock, CastResult& result) {
    completeCastTime(request, clock);
    return castAnalysis(request, result);
}

}  // namespace orvenna
