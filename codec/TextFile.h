// A text file a user hands the program (such as a file of past draws): a plain file of
// bounded size, written in UTF-8 or in GB18030 as Chinese spreadsheets save it.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

#include "base/Result.h"

namespace orvenna {

// The code of the Error (ErrorSource::Program) for a file that is neither UTF-8 nor GB18030.
inline constexpr int NotTextCode = 1;
inline bool isNotText(const Error& error) {
    return error.source == ErrorSource::Program && error.code == NotTextCode;
}

// The UTF-8 text of a plain file of at most `maxBytes`; refused as readRegularFile refuses,
// or with NotTextCode.
Result<std::string> readTextFile(const std::filesystem::path& file, std::int64_t maxBytes);

}  // namespace orvenna
