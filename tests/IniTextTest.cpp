#include "system/IniText.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace orvenna {
namespace {

// How a key reads in a text and what the text becomes when it is set: the layout of every
// other line kept byte for byte, as the profile functions read it.
TEST(IniTextTest, ReadsAndSetsAKeyInSectionSys) {
    struct Case {
        const char* before;
        const char* key;
        std::optional<std::string> read;  // nothing: the key is missing
        const char* value;                // what it is then set to
        const char* after;
    };
    const Case cases[] = {
        {"", "update_day", std::nullopt, "1", "[sys]\nupdate_day=1\n"},
        // Only the first section named "sys" counts, and only lines inside it.
        {"[other]\nupdate_day=1\n", "update_day", std::nullopt, "x", "[other]\nupdate_day=1\n\n[sys]\nupdate_day=x\n"},
        {"update_day=0\n[sys]\nupdate_file=a.exe\n[other]\nupdate_day=2\n[sys]\nupdate_day=3\n", "update_day",
         std::nullopt, "4",
         "update_day=0\n[sys]\nupdate_file=a.exe\nupdate_day=4\n[other]\nupdate_day=2\n[sys]\nupdate_day=3\n"},
        {"[sys]\nupdate_file=a.exe\n", "UPDATE_FILE", "a.exe", "b.exe", "[sys]\nupdate_file=b.exe\n"},
        // Names without regard to case and blanks; the first of two keys; the key's spelling
        // and the spacing before its value kept, the blanks after the old value not.
        {"\xEF\xBB\xBF; Orvenna\r\n[ SYS ]\r\n  Update_Day =  2026年12月7日  \r\nupdate_day=second\r\n", "update_day",
         "2026年12月7日", "2027年1月1日",
         "\xEF\xBB\xBF; Orvenna\r\n[ SYS ]\r\n  Update_Day =  2027年1月1日\r\nupdate_day=second\r\n"},
        // Present but empty is not missing; a line without "=" is a key with an empty value.
        {"[sys]\nupdate_file=\n", "update_file", "", "a", "[sys]\nupdate_file=a\n"},
        {"[sys]\nupdate_day  \n", "update_day", "", "1", "[sys]\nupdate_day=1\n"},
        {"[sys]\ndraw_url=\"https://a.test/\"\n", "draw_url", "https://a.test/", "y", "[sys]\ndraw_url=y\n"},
        {"[sys]\ndraw_url='x\"\n", "draw_url", "'x\"", "x", "[sys]\ndraw_url=x\n"},
        {"[sys]\n; ping_host=commented.out\n", "ping_host", std::nullopt, "h",
         "[sys]\n; ping_host=commented.out\nping_host=h\n"},
        // A new key goes after the section's last non-blank line, in the text's line break.
        {"; Orvenna settings\n[display]\nscale=1.5\n\n[Sys]\nUPDATE_DAY = 2025年1月1日\ndraw_url = https://a.test/\n\n"
         "[other]\nupdate_file=keep.exe\n",
         "update_file", std::nullopt, "setup.exe",
         "; Orvenna settings\n[display]\nscale=1.5\n\n[Sys]\nUPDATE_DAY = 2025年1月1日\ndraw_url = https://a.test/\n"
         "update_file=setup.exe\n\n[other]\nupdate_file=keep.exe\n"},
        {"\xEF\xBB\xBF[sys]\r\nupdate_day=1\r\n", "update_file", std::nullopt, "x.exe",
         "\xEF\xBB\xBF[sys]\r\nupdate_day=1\r\nupdate_file=x.exe\r\n"},
        {"[sys]\nupdate_day=1", "update_file", std::nullopt, "x", "[sys]\nupdate_day=1\nupdate_file=x\n"},
        {"[sys]\nupdate_day=1", "update_day", "1", "2", "[sys]\nupdate_day=2"},
        // A new section follows a blank line, and the last line gets its line break.
        {"[display]\nscale=1.5", "update_file", std::nullopt, "x.exe",
         "[display]\nscale=1.5\n\n[sys]\nupdate_file=x.exe\n"},
        {"[display]\r\nscale=1.5\r\n\r\n", "update_day", std::nullopt, "1",
         "[display]\r\nscale=1.5\r\n\r\n[sys]\r\nupdate_day=1\r\n"},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(std::string(test.before) + " / " + test.key);
        EXPECT_EQ(iniValue(test.before, "sys", test.key), test.read);
        const std::string after = withIniValue(test.before, "sys", test.key, test.value);
        EXPECT_EQ(after, test.after);
        EXPECT_EQ(iniValue(after, "sys", test.key), std::optional<std::string_view>(test.value));
    }
    EXPECT_EQ(iniValue("[sys]\n\n=1\n", "sys", ""), std::nullopt) << "an empty key is never found";
}

}  // namespace
}  // namespace orvenna
