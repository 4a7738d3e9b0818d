// The MD5 fingerprint of a file, as the update index publishes it.
#pragma once

#include <filesystem>
#include <optional>
#include <string>

#include "system/ByteSink.h"

namespace orvenna {

// The file's MD5 as 32 upper-case hexadecimal digits; nothing when it cannot be read.
// OpenSSL's digest on Linux, the system's BCrypt on Windows.
std::optional<std::string> md5Hex(const std::filesystem::path& file);

// The same of the bytes `source` hands over (a held file's, for one).
std::optional<std::string> md5Hex(const ByteSource& source);

}  // namespace orvenna
