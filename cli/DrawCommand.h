// `orvenna-cli draw [--url URL | --file PAGE] [--json]`: the latest 七星彩 draw of a results
// page, fetched or read from a saved (GB18030) copy.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace orvenna::cli {

int drawCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace orvenna::cli
