// The configuration store: the keys of section "sys" in "config.ini" in the program directory.
//
// On Windows this is the system's private-profile file; elsewhere a reader and writer with the
// same rules (system/IniText.h): section and key names match without regard to ASCII case,
// blanks around names and values do not count, and anything missing (file, section, key)
// reads as the default. A value comes back cut to 10239 characters, the most the Windows read
// buffer holds. A value enclosed in a matching pair of quotes comes back without them, as
// Windows returns it.
#pragma once

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>

#include "base/Result.h"

namespace orvenna {

enum class Setting { DrawUrl, PingHost, UpdateUrl, UpdateDay, UpdateFile };

struct SettingKey {
    Setting setting;
    std::wstring_view name;          // in the file
    std::wstring_view defaultValue;  // what a file without the key reads as
};

// Each setting with its name and default, in the order of the enum.
inline constexpr SettingKey SettingKeys[] = {
    // The results page of the latest draw; empty turns the latest draw off.
    {Setting::DrawUrl, L"draw_url", L"https://kaijiang.500.com/"},
    // The host the network check pings; empty skips the check.
    {Setting::PingHost, L"ping_host", L"www.baidu.com"},
    // The update server's base address; empty turns the update check off.
    {Setting::UpdateUrl, L"update_url", L""},
    // The day a newer build was last offered ("2026年12月7日"): one offer a day.
    {Setting::UpdateDay, L"update_day", L""},
    // The file name of the installer the update downloaded, deleted at the next start.
    {Setting::UpdateFile, L"update_file", L""},
};

constexpr const SettingKey& settingKey(Setting setting) {
    return SettingKeys[static_cast<std::size_t>(setting)];
}
constexpr std::wstring_view settingName(Setting setting) {
    return settingKey(setting).name;
}
constexpr std::wstring_view settingDefault(Setting setting) {
    return settingKey(setting).defaultValue;
}

// The longest value a read returns, in characters.
inline constexpr std::size_t MaxSettingLength = 10239;

// The configuration file of a program kept in `programDir`.
std::filesystem::path settingsFileIn(const std::filesystem::path& programDir);

// The configuration file: the one in programDirectory().
std::filesystem::path settingsFile();

// The value of `key` in section "sys" of `iniFile`, or `defaultText` when there is none.
std::wstring readSetting(const std::filesystem::path& iniFile, std::wstring_view key, std::wstring_view defaultText);

// Stores `value` under `key` in section "sys" of `iniFile`, creating the file (not its folder)
// when missing; the rest of the file is kept as it was. The old file is replaced only once the
// new one is completely on disk. Fails on any failure of the system, for a file without any
// write permission (read-only, as Windows refuses it), and for a key or value that one INI line
// cannot hold (a line break or NUL in either; an empty key, or one with "=" or a leading "[").
Status writeSetting(const std::filesystem::path& iniFile, std::wstring_view key, std::wstring_view value);

// The same for a setting, which reads as its default when the file has none.
std::wstring readSetting(const std::filesystem::path& iniFile, Setting setting);
Status writeSetting(const std::filesystem::path& iniFile, Setting setting, std::wstring_view value);

// The same on settingsFile().
std::wstring readSetting(Setting setting);
Status writeSetting(Setting setting, std::wstring_view value);

}  // namespace orvenna
