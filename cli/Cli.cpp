#include "Cli.h"

#include <ostream>

#include "CastCommand.h"
#include "DrawCommand.h"
#include "HistoryCommand.h"
#include "framework/Clock.h"

namespace orvenna::cli {

namespace {

constexpr const char* Usage =
    "usage: orvenna-cli cast --method 1|2|3 --input TEXT --zodiac 1..12 [--time \"YYYY-MM-DD HH:MM:SS\"]"
    " [--draw-time] [--json]\n"
    " [--qr FILE.png] [--save TITLE [--note TEXT]]\n"
    "       orvenna-cli cast --batch FILE|-\n"
    "       orvenna-cli history list | show ID [--json] | replay ID [--time ...] [--json] | delete ID\n"
    "       orvenna-cli draw [--url URL | --file PAGE] [--json]\n";

}  // namespace

int runCli(const std::vector<std::string>& args, std::istream& in, std::ostream& out, std::ostream& err) {
    if (args.empty() || args[0] == "--help" || args[0] == "help") {
        (args.empty() ? err : out) << Usage;
        return args.empty() ? ExitUsage : ExitOk;
    }
    if (args[0] == "cast") return castCommand(args, in, out, err, systemClock());
    if (args[0] == "draw") return drawCommand(args, out, err);
    if (args[0] == "history") return historyCommand(args, out, err, systemClock());
    err << "orvenna-cli: " << args[0] << ": unknown command\n";
    return ExitUsage;
}

}  // namespace orvenna::cli
