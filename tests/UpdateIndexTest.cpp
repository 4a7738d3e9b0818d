// The update index as outside input: reading its JSON, decoding its address, and cleaning the
// texts it shows.
#include "update/UpdateIndex.h"

#include <gtest/gtest.h>

#include "UpdateIndexSamples.h"

namespace orvenna {
namespace {

TEST(UpdateIndexTest, AnIndexNeedsEveryMember) {
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
}

// What an index may show: no control or direction characters, at most two combining marks
// on a character; line breaks only where the text has lines.
TEST(UpdateIndexTest, ShownTextIsCleanedOfWhatCouldDisguiseIt) {
    const std::pair<std::wstring, std::wstring> cases[] = {
        {L"V1.1\u202E0.1V", L"V1.10.1V"},
        {L"a\x1b[2Jb\x7f\x85"
         L"c",
         L"a[2Jbc"},
        {L"e\u0301\u0301\u0301\u0301f", L"e\u0301\u0301f"},
        {L"一\r\n二", L"一二"},
    };
    for (const auto& [text, shown] : cases) EXPECT_EQ(shownIndexText(text, false), shown);
    EXPECT_EQ(shownIndexText(L"一\r\n二\t", true), L"一\n二");
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

}  // namespace
}  // namespace orvenna
