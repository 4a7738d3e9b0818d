#include "HistoryWords.h"

#include <algorithm>
#include <system_error>

#include "ReviewText.h"
#include "StoreReason.h"
#include "base/DayCount.h"
#include "base/Text.h"
#include "codec/TextFile.h"
#include "system/RegularFile.h"

namespace orvenna {

std::wstring replayRefusalText(const Replay& replay) {
    switch (replay.refusal) {
        case ReplayRefusal::Unreadable:
            return L"无法复盘:" + storeReason(replay.error);
        case ReplayRefusal::UnknownMethod:
            return L"无法复盘:未知的起卦方式";
        case ReplayRefusal::UnknownZodiac:
            return L"无法复盘:未知的卦主生肖";
        case ReplayRefusal::IncompleteInput:
            return std::wstring(replay.check.message);
        case ReplayRefusal::None:
            break;
    }
    return {};
}

namespace {

// A line an import left: its number, and where in the import its reason is.
struct RefusedLine {
    enum class Kind { Unread, Refused, Clash };
    int line = 0;
    Kind kind = Kind::Unread;
    std::size_t index = 0;  // into the problems, the refusals or the conflicts
};

// What a draw of the file clashes with: the stored draw of its period, or the stored draw of
// its date under another period.
std::wstring clashText(const Draw& offered, const DrawStoreReport::Conflict& conflict) {
    const Draw& stored = conflict.stored.draw;
    if (conflict.clash == DrawClash::Date)
        return concat(L"第", offered.period, L"期开奖日期已存为第", stored.period, L"期(", drawNumbersText(stored),
                      L")");
    return concat(L"第", offered.period, L"期开奖数据与已存的不一致(", drawNumbersText(stored), L")");
}

// The lines left in the file's order. Only their places are gathered: a file of a million
// wrong lines has its words made for the few that are shown.
std::vector<RefusedLine> refusedLines(const DrawImport& imported) {
    std::vector<RefusedLine> lines;
    lines.reserve(imported.refused());
    for (std::size_t i = 0; i < imported.csv.problems.size(); ++i)
        lines.push_back({imported.csv.problems[i].line, RefusedLine::Kind::Unread, i});
    for (std::size_t i = 0; i < imported.refusals.size(); ++i)
        lines.push_back({imported.refusals[i].line, RefusedLine::Kind::Refused, i});
    const DrawCsv& csv = imported.csv;
    for (std::size_t i = 0; i < imported.report.conflicts.size(); ++i)
        if (imported.report.conflicts[i].index < csv.lines.size())
            lines.push_back({csv.lines[imported.report.conflicts[i].index], RefusedLine::Kind::Clash, i});
    std::stable_sort(lines.begin(), lines.end(),
                     [](const RefusedLine& a, const RefusedLine& b) { return a.line < b.line; });
    return lines;
}

std::wstring whyRefused(const DrawImport& imported, const RefusedLine& refused) {
    switch (refused.kind) {
        case RefusedLine::Kind::Unread:
            return drawCsvProblemText(imported.csv.problems[refused.index]);
        case RefusedLine::Kind::Refused: {
            const RefusedDraw& draw = imported.refusals[refused.index];
            return concat(L"第", draw.draw.period, L"期(", dateText(static_cast<double>(draw.draw.day)), L")",
                          drawRefusalText(draw.reason));
        }
        case RefusedLine::Kind::Clash: {
            const DrawStoreReport::Conflict& conflict = imported.report.conflicts[refused.index];
            return clashText(imported.csv.rows[conflict.index], conflict);
        }
    }
    return {};
}

// A text of the file as the window quotes it: a whole line of notes would be too long.
std::wstring quotedField(std::wstring_view field) {
    constexpr std::size_t Longest = 24;
    std::wstring text(clampedSubstr(field, 0, Longest));
    if (field.size() > Longest) text += L'…';
    return L"“" + text + L"”";
}

}  // namespace

std::wstring drawImportText(const DrawImport& imported) {
    const std::vector<RefusedLine> refused = refusedLines(imported);
    if (imported.csv.rows.empty() && imported.refusals.empty()) {
        if (refused.empty()) return L"文件中没有开奖数据行";
        return concat(L"文件中没有可读的开奖数据行:", static_cast<int>(refused.size()), L"行无法读取");
    }
    std::wstring said = concat(L"开奖数据已导入:新增", imported.report.added, L"期,已有", imported.report.unchanged,
                               L"期,未导入", static_cast<int>(refused.size()), L"行");
    if (refused.empty()) return said;
    // The first few lines; the rest are in the list the window shows beside it.
    constexpr std::size_t Named = 3;
    said += L"(";
    for (std::size_t i = 0; i < refused.size() && i < Named; ++i)
        said += concat(i == 0 ? L"第" : L"、", refused[i].line);
    return said + (refused.size() > Named ? L"行等)" : L"行)");
}

std::vector<std::wstring> refusedLinesText(const DrawImport& imported, std::size_t most) {
    const std::vector<RefusedLine> refused = refusedLines(imported);
    std::vector<std::wstring> texts;
    texts.reserve(std::min(refused.size(), most) + 1);
    for (std::size_t i = 0; i < refused.size() && i < most; ++i)
        texts.push_back(concat(L"第", refused[i].line, L"行:", whyRefused(imported, refused[i])));
    if (refused.size() > most)
        texts.push_back(concat(L"……另有", static_cast<std::int64_t>(refused.size() - most), L"行未导入,未逐行列出"));
    return texts;
}

std::wstring drawFileReason(const Error& error) {
    if (isNotText(error)) return L"文件不是UTF-8或GB18030文本";
    if (isFileTooLarge(error)) return concat(L"文件过大,开奖数据文件最大", DrawFileMaxBytes >> 20, L"MB");
    if (error.source != ErrorSource::System) return L"读取失败";
    // The system's own codes, errno's here and Windows' there, as the standard conditions.
    const std::error_condition condition = std::system_category().default_error_condition(error.code);
    if (condition == std::errc::no_such_file_or_directory) return L"文件不存在";
    if (condition == std::errc::permission_denied || condition == std::errc::operation_not_permitted)
        return L"没有读取该文件的权限";
    if (condition == std::errc::is_a_directory) return L"这是文件夹,不是文件";
#ifdef _WIN32
    // Windows opens a folder as a file with ERROR_DIRECTORY (267), which no standard condition names.
    if (error.code == 267) return L"这是文件夹,不是文件";
#endif
    if (condition == std::errc::too_many_symbolic_link_levels || condition == std::errc::invalid_argument)
        return L"不是普通文件";
    return concat(L"读取失败(错误码", error.code, L")");
}

std::wstring drawCsvProblemText(const DrawCsvProblem& problem) {
    switch (problem.fault) {
        case DrawCsvFault::UnclosedQuote:
            return L"引号没有闭合";
        case DrawCsvFault::FieldCount:
            return concat(L"应为期号、日期、号码3项,或期号、日期、7个号码共9项,此行有", problem.fields, L"项");
        case DrawCsvFault::Period:
            return L"期号" + quotedField(problem.field) + L"不是12位以内的数字";
        case DrawCsvFault::Date:
            return L"日期" + quotedField(problem.field) + L"不是有效的日期(年-月-日)";
        case DrawCsvFault::Numbers:
            return L"号码不是6个0-9的数字加一个0-14的蓝号";
        case DrawCsvFault::PeriodAgain:
            return concat(L"第", problem.field, L"期已在第", problem.firstLine, L"行,开奖号码不同");
    }
    return L"无法读取";
}

std::wstring drawRefusalText(DrawRefusal refusal) {
    switch (refusal) {
        case DrawRefusal::PeriodForm:
            return L"期号不是五位或七位数字";
        case DrawRefusal::PeriodYear:
            return L"期号与开奖日期的年份不符";
        case DrawRefusal::AfterToday:
            return L"开奖日期晚于今天";
        case DrawRefusal::NoDrawDay:
            return L"开奖日期不是周二、周五或周日";
        case DrawRefusal::PeriodNumber:
            return L"期号序号为0或超过当年到开奖日期的开奖次数";
        case DrawRefusal::None:
            break;
    }
    return {};
}

std::wstring drawIgnoredText(const std::optional<DrawIgnored>& ignored) {
    if (!ignored) return {};
    if (ignored->refusal != DrawRefusal::None) return drawRefusalText(ignored->refusal);
    return concat(L"该开奖日期已存第", ignored->datePeriod, L"期");
}

std::wstring keptDrawText(const FetchedDraw& kept) {
    if (kept.refusal != DrawRefusal::None)
        return concat(L"第", kept.draw.period, L"期开奖数据未保存:", drawRefusalText(kept.refusal));
    if (!kept.conflict) return {};
    return clashText(kept.draw, *kept.conflict) + L",已保留已存的数据";
}

namespace {

// A list of single digits ("0,6,7,8,9") as the digits alone; an empty list as "-", so that
// the positions stay apart.
std::wstring runTogether(std::wstring_view list) {
    std::wstring digits;
    for (const wchar_t c : list)
        if (c != L',') digits += c;
    return digits.empty() ? L"-" : digits;
}

}  // namespace

std::wstring suggestionDigitsText(const Suggestion& suggestion) {
    std::wstring text = L"对位";
    for (std::size_t i = 0; i < 6; ++i) {
        if (i > 0) text += L'/';
        text += runTogether(suggestion[i]);
    }
    // The blue candidates run to 14: their commas stay.
    text += L" 蓝号" + (suggestion[6].empty() ? std::wstring(L"-") : suggestion[6]);
    return text + L" 可能号" + runTogether(suggestion[7]);
}

std::wstring replayScoreText(const ReviewedCast& cast, const Suggestion& shown) {
    std::wstring line = scoreLine(cast);
    if (line.empty() || shown == cast.suggestion) return line;
    return L"按初次起卦的号码(" + suggestionDigitsText(cast.suggestion) + L")计:" + line;
}

}  // namespace orvenna
