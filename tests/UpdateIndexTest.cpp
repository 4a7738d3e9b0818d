// The update index as outside input: which indexes offer an update, the address encoding,
// the size text, and the installer's fingerprint.
#include <gtest/gtest.h>

#include <fstream>
#include <functional>

#include "TempDirectory.h"
#include "TestSigner.h"
#include "update/Installer.h"
#include "update/UpdateIndex.h"

namespace orvenna {
namespace {

// The address as the index writes it: UTF-16LE bytes in hexadecimal.
std::string encodeAddress(std::u16string_view address) {
    static constexpr char Digits[] = "0123456789ABCDEF";
    std::string hex;
    for (char16_t unit : address)
        for (int byte : {unit & 0xFF, unit >> 8}) {
            hex += Digits[byte >> 4];
            hex += Digits[byte & 15];
        }
    return hex;
}

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

std::string indexJson(const std::string& members) {
    return "{\"name\": \"Orvenna\", \"ver\": 2, \"verns\": \"V1.1.0\", \"day\": \"2026-12-01\", \"url\": \"" +
           encodeAddress(u"https://update.example/orvenna-1.1.0.exe") +
           "\", \"md5\": \"0123456789ABCDEF0123456789ABCDEF\", \"body\": \"修正\"" + members + "}";
}

TEST(UpdateIndexTest, AnUpdateNeedsEveryMemberAndANewerBuild) {
    const auto index = parseUpdateIndex(indexJson(", \"size\": 1572864"));
    ASSERT_TRUE(index.has_value());
    EXPECT_EQ(index->ver, 2);
    EXPECT_EQ(index->verns, L"V1.1.0");
    EXPECT_EQ(index->body, L"修正");
    EXPECT_EQ(index->size, 1572864);
    EXPECT_EQ(index->sig, "");
    EXPECT_EQ(parseUpdateIndex(indexJson(""))->size, 0);

    auto without = [](const std::string& key) {
        std::string json = indexJson("");
        const std::size_t at = json.find("\"" + key + "\"");
        const std::size_t end = json.find(", \"", at);
        json.erase(at, end == std::string::npos ? json.size() - 1 - at : end + 2 - at);
        return json;
    };
    for (const char* key : {"name", "ver", "verns", "day", "url", "md5", "body"})
        EXPECT_FALSE(parseUpdateIndex(without(key)).has_value()) << key;
    EXPECT_FALSE(parseUpdateIndex("not json").has_value());
    EXPECT_FALSE(parseUpdateIndex("[1, 2]").has_value());
    EXPECT_FALSE(parseUpdateIndex("").has_value());
    // Found by fuzzing: nesting deep enough to make the JSON reader throw.
    EXPECT_FALSE(parseUpdateIndex(std::string(5000, '[')).has_value());
    EXPECT_FALSE(parseUpdateIndex("{\"name\": " + std::string(5000, '[')).has_value());

    EXPECT_EQ(parseUpdateIndex(indexJson(", \"sig\": \"untrusted comment: x\\nRWS\""))->sig,
              "untrusted comment: x\nRWS");
    EXPECT_EQ(updateIndexUrl("https://update.example/"), "https://update.example/update/tarv/index.json");
}

// Only an index that the trusted key signed for its own "ver", of a newer build, fetched from
// an https address (or http on this machine) and with a size to cap the download, is offered.
TEST(UpdateIndexTest, TheOfferDecision) {
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
        }
    }
    const TempDirectory empty;
    EXPECT_EQ(decideOffer(signedIndex(), readMinisignKey(empty.path() / "update-key.pub")).verdict,
              OfferVerdict::NoKey);
}

TEST(UpdateIndexTest, AFingerprintThatIsNotOneOffersNothing) {
    const Result<MinisignKey> key = keyOf(Publisher);
    UpdateIndex index = signedIndex();
    for (const wchar_t* md5 : {L"../evil", L"0123456789ABCDEF0123456789ABCDE", L"0123456789ABCDEF0123456789ABCDEG",
                               L"/tmp/0123456789ABCDEF0123456789AB", L""}) {
        index.md5 = md5;
        EXPECT_EQ(decideOffer(index, key).verdict, OfferVerdict::BadFingerprint) << md5;
    }
    // The file is named in upper case whatever the index's case; only that name is the
    // program's to delete at the next start.
    EXPECT_EQ(installerFileName(L"0123456789abcdef0123456789ABCDEF"), L"0123456789ABCDEF0123456789ABCDEF.exe");
    EXPECT_TRUE(isInstallerFileName("0123456789ABCDEF0123456789ABCDEF.exe"));
    for (const char* name :
         {"0123456789abcdef0123456789ABCDEF.exe", "src/data/ssq.db", "0123456789ABCDEF0123456789ABCDEF",
          "x/0123456789ABCDEF0123456789ABCDEF.exe", "0123456789ABCDEF0123456789ABCDEF.exe.part"})
        EXPECT_FALSE(isInstallerFileName(name)) << name;
}

TEST(UpdateIndexTest, TheAddressMustDecodeToHttpOrHttps) {
    EXPECT_EQ(decodeUpdateAddress(encodeAddress(u"https://a.example/新版.exe")), L"https://a.example/新版.exe");
    EXPECT_EQ(decodeUpdateAddress(encodeAddress(u"HTTP://a.example/x")), L"HTTP://a.example/x");
    EXPECT_EQ(decodeUpdateAddress(encodeAddress(u"https://a.example/\U0001F600")), L"https://a.example/\U0001F600");
    const std::string good = encodeAddress(u"https://a.example/x.exe");
    for (const std::string& bad :
         {good.substr(0, good.size() - 1), good.substr(0, good.size() - 2), "zz" + good.substr(2),
          encodeAddress(u"ftp://a.example/x"), encodeAddress(u"file:///etc/passwd"), encodeAddress(u"https://"),
          encodeAddress(u"https://a\nb"), encodeAddress(u"https://a/\xD800"), std::string()})
        EXPECT_FALSE(decodeUpdateAddress(bad).has_value()) << bad;
}

TEST(UpdateIndexTest, SizesInMegabytesToTwoDecimals) {
    EXPECT_EQ(megabytesText(1572864), L"1.5");
    EXPECT_EQ(megabytesText(1048576), L"1");
    EXPECT_EQ(megabytesText(0), L"0");
    EXPECT_EQ(megabytesText(5242), L"0");     // 0.004999 MB
    EXPECT_EQ(megabytesText(5243), L"0.01");  // 0.0050001 MB
    EXPECT_EQ(megabytesText(-5243), L"-0.01");
    EXPECT_EQ(megabytesText(123456789012), L"117737.57");
    EXPECT_EQ(updateDayText(2026, 12, 7), L"2026年12月7日");
}

}  // namespace
}  // namespace orvenna
