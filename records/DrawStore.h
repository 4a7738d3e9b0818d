// The draws kept in the record store's file (table "draws", beside the saved casts): each
// period once, as fetched from the results page or imported from a file. A later draw that
// disagrees with a stored one of the same period is reported, never taken.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "EasyDb.h"
#include "base/Result.h"
#include "engine/Draw.h"
#include "engine/DrawCsv.h"

namespace orvenna {

enum class DrawOrigin { Fetched, Imported };

// A row of the table: the draw, where it came from and when it was stored.
struct StoredDraw {
    Draw draw;
    DrawOrigin source = DrawOrigin::Fetched;
    std::wstring storedAt;  // "YYYY-MM-DD HH:MM:SS", local time
};

// What storing some draws did: each new period added, each one already stored alike left,
// each one stored otherwise named by its index in the draws given.
struct DrawStoreReport {
    int added = 0;
    int unchanged = 0;
    struct Conflict {
        std::size_t index = 0;
        StoredDraw stored;
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
    // Every stored draw, by date and period; none where the table was never made.
    Result<std::vector<StoredDraw>> list();
    // The same draws without where they came from.
    Result<std::vector<Draw>> draws();

private:
    Status ensureTable();

    EasyDb& store_;
};

// What importing a file of past draws did: its lines read, and what storing them did.
struct DrawImport {
    DrawCsv csv;
    DrawStoreReport report;
    std::size_t refused() const { return csv.problems.size() + report.conflicts.size(); }
};

// The draws of a CSV file's UTF-8 text stored as imported, in one transaction.
Result<DrawImport> importDraws(EasyDb& db, std::string_view utf8, std::wstring_view storedAt);

// A draw fetched from the results page, stored once: nothing where its period was new or
// stored alike, the stored draw where that disagrees (and stays).
Result<std::optional<StoredDraw>> keepFetchedDraw(EasyDb& db, const Draw& draw, std::wstring_view storedAt);

}  // namespace orvenna
