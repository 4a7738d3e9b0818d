#include "ui/words/HistoryWords.h"

#include <sqlite3.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "TempDirectory.h"
#include "TestRequest.h"
#include "base/DayCount.h"
#include "base/Text.h"
#include "codec/TextFile.h"
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

// Imported on 2024-12-31: every draw of the year has come.
const CastClock YearEnd{at(2024, 12, 31, 12, 0), 0, -480};

// `count` draw lines of 2024 from its first Tuesday on (Tue, Fri, Sun), after a header: the
// file's line n + 2 is the n-th draw.
std::string drawLines(int count) {
    std::string text = "期号,日期,号码\n";
    std::int64_t day = daysFromCivil(2024, 1, 2);
    for (int n = 0; n < count; ++n, ++day) {
        while (!isDrawDay(day)) ++day;
        text += std::to_string(24001 + n) + "," + toUtf8(dateText(static_cast<double>(day))) + "," +
                std::to_string(n % 10) + "12345+" + std::to_string(n % 15) + "\n";
    }
    return text;
}

// The counts of an import exactly, and the lines it left by number: one wrong line among
// thirty is that line, not the rest after it.
TEST(HistoryWordsTest, AnImportSaysWhatItStoredAndWhichLinesItLeft) {
    TempDirectory home;
    EasyDb db(home.path());
    std::string text = drawLines(29);
    // Line 6 (the fifth draw) loses its numbers; the 24 draws after it are whole.
    const std::size_t sixth = [&] {
        std::size_t at = 0;
        for (int line = 1; line < 6; ++line) at = text.find('\n', at) + 1;
        return at;
    }();
    text.replace(text.find(",", text.find(",", sixth) + 1) + 1, 6, "12345");
    const Result<DrawImport> first = importDraws(db, text, YearEnd);
    ASSERT_TRUE(first);
    EXPECT_EQ(drawImportText(*first), L"开奖数据已导入:新增28期,已有0期,未导入1行(第6行)");
    EXPECT_EQ(refusedLinesText(*first), std::vector<std::wstring>{L"第6行:号码不是6个0-9的数字加一个0-14的蓝号"});
    const Result<DrawImport> again = importDraws(db, text, YearEnd);
    ASSERT_TRUE(again);
    EXPECT_EQ(drawImportText(*again), L"开奖数据已导入:新增0期,已有28期,未导入1行(第6行)");

    const Result<DrawImport> whole = importDraws(db, drawLines(3), YearEnd);
    ASSERT_TRUE(whole);
    EXPECT_EQ(drawImportText(*whole), L"开奖数据已导入:新增0期,已有3期,未导入0行");
    EXPECT_TRUE(refusedLinesText(*whole).empty());
}

