// The configuration store: the keys of section "sys" in "config.ini" in the program directory.
//
// On Windows this is the system's private-profile file; elsewhere a reader and writer with the
// same rules: section and key names match without regard to ASCII case, blanks around names
// and values do not count, and anything missing (file, section, key) reads as the default.
// A value comes back cut to 10239 characters, the most the Windows read buffer holds. A value
// enclosed in a matching pair of quotes comes back without them, as Windows returns it.
#pragma once

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>

#include "base/Result.h"

namespace orvenna {

// The longest value a read returns, in characters.
inline constexpr std::size_t MaxSettingLength = 10239;

// The configuration file: programDirectory() / "config.ini".
std::filesystem::path settingsFile();

// The value of `key` in section "sys" of `iniFile`, or `defaultText` when there is none.
std::wstring readSetting(const std::filesystem::path& iniFile, std::wstring_view key, std::wstring_view defaultText);

// Stores `value` under `key` in section "sys" of `iniFile`, creating the file (not its folder)
// when missing; the rest of the file is kept as it was. The old file is replaced only once the
// new one is completely on disk. Fails on any failure of the system, for a file without any
// write permission (read-only, as Windows refuses it), and for a key or value that one INI line
// cannot hold (a line break or NUL in either; an empty key, or one with "=" or a leading "[").
Status writeSetting(const std::filesystem::path& iniFile, std::wstring_view key, std::wstring_view value);

// The same on settingsFile().
std::wstring readSetting(std::wstring_view key, std::wstring_view defaultText);
Status writeSetting(std::wstring_view key, std::wstring_view value);

}  // namespace orvenna
