// Which update indexes offer their build: the index's own signature, the release it names, the
// bounds of its fields, and the installer's fingerprint, address, size and signature.
#include "update/OfferDecision.h"

#include <gtest/gtest.h>

#include <functional>

#include "TempDirectory.h"
#include "TestSigner.h"
#include "UpdateIndexSamples.h"
#include "base/Text.h"
#include "base/Version.h"

namespace orvenna {
namespace {

// A key that is not the test's signer's, and the signer's own.
const TestSigner Publisher, Stranger;

Result<MinisignKey> keyOf(const TestSigner& signer) {
    const TempDirectory dir;
    signer.writePublicKey(dir.path() / "update-key.pub");
    return readMinisignKey(dir.path() / "update-key.pub");
}

// The build after this one, as an index names it: the tests hold at whatever build this is.
constexpr std::int64_t NextBuild = ProgramBuild + 1;
const std::string NextVer = "ver=" + std::to_string(NextBuild);

// An index the publisher signed for `ver`, with "size".
UpdateIndex signedIndex(std::int64_t ver = NextBuild) {
    UpdateIndex index;
    index.ver = ver;
    index.url = encodeAddress(u"https://update.example/orvenna-1.1.0.exe");
    index.md5 = L"0123456789ABCDEF0123456789ABCDEF";
    index.size = 1572864;
    index.sig = Publisher.sign("installer", "orvenna ver=" + std::to_string(ver));
    return index;
}

// Only an index that the trusted key signed for its own "ver", of a newer build, fetched from
// an https address (or http on this machine) and with a size to cap the download, is offered.
TEST(OfferDecisionTest, TheOfferDecision) {
    const Result<MinisignKey> key = keyOf(Publisher);
    ASSERT_TRUE(key) << key.error().message;
    struct Case {
        const char* name;
        std::function<void(UpdateIndex&)> change;
        OfferVerdict verdict;
    };
    const auto at = [](std::u16string_view address) {
        return [address](UpdateIndex& index) { index.url = encodeAddress(address); };
    };
    const Case cases[] = {
        {"signed", [](UpdateIndex&) {}, OfferVerdict::Offered},
        {"unsigned", [](UpdateIndex& index) { index.sig.clear(); }, OfferVerdict::Unsigned},
        {"garbled", [](UpdateIndex& index) { index.sig.erase(60, 8); }, OfferVerdict::Unsigned},
        {"another key", [](UpdateIndex& index) { index.sig = Stranger.sign("installer", "orvenna " + NextVer); },
         OfferVerdict::BadSignature},
        {"comment changed",
         [](UpdateIndex& index) { index.sig.replace(index.sig.find(NextVer), NextVer.size(), NextVer + "1"); },
         OfferVerdict::BadSignature},
        {"signed for the build after",
         [](UpdateIndex& index) {
             index.sig = Publisher.sign("installer", "orvenna ver=" + std::to_string(NextBuild + 1));
         },
         OfferVerdict::OtherVersion},
        {"two vers named", [](UpdateIndex& index) { index.sig = Publisher.sign("installer", NextVer + " " + NextVer); },
         OfferVerdict::OtherVersion},
        {"ver=N0 is not ver=N", [](UpdateIndex& index) { index.sig = Publisher.sign("installer", NextVer + "0"); },
         OfferVerdict::OtherVersion},
        // Only a build above this one is offered: the release that installed this copy, and the
        // one before, are not offered again.
        {"this build, signed as such", [](UpdateIndex& index) { index = signedIndex(ProgramBuild); },
         OfferVerdict::NotNewer},
        {"older, signed as such", [](UpdateIndex& index) { index = signedIndex(ProgramBuild - 1); },
         OfferVerdict::NotNewer},
        {"far newer, signed as such", [](UpdateIndex& index) { index = signedIndex(ProgramBuild + 10000); },
         OfferVerdict::Offered},
        {"http on loopback", at(u"http://127.0.0.1:8080/setup.exe"), OfferVerdict::Offered},
        {"http on localhost", at(u"http://LOCALHOST/setup.exe"), OfferVerdict::Offered},
        {"http on ::1", at(u"http://[::1]:80/setup.exe"), OfferVerdict::Offered},
        {"http remote", at(u"http://update.example/setup.exe"), OfferVerdict::InsecureAddress},
        {"http to 127 as a name", at(u"http://127.0.0.1.evil.example/setup.exe"), OfferVerdict::InsecureAddress},
        {"http with loopback as user", at(u"http://127.0.0.1@evil.example/s.exe"), OfferVerdict::InsecureAddress},
        {"https remote", at(u"HTTPS://update.example/setup.exe"), OfferVerdict::Offered},
        {"no size", [](UpdateIndex& index) { index.size = 0; }, OfferVerdict::NoSize},
        {"negative size", [](UpdateIndex& index) { index.size = -1; }, OfferVerdict::NoSize},
        {"lower-case md5", [](UpdateIndex& index) { index.md5 = L"0123456789abcdef0123456789abcdef"; },
         OfferVerdict::Offered},
    };
    for (const Case& test : cases) {
        UpdateIndex index = signedIndex();
        test.change(index);
        const OfferDecision decision = decideOffer(index, key);
        EXPECT_EQ(decision.verdict, test.verdict) << test.name << ": " << decision.reason;
        if (decision.offered()) {
            EXPECT_EQ(decision.trustedComment, "orvenna ver=" + std::to_string(index.ver)) << test.name;
            EXPECT_EQ(decision.address, toUtf8(*decodeUpdateAddress(index.url))) << test.name;
        } else {
            EXPECT_EQ(decision.address, "") << test.name;
        }
    }
    const TempDirectory empty;
    EXPECT_EQ(decideOffer(signedIndex(), readMinisignKey(empty.path() / "update-key.pub")).verdict,
              OfferVerdict::NoKey);
}

// Nothing of an index is read before its own signature verifies: the publisher's key over
// its exact bytes, a comment naming this product, platform and the index's "ver"; then every
// field within its bound.
TEST(OfferDecisionTest, TheIndexDecisionOverItsSignature) {
    const Result<MinisignKey> key = keyOf(Publisher);
    ASSERT_TRUE(key);
    const std::string platform(UpdatePlatform);
    const std::string comment = "product=orvenna platform=" + platform + " ver=2";
    const std::string installerSig = Publisher.sign("installer", "orvenna ver=2");
    std::string escapedSig;
    for (const char c : installerSig) escapedSig += c == '\n' ? std::string("\\n") : std::string(1, c);
    // An index with these members after the installer's own, signed as `signer` with `text`.
    const auto json = [&](const std::string& members) {
        return indexJson(", \"size\": 1572864, \"sig\": \"" + escapedSig + "\"" + members);
    };
    struct Case {
        const char* name;
        std::string json;
        std::function<std::string(const std::string&)> signature;
        OfferVerdict verdict;
    };
    const auto signedAs = [](const TestSigner& signer, std::string text) {
        return [&signer, text](const std::string& bytes) { return signer.sign(bytes, text); };
    };
    const std::string longLine(UpdateBodyMaxChars + 1, 'x');
    std::string manyLines;
    for (int i = 0; i <= UpdateBodyMaxLines; ++i) manyLines += "\\n";
    const Case cases[] = {
        {"signed", json(""), signedAs(Publisher, comment), OfferVerdict::Offered},
        {"unsigned", json(""), [](const std::string&) { return std::string(); }, OfferVerdict::IndexUnsigned},
        {"not a signature", json(""), [](const std::string&) { return std::string("<html>404</html>"); },
         OfferVerdict::IndexUnsigned},
        {"another key", json(""), signedAs(Stranger, comment), OfferVerdict::IndexBadSignature},
        {"another product", json(""), signedAs(Publisher, "product=other platform=" + platform + " ver=2"),
         OfferVerdict::IndexOtherRelease},
        {"another platform", json(""), signedAs(Publisher, "product=orvenna platform=mac-arm64 ver=2"),
         OfferVerdict::IndexOtherRelease},
        {"another ver", json(""), signedAs(Publisher, "product=orvenna platform=" + platform + " ver=9"),
         OfferVerdict::IndexOtherRelease},
        {"only ver", json(""), signedAs(Publisher, "ver=2"), OfferVerdict::IndexOtherRelease},
        {"signed but no index", "[1, 2]", signedAs(Publisher, comment), OfferVerdict::IndexUnreadable},
        {"verns too long", json(", \"verns\": \"" + std::string(UpdateShortFieldMaxChars + 1, 'v') + "\""),
         signedAs(Publisher, comment), OfferVerdict::FieldOutOfBounds},
        {"day too long", json(", \"day\": \"" + std::string(UpdateShortFieldMaxChars + 1, '1') + "\""),
         signedAs(Publisher, comment), OfferVerdict::FieldOutOfBounds},
        {"body too long", json(", \"body\": \"" + longLine + "\""), signedAs(Publisher, comment),
         OfferVerdict::FieldOutOfBounds},
        {"body of too many lines", json(", \"body\": \"" + manyLines + "\""), signedAs(Publisher, comment),
         OfferVerdict::FieldOutOfBounds},
        {"size over the cap", json(", \"size\": " + std::to_string(UpdateInstallerMaxBytes + 1)),
         signedAs(Publisher, comment), OfferVerdict::FieldOutOfBounds},
        {"index over its bound", json(", \"pad\": \"" + std::string(UpdateIndexMaxBytes, ' ') + "\""),
         signedAs(Publisher, comment), OfferVerdict::FieldOutOfBounds},
    };
    for (const Case& test : cases) {
        const SignedIndexText text{test.json, test.signature(test.json)};
        const IndexDecision decided = decideSignedIndex(text, key);
        EXPECT_EQ(decided.decision.verdict, test.verdict) << test.name << ": " << decided.decision.reason;
        // Nothing of an index that did not verify comes back to be shown.
        if (test.verdict == OfferVerdict::IndexUnsigned || test.verdict == OfferVerdict::IndexBadSignature) {
            EXPECT_FALSE(decided.index.has_value()) << test.name;
        }
    }

    // A changed byte anywhere, whatever it is, is a bad signature.
    const std::string good = json("");
    const std::string signature = Publisher.sign(good, comment);
    for (std::size_t at = 0; at < good.size(); at += 7) {
        std::string changed = good;
        changed[at] = static_cast<char>(changed[at] ^ 0x01);
        EXPECT_EQ(decideSignedIndex({changed, signature}, key).decision.verdict, OfferVerdict::IndexBadSignature)
            << "byte " << at;
    }
    EXPECT_EQ(decideSignedIndex({good + " ", signature}, key).decision.verdict, OfferVerdict::IndexBadSignature);
}

TEST(OfferDecisionTest, AFingerprintThatIsNotOneOffersNothing) {
    const Result<MinisignKey> key = keyOf(Publisher);
    UpdateIndex index = signedIndex();
    for (const wchar_t* md5 : {L"../evil", L"0123456789ABCDEF0123456789ABCDE", L"0123456789ABCDEF0123456789ABCDEG",
                               L"/tmp/0123456789ABCDEF0123456789AB", L""}) {
        index.md5 = md5;
        EXPECT_EQ(decideOffer(index, key).verdict, OfferVerdict::BadFingerprint) << md5;
    }
}

}  // namespace
}  // namespace orvenna
