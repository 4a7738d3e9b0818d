#include "HistoryWords.h"

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
    const StoredDraw& stored = kept.conflict->stored;
    if (kept.conflict->clash == DrawClash::Date)
        return concat(L"第", kept.draw.period, L"期开奖日期已存为第", stored.draw.period, L"期(",
                      drawNumbersText(stored.draw), L"),已保留已存的数据");
    return concat(L"第", kept.draw.period, L"期开奖数据与已存的不一致(", drawNumbersText(stored.draw),
                  L"),已保留已存的数据");
}

}  // namespace orvenna
