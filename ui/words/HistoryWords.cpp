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
    if (!imported.csv.problems.empty()) said += concat(L"(第", imported.csv.problems.front().line, L"行起有误)");
    return said;
}

}  // namespace orvenna
