// What the update server publishes about the newest build, and the checks that decide
// whether it is offered: the index is outside input, and names a file this program writes
// and then runs.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "Minisign.h"
#include "base/Result.h"
#include "base/Version.h"

namespace orvenna {

inline constexpr std::string_view UpdateProductKey = "tarv";

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

// The platform an installer is built for, as the index's signed comment names it.
#ifdef _WIN32
inline constexpr std::string_view UpdatePlatform = "windows-x64";
#else
inline constexpr std::string_view UpdatePlatform = "linux-x64";
#endif
// The product the index's signed comment names.
inline constexpr std::string_view UpdateProductName = "orvenna";

// Bounds on what an index may hold: everything it says is shown in a window or kept, and
// must neither freeze the window nor fill the disk. The signature binds the fields to the
// publisher; these bounds keep even a publisher's mistake harmless.
inline constexpr std::size_t UpdateIndexMaxBytes = 64 * 1024;
inline constexpr std::size_t UpdateSignatureMaxBytes = 4 * 1024;
inline constexpr std::size_t UpdateBodyMaxChars = 4 * 1024;
inline constexpr int UpdateBodyMaxLines = 40;
inline constexpr std::size_t UpdateShortFieldMaxChars = 64;  // "verns" and "day"
inline constexpr std::int64_t UpdateInstallerMaxBytes = std::int64_t{256} * 1024 * 1024;

// Whether an index offers its build, and if not, why.
enum class OfferVerdict {
    Offered,
    IndexUnsigned,      // no index.json.minisig, or not a signature
    IndexBadSignature,  // the index's bytes are not signed by the trusted key
    IndexOtherRelease,  // the index's signed comment names another product, platform or "ver"
    IndexUnreadable,    // signed, but not an index (not JSON, a member missing)
    FieldOutOfBounds,   // a field longer or larger than the program takes
    NotNewer,           // "ver" not above this build
    BadFingerprint,     // "md5" not 32 hexadecimal digits
    BadAddress,         // "url" not an http(s) address
    InsecureAddress,    // plain http to a host that is not loopback
    NoSize,             // "size" missing or not positive: the download could not be capped
    NoKey,              // no trusted public key to check against
    Unsigned,           // "sig" missing or malformed
    BadSignature,       // not the trusted key's, or its trusted comment was changed
    OtherVersion,       // the signed trusted comment names another "ver"
};

struct OfferDecision {
    OfferVerdict verdict = OfferVerdict::Offered;
    std::string reason;          // one line, for people; empty when offered
    std::string trustedComment;  // the signature's, once it verified
    std::string address;         // the installer's address, decoded, once offered
    bool offered() const { return verdict == OfferVerdict::Offered; }
};

// The index address below the server's base: base + "/update/tarv/index.json".
std::string updateIndexUrl(std::string_view base);

// Bounds of the index request: it is small, and a server that does not answer in time is
// asked again on another day.
inline constexpr long UpdateIndexConnectTimeoutMs = 5000;
inline constexpr long UpdateIndexTotalTimeoutMs = 15000;

// The index as the server sent it, and its signature (index.json.minisig beside it; empty
// when the server has none).
struct SignedIndexText {
    std::string json;
    std::string signature;
};

// Asks the server at `base` for its index and the index's signature, redirects to https only.
// An Error says why there is no index (no answer, cut short, larger than the bound, a code
// other than 200, cancelled). `base` must already have passed isSecureAddress.
Result<SignedIndexText> fetchUpdateIndex(std::string_view base, const std::function<bool()>& cancelled);

// The index checked before anything of it is read: its exact bytes signed by `key`, the
// signed comment naming this product, this platform and the index's own "ver", every field
// within its bounds, then the offer decision below. The index comes with the decision once
// its signature has verified.
struct IndexDecision {
    OfferDecision decision;
    std::optional<UpdateIndex> index;
};
IndexDecision decideSignedIndex(const SignedIndexText& text, const Result<MinisignKey>& key,
                                std::string_view platform = UpdatePlatform);

// True when the comment names `name=value` exactly once, with that value.
bool namesField(std::string_view trustedComment, std::string_view name, std::string_view value);

// Text of the index as it may be shown: control characters (but line breaks, where `lines`)
// and direction controls dropped, and no more than two combining marks on one character.
std::wstring shownIndexText(std::wstring_view text, bool lines);

// The index of a JSON text; nothing when it is not a JSON object or lacks one of "name",
// "ver", "verns", "day", "url", "md5", "body" (checked in that order).
std::optional<UpdateIndex> parseUpdateIndex(std::string_view json);

// Offered when the index names a newer build whose file and address are safe to use and that
// only the publisher can have made: "ver" above this build, "md5" exactly 32 hexadecimal
// digits of either case (it becomes a file name), an https address (http only to a loopback
// host), a positive "size", and a "sig" made with `key` whose trusted comment names "ver"
// ("orvenna ver=2"). The installer's own bytes are checked against "sig" after the download.
OfferDecision decideOffer(const UpdateIndex& index, const Result<MinisignKey>& key);

// True when the trusted comment holds exactly one "ver=N" word, N being `ver`.
bool namesVersion(std::string_view trustedComment, std::int64_t ver);

// True for the name the program gives a downloaded installer, and the only name
// "update_file" may hold: 32 upper-case hexadecimal digits + ".exe", no folder.
bool isInstallerFileName(const std::filesystem::path& fileName);

// The installer's file name for a fingerprint of either case: upper case + ".exe".
std::wstring installerFileName(std::wstring_view md5);

// The address of "url": two hexadecimal digits a byte, the bytes UTF-16LE text. Nothing for
// an odd count, a non-hexadecimal digit, broken UTF-16, or anything but an http(s) address.
std::optional<std::wstring> decodeUpdateAddress(std::string_view hex);

// Bytes as megabytes to two decimals (halves away from zero), without trailing zeros:
// 1572864 gives "1.5", 0 gives "0".
std::wstring megabytesText(std::int64_t bytes);

// "2026年12月7日": the form "update_day" is written and compared in.
std::wstring updateDayText(int year, int month, int day);

}  // namespace orvenna
