// The draws kept in the record store's file (table "draws", beside the saved casts): each
// period once and each date once, as fetched from the results page or imported from a file.
// A later draw that disagrees with a stored one of the same period, or that gives a stored
// date another period, is reported, never taken: a cast is scored against one draw a day.
// A file an older version wrote may hold rows the draw rules now refuse: they are listed with
// the reason, and never read as draws to score against.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "EasyDb.h"
#include "base/CastClock.h"
#include "base/Result.h"
#include "engine/Draw.h"
#include "engine/DrawCsv.h"
#include "engine/DrawRules.h"

namespace orvenna {

enum class DrawOrigin { Fetched, Imported };

// A row of the table: the draw, where it came from and when it was stored, and why the casts
// are not scored against it (nothing for a draw they are scored against).
struct StoredDraw {
    Draw draw;
    DrawOrigin source = DrawOrigin::Fetched;
    std::wstring storedAt;  // "YYYY-MM-DD HH:MM:SS", local time
    std::optional<DrawIgnored> ignored;
};

// What a refused draw disagrees with: the stored draw of its period, or the stored draw of
// its date (under another period).
enum class DrawClash { Period, Date };

// What storing some draws did: each new one added, each one already stored alike left, each
// one whose period or date is stored otherwise named by its index in the draws given.
struct DrawStoreReport {
    int added = 0;
    int unchanged = 0;
    struct Conflict {
        std::size_t index = 0;
        StoredDraw stored;
        DrawClash clash = DrawClash::Period;
    };
    std::vector<Conflict> conflicts;
};

class DrawStore {
public:
    // The store outlives this one and is closed by whoever opened it.
    explicit DrawStore(EasyDb& store) : store_(store) {}

    // The exact statement that creates the table in a file that lacks it.
    static std::string createTableStatement();

    // Stores `draws` in one transaction: all that are new, or after a failure none.
    Result<DrawStoreReport> store(std::span<const Draw> draws, DrawOrigin source, std::wstring_view storedAt);
    // Every stored row, by date and period, each with why it is ignored as the rules stand on
    // `today` (days since 1899-12-30, local); none where the table was never made.
    Result<std::vector<StoredDraw>> list(std::int64_t today);
    // The draws the casts are scored against on `today`, by date and period: the rows list()
    // does not mark ignored, one a date.
    Result<std::vector<Draw>> draws(std::int64_t today);
    // The rows of `period` (five or seven digits, either form of a stored period), by date.
    Result<std::vector<StoredDraw>> ofPeriod(std::wstring_view period);
    // Deletes the rows of `period` (five or seven digits) in one transaction, to mend a wrong
    // draw; a period with no row (or no period at all) fails with the code NoSuchRow.
    Status remove(std::wstring_view period);

private:
    Status ensureTable();

    EasyDb& store_;
};

// What importing a file of past draws did: its lines read, the draws the rules refused, and
// what storing the rest did.
struct DrawImport {
    DrawCsv csv;
    std::vector<RefusedDraw> refusals;
    DrawStoreReport report;
    std::size_t refused() const { return csv.problems.size() + refusals.size() + report.conflicts.size(); }
    // The first line of the file that was not read or was refused by the rules; 0 for none.
    int firstWrongLine() const;
};

// The draws of a CSV file's UTF-8 text that the rules take on the clock's local date, stored
// as imported at the clock's local time, in one transaction.
Result<DrawImport> importDraws(EasyDb& db, std::string_view utf8, const CastClock& clock);

// What became of a draw fetched from the results page: refused by the rules, or disagreeing
// with a stored draw of its period or its date (which stays), or neither (new or stored alike).
struct FetchedDraw {
    Draw draw;  // its period in the stored form
    DrawRefusal refusal = DrawRefusal::None;
    std::optional<DrawStoreReport::Conflict> conflict;
};

// A draw fetched from the results page, checked by the same rules as an import and stored once.
Result<FetchedDraw> keepFetchedDraw(EasyDb& db, const Draw& draw, const CastClock& clock);

}  // namespace orvenna
