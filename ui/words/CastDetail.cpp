#include "CastDetail.h"

#include "ReviewText.h"
#include "base/DayCount.h"
#include "base/Text.h"

namespace orvenna {

std::vector<DetailRow> castDetailRows(const ReviewedCast& cast) {
    const bool drawn = cast.match == DrawMatch::Matched;
    const std::wstring waiting = matchText(cast.match);
    const auto outcome = [&](bool hit) { return drawn ? std::wstring(hit ? L"中" : L"未中") : waiting; };
    std::vector<DetailRow> rows;
    for (std::size_t i = 0; i < 6; ++i)
        rows.push_back({concat(L"第", static_cast<int>(i) + 1, L"位"), cast.suggestion[i],
                        drawn ? std::to_wstring(cast.draw.front[i]) : std::wstring(),
                        outcome(cast.score.positionHit[i])});
    rows.push_back({L"蓝号", cast.suggestion[6], drawn ? std::to_wstring(cast.draw.blue) : std::wstring(),
                    outcome(cast.score.blueHit)});
    std::wstring front;
    if (drawn)
        for (const int digit : cast.draw.front) front += static_cast<wchar_t>(L'0' + digit);
    rows.push_back(
        {L"可能号", cast.suggestion[7], front, drawn ? concat(L"命中", cast.score.likelyHits, L"个") : waiting});
    return rows;
}

std::wstring castDetailHeading(const ReviewedCast& cast) {
    std::wstring heading = concat(cast.title, L"  ", dateTimeText(cast.castTime).substr(0, 16), L"  ");
    if (cast.match == DrawMatch::Matched)
        heading += concat(L"第", cast.draw.period, L"期 ", drawNumbersText(cast.draw));
    else
        heading += matchText(cast.match);
    if (cast.afterDraw) heading += concat(L"(", afterDrawMark(cast), L")");
    return heading;
}

}  // namespace orvenna
