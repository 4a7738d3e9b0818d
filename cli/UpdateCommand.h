// `orvenna-cli update verify INSTALLER SIGNATURE [--key PUBLIC_KEY]` and `update check`: for a
// publisher who signs an installer, and an administrator who wants to see what the update
// server offers before the program does.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace orvenna::cli {

int updateCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace orvenna::cli
