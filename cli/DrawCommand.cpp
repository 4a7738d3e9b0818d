#include "DrawCommand.h"

#include <ostream>

#include <json/json.h>

#include "CastJson.h"
#include "Cli.h"
#include "InputFile.h"
#include "Options.h"
#include "base/Text.h"
#include "codec/Gb18030.h"
#include "draws/DrawFetcher.h"
#include "system/Settings.h"

namespace orvenna::cli {

int drawCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
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
