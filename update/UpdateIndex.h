// What the update server publishes about the newest build, read from its JSON: the index is
// outside input, and names a file this program writes and then runs. Its texts are cleaned
// here, before anything shows them.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace orvenna {

struct UpdateIndex {
    std::int64_t ver = 0;
    std::wstring verns;
    std::wstring day;
    std::string url;  // hexadecimal digits of the address's UTF-16LE bytes
    std::wstring md5;
    std::wstring body;
    std::int64_t size = 0;
    std::string sig;  // the installer's minisign signature: the .minisig file's text
};

// The index as the server sent it, and its signature (index.json.minisig beside it; empty
// when the server has none).
struct SignedIndexText {
    std::string json;
    std::string signature;
};

// Bounds on what an index may hold: everything it says is shown in a window or kept, and
// must neither freeze the window nor fill the disk. The signature binds the fields to the
// publisher; these bounds keep even a publisher's mistake harmless.
inline constexpr std::size_t UpdateIndexMaxBytes = 64 * 1024;
inline constexpr std::size_t UpdateSignatureMaxBytes = 4 * 1024;
inline constexpr std::size_t UpdateBodyMaxChars = 4 * 1024;
inline constexpr int UpdateBodyMaxLines = 40;
inline constexpr std::size_t UpdateShortFieldMaxChars = 64;  // "verns" and "day"
inline constexpr std::int64_t UpdateInstallerMaxBytes = std::int64_t{256} * 1024 * 1024;

// The index of a JSON text; nothing when it is not a JSON object or lacks one of "name",
// "ver", "verns", "day", "url", "md5", "body" (checked in that order).
std::optional<UpdateIndex> parseUpdateIndex(std::string_view json);

// Text of the index as it may be shown: control characters (but line breaks, where `lines`)
// and direction controls dropped, and no more than two combining marks on one character.
std::wstring shownIndexText(std::wstring_view text, bool lines);

// The address of "url": two hexadecimal digits a byte, the bytes UTF-16LE text. Nothing for
// an odd count, a non-hexadecimal digit, broken UTF-16, or anything but an http(s) address.
std::optional<std::wstring> decodeUpdateAddress(std::string_view hex);

}  // namespace orvenna
