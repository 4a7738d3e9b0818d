// The downloaded installer: its fingerprint, and handing over to it.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "base/Result.h"

namespace orvenna {

// Succeeds when the file's MD5 equals `expected` exactly (upper case).
Status verifyInstaller(std::wstring_view expected, const std::filesystem::path& file);

// Starts the installer and returns without waiting for it (at most 500 ms for it to
// settle). On Linux the file is made executable first.
Status startInstaller(const std::filesystem::path& file);

}  // namespace orvenna
