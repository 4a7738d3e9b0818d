// The files orvenna-cli reads (a batch of requests, a saved results page): a path that is a
// directory, missing or unreadable is a failure with a reason, never an exception.
#pragma once

#include <fstream>
#include <string>

#include "base/Result.h"

namespace orvenna::cli {

// Opens `name` (UTF-8) for reading; the error says why it cannot be read.
Status openInputFile(const std::string& name, std::ifstream& file);

// The whole of `name`; the error says why it cannot be read, also when reading breaks off
// or the file is longer than `maxBytes` (0: no bound).
Result<std::string> readInputFile(const std::string& name, std::size_t maxBytes = 0);

}  // namespace orvenna::cli
