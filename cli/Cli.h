// orvenna-cli: the engine and the record store without windows, for scripts and tests.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace orvenna::cli {

enum ExitCode : int { ExitOk = 0, ExitFailed = 1, ExitUsage = 2 };

// Runs one command line (without the program name). Output goes to `out` only when the
// arguments are good; a usage error writes one line to `err` and nothing to `out`.
int runCli(const std::vector<std::string>& args, std::istream& in, std::ostream& out, std::ostream& err);

// Flushes `out`; when that or an earlier write to it failed, says so in one line on `err`
// and returns false. `done` says what was done all the same (a row saved), so that it is not
// lost with the output.
bool outputWritten(std::ostream& out, std::ostream& err, const std::string& done = {});

// main's last resort, called while an exception that escaped is handled: says in one line
// what it was and returns ExitFailed, so that no exception ends the program with an abort.
int reportEscapedException(std::ostream& err) noexcept;

}  // namespace orvenna::cli
