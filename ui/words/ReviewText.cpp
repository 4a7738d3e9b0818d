#include "ReviewText.h"

#include <cwchar>

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

std::wstring afterDrawMark(const ReviewedCast& cast) {
    return cast.afterDraw && cast.match != DrawMatch::NotCast ? L"开奖后所起,对下一期" : L"";
}

}  // namespace orvenna
