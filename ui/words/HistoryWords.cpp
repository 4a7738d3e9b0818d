#include "HistoryWords.h"

#include "ReviewText.h"
#include "StoreReason.h"
#include "base/Text.h"

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

std::wstring drawImportText(const DrawImport& imported) {
    std::wstring said = concat(L"开奖数据已导入:新增", imported.report.added, L"期,已有", imported.report.unchanged,
                               L"期,未导入", static_cast<int>(imported.refused()), L"行");
    if (const int line = imported.firstWrongLine(); line != 0) said += concat(L"(第", line, L"行起有误)");
    return said;
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
        case DrawRefusal::None:
            break;
    }
    return {};
}

std::wstring keptDrawText(const FetchedDraw& kept) {
    if (kept.refusal != DrawRefusal::None)
        return concat(L"第", kept.draw.period, L"期开奖数据未保存:", drawRefusalText(kept.refusal));
    if (!kept.conflict) return {};
    const StoredDraw& stored = kept.conflict->stored;
    if (kept.conflict->clash == DrawClash::Date)
        return concat(L"第", kept.draw.period, L"期开奖日期已存为第", stored.draw.period, L"期(",
                      drawNumbersText(stored.draw), L"),已保留已存的数据");
    return concat(L"第", kept.draw.period, L"期开奖数据与已存的不一致(", drawNumbersText(stored.draw),
                  L"),已保留已存的数据");
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
