#include "ui/words/HistoryWords.h"

#include <sqlite3.h>

#include <gtest/gtest.h>

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
}

}  // namespace
}  // namespace orvenna
