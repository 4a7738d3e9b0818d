#include "StoredReview.h"

#include <cmath>
#include <vector>

#include "DrawStore.h"

namespace orvenna {

SavedCast savedCast(const YsModel& record) {
    return {record._id, record.ysname, replayRequest(record)};
}

Result<CastReview> reviewCasts(EasyDb& db, const CastClock& now) {
    std::vector<SavedCast> casts;
    if (Status read = db.forEachRecord([&](const YsModel& record) { casts.push_back(savedCast(record)); }); !read)
        return read.error();
    // Read as the rules stand today: a draw dated after today is no draw yet.
    const std::int64_t today = localDay(now);
    Result<std::vector<Draw>> draws = DrawStore(db).draws(today);
    if (!draws) return draws.error();
    return reviewCasts(casts, *draws, now);
}

}  // namespace orvenna
