// What the main window and `orvenna-cli history` do with the record store: save a cast under
// a title, list the saved ones, cast one again, delete. Refusals are typed; each caller says
// them in its own words.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

#include "EasyDb.h"
#include "YsModel.h"
#include "base/CastClock.h"
#include "base/Result.h"
#include "engine/CastPipeline.h"
#include "engine/CastRequest.h"

namespace orvenna {

// Why a saved record is not cast again.
enum class ReplayRefusal {
    None,
    Unreadable,       // the store did not give the row; the error says why (NoSuchRow: it is gone)
    UnknownMethod,    // the row holds a method that no cast knows (another program wrote it)
    UnknownZodiac,    // the row holds a zodiac outside 1..12
    IncompleteInput,  // the row's own input does not cast; the check says what is missing
};

// Why a row as stored cannot be cast again (a method or a zodiac that no cast knows), or None.
ReplayRefusal storedRefusal(const YsModel& model);

// A saved record made ready to cast again, or why it cannot be.
struct Replay {
    ReplayRefusal refusal = ReplayRefusal::None;
    Error error;          // Unreadable's
    CastCheck check;      // IncompleteInput's
    YsModel record;       // the row as stored, once it was read
    CastRequest request;  // what casts, before the casting dispatch completes its time fields

    explicit operator bool() const { return refusal == ReplayRefusal::None; }
};

class CastHistory {
public:
    // The store outlives the history and is closed by whoever opened it.
    explicit CastHistory(EasyDb& store) : store_(store) {}

    // Stores the analysis under `title` (the cast time is added to it) with `note`; the new
    // row's id, or the store's error.
    Result<std::int64_t> save(const AnalysisRecord& record, std::wstring_view title, std::wstring_view note);
    // Every saved title with its id, newest first; see EasyDb::fillList.
    Status list(HistoryList& list);
    Result<YsModel> load(std::int64_t id);
    Status remove(std::int64_t id);
    // All of `ids` in one transaction, or after a failure none.
    Status remove(std::span<const std::int64_t> ids);
    bool readOnly() const { return store_.readOnly(); }

    // The request that restores record `id` on the casting row. Refused where the row cannot
    // be read, or holds a method or a zodiac that no cast knows: restoring it would clear the
    // result and cast nothing, or cast a zodiac that does not exist.
    Replay prepareReplay(std::int64_t id);
    // Record `id` cast again at `clock` into `result`; refused as prepareReplay refuses, and
    // where the row's own input would not cast.
    Replay replay(std::int64_t id, const CastClock& clock, CastResult& result);

private:
    EasyDb& store_;
};

}  // namespace orvenna
