#include "DrawStore.h"

#include "Statement.h"
#include "Transaction.h"

namespace orvenna {

namespace {

constexpr char FindSql[] = "SELECT period,draw_date,front,blue,source,stored_at FROM draws WHERE period=?1";
constexpr char InsertSql[] =
    "INSERT INTO draws(period,draw_date,front,blue,source,stored_at) VALUES(?1,?2,?3,?4,?5,?6)";
constexpr char ListSql[] = "SELECT period,draw_date,front,blue,source,stored_at FROM draws ORDER BY draw_date,period";

std::wstring_view sourceName(DrawOrigin source) {
    return source == DrawOrigin::Imported ? L"imported" : L"fetched";
}

std::wstring frontText(const DrawNumbers& numbers) {
    std::wstring text;
    for (const int digit : numbers.front) text += static_cast<wchar_t>(L'0' + digit);
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

// A row as stored; a front text that is not six digits (another program wrote it) reads as 0s.
StoredDraw readRow(const Statement& statement, const DrawColumns& at) {
    StoredDraw stored;
    stored.draw.period = statement.columnText(at.period);
    stored.draw.date = statement.columnText(at.date);
    const std::wstring front = statement.columnText(at.front);
    for (std::size_t i = 0; i < 6 && i < front.size(); ++i)
        if (front[i] >= L'0' && front[i] <= L'9') stored.draw.numbers.front[i] = front[i] - L'0';
    stored.draw.numbers.blue = statement.columnInt(at.blue);
    stored.source = statement.columnText(at.source) == L"imported" ? DrawOrigin::Imported : DrawOrigin::Fetched;
    stored.storedAt = statement.columnText(at.storedAt);
    return stored;
}

}  // namespace

std::wstring drawNumbersText(const DrawNumbers& numbers) {
    return frontText(numbers) + L"+" + std::to_wstring(numbers.blue);
}

std::string DrawStore::createTableStatement() {
    return "CREATE TABLE IF NOT EXISTS draws (period TEXT PRIMARY KEY NOT NULL, draw_date TEXT NOT NULL, "
           "front TEXT NOT NULL, blue INTEGER NOT NULL, source TEXT NOT NULL, stored_at TEXT NOT NULL)";
}

Status DrawStore::ensureTable() {
    return executeSql(store_.connection(), createTableStatement().c_str(), "create table draws");
}

namespace {

// The stored draw of `period`, through `find` (FindSql, prepared once for many lookups).
Result<std::optional<StoredDraw>> findDraw(Statement& find, const DrawColumns& at, std::wstring_view period) {
    find.reset();
    find.bind(1, period);
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

Result<DrawStoreReport> DrawStore::store(std::span<const DrawRow> draws, DrawOrigin source,
                                         std::wstring_view storedAt) {
    sqlite3* db = store_.connection();
    Result<Transaction> transaction = Transaction::begin(db, "store draws");
    if (!transaction) return transaction.error();
    if (Status made = ensureTable(); !made) return made.error();
    Result<Statement> insert = Statement::prepare(db, InsertSql);
    if (!insert) return insert.error();
    Result<Statement> find = Statement::prepare(db, FindSql);
    if (!find) return find.error();
    const DrawColumns columns(*find);
    DrawStoreReport report;
    for (std::size_t i = 0; i < draws.size(); ++i) {
        const DrawRow& draw = draws[i];
        Result<std::optional<StoredDraw>> found = findDraw(*find, columns, draw.period);
        if (!found) return found.error();
        if (*found) {
            if ((*found)->draw == draw)
                ++report.unchanged;
            else
                report.conflicts.push_back({i, std::move(**found)});
            continue;
        }
        insert->reset();
        insert->bind(1, draw.period);
        insert->bind(2, draw.date);
        insert->bind(3, frontText(draw.numbers));
        insert->bind(4, draw.numbers.blue);
        insert->bind(5, sourceName(source));
        insert->bind(6, storedAt);
        if (insert->step() != Statement::Step::Done) return insert->failure("store draw");
        ++report.added;
    }
    if (Status committed = transaction->commit("store draws"); !committed) return committed.error();
    return report;
}

Result<std::vector<StoredDraw>> DrawStore::list() {
    sqlite3* db = store_.connection();
    const Result<bool> exists = tableExists(db, "draws", "read draws");
    if (!exists) return exists.error();
    if (!*exists) return std::vector<StoredDraw>();
    Result<Statement> prepared = Statement::prepare(db, ListSql);
    if (!prepared) return prepared.error();
    const DrawColumns at(*prepared);
    std::vector<StoredDraw> draws;
    Statement::Step stepped;
    while ((stepped = prepared->step()) == Statement::Step::Row) draws.push_back(readRow(*prepared, at));
    if (stepped != Statement::Step::Done) return prepared->failure("read draws");
    return draws;
}

Result<std::optional<StoredDraw>> keepFetchedDraw(EasyDb& db, const DrawRow& draw, std::wstring_view storedAt) {
    DrawStore store(db);
    Result<DrawStoreReport> report = store.store({&draw, 1}, DrawOrigin::Fetched, storedAt);
    if (!report) return report.error();
    if (report->conflicts.empty()) return std::optional<StoredDraw>();
    return std::optional<StoredDraw>(std::move(report->conflicts.front().stored));
}

Result<DrawImport> importDraws(EasyDb& db, std::string_view utf8, std::wstring_view storedAt) {
    DrawImport done;
    done.csv = parseDrawCsv(utf8);
    DrawStore store(db);
    Result<DrawStoreReport> report = store.store(done.csv.rows, DrawOrigin::Imported, storedAt);
    if (!report) return report.error();
    done.report = std::move(report).value();
    return done;
}

}  // namespace orvenna
