#include "ui/words/HistoryWords.h"

#include <sqlite3.h>

#include <gtest/gtest.h>

#include "ui/words/ReviewText.h"

namespace orvenna {
namespace {

// A refused replay says why after "无法复盘:", but an incomplete request, whose check already
// says what is missing in its own words.
TEST(HistoryWordsTest, EachRefusedReplaySaysWhy) {
    const auto replay = [](ReplayRefusal refusal, Error error = {}, std::wstring_view message = {}) {
        Replay r;
        r.refusal = refusal;
        r.error = std::move(error);
        r.check.message = message;
        return r;
    };
    const struct {
        Replay replay;
        std::wstring_view said;
    } rows[] = {
        {replay(ReplayRefusal::Unreadable, {ErrorSource::Sqlite, NoSuchRow, "gone"}), L"无法复盘:该记录已不存在"},
        {replay(ReplayRefusal::Unreadable, {ErrorSource::Sqlite, SQLITE_BUSY, "locked"}),
         L"无法复盘:数据库正被其他程序使用"},
        {replay(ReplayRefusal::UnknownMethod), L"无法复盘:未知的起卦方式"},
        {replay(ReplayRefusal::UnknownZodiac), L"无法复盘:未知的卦主生肖"},
        {replay(ReplayRefusal::IncompleteInput, {}, L"未选择卦主生肖"), L"未选择卦主生肖"},
        {replay(ReplayRefusal::None), L""},
    };
    for (const auto& row : rows)
        EXPECT_EQ(replayRefusalText(row.replay), row.said) << static_cast<int>(row.replay.refusal);
}

// The counts of an import, and the first wrong line of the file when there was one; a
// conflict with a stored draw is refused without naming a line.
TEST(HistoryWordsTest, AnImportSaysWhatItStoredAndWhereTheFileWentWrong) {
    DrawImport clean;
    clean.report.added = 12;
    clean.report.unchanged = 3;
    EXPECT_EQ(drawImportText(clean), L"开奖数据已导入:新增12期,已有3期,未导入0行");

    DrawImport wrong = clean;
    wrong.csv.problems = {{7, "bad date"}, {9, "bad digit"}};
    wrong.report.conflicts.resize(1);
    EXPECT_EQ(drawImportText(wrong), L"开奖数据已导入:新增12期,已有3期,未导入3行(第7行起有误)");

    DrawImport conflicting = clean;
    conflicting.report.conflicts.resize(2);
    EXPECT_EQ(drawImportText(conflicting), L"开奖数据已导入:新增12期,已有3期,未导入2行");

    // A line the draw rules refused is a wrong line too, named where it comes first.
    DrawImport refused = wrong;
    refused.refusals = {{4, {}, DrawRefusal::AfterToday}, {8, {}, DrawRefusal::NoDrawDay}};
    EXPECT_EQ(drawImportText(refused), L"开奖数据已导入:新增12期,已有3期,未导入5行(第4行起有误)");
    refused.csv.problems.clear();
    refused.refusals.erase(refused.refusals.begin());
    EXPECT_EQ(drawImportText(refused), L"开奖数据已导入:新增12期,已有3期,未导入2行(第8行起有误)");
}

// A fetched draw that was not stored says why: the rule it broke, or the stored draw of its
// period or its date, which stays.
TEST(HistoryWordsTest, AFetchedDrawNotStoredSaysWhy) {
    const Draw stored{0, L"26139", {1, 2, 3, 4, 5, 6}, 7};
    FetchedDraw kept;
    kept.draw.period = L"26150";
    EXPECT_EQ(keptDrawText(kept), L"");
    const struct {
        DrawRefusal refusal;
        const wchar_t* said;
    } refusals[] = {
        {DrawRefusal::PeriodForm, L"第26150期开奖数据未保存:期号不是五位或七位数字"},
        {DrawRefusal::PeriodYear, L"第26150期开奖数据未保存:期号与开奖日期的年份不符"},
        {DrawRefusal::AfterToday, L"第26150期开奖数据未保存:开奖日期晚于今天"},
        {DrawRefusal::NoDrawDay, L"第26150期开奖数据未保存:开奖日期不是周二、周五或周日"},
    };
    for (const auto& row : refusals) {
        kept.refusal = row.refusal;
        EXPECT_EQ(keptDrawText(kept), row.said);
    }
    kept.refusal = DrawRefusal::None;
    kept.conflict = DrawStoreReport::Conflict{0, {stored}, DrawClash::Date};
    EXPECT_EQ(keptDrawText(kept), L"第26150期开奖日期已存为第26139期(123456+7),已保留已存的数据");
    kept.conflict->clash = DrawClash::Period;
    EXPECT_EQ(keptDrawText(kept), L"第26150期开奖数据与已存的不一致(123456+7),已保留已存的数据");
}

// A replay that shows the cast's own digits gives the plain score line; one that shows others
// names the digits the score is for, in one short line; a cast without a draw says only that.
TEST(HistoryWordsTest, AReplayNamesTheDigitsItsScoreIsFor) {
    ReviewedCast cast;
    cast.match = DrawMatch::Matched;
    cast.draw = {0, L"25140", {1, 2, 3, 4, 5, 6}, 7};
    cast.suggestion = {L"0,6,7,8,9", L"1,3,5,7", L"2", L"", L"5,7,9", L"2,8", L"0,1,2,5,9,12", L"0,2,3,4,7,8"};
    cast.score = scoreCast(cast.suggestion, cast.draw);
    const std::wstring plain = scoreLine(cast);
    ASSERT_FALSE(plain.empty());
    EXPECT_EQ(suggestionDigitsText(cast.suggestion), L"对位06789/1357/2/-/579/28 蓝号0,1,2,5,9,12 可能号023478");

    Suggestion other = cast.suggestion;
    other[7] = L"1";
    const struct {
        DrawMatch match;
        Suggestion shown;
        std::wstring said;
    } rows[] = {
        {DrawMatch::Matched, cast.suggestion, plain},
        {DrawMatch::Matched, other,
         L"按初次起卦的号码(对位06789/1357/2/-/579/28 蓝号0,1,2,5,9,12 可能号023478)计:" + plain},
        {DrawMatch::Pending, other,
         L"按初次起卦的号码(对位06789/1357/2/-/579/28 蓝号0,1,2,5,9,12 可能号023478)计:待开奖"},
        {DrawMatch::NotCast, other, L""},
    };
    for (const auto& row : rows) {
        cast.match = row.match;
        EXPECT_EQ(replayScoreText(cast, row.shown), row.said) << static_cast<int>(row.match);
    }
}

}  // namespace
}  // namespace orvenna
