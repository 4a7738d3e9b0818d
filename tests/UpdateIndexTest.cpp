// The update index as outside input: which indexes offer an update, the address encoding,
// the size text, and the installer's fingerprint.
#include <gtest/gtest.h>

#include <fstream>

#include "TempDirectory.h"
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
    EXPECT_TRUE(offersUpdate(*index));
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

    UpdateIndex same = *index;
    same.ver = 1;
    EXPECT_FALSE(offersUpdate(same));
    EXPECT_EQ(updateIndexUrl("https://update.example/"), "https://update.example/update/tarv/index.json");
}

TEST(UpdateIndexTest, AFingerprintThatIsNotOneOffersNothing) {
    UpdateIndex index = *parseUpdateIndex(indexJson(""));
    for (const wchar_t* md5 : {L"../evil", L"0123456789ABCDEF0123456789ABCDE", L"0123456789ABCDEF0123456789ABCDEG",
                               L"/tmp/0123456789ABCDEF0123456789AB", L""}) {
        index.md5 = md5;
        EXPECT_FALSE(offersUpdate(index)) << md5;
    }
    index.md5 = L"0123456789abcdef0123456789abcdef";  // valid, though it will never match
    EXPECT_TRUE(offersUpdate(index));
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
