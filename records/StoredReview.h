// The review of what the store holds: the saved casts and the stored draws read from the file
// and handed to the engine's review.
#pragma once

#include "EasyDb.h"
#include "YsModel.h"
#include "base/CastClock.h"
#include "base/Result.h"
#include "engine/CastReview.h"

namespace orvenna {

// A row as the review reads it: its id, its title and the request a replay starts from.
SavedCast savedCast(const YsModel& record);

// Every saved cast, newest first as the history lists them, against the stored draws the
// rules take on the local day of `now`.
Result<CastReview> reviewCasts(EasyDb& db, const CastClock& now);

}  // namespace orvenna
