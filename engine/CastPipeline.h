// One cast from request to result text: the single path that the window, the replay, the
// command line and the tests take, so that every caller shows the same analysis.
#pragma once

#include <string>
#include <vector>

#include "base/CastClock.h"
#include "engine/AnalysisRun.h"
#include "engine/CastRequest.h"
#include "engine/Suggestion.h"

namespace orvenna {

// Everything one cast produces. Callers keep one and let every cast overwrite it, so that a
// run reuses the buffers of the last.
struct CastResult {
    Analysis analysis;                 // the record (base numbers included), both charts, header
    std::vector<std::wstring> report;  // the interpretation text (卦解), one entry a line
    Suggestion suggestion;             // the eight digit lists
    std::wstring resultText;           // the suggestion in the result template
    bool cast = false;                 // false: the method was not 1..3; only the header is set
};

// The analysis of a complete request: pillars, both charts, the record, the base numbers,
// the interpretation, the suggestion and the result text. False for a method other than
// 1..3, with only the pillars and the header set and everything after them empty.
bool castAnalysis(const CastRequest& request, CastResult& result);

// The suggestion alone of a complete request, as castAnalysis makes it, without the
// interpretation or the result text; `analysis` is the run's working record, kept by the
// caller so that many casts reuse its buffers. False, with the lists empty, for a method
// other than 1..3.
bool castSuggestion(const CastRequest& request, Analysis& analysis, Suggestion& suggestion);

// The casting dispatch, then the analysis: completes the request's cast time (and a new
// time casting's number) from `clock`, as completeCastTime says, then castAnalysis.
bool runCast(CastRequest& request, const CastClock& clock, CastResult& result);

}  // namespace orvenna
