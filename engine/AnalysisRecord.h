// One complete analysis of a cast: the request's inputs, the pillars and their digits,
// and the per-line data of both hexagrams. A plain value; every run overwrites it.
#pragma once

#include <string>

#include "BaseNumbers.h"
#include "LineArray.h"

namespace orvenna {

struct AnalysisRecord {
    int method = 0;
    std::wstring numberText;
    std::wstring upperCode;
    std::wstring lowerCode;
    int drawTimeChoice = 0;
    double castTime = 0;
    int zodiac = 0;
    std::wstring zodiacBranch;
    int zodiacDigit = 0;
    std::wstring zodiacElement;
    std::wstring dayPillar;
    std::wstring dayStem;
    std::wstring dayBranch;
    int dayStemDigit = 0;
    int dayBranchDigit = 0;
    std::wstring hourPillar;
    std::wstring hourStem;
    std::wstring hourBranch;
    int hourStemDigit = 0;
    int hourBranchDigit = 0;
    std::wstring primaryName;  // hexagram name followed by its soul name
    std::wstring primaryPalaceName;
    int primaryPalaceRank = 0;
    std::wstring changedName;
    std::wstring changedPalaceName;
    int changedPalaceRank = 0;
    LineArray<std::wstring> lineSpirits;
    LineArray<std::wstring> lineRelations;
    LineArray<std::wstring> lineStems;
    LineArray<std::wstring> lineBranches;
    LineArray<int> lineStemDigits;
    LineArray<int> lineBranchDigits;
    LineArray<std::wstring> lineElements;
    int worldIndex = 0;
    int responseIndex = 0;
    LineArray<int> moveMarks;  // 1 yang moving (○), -1 yin moving (×), 0 still
    LineArray<std::wstring> changedRelations;
    LineArray<std::wstring> changedStems;
    LineArray<std::wstring> changedBranches;
    LineArray<int> changedStemDigits;
    LineArray<int> changedBranchDigits;
    LineArray<std::wstring> changedElements;
    int changedWorldIndex = 0;
    int changedResponseIndex = 0;
    BaseNumbers baseNumbers;

    bool operator==(const AnalysisRecord&) const = default;
};

// Back to the empty state (texts empty, numbers 0, arrays emptied) without reallocating:
// every cast starts from here.
void resetRecord(AnalysisRecord& record);

}  // namespace orvenna
