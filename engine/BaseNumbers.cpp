#include "BaseNumbers.h"

#include "AnalysisRecord.h"
#include "base/Text.h"

namespace orvenna {

void resetBaseNumbers(BaseNumbers& b) {
    for (int* number :
         {&b.zodiacDigit, &b.dayStemDigit, &b.dayBranchDigit, &b.worldIndex, &b.responseIndex, &b.worldStemDigit,
          &b.worldBranchDigit, &b.responseStemDigit, &b.responseBranchDigit, &b.changedWorldStemDigit,
          &b.changedWorldBranchDigit, &b.changedResponseStemDigit, &b.changedResponseBranchDigit}) {
        *number = 0;
    }
    b.lineDigits.fill(0);
    b.changedLineDigits.fill(0);
    for (std::wstring& spirit : b.spirits) spirit.clear();
    for (std::wstring& relation : b.relations) relation.clear();
}

BaseNumbers deriveBaseNumbers(const AnalysisRecord& r) {
    BaseNumbers b;
    deriveBaseNumbers(r, b);
    return b;
}

void deriveBaseNumbers(const AnalysisRecord& r, BaseNumbers& b) {
    b.zodiacDigit = r.zodiacDigit;
    b.dayStemDigit = r.dayStemDigit;
    b.dayBranchDigit = r.dayBranchDigit;
    for (std::size_t i = 0; i < 6; ++i) {
        b.lineDigits[2 * i] = lineEntry(r.lineStemDigits, i);
        b.lineDigits[2 * i + 1] = lineEntry(r.lineBranchDigits, i);
        b.changedLineDigits[2 * i] = lineEntry(r.changedStemDigits, i);
        b.changedLineDigits[2 * i + 1] = lineEntry(r.changedBranchDigits, i);
        assignText(b.spirits[i], lineEntry(r.lineSpirits, i));
        assignText(b.relations[i], lineEntry(r.lineRelations, i));
    }
    b.worldIndex = r.worldIndex;
    b.responseIndex = r.responseIndex;
    // An index outside 0..5 (a chart that was never built) reads past every array: 0.
    const auto at = [](const LineArray<int>& digits, int index) {
        return index < 0 ? 0 : lineEntry(digits, static_cast<std::size_t>(index));
    };
    b.worldStemDigit = at(r.lineStemDigits, r.worldIndex);
    b.worldBranchDigit = at(r.lineBranchDigits, r.worldIndex);
    b.responseStemDigit = at(r.changedStemDigits, r.responseIndex);
    b.responseBranchDigit = at(r.changedBranchDigits, r.responseIndex);
    b.changedWorldStemDigit = at(r.changedStemDigits, r.changedWorldIndex);
    b.changedWorldBranchDigit = at(r.changedBranchDigits, r.changedWorldIndex);
    b.changedResponseStemDigit = at(r.changedStemDigits, r.changedResponseIndex);
    b.changedResponseBranchDigit = at(r.changedBranchDigits, r.changedResponseIndex);
}

}  // namespace orvenna
