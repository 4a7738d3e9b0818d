// The downloaded installer: its fingerprint, and handing over to it.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "base/Result.h"

namespace orvenna {

// The file's MD5 as 32 upper-case hexadecimal digits; nothing when it cannot be read.
std::optional<std::string> md5Hex(const std::filesystem::path& file);

// Succeeds when the file's MD5 equals `expected` exactly (upper case).
Status verifyInstaller(std::wstring_view expected, const std::filesystem::path& file);

// Starts the installer and returns without waiting for it (at most 500 ms for it to
// settle); false when it could not be started. On Linux the file is made executable first.
bool startInstaller(const std::filesystem::path& file);

}  // namespace orvenna
