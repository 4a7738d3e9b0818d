#include "DrawStore.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "Statement.h"
#include "Transaction.h"
#include "base/DayCount.h"
#include "base/Text.h"

namespace orvenna {

namespace {

constexpr char FindSql[] = "SELECT period,draw_date,front,blue,source,stored_at FROM draws WHERE period=?1";
constexpr char FindDateSql[] =
    "SELECT period,draw_date,front,blue,source,stored_at FROM draws WHERE draw_date=?1 ORDER BY period LIMIT 1";
constexpr char InsertSql[] =
    "INSERT INTO draws(period,draw_date,front,blue,source,stored_at) VALUES(?1,?2,?3,?4,?5,?6)";
constexpr char ListSql[] =
    "SELECT rowid AS row_id,period,draw_date,front,blue,source,stored_at FROM draws ORDER BY draw_date,period";
// A period's rows in either form: a version before the five-digit form may have kept seven.
constexpr char PeriodWhere[] = " FROM draws WHERE period=?1 OR (length(period)=7 AND substr(period,3)=?1)";

std::wstring_view sourceName(DrawOrigin source) {
    return source == DrawOrigin::Imported ? L"imported" : L"fetched";
}

std::wstring frontText(const Draw& draw) {
    std::wstring text;
    for (const int digit : draw.front) text += static_cast<wchar_t>(L'0' + digit);
    return text;
}

// Where a statement's rows hold each column of a draw, looked up once for all its rows.
struct DrawColumns {
    explicit DrawColumns(const Statement& statement)
        : period(statement.columnIndex("period")),
          date(statement.columnIndex("draw_date")),
          front(statement.columnIndex("front")),
          blue(statement.columnIndex("blue")),
          source(statement.columnIndex("source")),
          storedAt(statement.columnIndex("stored_at")) {}
    int period, date, front, blue, source, storedAt;
};

// The draw of a row as stored. A front text that is not six digits reads as 0s, and a date
// that is no date as day 0, a Saturday, which no cast's draw day is (another program wrote
// them).
Draw readDraw(const Statement& statement, const DrawColumns& at) {
    Draw draw;
    draw.period = statement.columnText(at.period);
    draw.day = parseDate(statement.columnText(at.date)).value_or(0);
    const std::wstring front = statement.columnText(at.front);
    for (std::size_t i = 0; i < 6 && i < front.size(); ++i)
        if (front[i] >= L'0' && front[i] <= L'9') draw.front[i] = front[i] - L'0';
    draw.blue = statement.columnInt(at.blue);
    return draw;
}

StoredDraw readRow(const Statement& statement, const DrawColumns& at) {
    StoredDraw stored;
    stored.draw = readDraw(statement, at);
    stored.source = statement.columnText(at.source) == L"imported" ? DrawOrigin::Imported : DrawOrigin::Fetched;
    stored.storedAt = statement.columnText(at.storedAt);
    return stored;
}

}  // namespace

std::string DrawStore::createTableStatement() {
    return "CREATE TABLE IF NOT EXISTS draws (period TEXT PRIMARY KEY NOT NULL, draw_date TEXT NOT NULL, "
           "front TEXT NOT NULL, blue INTEGER NOT NULL, source TEXT NOT NULL, stored_at TEXT NOT NULL)";
}

Status DrawStore::ensureTable() {
    return executeSql(store_.connection(), createTableStatement().c_str(), "create table draws");
}

namespace {

// The stored draw of `key`, through `find` (FindSql by period or FindDateSql by date text,
// prepared once for many lookups).
Result<std::optional<StoredDraw>> findDraw(Statement& find, const DrawColumns& at, std::wstring_view key) {
    find.reset();
    find.bind(1, key);
    switch (find.step()) {
        case Statement::Step::Row:
            return std::optional<StoredDraw>(readRow(find, at));
        case Statement::Step::Done:
            return std::optional<StoredDraw>();
        default:
            return find.failure("read draws");
    }
}

}  // namespace

Result<DrawStoreReport> DrawStore::store(std::span<const Draw> draws, DrawOrigin source, std::wstring_view storedAt) {
    sqlite3* db = store_.connection();
    Result<Transaction> transaction = Transaction::begin(db, "store draws");
    if (!transaction) return transaction.error();
    if (Status made = ensureTable(); !made) return made.error();
    Result<Statement> insert = Statement::prepare(db, InsertSql);
    if (!insert) return insert.error();
    Result<Statement> find = Statement::prepare(db, FindSql);
    if (!find) return find.error();
    Result<Statement> findDate = Statement::prepare(db, FindDateSql);
    if (!findDate) return findDate.error();
    const DrawColumns columns(*find);
    const DrawColumns dateColumns(*findDate);
    DrawStoreReport report;
    for (std::size_t i = 0; i < draws.size(); ++i) {
        const Draw& draw = draws[i];
        Result<std::optional<StoredDraw>> found = findDraw(*find, columns, draw.period);
        if (!found) return found.error();
        if (*found) {
            if ((*found)->draw == draw)
                ++report.unchanged;
            else
                report.conflicts.push_back({i, std::move(**found), DrawClash::Period});
            continue;
        }
        // The draw's date is its identity too: a new period for a stored date would leave two
        // draws for the casts of that day.
        const std::wstring date = dateText(static_cast<double>(draw.day));
        Result<std::optional<StoredDraw>> sameDay = findDraw(*findDate, dateColumns, date);
        if (!sameDay) return sameDay.error();
        if (*sameDay) {
            report.conflicts.push_back({i, std::move(**sameDay), DrawClash::Date});
            continue;
        }
        insert->reset();
        insert->bind(1, draw.period);
        insert->bind(2, date);
        insert->bind(3, frontText(draw));
        insert->bind(4, draw.blue);
        insert->bind(5, sourceName(source));
        insert->bind(6, storedAt);
        if (insert->step() != Statement::Step::Done) return insert->failure("store draw");
        ++report.added;
    }
    if (Status committed = transaction->commit("store draws"); !committed) return committed.error();
    return report;
}

namespace {

// Every row by date and period, each read by `read`, with its row id; none where the table was
// never made.
template <typename Row>
struct ListedRows {
    std::vector<Row> rows;
    std::vector<std::int64_t> rowIds;
};

template <typename Row>
Result<ListedRows<Row>> listRows(sqlite3* db, Row (*read)(const Statement&, const DrawColumns&)) {
    const Result<bool> exists = tableExists(db, "draws", "read draws");
    if (!exists) return exists.error();
    if (!*exists) return ListedRows<Row>();
    Result<Statement> prepared = Statement::prepare(db, ListSql);
    if (!prepared) return prepared.error();
    const DrawColumns at(*prepared);
    const int rowId = prepared->columnIndex("row_id");
    ListedRows<Row> listed;
    Statement::Step stepped;
    while ((stepped = prepared->step()) == Statement::Step::Row) {
        listed.rows.push_back(read(*prepared, at));
        listed.rowIds.push_back(prepared->columnInt64(rowId));
    }
    if (stepped != Statement::Step::Done) return prepared->failure("read draws");
    return listed;
}

Error noSuchPeriod(std::wstring_view period) {
    return {ErrorSource::Sqlite, NoSuchRow, "no stored draw of period " + toUtf8(period)};
}

}  // namespace

Result<std::vector<StoredDraw>> DrawStore::list(std::int64_t today) {
    Result<ListedRows<StoredDraw>> listed = listRows(store_.connection(), readRow);
    if (!listed) return listed.error();
    std::vector<StoredDraw>& rows = listed->rows;
    std::vector<Draw> draws;
    draws.reserve(rows.size());
    for (const StoredDraw& row : rows) draws.push_back(row.draw);
    std::vector<std::optional<DrawIgnored>> ignored = ignoredDraws(draws, listed->rowIds, today);
    for (std::size_t i = 0; i < rows.size(); ++i) rows[i].ignored = std::move(ignored[i]);
    return std::move(rows);
}

Result<std::vector<Draw>> DrawStore::draws(std::int64_t today) {
    Result<ListedRows<Draw>> listed = listRows(store_.connection(), readDraw);
    if (!listed) return listed.error();
    std::vector<Draw>& draws = listed->rows;
    const std::vector<std::optional<DrawIgnored>> ignored = ignoredDraws(draws, listed->rowIds, today);
    std::size_t kept = 0;
    for (std::size_t i = 0; i < draws.size(); ++i) {
        if (ignored[i]) continue;
        if (kept != i) draws[kept] = std::move(draws[i]);
        ++kept;
    }
    draws.resize(kept);
    return std::move(draws);
}

Result<std::vector<StoredDraw>> DrawStore::ofPeriod(std::wstring_view period) {
    std::vector<StoredDraw> rows;
    const std::optional<std::wstring> stored = storedPeriod(period);
    sqlite3* db = store_.connection();
    const Result<bool> exists = tableExists(db, "draws", "read draws");
    if (!exists) return exists.error();
    if (!stored || !*exists) return rows;
    Result<Statement> find = Statement::prepare(db, std::string("SELECT period,draw_date,front,blue,source,stored_at") +
                                                        PeriodWhere + " ORDER BY draw_date,period");
    if (!find) return find.error();
    find->bind(1, *stored);
    const DrawColumns at(*find);
    Statement::Step stepped;
    while ((stepped = find->step()) == Statement::Step::Row) rows.push_back(readRow(*find, at));
    if (stepped != Statement::Step::Done) return find->failure("read draws");
    return rows;
}

Status DrawStore::remove(std::wstring_view period) {
    const std::optional<std::wstring> stored = storedPeriod(period);
    if (!stored) return noSuchPeriod(period);
    sqlite3* db = store_.connection();
    const Result<bool> exists = tableExists(db, "draws", "delete draw");
    if (!exists) return exists.error();
    if (!*exists) return noSuchPeriod(*stored);
    // One statement: both forms of the period go together or not at all.
    Result<Statement> remove = Statement::prepare(db, std::string("DELETE") + PeriodWhere);
    if (!remove) return remove.error();
    remove->bind(1, *stored);
    if (remove->step() != Statement::Step::Done) return remove->failure("delete draw");
    if (remove->changedRows() == 0) return noSuchPeriod(*stored);
    return success();
}

Result<FetchedDraw> keepFetchedDraw(EasyDb& db, const Draw& draw, const CastClock& clock) {
    FetchedDraw kept;
    kept.draw = draw;
    kept.refusal = admitDraw(kept.draw, localDay(clock));
    if (kept.refusal != DrawRefusal::None) return kept;
    DrawStore store(db);
    Result<DrawStoreReport> report = store.store({&kept.draw, 1}, DrawOrigin::Fetched, dateTimeText(clock.localNow));
    if (!report) return report.error();
    if (!report->conflicts.empty()) kept.conflict = std::move(report->conflicts.front());
    return kept;
}

int DrawImport::firstWrongLine() const {
    int first = 0;
    if (!csv.problems.empty()) first = csv.problems.front().line;
    if (!refusals.empty() && (first == 0 || refusals.front().line < first)) first = refusals.front().line;
    return first;
}

Result<DrawImport> importDraws(EasyDb& db, std::string_view utf8, const CastClock& clock) {
    DrawImport done;
    done.csv = parseDrawCsv(utf8);
    done.refusals = keepLawfulDraws(done.csv, localDay(clock));
    DrawStore store(db);
    Result<DrawStoreReport> report = store.store(done.csv.rows, DrawOrigin::Imported, dateTimeText(clock.localNow));
    if (!report) return report.error();
    done.report = std::move(report).value();
    return done;
}

}  // namespace orvenna
