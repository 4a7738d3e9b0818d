// The path from one casting request to a complete analysis: pillars, both charts, and the
// analysis record that the report, the suggestion and a saved prediction are made from.
#pragma once

#include <string>

#include "AnalysisRecord.h"
#include "CastRequest.h"
#include "Hexagram.h"

namespace orvenna {

// Everything one run produces; the analysis panel owns one and every run overwrites it.
struct Analysis {
    AnalysisRecord record;
    Hexagram primary;
    Hexagram changed;
    std::wstring header;  // "以数字1234起卦,卦主生肖:午,日主:甲子,时辰:甲子"
};

// "以" + method name + ",卦主生肖:" + zodiac branch + ",日主:" + day + ",时辰:" + hour.
std::wstring analysisHeader(int method, std::wstring_view numberText, std::wstring_view zodiacBranch,
                            std::wstring_view dayPillar, std::wstring_view hourPillar);

// Resets `analysis`, reckons the pillars and the header, casts and changes by method and
// fills the record. Returns false, with only the pillars and the header set, for a method
// other than 1..3; the caller then shows nothing more.
bool runAnalysis(const CastRequest& request, Analysis& analysis);

}  // namespace orvenna
