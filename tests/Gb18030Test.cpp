// The results page's GB18030 bytes to UTF-8.
#include "codec/Gb18030.h"

#include <gtest/gtest.h>

#include <string>

#include "SystemSupport.h"

namespace orvenna {
namespace {

class Gb18030Test : public ::testing::Test {
protected:
    void SetUp() override { ORVENNA_SKIP_WITHOUT_GB18030(); }
};

TEST_F(Gb18030Test, TwoByteCharactersAndAsciiConvert) {
    EXPECT_EQ(gb18030ToUtf8("\xC6\xDF\xD0\xC7\xB2\xCA"), "七星彩");
    EXPECT_EQ(gb18030ToUtf8("<td>\xC6\xDF\xD0\xC7\xB2\xCA</td> 2024"), "<td>七星彩</td> 2024");
    EXPECT_EQ(gb18030ToUtf8("\xA2\xE3"), "€");
    EXPECT_EQ(gb18030ToUtf8(""), "");
}

TEST_F(Gb18030Test, FourByteSequencesReachBeyondTheTwoByteTable) {
    EXPECT_EQ(gb18030ToUtf8("\x81\x30\x81\x30"), "\u0080");
    EXPECT_EQ(gb18030ToUtf8("\x95\x32\x82\x36"), "\U00020000");
}

TEST_F(Gb18030Test, BytesThatAreNotGb18030GiveNothing) {
    EXPECT_EQ(gb18030ToUtf8("\x81\x20"), std::nullopt);
    EXPECT_EQ(gb18030ToUtf8("\xFF"), std::nullopt);
    EXPECT_EQ(gb18030ToUtf8("ok \x81\x30\x81"), std::nullopt) << "a four-byte sequence cut short";
    EXPECT_EQ(gb18030ToUtf8("\xC6\xDF\xD0"), std::nullopt) << "a two-byte character cut short";
}

TEST_F(Gb18030Test, AFileIsReadAsUtf8WhereItIsAndAsGb18030Otherwise) {
    EXPECT_EQ(utf8OrGb18030("\xEF\xBB\xBF七星彩,1"), "七星彩,1");
    EXPECT_EQ(utf8OrGb18030("\xC6\xDF\xD0\xC7\xB2\xCA,1"), "七星彩,1");
    EXPECT_EQ(utf8OrGb18030("\xED\xA0\x80"), std::nullopt) << "a UTF-8 surrogate, and no GB18030 either";
    EXPECT_EQ(utf8OrGb18030("\xFF"), std::nullopt);
}

// A whole results page is a few hundred kilobytes; its UTF-8 is longer than its GB18030.
TEST_F(Gb18030Test, ALargePageConvertsWholeAndAFaultDeepInsideIsStillSeen) {
    const std::string piece = "\xC6\xDF\xD0\xC7\xB2\xCA 1234567 \x81\x30\x81\x30";
    std::string page;
    std::string expected;
    while (page.size() < (2u << 20)) {
        page += piece;
        expected += "七星彩 1234567 \u0080";
    }
    const auto converted = gb18030ToUtf8(page);
    ASSERT_TRUE(converted.has_value());
    EXPECT_TRUE(*converted == expected) << converted->size() << " bytes instead of " << expected.size();

    page.replace(page.size() - 5 * piece.size(), 2, "\x81\x20");
    EXPECT_EQ(gb18030ToUtf8(page), std::nullopt);
}

}  // namespace
}  // namespace orvenna
