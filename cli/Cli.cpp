#include "Cli.h"

#include <ostream>

#include "CastCommand.h"

namespace orvenna::cli {

namespace {

constexpr const char* Usage =
    "usage: orvenna-cli cast --method 1|2|3 --input TEXT --zodiac 1..12 [--time \"YYYY-MM-DD HH:MM:SS\"]"
    " [--draw-time] [--json]\n"
    "       orvenna-cli cast --batch FILE|-\n";

}  // namespace

int runCli(const std::vector<std::string>& args, std::istream& in, std::ostream& out, std::ostream& err) {
    if (args.empty() || args[0] == "--help" || args[0] == "help") {
        (args.empty() ? err : out) << Usage;
        return args.empty() ? ExitUsage : ExitOk;
    }
    if (args[0] == "cast") return castCommand(args, in, out, err, systemClock());
    err << "orvenna-cli: " << args[0] << ": unknown command\n";
    return ExitUsage;
}

}  // namespace orvenna::cli
