// The digits and line indexes from which the lottery suggestion is built.
#pragma once

#include <array>
#include <string>

namespace orvenna {

struct BaseNumbers {
    int zodiacDigit = 0;
    int dayStemDigit = 0;
    int dayBranchDigit = 0;
    std::array<int, 12> lineDigits{};  // line 1 stem, line 1 branch, line 2 stem, ...
    std::array<int, 12> changedLineDigits{};
    int worldIndex = 0;
    int responseIndex = 0;
    int worldStemDigit = 0;
    int worldBranchDigit = 0;
    int responseStemDigit = 0;  // read from the changed hexagram at the primary response line
    int responseBranchDigit = 0;
    int changedWorldStemDigit = 0;
    int changedWorldBranchDigit = 0;
    int changedResponseStemDigit = 0;
    int changedResponseBranchDigit = 0;
    std::array<std::wstring, 6> spirits;
    std::array<std::wstring, 6> relations;

    bool operator==(const BaseNumbers&) const = default;
};

struct AnalysisRecord;

// Copies the He Tu digits and the world and response indexes out of a finished analysis.
// The response digits are read from the changed hexagram at the primary response line.
BaseNumbers deriveBaseNumbers(const AnalysisRecord& record);
void deriveBaseNumbers(const AnalysisRecord& record, BaseNumbers& base);

// Back to a fresh value (numbers 0, texts empty), the texts keeping their storage.
void resetBaseNumbers(BaseNumbers& base);

}  // namespace orvenna
