// What the update server publishes about the newest build, and the checks that decide
// whether it is offered: the index is outside input, and names a file this program writes
// and then runs.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace orvenna {

// This build, as the index's "ver" is compared with it and as the window shows it.
inline constexpr int ProgramBuild = 1;
inline constexpr std::wstring_view ProgramVersionText = L"V1.0.0";
inline constexpr std::string_view UpdateProductKey = "tarv";

struct UpdateIndex {
    std::int64_t ver = 0;
    std::wstring verns;
    std::wstring day;
    std::string url;  // hexadecimal digits of the address's UTF-16LE bytes
    std::wstring md5;
    std::wstring body;
    std::int64_t size = 0;
};

// The index address below the server's base: base + "/update/tarv/index.json".
std::string updateIndexUrl(std::string_view base);

// The index of a JSON text; nothing when it is not a JSON object or lacks one of "name",
// "ver", "verns", "day", "url", "md5", "body" (checked in that order).
std::optional<UpdateIndex> parseUpdateIndex(std::string_view json);

// True when the index names a newer build whose file and address are safe to use: "ver"
// above this build, "md5" exactly 32 hexadecimal digits (it becomes a file name), and an
// address that decodes to http or https.
bool offersUpdate(const UpdateIndex& index);

// The address of "url": two hexadecimal digits a byte, the bytes UTF-16LE text. Nothing for
// an odd count, a non-hexadecimal digit, broken UTF-16, or anything but an http(s) address.
std::optional<std::wstring> decodeUpdateAddress(std::string_view hex);

// Bytes as megabytes to two decimals (halves away from zero), without trailing zeros:
// 1572864 gives "1.5", 0 gives "0".
std::wstring megabytesText(std::int64_t bytes);

// "2026年12月7日": the form "update_day" is written and compared in.
std::wstring updateDayText(int year, int month, int day);

}  // namespace orvenna
