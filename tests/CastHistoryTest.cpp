#include "records/CastHistory.h"

#include <gtest/gtest.h>

#include "CollectedList.h"
#include "TempDirectory.h"
#include "TestRequest.h"

namespace orvenna {
namespace {

constexpr double CastDay = 45382.5;  // 2024-03-31 12:00

// Save, list, replay and delete over a real database file, as the window and the command
// line use them.
TEST(CastHistoryTest, SavesListsReplaysAndDeletes) {
    TempDirectory home;
    EasyDb store(home.path());
    CastHistory history(store);

    const CastRequest request = numberRequest(L"1234", 7, CastDay);
    CastResult first;
    ASSERT_TRUE(castAnalysis(request, first));
    const Result<std::int64_t> saved = history.save(first.analysis.record, L"标题", L"备注");
    ASSERT_TRUE(saved) << saved.error().message;

    // Rows another program wrote, which no cast can make or whose input does not cast.
    const auto foreign = [&](int method, int zodiac, std::wstring_view number) {
        YsModel row = YsModel::fromAnalysis(first.analysis.record, L"外来", L"");
        row.ysindex = method;
        row.gzsxid = zodiac;
        row.ysnumber = number;
        EXPECT_TRUE(store.save(row));
        return row._id;
    };
    const std::int64_t unknownMethod = foreign(7, 3, L"1234");
    const std::int64_t unknownZodiac = foreign(NumberCasting, 13, L"1234");
    const std::int64_t noNumber = foreign(NumberCasting, 3, L"");

    CollectedList list;
    ASSERT_TRUE(history.list(list));
    ASSERT_EQ(list.items.size(), 4u);
    EXPECT_EQ(list.items.back(), std::pair(std::wstring(L"标题(2024年3月31日12时)"), *saved));
    EXPECT_FALSE(history.readOnly());

    struct Case {
        const char* name;
        std::int64_t id;
        ReplayRefusal prepared;  // what restoring it on the casting row meets
        ReplayRefusal cast;      // what casting it again meets
    };
    const Case cases[] = {
        {"saved", *saved, ReplayRefusal::None, ReplayRefusal::None},
        {"gone", 4242, ReplayRefusal::Unreadable, ReplayRefusal::Unreadable},
        {"unknown method", unknownMethod, ReplayRefusal::UnknownMethod, ReplayRefusal::UnknownMethod},
        {"unknown zodiac", unknownZodiac, ReplayRefusal::UnknownZodiac, ReplayRefusal::UnknownZodiac},
        // The casting row checks the input itself, and says what is missing.
        {"no number", noNumber, ReplayRefusal::None, ReplayRefusal::IncompleteInput},
    };
    const CastClock clock{CastDay, 0, -480};  // a number cast again takes the time of now
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Replay prepared = history.prepareReplay(c.id);
        EXPECT_EQ(prepared.refusal, c.prepared);
        CastResult again;
        const Replay replay = history.replay(c.id, clock, again);
        EXPECT_EQ(replay.refusal, c.cast);
        if (c.cast == ReplayRefusal::None) {
            EXPECT_EQ(replay.request.replayId, c.id);
            EXPECT_EQ(again.resultText, first.resultText);
        }
        if (c.cast == ReplayRefusal::Unreadable) {
            EXPECT_EQ(replay.error.code, NoSuchRow);
        }
        if (c.cast == ReplayRefusal::IncompleteInput) {
            EXPECT_EQ(replay.check.problem, CastProblem::NoNumber);
        }
        if (c.cast != ReplayRefusal::None) {
            EXPECT_TRUE(again.resultText.empty());
        }
    }

    const std::int64_t ticked[] = {*saved, unknownMethod};
    ASSERT_TRUE(history.remove(ticked));
    ASSERT_TRUE(history.remove(noNumber));
    ASSERT_TRUE(history.list(list));
    EXPECT_EQ(list.items, (std::vector{std::pair(std::wstring(L"外来(2024年3月31日12时)"), unknownZodiac)}));
    EXPECT_EQ(history.load(*saved).error().code, NoSuchRow);
}

}  // namespace
}  // namespace orvenna
