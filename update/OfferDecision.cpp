#include "OfferDecision.h"

#include <algorithm>

#include "base/Text.h"
#include "base/Version.h"
#include "net/SecureAddress.h"

namespace orvenna {

namespace {

// "md5" becomes the installer's file name: nothing but 32 hexadecimal digits may.
bool isFingerprint(std::wstring_view md5) {
    if (md5.size() != 32) return false;
    for (wchar_t c : md5)
        if (!((c >= L'0' && c <= L'9') || (c >= L'a' && c <= L'f') || (c >= L'A' && c <= L'F'))) return false;
    return true;
}

std::size_t lineCount(std::wstring_view text) {
    return static_cast<std::size_t>(std::count(text.begin(), text.end(), L'\n')) + 1;
}

}  // namespace

bool namesVersion(std::string_view trustedComment, std::int64_t ver) {
    return namesField(trustedComment, "ver", std::to_string(ver));
}

bool namesField(std::string_view trustedComment, std::string_view name, std::string_view value) {
    const std::string key = std::string(name) + "=";
    int named = 0;
    bool same = false;
    for (std::size_t at = 0; at < trustedComment.size();) {
        const std::size_t end = std::min(trustedComment.find_first_of(" \t", at), trustedComment.size());
        const std::string_view word = trustedComment.substr(at, end - at);
        if (word.starts_with(key)) {
            ++named;
            same = word.substr(key.size()) == value;
        }
        at = end + 1;
    }
    return named == 1 && same;
}

IndexDecision decideSignedIndex(const SignedIndexText& text, const Result<MinisignKey>& key,
                                std::string_view platform) {
    auto refuse = [](OfferVerdict verdict, std::string reason) {
        return IndexDecision{OfferDecision{verdict, std::move(reason), {}, {}}, std::nullopt};
    };
    if (text.json.size() > UpdateIndexMaxBytes)
        return refuse(OfferVerdict::FieldOutOfBounds,
                      "the index is larger than " + std::to_string(UpdateIndexMaxBytes / 1024) + " KiB");
    if (!key) return refuse(OfferVerdict::NoKey, key.error().message);
    if (text.signature.empty())
        return refuse(OfferVerdict::IndexUnsigned, "the index is not signed (no index.json.minisig)");
    const auto signature = parseMinisignSignature(text.signature);
    if (!signature) return refuse(OfferVerdict::IndexUnsigned, "index.json.minisig: " + signature.error().message);
    MinisignVerifier verifier;
    verifier.update(text.json.data(), text.json.size());
    if (const Status verified = verifier.verify(*signature, *key); !verified)
        return refuse(OfferVerdict::IndexBadSignature, "index.json.minisig: " + verified.error().message);

    // Signed by the publisher: only now is anything of it read.
    std::optional<UpdateIndex> index = parseUpdateIndex(text.json);
    if (!index) return refuse(OfferVerdict::IndexUnreadable, "the signed index is not an update index");
    const std::string& comment = signature->trustedComment;
    if (!namesField(comment, "product", UpdateProductName) || !namesField(comment, "platform", platform) ||
        !namesField(comment, "ver", std::to_string(index->ver)))
        return refuse(OfferVerdict::IndexOtherRelease,
                      "the index's signed comment \"" + comment +
                          "\" does not name product=" + std::string(UpdateProductName) +
                          " platform=" + std::string(platform) + " ver=" + std::to_string(index->ver));
    const auto tooLong = [&refuse](std::string_view field, std::size_t limit) {
        return refuse(OfferVerdict::FieldOutOfBounds, std::string(field) + " is longer than " + std::to_string(limit));
    };
    if (index->verns.size() > UpdateShortFieldMaxChars) return tooLong("verns", UpdateShortFieldMaxChars);
    if (index->day.size() > UpdateShortFieldMaxChars) return tooLong("day", UpdateShortFieldMaxChars);
    if (index->body.size() > UpdateBodyMaxChars) return tooLong("body", UpdateBodyMaxChars);
    if (lineCount(index->body) > static_cast<std::size_t>(UpdateBodyMaxLines))
        return refuse(OfferVerdict::FieldOutOfBounds,
                      "body has more than " + std::to_string(UpdateBodyMaxLines) + " lines");
    if (index->size > UpdateInstallerMaxBytes)
        return refuse(OfferVerdict::FieldOutOfBounds,
                      "size is larger than " + std::to_string(UpdateInstallerMaxBytes >> 20) + " MiB");
    index->verns = shownIndexText(index->verns, false);
    index->day = shownIndexText(index->day, false);
    index->body = shownIndexText(index->body, true);
    IndexDecision decided{decideOffer(*index, key), std::move(index)};
    return decided;
}

OfferDecision decideOffer(const UpdateIndex& index, const Result<MinisignKey>& key) {
    auto refuse = [](OfferVerdict verdict, std::string reason) {
        return OfferDecision{verdict, std::move(reason), {}, {}};
    };
    if (index.ver <= ProgramBuild)
        return refuse(OfferVerdict::NotNewer, "ver " + std::to_string(index.ver) + " is not newer than this build");
    if (!isFingerprint(index.md5)) return refuse(OfferVerdict::BadFingerprint, "md5 is not 32 hexadecimal digits");
    const auto address = decodeUpdateAddress(index.url);
    if (!address) return refuse(OfferVerdict::BadAddress, "url is not an http(s) address");
    if (!isSecureAddress(toUtf8(*address)))
        return refuse(OfferVerdict::InsecureAddress, "the installer's address is not https: " + toUtf8(*address));
    if (index.size <= 0) return refuse(OfferVerdict::NoSize, "size is missing or not positive");
    if (!key) return refuse(OfferVerdict::NoKey, key.error().message);
    const auto signature = parseMinisignSignature(index.sig);
    if (!signature) return refuse(OfferVerdict::Unsigned, "sig: " + signature.error().message);
    if (const Status verified = verifyTrustedComment(*signature, *key); !verified)
        return refuse(OfferVerdict::BadSignature, "sig: " + verified.error().message);
    if (!namesVersion(signature->trustedComment, index.ver))
        return refuse(OfferVerdict::OtherVersion, "the signed comment \"" + signature->trustedComment +
                                                      "\" does not name ver=" + std::to_string(index.ver));
    return OfferDecision{OfferVerdict::Offered, {}, signature->trustedComment, toUtf8(*address)};
}

}  // namespace orvenna
