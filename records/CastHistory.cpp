#include "CastHistory.h"

namespace orvenna {

ReplayRefusal storedRefusal(const YsModel& model) {
    if (model.ysindex < NumberCasting || model.ysindex > TimeCasting) return ReplayRefusal::UnknownMethod;
    if (model.gzsxid < 1 || model.gzsxid > 12) return ReplayRefusal::UnknownZodiac;
    return ReplayRefusal::None;
}

Result<std::int64_t> CastHistory::save(const AnalysisRecord& record, std::wstring_view title, std::wstring_view note) {
    YsModel model = YsModel::fromAnalysis(record, title, note);
    if (const Status saved = store_.save(model); !saved) return saved.error();
    return model._id;
}

Status CastHistory::list(HistoryList& list) {
    return store_.fillList(list);
}

Result<YsModel> CastHistory::load(std::int64_t id) {
    return store_.load(id);
}

Status CastHistory::remove(std::int64_t id) {
    return store_.remove(id);
}

Status CastHistory::remove(std::span<const std::int64_t> ids) {
    return store_.remove(ids);
}

Replay CastHistory::prepareReplay(std::int64_t id) {
    Replay replay;
    Result<YsModel> loaded = store_.load(id);
    if (!loaded) {
        replay.refusal = ReplayRefusal::Unreadable;
        replay.error = loaded.error();
        return replay;
    }
    replay.record = std::move(loaded).value();
    replay.refusal = storedRefusal(replay.record);
    if (replay.refusal == ReplayRefusal::None) replay.request = replayRequest(replay.record);
    return replay;
}

Replay CastHistory::replay(std::int64_t id, const CastClock& clock, CastResult& result) {
    Replay replay = prepareReplay(id);
    if (!replay) return replay;
    replay.check = checkRequest(replay.request);
    if (!replay.check.casts()) {
        replay.refusal = ReplayRefusal::IncompleteInput;
        return replay;
    }
    runCast(replay.request, clock, result);
    return replay;
}

}  // namespace orvenna