// Each kind of line an import leaves is listed with its line and why, in the file's order and
// in the window's own words: no English of the reader's comes through.
TEST(HistoryWordsTest, EveryLineAnImportLeftIsListedInChinese) {
    TempDirectory home;
    EasyDb db(home.path());
    ASSERT_TRUE(importDraws(db, drawLines(2), YearEnd));  // 24001 on 01-02, 24002 on 01-05
    ASSERT_TRUE(importDraws(db, "24150,2024-12-20,1111111", YearEnd));
    const char* file =
        "期号,日期,号码\n"               // 1
        "24001,2024-01-02,0000000\n"     // 2: its period is stored otherwise
        "24149,2024-12-20,1234567\n"     // 3: its date is stored as 24150
        "24010,2024-01-03,1234567\n"     // 4: a Wednesday
        "24x11,2024-01-07,1234567\n"     // 5
        "24012,2024-02-30,1234567\n"     // 6
        "24013,2024-01-09,12345\n"       // 7
        "24014;2024-01-12;1234567\n"     // 8: one field
        "24006,2024-01-14,1234567\n"     // 9: taken (the sixth draw of 2024)
        "24006,2024-01-14,7654321\n"     // 10: the period again with another draw
        "25016,2024-01-16,1234567\n"     // 11: a period of another year
        "24017,2024-01-19,\"1234567\n";  // 12: a quote left open
    const Result<DrawImport> imported = importDraws(db, file, YearEnd);
    ASSERT_TRUE(imported);
    const std::vector<std::wstring> expected = {
        L"第2行:第24001期开奖数据与已存的不一致(012345+0)",
        L"第3行:第24149期开奖日期已存为第24150期(111111+1)",
        L"第4行:第24010期(2024-01-03)开奖日期不是周二、周五或周日",
        L"第5行:期号“24x11”不是12位以内的数字",
        L"第6行:日期“2024-02-30”不是有效的日期(年-月-日)",
        L"第7行:号码不是6个0-9的数字加一个0-14的蓝号",
        L"第8行:应为期号、日期、号码3项,或期号、日期、7个号码共9项,此行有1项",
        L"第10行:第24006期已在第9行,开奖号码不同",
        L"第11行:第25016期(2024-01-16)期号与开奖日期的年份不符",
        L"第12行:引号没有闭合",
    };
    EXPECT_EQ(refusedLinesText(*imported), expected);
    // A list too long to show whole ends with how many more lines there are.
    const std::vector<std::wstring> firstThree = refusedLinesText(*imported, 3);
    EXPECT_EQ(firstThree,
              (std::vector<std::wstring>{expected[0], expected[1], expected[2], L"……另有7行未导入,未逐行列出"}));
    EXPECT_EQ(drawImportText(*imported), L"开奖数据已导入:新增1期,已有0期,未导入10行(第2、3、4行等)");
    // Every fault the reader knows has words of its own; "x" is the file's, quoted.
    for (const std::wstring& line : refusedLinesText(*imported))
        for (const wchar_t c : line)
            EXPECT_FALSE(c != L'x' && ((c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z'))) << toUtf8(line);
}

// A file with no draw line in it says so instead of counting none; one whose lines did not
// read as draws says how many.
TEST(HistoryWordsTest, AFileWithoutDrawLinesSaysSo) {
    TempDirectory home;
    EasyDb db(home.path());
    const struct {
        const char* text;
        std::wstring_view said;
        std::size_t listed;
    } rows[] = {
        {"", L"文件中没有开奖数据行", 0},
        {"\n\r\n  \n", L"文件中没有开奖数据行", 0},
        {"期号,日期,号码\n", L"文件中没有开奖数据行", 0},
        {"购彩笔记\n周二买了三注\n周五再看\n", L"文件中没有可读的开奖数据行:2行无法读取", 2},
    };
    for (const auto& row : rows) {
        const Result<DrawImport> imported = importDraws(db, row.text, YearEnd);
        ASSERT_TRUE(imported) << row.text;
        EXPECT_EQ(drawImportText(*imported), row.said) << row.text;
        EXPECT_EQ(refusedLinesText(*imported).size(), row.listed) << row.text;
    }
}

// A file that does not read says why in the window's words, whatever the system said.
TEST(HistoryWordsTest, AFileThatDoesNotReadSaysWhyInChinese) {
    TempDirectory home;
    const std::filesystem::path binary = home.path() / "picture.csv";
    std::ofstream(binary, std::ios::binary) << std::string("\x89PNG\r\n\x1a\n\xff\xfe\x00\x81", 12);
    const std::filesystem::path large = home.path() / "large.csv";
    std::ofstream(large, std::ios::binary).put('1');
    std::filesystem::resize_file(large, DrawFileMaxBytes + 1);
    const struct {
        std::filesystem::path file;
        std::wstring_view said;
    } rows[] = {
        {home.path() / "missing.csv", L"文件不存在"},
        {home.path(), L"这是文件夹,不是文件"},
        {binary, L"文件不是UTF-8或GB18030文本"},
        {large, L"文件过大,开奖数据文件最大16MB"},
    };
    for (const auto& row : rows) {
        const Result<std::string> read = readTextFile(row.file, DrawFileMaxBytes);
        ASSERT_FALSE(read) << row.file;
        EXPECT_EQ(drawFileReason(read.error()), row.said) << row.file;
    }
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
        {DrawRefusal::PeriodNumber, L"第26150期开奖数据未保存:期号序号为0或超过当年到开奖日期的开奖次数"},
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

// A stored draw the casts are not scored against says why: the rule, or the draw its date keeps.
TEST(HistoryWordsTest, AnIgnoredStoredDrawSaysWhy) {
    EXPECT_EQ(drawIgnoredText(std::nullopt), L"");
    EXPECT_EQ(drawIgnoredText(DrawIgnored{DrawRefusal::AfterToday, {}}), L"开奖日期晚于今天");
    EXPECT_EQ(drawIgnoredText(DrawIgnored{DrawRefusal::None, L"26139"}), L"该开奖日期已存第26139期");
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
