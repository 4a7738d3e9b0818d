#include "AnalysisRun.h"

#include "Calendar.h"
#include "Casting.h"
#include "Tables.h"
#include "base/Text.h"

namespace orvenna {

namespace {

std::wstring_view charAt(std::wstring_view text, std::int64_t pos) {
    return clampedSubstr(text, pos, 1);
}

void setNameWithSoul(std::wstring& name, const Hexagram& h) {
    assignText(name, hexagramName(hexagramNumber(h)));
    name += soulName(h.soulType);
}

void appendHeader(std::wstring& header, int method, std::wstring_view numberText, std::wstring_view zodiacBranch,
                  std::wstring_view dayPillar, std::wstring_view hourPillar) {
    header += L"以";
    if (method == NumberCasting) {
        appendAll(header, L"数字", numberText, L"起卦");
    } else if (method == LineCasting) {
        header += L"自己装卦";
    } else if (method == TimeCasting) {
        header += L"超时空毫秒起卦";
    }
    appendAll(header, L",卦主生肖:", zodiacBranch, L",日主:", dayPillar, L",时辰:", hourPillar);
}

int numberMoveMark(const Hexagram& primary, std::size_t line) {
    if (static_cast<int>(line) + 1 != primary.movingLine) return 0;
    return sameText(lineEntry(primary.lineMarks, line), std::wstring_view(L"1", 1)) ? 1 : -1;
}

int flagMoveMark(const std::vector<int>& flags, std::size_t line) {
    const int flag = lineEntry(flags, line);
    return flag == 0 ? 0 : (flag == 1 ? 1 : -1);
}

void fillRecord(AnalysisRecord& r, const Hexagram& primary, const Hexagram& changed, const CastRequest& request) {
    setNameWithSoul(r.primaryName, primary);
    assignText(r.primaryPalaceName, trigramName(primary.palace));
    r.primaryPalaceRank = primary.palaceRank;
    setNameWithSoul(r.changedName, changed);
    assignText(r.changedPalaceName, trigramName(changed.palace));
    r.changedPalaceRank = changed.palaceRank;
    r.worldIndex = primary.worldLine - 1;
    r.responseIndex = primary.responseLine - 1;
    r.changedWorldIndex = changed.worldLine - 1;
    r.changedResponseIndex = changed.responseLine - 1;

    const bool byFlags = request.method == LineCasting;
    const auto view = [](const LineArray<std::wstring>& lines, std::size_t i) {
        return i < lines.size() ? std::wstring_view(lines[i]) : std::wstring_view();
    };
    for (std::size_t i = 0; i < 6; ++i) {
        const std::wstring_view stemBranch = view(primary.stemBranches, i);
        r.lineSpirits.emplace_back(view(primary.spirits, i));
        r.lineRelations.emplace_back(view(primary.relations, i));
        r.lineStems.emplace_back(charAt(stemBranch, 0));
        r.lineStemDigits.push_back(stemDigit(charAt(stemBranch, 0)));
        r.lineBranches.emplace_back(charAt(stemBranch, 1));
        r.lineBranchDigits.push_back(branchDigit(charAt(stemBranch, 1)));
        r.lineElements.emplace_back(view(primary.elementNames, i));
        r.moveMarks.push_back(byFlags ? flagMoveMark(request.movingFlags, i) : numberMoveMark(primary, i));

        const std::wstring_view changedStemBranch = view(changed.stemBranches, i);
        r.changedRelations.emplace_back(view(changed.relations, i));
        r.changedStems.emplace_back(charAt(changedStemBranch, 0));
        r.changedBranches.emplace_back(charAt(changedStemBranch, 1));
        r.changedStemDigits.push_back(stemDigit(charAt(changedStemBranch, 0)));
        r.changedBranchDigits.push_back(branchDigit(charAt(changedStemBranch, 1)));
        r.changedElements.emplace_back(view(changed.elementNames, i));
    }
}

}  // namespace

void resetRecord(AnalysisRecord& r) {
    for (std::wstring* text : {&r.numberText, &r.upperCode, &r.lowerCode, &r.zodiacBranch, &r.zodiacElement,
                               &r.dayPillar, &r.dayStem, &r.dayBranch, &r.hourPillar, &r.hourStem, &r.hourBranch,
                               &r.primaryName, &r.primaryPalaceName, &r.changedName, &r.changedPalaceName}) {
        text->clear();
    }
    for (int* number : {&r.method, &r.drawTimeChoice, &r.zodiac, &r.zodiacDigit, &r.dayStemDigit, &r.dayBranchDigit,
                        &r.hourStemDigit, &r.hourBranchDigit, &r.primaryPalaceRank, &r.changedPalaceRank, &r.worldIndex,
                        &r.responseIndex, &r.changedWorldIndex, &r.changedResponseIndex}) {
        *number = 0;
    }
    r.castTime = 0;
    for (LineArray<std::wstring>* lines :
         {&r.lineSpirits, &r.lineRelations, &r.lineStems, &r.lineBranches, &r.lineElements, &r.changedRelations,
          &r.changedStems, &r.changedBranches, &r.changedElements}) {
        lines->clear();
    }
    for (LineArray<int>* lines :
         {&r.lineStemDigits, &r.lineBranchDigits, &r.moveMarks, &r.changedStemDigits, &r.changedBranchDigits}) {
        lines->clear();
    }
    resetBaseNumbers(r.baseNumbers);
}

std::wstring analysisHeader(int method, std::wstring_view numberText, std::wstring_view zodiacBranch,
                            std::wstring_view dayPillar, std::wstring_view hourPillar) {
    std::wstring header;
    appendHeader(header, method, numberText, zodiacBranch, dayPillar, hourPillar);
    return header;
}

bool runAnalysis(const CastRequest& request, Analysis& analysis) {
    AnalysisRecord& r = analysis.record;
    resetRecord(r);
    resetHexagram(analysis.primary);
    resetHexagram(analysis.changed);

    r.numberText = request.numberText;
    r.method = request.method;
    r.zodiac = request.zodiac;
    r.castTime = request.castTime;
    r.upperCode = request.upperCode;
    r.lowerCode = request.lowerCode;
    r.drawTimeChoice = request.drawTimeChoice;

    assignText(r.zodiacBranch, branchName(request.zodiac));
    r.zodiacDigit = branchDigit(r.zodiacBranch);
    assignText(r.zodiacElement, branchElement(r.zodiacBranch));
    r.dayPillar = dayPillar(request.castTime);
    assignText(r.dayStem, charAt(r.dayPillar, 0));
    assignText(r.dayBranch, charAt(r.dayPillar, 1));
    r.dayStemDigit = stemDigit(r.dayStem);
    r.dayBranchDigit = branchDigit(r.dayBranch);
    const int hour = hourNumber(request.castTime);
    r.hourPillar = hourPillar(r.dayPillar, hour);
    assignText(r.hourStem, charAt(r.hourPillar, 0));
    assignText(r.hourBranch, charAt(r.hourPillar, 1));
    r.hourStemDigit = stemDigit(r.hourStem);
    r.hourBranchDigit = branchDigit(r.hourBranch);

    analysis.header.clear();
    appendHeader(analysis.header, request.method, request.numberText, r.zodiacBranch, r.dayPillar, r.hourPillar);

    Hexagram& primary = analysis.primary;
    Hexagram& changed = analysis.changed;
    if (request.method == NumberCasting || request.method == TimeCasting) {
        castFromNumber(primary, request.numberText, r.dayPillar, hour);
        const int m = primary.movingLine;
        buildChanged(changed, flipLine(primary.upperCode, m < 4 ? 0 : m), flipLine(primary.lowerCode, m < 4 ? m : 0));
    } else if (request.method == LineCasting) {
        castFromLines(primary, request.upperCode, request.lowerCode, r.dayPillar, request.movingFlags);
        buildChanged(changed, applyMovingFlags(request.upperCode, request.movingFlags, LineHalf::Upper),
                     applyMovingFlags(request.lowerCode, request.movingFlags, LineHalf::Lower));
    } else {
        return false;
    }
    fillRecord(r, primary, changed, request);
    return true;
}

}  // namespace orvenna
