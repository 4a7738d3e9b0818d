// What the window says of the saved casts and the stored draws: a replay that was refused or
// that scores other digits than it shows, a file of draws imported and the lines it left, and
// a fetched draw that was not stored.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/Result.h"
#include "engine/CastReview.h"
#include "records/CastHistory.h"
#include "records/DrawStore.h"

namespace orvenna {

// Why a record is not cast again: "无法复盘:" with the store's reason or the field it lacks, or
// the request check's own message; empty for a replay that casts.
std::wstring replayRefusalText(const Replay& replay);

// What an import did, for the status bar: "开奖数据已导入:新增1期,已有0期,未导入2行(第3、7行)",
// the lines not imported named up to three ("(第3、7、9行等)" beyond). A file in which no
// line reads as a draw says so: "文件中没有开奖数据行", or where some lines were there but
// did not read, "文件中没有可读的开奖数据行:2行无法读取".
std::wstring drawImportText(const DrawImport& imported);

// Said while an import runs, and again when another is asked for meanwhile.
inline constexpr std::wstring_view DrawImportRunningText = L"正在导入开奖数据…";
inline constexpr std::wstring_view DrawImportBusyText = L"正在导入开奖数据,请等这次导入完成后再导入";

// Why a file of past draws could not be read: "文件不存在", "文件不是UTF-8或GB18030文本", ….
std::wstring drawFileReason(const Error& error);

// The lines of an import that were not stored, in the file's order, each as "第6行:" and why:
// it did not read, the draw rules refused it, or its period or its date is stored otherwise.
// The first `most` of them, and then one line that says how many more there are.
inline constexpr std::size_t RefusedLinesListed = 10000;
std::vector<std::wstring> refusedLinesText(const DrawImport& imported, std::size_t most = RefusedLinesListed);

// Why a record of a file of past draws did not read: "日期“2026-02-30”不是有效的日期(年-月-日)".
std::wstring drawCsvProblemText(const DrawCsvProblem& problem);

// Why the draw rules refuse a draw: "开奖日期晚于今天"; empty for None.
std::wstring drawRefusalText(DrawRefusal refusal);

// Why the casts are not scored against a stored draw: the rule that refuses it, or
// "该开奖日期已存第26139期" when a draw stored before it has its date; empty for a draw they are
// scored against.
std::wstring drawIgnoredText(const std::optional<DrawIgnored>& ignored);

// What a fetched draw that was not stored says: refused by the rules, or disagreeing with the
// stored draw of its period or its date; empty for one that was new or stored alike.
std::wstring keptDrawText(const FetchedDraw& kept);

// The digits of a suggestion in one short line: each position's candidates run together,
// the positions parted by "/", then the blue candidates and the likely digits:
// "对位06789/1357/0248/13/579/28 蓝号0,1,2,5,9,12 可能号023478".
std::wstring suggestionDigitsText(const Suggestion& suggestion);

// What a replay says of its cast's score. Where the replay shows the digits the cast had,
// the score line as the history list gives it; where it shows others (a number cast cast
// again at another day and hour), the score line names the digits it is for:
// "按初次起卦的号码(对位…)计:第25140期 …". Nothing for a cast without a score line.
std::wstring replayScoreText(const ReviewedCast& cast, const Suggestion& shown);

}  // namespace orvenna
