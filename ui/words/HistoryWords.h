// What the status bar says of the saved casts and the stored draws: a replay that was
// refused, a file of draws imported and a fetched draw that was not stored.
#pragma once

#include <optional>
#include <string>

#include "records/CastHistory.h"
#include "records/DrawStore.h"

namespace orvenna {

// Why a record is not cast again: "无法复盘:" with the store's reason or the field it lacks, or
// the request check's own message; empty for a replay that casts.
std::wstring replayRefusalText(const Replay& replay);

// "开奖数据已导入:新增1期,已有0期,未导入2行", with "(第3行起有误)" after it when a line of the
// file was wrong or refused by the draw rules.
std::wstring drawImportText(const DrawImport& imported);

// Why the draw rules refuse a draw: "开奖日期晚于今天"; empty for None.
std::wstring drawRefusalText(DrawRefusal refusal);

// Why the casts are not scored against a stored draw: the rule that refuses it, or
// "该开奖日期已存第26139期" when a draw stored before it has its date; empty for a draw they are
// scored against.
std::wstring drawIgnoredText(const std::optional<DrawIgnored>& ignored);

// What a fetched draw that was not stored says: refused by the rules, or disagreeing with the
// stored draw of its period or its date; empty for one that was new or stored alike.
std::wstring keptDrawText(const FetchedDraw& kept);

}  // namespace orvenna
