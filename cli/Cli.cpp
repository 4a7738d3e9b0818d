#include "Cli.h"

#include <algorithm>
#include <exception>
#include <ostream>

#include "CastCommand.h"
#include "DrawCommand.h"
#include "HistoryCommand.h"
#include "UpdateCommand.h"
#include "base/Result.h"
#include "system/Clock.h"

namespace orvenna::cli {

namespace {

constexpr const char* Usage =
    "usage: orvenna-cli cast --method 1|2|3 --input TEXT --zodiac 1..12 [--time \"YYYY-MM-DD HH:MM:SS\"]"
    " [--draw-time] [--json | --text]\n"
    " [--qr FILE.png] [--png FILE.png] [--save TITLE [--note TEXT]]\n"
    "       orvenna-cli cast --batch FILE|- [--jobs N]\n"
    "       orvenna-cli history list [--json] | show ID [--json | --text [--time ...]] | replay ID [--time ...] "
    "[--json | --text]"
    " | delete ID"
    " | stats [--json]\n"
    "       orvenna-cli draw [--url URL | --file PAGE] [--json] | import FILE.csv | list [--json] | delete PERIOD\n"
    "       orvenna-cli update verify INSTALLER SIGNATURE [--key PUBLIC_KEY] | check [--key PUBLIC_KEY] [--index FILE] "
    "[--platform P] [--download DIR]\n";

int runCommand(const std::vector<std::string>& args, std::istream& in, std::ostream& out, std::ostream& err) {
    if (args.empty() || args[0] == "--help" || args[0] == "help") {
        (args.empty() ? err : out) << Usage;
        return args.empty() ? ExitUsage : ExitOk;
    }
    if (args[0] == "cast") return castCommand(args, in, out, err, systemClock());
    if (args[0] == "draw") return drawCommand(args, out, err, systemClock());
    if (args[0] == "history") return historyCommand(args, out, err, systemClock());
    if (args[0] == "update") return updateCommand(args, out, err);
    err << "orvenna-cli: " << args[0] << ": unknown command\n";
    return ExitUsage;
}

}  // namespace

int runCli(const std::vector<std::string>& args, std::istream& in, std::ostream& out, std::ostream& err) {
    const int code = runCommand(args, in, out, err);
    // A command that failed has said why already; one that succeeded has not, when what it
    // printed went nowhere (a full disk, a closed pipe): a script would take it for a success.
    if (code == ExitOk && !outputWritten(out, err)) return ExitFailed;
    return code;
}

int reportEscapedException(std::ostream& err) noexcept {
    try {
        std::string what = "an unknown exception";
        try {
            throw;
        } catch (const FrameworkError& error) {
            what = std::string(error.what()) + " (code " + std::to_string(error.code()) + ")";
        } catch (const std::exception& error) {
            what = error.what();
        } catch (...) {
        }
        std::replace_if(
            what.begin(), what.end(), [](char c) { return c == '\n' || c == '\r'; }, ' ');
        err << "orvenna-cli: unexpected failure: " << what << std::endl;
    } catch (...) {
        // Nothing more can be said: the error stream or the memory is gone as well.
    }
    return ExitFailed;
}

bool outputWritten(std::ostream& out, std::ostream& err, const std::string& done) {
    if (out.flush()) return true;
    err << "orvenna-cli: the output could not be written";
    if (!done.empty()) err << "; " << done;
    err << '\n';
    return false;
}

}  // namespace orvenna::cli
