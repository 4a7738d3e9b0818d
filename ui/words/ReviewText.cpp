#include "ReviewText.h"

#include <cmath>
#include <cwchar>

#include "base/Text.h"
#include "engine/ChanceTest.h"

namespace orvenna {

std::wstring oneDecimalText(double value) {
    wchar_t text[32];
    swprintf(text, 32, L"%.1f", value);
    return text;
}

std::wstring matchText(DrawMatch match) {
    switch (match) {
        case DrawMatch::Pending:
            return L"待开奖";
        case DrawMatch::NoDraw:
            return L"无开奖数据";
        case DrawMatch::NotCast:
            return L"无法复盘";
        case DrawMatch::Matched:
            break;
    }
    return {};
}

namespace {

std::wstring scoreOnly(const ReviewedCast& cast) {
    if (cast.match != DrawMatch::Matched) return matchText(cast.match);
    const CastScore& s = cast.score;
    return L"第" + cast.draw.period + L"期 对位命中" + std::to_wstring(s.positionHits) + L"/6 蓝号" +
           (s.blueHit ? L"中" : L"未中") + L" 可能号" + std::to_wstring(s.likelyHits) + L" (随机期望" +
           oneDecimalText(s.expectedPositionHits) + L"/6)";
}

}  // namespace

std::wstring scoreLine(const ReviewedCast& cast) {
    if (cast.match == DrawMatch::NotCast) return {};
    if (cast.afterDraw) return scoreOnly(cast) + L" " + afterDrawMark(cast);
    return scoreOnly(cast);
}

std::wstring pValueText(double p) {
    wchar_t text[32];
    if (p >= 0.05)
        swprintf(text, 32, L"%.2f", p);
    else if (p >= 0.001)
        // Rounded down: a p-value under 0.05 never reads as 0.050.
        swprintf(text, 32, L"%.3f", std::floor(p * 1000 + 1e-9) / 1000);
    else
        return L"<0.001";
    return text;
}

std::wstring chanceSentence(std::wstring_view total, int hits, double expected, double p) {
    const std::wstring said = L"(p" + std::wstring(p < 0.001 ? L"" : L"=") + pValueText(p) + L")";
    if (p >= 0.05) return concat(total, L"与随机无显著差异", said);
    const std::wstring_view side = hits > expected ? L"高于随机期望" : L"低于随机期望";
    if (expected <= 0) return concat(total, side, said);
    const double percent = std::abs(hits - expected) / expected * 100;
    wchar_t figure[32];
    swprintf(figure, 32, percent >= 10 ? L"%.0f%%" : L"%.1f%%", percent);
    return concat(total, side, std::wstring(figure), said);
}

std::vector<std::wstring> chanceLines(const ScoreTotals& totals) {
    const std::optional<TotalsTest> test = chanceTest(totals);
    if (!test) return {L"尚无已开奖的起卦"};
    return {chanceSentence(L"对位命中", totals.positionHits, totals.expectedPositionHits, test->positionP),
            chanceSentence(L"蓝号命中", totals.blueHits, totals.expectedBlueHits, test->blueP),
            chanceSentence(L"可能号命中", totals.likelyHits, totals.expectedLikelyHits, test->likelyP)};
}

std::wstring afterDrawMark(const ReviewedCast& cast) {
    return cast.afterDraw && cast.match != DrawMatch::NotCast ? L"开奖后所起,对下一期" : L"";
}

}  // namespace orvenna
