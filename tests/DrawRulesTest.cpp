#include "engine/DrawRules.h"

#include <gtest/gtest.h>

#include "TempDirectory.h"
#include "TestRequest.h"
#include "base/DayCount.h"
#include "base/Text.h"
#include "engine/CastPipeline.h"
#include "records/CastHistory.h"
#include "records/DrawStore.h"
#include "records/StoredReview.h"

namespace orvenna {
namespace {

// Imported on Tuesday 2026-12-08 before its draw.
const CastClock Now{at(2026, 12, 8, 12, 0), 0, -480};
const Draw Stored{daysFromCivil(2026, 12, 1), L"26139", {1, 2, 3, 4, 5, 6}, 7};

// What one imported line did: "added", "alike", "refused" with the rule, or "clash" with the
// stored draw's period.
std::string outcomeOf(const DrawImport& imported) {
    if (!imported.csv.problems.empty()) return "unread";
    if (!imported.refusals.empty()) return "refused " + std::to_string(static_cast<int>(imported.refusals[0].reason));
    if (!imported.report.conflicts.empty()) {
        const DrawStoreReport::Conflict& conflict = imported.report.conflicts[0];
        return std::string(conflict.clash == DrawClash::Date ? "date of " : "period of ") +
               toUtf8(conflict.stored.draw.period);
    }
    return imported.report.added == 1 ? "added" : "alike";
}

std::string refused(DrawRefusal reason) {
    return "refused " + std::to_string(static_cast<int>(reason));
}

// Lines imported one after another into a store holding 26139 and a cast made for its draw and
// one for Friday's: a draw is taken once per period and once per date, only on a draw day that
// has come, with a period of its own year in either form; what is refused leaves the casts'
// draws as they were.
TEST(DrawRulesTest, EachImportedLineIsTakenOrRefusedByTheDrawRules) {
    TempDirectory home;
    EasyDb db(home.path());
    ASSERT_TRUE(DrawStore(db).store({&Stored, 1}, DrawOrigin::Fetched, L"2026-12-01 21:40:00"));
    CastHistory history(db);
    CastResult cast;
    ASSERT_TRUE(castAnalysis(numberRequest(L"1234", 7, at(2026, 12, 1, 20, 0)), cast));
    ASSERT_TRUE(history.save(cast.analysis.record, L"tuesday", L""));
    ASSERT_TRUE(castAnalysis(numberRequest(L"1234", 7, at(2026, 12, 10, 20, 0)), cast));
    ASSERT_TRUE(history.save(cast.analysis.record, L"friday", L""));

    struct Case {
        const char* line;
        std::string outcome;
    } const cases[] = {
        {"26139,2026-12-01,123456+7", "alike"},
        {"26138,2026-12-01,000000+0", "date of 26139"},  // a new period for a stored date
        {"10000,2026-12-01,000000+0", refused(DrawRefusal::PeriodYear)},
        {"26143,2026-12-11,000000+0", refused(DrawRefusal::AfterToday)},  // Friday to come
        {"26143,2026-12-09,000000+0", refused(DrawRefusal::AfterToday)},  // tomorrow, and no draw day
        {"26199,2026-12-02,000000+0", refused(DrawRefusal::NoDrawDay)},   // a Wednesday
        {"26199,2026-11-28,000000+0", refused(DrawRefusal::NoDrawDay)},   // a Saturday
        {"2026139,2026-12-01,123456+7", "alike"},                         // the seven-digit form
        {"2026139,2026-12-01,123456+8", "period of 26139"},
        {"2026140,2026-12-04,222222+2", "added"},
        {"26140,2026-12-04,222222+2", "alike"},
        {"26147,2026-12-06,333333+3", refused(DrawRefusal::PeriodNumber)},  // Sunday's is at most 146
        {"26000,2026-12-06,333333+3", refused(DrawRefusal::PeriodNumber)},
        {"2026000,2026-12-06,333333+3", refused(DrawRefusal::PeriodNumber)},
        {"26001,2026-01-01,111111+1", refused(DrawRefusal::NoDrawDay)},     // a Thursday
        {"26002,2026-01-02,111111+1", refused(DrawRefusal::PeriodNumber)},  // the year's first draw day
        {"26001,2026-01-02,111111+1", "added"},
        {"2026003,2026-01-04,111111+1", refused(DrawRefusal::PeriodNumber)},
        {"26002,2026-01-04,111111+1", "added"},
        {"24158,2024-12-31,666666+6", refused(DrawRefusal::PeriodNumber)},  // a leap year's 157 draw days
        {"2024157,2024-12-31,666666+6", "added"},
        {"2025141,2026-12-06,333333+3", refused(DrawRefusal::PeriodYear)},
        {"1926141,2026-12-06,333333+3", refused(DrawRefusal::PeriodYear)},
        {"2025142,2025-12-07,555555+5", "added"},  // a year before
        {"261410,2026-12-06,333333+3", refused(DrawRefusal::PeriodForm)},
        {"141,2026-12-06,333333+3", refused(DrawRefusal::PeriodForm)},
        {"26141,2026-12-06,333333+3", "added"},
        {"26146,2026-12-06,333333+3", "date of 26141"},  // a number Sunday can have
        {"26142,2026-12-08,444444+4", "added"},          // today's, before 21:25 all the same
        {"26142,2026-12-08,444444+4", "alike"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        const Result<DrawImport> imported = importDraws(db, c.line, Now);
        ASSERT_TRUE(imported) << imported.error().message;
        EXPECT_EQ(outcomeOf(*imported), c.outcome);
        EXPECT_EQ(imported->refused(), c.outcome == "added" || c.outcome == "alike" ? 0u : 1u);
    }

    const Result<std::vector<Draw>> draws = DrawStore(db).draws(daysFromCivil(2026, 12, 8));
    ASSERT_TRUE(draws);
    std::vector<std::wstring> periods;
    for (const Draw& draw : *draws) periods.push_back(draw.period);
    EXPECT_EQ(periods, (std::vector<std::wstring>{L"24157", L"25142", L"26001", L"26002", L"26139", L"26140", L"26141",
                                                  L"26142"}));

    const Result<CastReview> review = reviewCasts(db, Now);
    ASSERT_TRUE(review);
    ASSERT_EQ(review->casts.size(), 2u);
    EXPECT_EQ(review->casts[0].match, DrawMatch::Pending) << "no draw to come was taken";
    EXPECT_EQ(review->casts[1].match, DrawMatch::Matched);
    EXPECT_EQ(review->casts[1].draw, Stored) << "the stored date kept its draw";
}

// The largest period number of a day is its year's draw days up to it: every day of two
// centuries against a count kept day by day.
TEST(DrawRulesTest, APeriodNumberIsBoundByTheDrawDaysOfItsYearUpToItsDate) {
    int count = 0;
    for (std::int64_t day = daysFromCivil(1900, 1, 1); day <= daysFromCivil(2100, 12, 31); ++day) {
        const DateTimeFields f = fieldsFromDayCount(static_cast<double>(day));
        if (f.month == 1 && f.day == 1) count = 0;
        count += f.weekday == 1 || f.weekday == 3 || f.weekday == 6;
        ASSERT_EQ(drawDaysOfYearUpTo(day), count) << toUtf8(dateText(static_cast<double>(day)));
    }
}

}  // namespace
}  // namespace orvenna
