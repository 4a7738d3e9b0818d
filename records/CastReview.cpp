#include "CastReview.h"

#include <cwchar>
#include <unordered_map>

#include "CastHistory.h"
#include "base/DayCount.h"
#include "engine/Calendar.h"
#include "engine/CastPipeline.h"

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

std::wstring scoreLine(const ReviewedCast& cast) {
    if (cast.match == DrawMatch::NotCast) return {};
    if (cast.match != DrawMatch::Matched) return matchText(cast.match);
    const CastScore& s = cast.score;
    return L"第" + cast.draw.period + L"期 对位命中" + std::to_wstring(s.positionHits) + L"/6 蓝号" +
           (s.blueHit ? L"中" : L"未中") + L" 可能号" + std::to_wstring(s.likelyHits) + L" (随机期望" +
           oneDecimalText(s.expectedPositionHits) + L"/6)";
}

CastReview reviewRecords(std::span<const YsModel> records, std::span<const StoredDraw> draws, const CastClock& now) {
    std::unordered_map<std::wstring, const DrawRow*> byDate;
    for (const StoredDraw& stored : draws) byDate.emplace(stored.draw.date, &stored.draw);
    CastReview review;
    review.casts.reserve(records.size());
    CastResult result;
    for (const YsModel& record : records) {
        ReviewedCast& cast = review.casts.emplace_back();
        cast.id = record._id;
        cast.title = record.ysname;
        cast.castTime = record.ysday;
        const std::int64_t day = drawDayOf(record.ysday);
        cast.drawDate = dateText(static_cast<double>(day));
        CastRequest request = replayRequest(record);
        if (storedRefusal(record) != ReplayRefusal::None || !checkRequest(request).casts()) {
            cast.match = DrawMatch::NotCast;
            continue;
        }
        // A replay at the cast's own time computes what the user was shown then: a number
        // casting takes the clock's time, the others keep what was stored.
        const CastClock then{record.ysday, unixMillis(record.ysday, now.biasMinutes), now.biasMinutes};
        runCast(request, then, result);
        cast.suggestion = result.suggestion;
        if (const auto found = byDate.find(cast.drawDate); found != byDate.end()) {
            cast.match = DrawMatch::Matched;
            cast.draw = *found->second;
            cast.score = scoreCast(cast.suggestion, cast.draw.numbers);
            review.totals.add(cast.score);
        } else {
            cast.match = drawTimeOn(day) > now.localNow ? DrawMatch::Pending : DrawMatch::NoDraw;
        }
    }
    return review;
}

Result<CastReview> reviewCasts(EasyDb& db, const CastClock& now) {
    std::vector<YsModel> records;
    if (Status read = db.forEachRecord([&](const YsModel& record) { records.push_back(record); }); !read)
        return read.error();
    DrawStore store(db);
    Result<std::vector<StoredDraw>> draws = store.list();
    if (!draws) return draws.error();
    return reviewRecords(records, *draws, now);
}

}  // namespace orvenna
