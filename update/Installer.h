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

// Where a download writes before it is complete: the installer's name + ".part".
std::filesystem::path partialDownloadFile(const std::filesystem::path& installer);

// True for the name of a partial download (the installer's name is its 32 upper-case
// hexadecimal MD5 digits + ".exe").
bool isPartialDownloadName(const std::filesystem::path& fileName);

// Starts the installer and returns without waiting for it (at most 500 ms for it to settle).
// On Linux the file is made executable first. It gets no arguments unless
// ORVENNA_INSTALLER_ARGUMENTS names some (separated by blanks).
Status startInstaller(const std::filesystem::path& file);

}  // namespace orvenna
