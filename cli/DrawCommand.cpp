#include "DrawCommand.h"

#include <cmath>
#include <filesystem>
#include <optional>
#include <ostream>

#include <json/json.h>

#include "CastJson.h"
#include "Cli.h"
#include "InputFile.h"
#include "Options.h"
#include "base/DayCount.h"
#include "base/Text.h"
#include "codec/Gb18030.h"
#include "codec/TextFile.h"
#include "draws/DrawFetcher.h"
#include "records/DrawStore.h"
#include "system/Console.h"
#include "system/ProgramDirectory.h"
#include "system/Settings.h"

namespace orvenna::cli {

namespace {

std::string sourceText(DrawOrigin source) {
    return source == DrawOrigin::Imported ? "imported" : "fetched";
}

std::string refusalText(DrawRefusal refusal) {
    switch (refusal) {
        case DrawRefusal::PeriodForm:
            return "the period is neither five digits (26139) nor seven (2026139)";
        case DrawRefusal::PeriodYear:
            return "the period's year is not the year of its date";
        case DrawRefusal::AfterToday:
            return "the date is after today";
        case DrawRefusal::NoDrawDay:
            return "there is no draw on that day (draws are on Tuesday, Friday and Sunday)";
        case DrawRefusal::PeriodNumber:
            return "the period's number is 0 or more than the draws of its year up to its date";
        case DrawRefusal::None:
            break;
    }
    return {};
}

// Why the casts are not scored against a stored row; empty for one they are scored against.
std::string ignoredText(const std::optional<DrawIgnored>& ignored) {
    if (!ignored) return {};
    if (ignored->refusal != DrawRefusal::None) return refusalText(ignored->refusal);
    return "another period is stored for its date (" + toUtf8(ignored->datePeriod) + ")";
}

// Good lines are stored in one transaction; each bad or disagreeing line is named on the
// error stream and leaves the exit code 1, the rest stored all the same.
int importDraws(const std::string& file, const CastClock& clock, std::ostream& out, std::ostream& err) {
    const Result<std::string> text = readTextFile(utf8Path(file), DrawFileMaxBytes);
    if (!text) {
        if (isNotText(text.error()))
            err << "orvenna-cli: " << file << " is neither UTF-8 nor GB18030 text\n";
        else
            err << "orvenna-cli: " << text.error().message << '\n';
        return ExitFailed;
    }
    EasyDb db(programDirectory());
    const Result<DrawImport> imported = importDraws(db, *text, clock);
    if (!imported) {
        err << "orvenna-cli: cannot store the draws in " << db.path().string() << ": " << imported.error().message
            << '\n';
        return ExitFailed;
    }
    const DrawCsv& csv = imported->csv;
    const DrawStoreReport& report = imported->report;
    for (const DrawCsvProblem& problem : csv.problems)
        err << "orvenna-cli: " << file << ':' << problem.line << ": " << problem.message << '\n';
    for (const RefusedDraw& refused : imported->refusals)
        err << "orvenna-cli: " << file << ':' << refused.line << ": period " << toUtf8(refused.draw.period) << " of "
            << toUtf8(dateText(static_cast<double>(refused.draw.day))) << ": " << refusalText(refused.reason) << '\n';
    for (const DrawStoreReport::Conflict& conflict : report.conflicts) {
        const Draw& offered = csv.rows[conflict.index];
        const Draw& stored = conflict.stored.draw;
        err << "orvenna-cli: " << file << ':' << csv.lines[conflict.index] << ": ";
        if (conflict.clash == DrawClash::Date)
            err << "date " << toUtf8(dateText(static_cast<double>(offered.day))) << " is stored as period "
                << toUtf8(stored.period);
        else
            err << "period " << toUtf8(offered.period) << " is stored as "
                << toUtf8(dateText(static_cast<double>(stored.day)));
        err << ' ' << toUtf8(drawNumbersText(stored)) << " (" << sourceText(conflict.stored.source) << "); kept\n";
    }
    const std::size_t refused = imported->refused();
    out << "imported " << report.added << ", already stored " << report.unchanged << ", refused " << refused << '\n';
    return refused == 0 ? ExitOk : ExitFailed;
}

int listDraws(bool json, const CastClock& clock, std::ostream& out, std::ostream& err) {
    const std::filesystem::path directory = programDirectory();
    std::error_code ignored;
    std::vector<StoredDraw> draws;
    if (std::filesystem::exists(EasyDb::databasePath(directory), ignored)) {
        EasyDb db(directory);
        DrawStore store(db);
        Result<std::vector<StoredDraw>> listed = store.list(localDay(clock));
        if (!listed) {
            err << "orvenna-cli: cannot read " << db.path().string() << ": " << listed.error().message << '\n';
            return ExitFailed;
        }
        draws = std::move(listed).value();
    }
    if (json) {
        Json::Value list(Json::arrayValue);
        for (const StoredDraw& stored : draws) {
            Json::Value item = drawJson(stored.draw);
            item["source"] = sourceText(stored.source);
            item["storedAt"] = toUtf8(stored.storedAt);
            item["ignored"] = stored.ignored ? Json::Value(ignoredText(stored.ignored)) : Json::Value();
            list.append(item);
        }
        out << compactJson(list) << '\n';
        return ExitOk;
    }
    for (const StoredDraw& stored : draws)
        out << toUtf8(stored.draw.period) << '\t' << toUtf8(dateText(static_cast<double>(stored.draw.day))) << '\t'
            << toUtf8(drawNumbersText(stored.draw)) << '\t' << sourceText(stored.source) << '\t'
            << ignoredText(stored.ignored) << '\n';
    if (draws.empty()) err << "orvenna-cli: no stored draws\n";
    return ExitOk;
}

// A wrong draw is mended by deleting its period and importing the right one; a period that
// is not stored is a failure, and looking for one makes no store.
int deleteDraw(const std::string& period, std::ostream& out, std::ostream& err) {
    const std::optional<std::wstring> stored = storedPeriod(fromUtf8(period));
    if (!stored) {
        err << "orvenna-cli: draw delete: PERIOD must be five digits (26139) or seven (2026139)\n";
        return ExitUsage;
    }
    const auto noSuchPeriod = [&] {
        err << "orvenna-cli: no stored draw of period " << toUtf8(*stored) << '\n';
        return ExitFailed;
    };
    const std::filesystem::path directory = programDirectory();
    std::error_code ignored;
    if (!std::filesystem::exists(EasyDb::databasePath(directory), ignored)) return noSuchPeriod();
    EasyDb db(directory);
    DrawStore store(db);
    const Result<std::vector<StoredDraw>> rows = store.ofPeriod(*stored);
    if (!rows) {
        err << "orvenna-cli: cannot read " << db.path().string() << ": " << rows.error().message << '\n';
        return ExitFailed;
    }
    if (rows->empty()) return noSuchPeriod();
    if (const Status removed = store.remove(*stored); !removed) {
        if (removed.error().code == NoSuchRow) return noSuchPeriod();
        err << "orvenna-cli: cannot delete from " << db.path().string() << ": " << removed.error().message << '\n';
        return ExitFailed;
    }
    for (const StoredDraw& row : *rows)
        out << "deleted " << toUtf8(row.draw.period) << ' ' << toUtf8(dateText(static_cast<double>(row.draw.day)))
            << ' ' << toUtf8(drawNumbersText(row.draw)) << '\n';
    return ExitOk;
}

}  // namespace

Json::Value drawJson(const Draw& draw) {
    Json::Value item(Json::objectValue);
    item["period"] = toUtf8(draw.period);
    item["date"] = toUtf8(dateText(static_cast<double>(draw.day)));
    Json::Value front(Json::arrayValue);
    for (const int digit : draw.front) front.append(digit);
    item["front"] = front;
    item["blue"] = draw.blue;
    return item;
}

int drawCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err, const CastClock& clock) {
    const std::string verb = args.size() > 1 ? args[1] : "";
    if (verb == "import") {
        if (args.size() != 3) {
            err << "orvenna-cli: draw import: expected one FILE\n";
            return ExitUsage;
        }
        return importDraws(args[2], clock, out, err);
    }
    if (verb == "list") {
        Options options({}, {"--json"});
        if (const std::string error = options.parse(args, 2); !error.empty()) {
            err << "orvenna-cli: " << error << '\n';
            return ExitUsage;
        }
        return listDraws(options.flag("--json"), clock, out, err);
    }
    if (verb == "delete") {
        if (args.size() != 3) {
            err << "orvenna-cli: draw delete: expected one PERIOD\n";
            return ExitUsage;
        }
        return deleteDraw(args[2], out, err);
    }
    Options options({"--url", "--file"}, {"--json"});
    if (const std::string error = options.parse(args, 1); !error.empty()) {
        err << "orvenna-cli: " << error << '\n';
        return ExitUsage;
    }
    if (options.value("--url") && options.value("--file")) {
        err << "orvenna-cli: --file: not together with --url\n";
        return ExitUsage;
    }

    std::string page;
    if (const auto file = options.value("--file")) {
        const Result<std::string> bytes = readInputFile(*file);
        if (!bytes) {
            err << "orvenna-cli: --file: " << bytes.error().message << '\n';
            return ExitFailed;
        }
        const auto text = gb18030ToUtf8(*bytes);
        if (!text) {
            err << "orvenna-cli: " << *file << " is not a GB18030 page\n";
            return ExitFailed;
        }
        page = *text;
    } else {
        const std::string url = options.value("--url").value_or(toUtf8(settingDefault(Setting::DrawUrl)));
        Result<std::string> fetched = fetchPage(url);
        if (!fetched) {
            err << "orvenna-cli: " << url << ": " << fetched.error().message << '\n';
            return ExitFailed;
        }
        page = std::move(fetched).value();
    }

    const DrawResult draw = parseSevenStarDraw(page);
    if (options.flag("--json")) {
        Json::Value json(Json::objectValue);
        json["lotteryName"] = toUtf8(draw.lotteryName);
        json["period"] = toUtf8(draw.period);
        json["drawDate"] = toUtf8(draw.drawDate);
        json["mainNumbers"] = toUtf8(draw.mainNumbers);
        json["extraNumbers"] = toUtf8(draw.extraNumbers);
        json["status"] = draw.status;
        out << compactJson(json) << '\n';
    } else {
        out << toUtf8(draw.lotteryName) << ' ' << toUtf8(draw.period) << ' ' << toUtf8(draw.drawDate) << ' '
            << toUtf8(draw.mainNumbers) << toUtf8(draw.extraNumbers) << '\n';
    }
    if (!draw.usable()) {
        err << "orvenna-cli: no draw found on the page\n";
        return ExitFailed;
    }
    return ExitOk;
}

}  // namespace orvenna::cli
