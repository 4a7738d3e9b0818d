// Saved casts and the draws they were cast for, made up for the windows that review them: a
// cast every few days from November 2026, all but the last `pending` drawn.
#pragma once

#include <string>
#include <vector>

#include "GuiTest.h"
#include "base/DayCount.h"
#include "engine/CastReview.h"
#include "engine/DrawRules.h"
#include "engine/DrawScore.h"
#include "records/StoredReview.h"
#include "records/YsModel.h"

namespace orvenna::gui {

struct PastCasts {
    std::vector<YsModel> records;  // newest first, as the store lists them
    std::vector<SavedCast> casts;  // the same as the review reads them
    std::vector<Draw> draws;       // each with the period the draw calendar gives its day
};

inline PastCasts pastCasts(int count, int pending = 1) {
    static const wchar_t* const titles[] = {L"周二晚", L"周五开奖前", L"线下摇卦", L"周日", L"生日数字", L"下一期"};
    PastCasts made;
    for (int i = 0; i < count; ++i) {
        YsModel cast;
        cast._id = count - i;
        cast.ysindex = NumberCasting;
        cast.ysnumber = std::to_wstring(20261100 + 7 * i);
        cast.gzsxid = i % 12 + 1;
        const bool drawn = i < count - pending;
        // Every fifth day from 2026-11-10, or the morning of 2026-12-08 for one still to come.
        cast.ysday = drawn ? clockAt(2026, 11, 10, 20, 15, 0).localNow - 5 * (count - pending - 1 - i)
                           : clockAt(2026, 12, 8, 10, 5, 0).localNow;
        cast.ysname = savedTitle(titles[i % 6], cast.ysday);
        made.records.insert(made.records.begin(), cast);
        made.casts.insert(made.casts.begin(), savedCast(cast));
        const std::int64_t day = drawDayOf(cast.ysday);
        const int year = fieldsFromDayCount(static_cast<double>(day)).year;
        if (drawn && (made.draws.empty() || made.draws.back().day != day))
            made.draws.push_back({day,
                                  std::to_wstring((year % 100) * 1000 + drawDaysOfYearUpTo(day)),
                                  {(3 * i) % 10, (7 * i + 1) % 10, (i + 4) % 10, (9 * i + 2) % 10, 5, (2 * i) % 10},
                                  (4 * i + 3) % 15});
    }
    return made;
}

// The review of those casts on the morning of 2026-12-08.
inline CastReview reviewOf(const PastCasts& past) {
    return reviewCasts(past.casts, past.draws, clockAt(2026, 12, 8, 12, 0, 0));
}

}  // namespace orvenna::gui
