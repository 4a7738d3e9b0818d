// Whether an index offers its build: its signature, the release its signed comment names, the
// bounds of its fields, and the checks that decide whether its installer may be fetched.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "Minisign.h"
#include "UpdateIndex.h"
#include "base/Result.h"

namespace orvenna {

// The platform an installer is built for, as the index's signed comment names it.
#ifdef _WIN32
inline constexpr std::string_view UpdatePlatform = "windows-x64";
#else
inline constexpr std::string_view UpdatePlatform = "linux-x64";
#endif
// The product the index's signed comment names.
inline constexpr std::string_view UpdateProductName = "orvenna";

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

// Offered when the index names a newer build whose file and address are safe to use and that
// only the publisher can have made: "ver" above this build, "md5" exactly 32 hexadecimal
// digits of either case (it becomes a file name), an https address (http only to a loopback
// host), a positive "size", and a "sig" made with `key` whose trusted comment names "ver"
// ("orvenna ver=2"). The installer's own bytes are checked against "sig" after the download.
OfferDecision decideOffer(const UpdateIndex& index, const Result<MinisignKey>& key);

// True when the trusted comment holds exactly one "ver=N" word, N being `ver`.
bool namesVersion(std::string_view trustedComment, std::int64_t ver);

}  // namespace orvenna
