// What a command-line program needs of its platform: its arguments and paths as UTF-8 (the
// standard streams themselves are ConsoleStreams' business).
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace orvenna {

// The arguments after the program's name, as UTF-8. Windows hands `argv` over in the
// system's code page, which cannot hold every character; there they are read again from
// the wide command line.
std::vector<std::string> utf8Arguments(int argc, char** argv);

// A path given as UTF-8 (an argument, a setting): on Windows a narrow path would be read in
// the system's code page.
std::filesystem::path utf8Path(std::string_view text);

}  // namespace orvenna
