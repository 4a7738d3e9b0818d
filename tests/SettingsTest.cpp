#include "system/Settings.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#endif

#include "ChildProcess.h"
#include "Environment.h"
#include "Expect.h"
#include "SystemSupport.h"
#include "TempDirectory.h"
#include "base/Text.h"

namespace orvenna {
namespace {

std::string fileText(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

void writeText(const std::filesystem::path& path, const std::string& text) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << text;
}

// The bytes of a file the program wrote from scratch with `lines`: UTF-8 on Linux; on Windows
// the system's profile functions write it, in UTF-16 with a byte-order mark and CRLF.
std::string newFileText(const std::string& lines) {
#ifdef _WIN32
    std::string bytes = "\xFF\xFE";
    for (const wchar_t unit : wideFromUtf8(lines)) {
        if (unit == L'\n') bytes += std::string("\r\0", 2);
        bytes += static_cast<char>(unit & 0xFF);
        bytes += static_cast<char>(unit >> 8);
    }
    return bytes;
#else
    return lines;
#endif
}

int entriesIn(const std::filesystem::path& folder) {
    int count = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(folder)) ++count;
    return count;
}

// In a child: 1 when a setting could be written to the file, 0 when not.
const ChildRole writeOnce("Settings.write", [](const std::filesystem::path& file) {
    return writeSetting(file, L"update_day", L"2") ? 1 : 0;
});

class SettingsFileTest : public ::testing::Test {
protected:
    TempDirectory dir;
    std::filesystem::path ini = dir.path() / "config.ini";
};

TEST_F(SettingsFileTest, MissingFileSectionOrKeyReadsAsTheDefault) {
    EXPECT_EQ(readSetting(ini, L"update_day", L"无"), L"无");
    EXPECT_FALSE(std::filesystem::exists(ini));

    writeText(ini, "[other]\nupdate_day=1\n");
    EXPECT_EQ(readSetting(ini, L"update_day", L""), L"");

    writeText(ini, "update_day=0\n[sys]\nupdate_file=a.exe\n[other]\nupdate_day=2\n");
    EXPECT_EQ(readSetting(ini, L"update_day", L"d"), L"d");
    EXPECT_EQ(readSetting(ini, L"update_file", L"d"), L"a.exe");
    EXPECT_EQ(readSetting(ini, L"", L"d"), L"d");
}

TEST_F(SettingsFileTest, ReadsLikeTheWindowsProfileCalls) {
    writeText(ini,
              "\xEF\xBB\xBF; Orvenna\r\n"
              "[ SYS ]\r\n"
              "  Update_Day =  2026年12月7日  \r\n"
              "update_file=\r\n"
              "update_day=second\r\n"
              "draw_url=\"https://example.test/\"\r\n"
              "; ping_host=commented.out\r\n");
    EXPECT_EQ(readSetting(ini, L"update_day", L"d"), L"2026年12月7日");
    EXPECT_EQ(readSetting(ini, L" UPDATE_DAY ", L"d"), L"2026年12月7日");
    EXPECT_EQ(readSetting(ini, L"update_file", L"d"), L"");  // present but empty: not the default
    EXPECT_EQ(readSetting(ini, L"draw_url", L"d"), L"https://example.test/");
    EXPECT_EQ(readSetting(ini, L"ping_host", L"d"), L"d");
}

// A config.ini the user wrote in UTF-8 (with or without its mark) or in the ANSI code page is
// read whole, a first [sys] included; on Windows it is converted once to the UTF-16 the profile
// calls read and keep, every key and value as it was, and written to from then on.
TEST_F(SettingsFileTest, AFileTheUserWroteIsReadWholeAndKeptInTheSystemsEncoding) {
    struct Case {
        std::string bytes;  // as the user's editor saved it
        std::wstring text;  // what it says
        std::wstring day;   // the value of update_day in it
    };
    const std::wstring text = L"[sys]\r\ndraw_url=https://a.test/\r\nupdate_day=2026年12月7日\r\n";
    std::vector<Case> cases = {{"\xEF\xBB\xBF" + toUtf8(text), text, L"2026年12月7日"},
                               {toUtf8(text), text, L"2026年12月7日"}};
#ifdef _WIN32
    const std::wstring ansi = L"[sys]\r\ndraw_url=https://a.test/\r\nupdate_day=Zürich\r\n";
    std::string ansiBytes(64, '\0');
    BOOL lossy = FALSE;
    ansiBytes.resize(WideCharToMultiByte(CP_ACP, 0, ansi.data(), static_cast<int>(ansi.size()), ansiBytes.data(), 64,
                                         nullptr, &lossy));
    if (!lossy) cases.push_back({ansiBytes, ansi, L"Zürich"});
#endif
    for (const Case& c : cases) {
        writeText(ini, c.bytes);
        EXPECT_EQ(readSetting(ini, L"draw_url", L""), L"https://a.test/") << c.bytes;
        EXPECT_EQ(readSetting(ini, L"update_day", L""), c.day) << c.bytes;
#ifdef _WIN32
        std::string utf16 = "\xFF\xFE";
        utf16.append(reinterpret_cast<const char*>(c.text.data()), c.text.size() * sizeof(wchar_t));
        EXPECT_EQ(fileText(ini), utf16) << c.bytes;
        ASSERT_TRUE(writeSetting(ini, L"update_file", L"安装.exe"));
        EXPECT_EQ(fileText(ini).rfind(utf16.substr(0, utf16.size() - 4), 0), 0u) << "the user's keys stay first";
#endif
        EXPECT_EQ(readSetting(ini, L"draw_url", L""), L"https://a.test/");
        EXPECT_EQ(entriesIn(dir.path()), 1);  // no temporary file left beside it
    }
}

TEST_F(SettingsFileTest, LongValueIsCutToTheReadBuffer) {
    const std::wstring longValue(MaxSettingLength + 100, L'字');
    ASSERT_TRUE(writeSetting(ini, L"update_file", longValue));
    EXPECT_EQ(readSetting(ini, L"update_file", L""), longValue.substr(0, MaxSettingLength));
}

TEST_F(SettingsFileTest, FirstWriteCreatesTheFileAndChineseRoundTrips) {
    ASSERT_TRUE(writeSetting(ini, L"update_day", L"2026年12月7日"));
    EXPECT_EQ(fileText(ini), newFileText("[sys]\nupdate_day=2026年12月7日\n"));
    EXPECT_EQ(readSetting(ini, L"update_day", L""), L"2026年12月7日");

    ASSERT_TRUE(writeSetting(ini, L"update_day", L"2027年1月1日"));
    ASSERT_TRUE(writeSetting(ini, L"update_file", L"下载/安装 1.2.exe"));
    EXPECT_EQ(fileText(ini), newFileText("[sys]\nupdate_day=2027年1月1日\nupdate_file=下载/安装 1.2.exe\n"));
    EXPECT_EQ(entriesIn(dir.path()), 1);  // no temporary file left beside it
#ifndef _WIN32
    // The file the write replaces keeps the permissions it had.
    std::filesystem::permissions(ini, std::filesystem::perms(0640));
    ASSERT_TRUE(writeSetting(ini, L"update_day", L"2028年2月2日"));
    EXPECT_EQ(std::filesystem::status(ini).permissions(), std::filesystem::perms(0640));
#endif
}

TEST_F(SettingsFileTest, RejectsWhatOneLineCannotHoldAndLeavesTheFile) {
    const std::string before = "[sys]\nupdate_day=1\n";
    writeText(ini, before);
    EXPECT_FALSE(writeSetting(ini, L"update_day", L"a\nupdate_file=/etc/passwd"));
    EXPECT_FALSE(writeSetting(ini, L"update_day", L"a\rb"));
    EXPECT_FALSE(writeSetting(ini, L"update_day", std::wstring(L"a\0b", 3)));
    EXPECT_FALSE(writeSetting(ini, L"update=day", L"1"));
    EXPECT_FALSE(writeSetting(ini, L"[sys]", L"1"));
    EXPECT_FALSE(writeSetting(ini, L"  ", L"1"));
    EXPECT_EQ(fileText(ini), before);
}

// A file the user made read-only stays as it is, even for root (whom no permission stops):
// the write fails, as Windows refuses to write a read-only file, and reading still works.
TEST_F(SettingsFileTest, AReadOnlyFileIsNotReplaced) {
    const std::string before = "[sys]\nupdate_day=1\n";
    writeText(ini, before);
    namespace fs = std::filesystem;
    fs::permissions(ini, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    const Status written = writeSetting(ini, L"update_day", L"2");
    fs::permissions(ini, fs::perms::owner_write, fs::perm_options::add);
    EXPECT_FAILS_WITH(written, ErrorSource::System, "config.ini");
    EXPECT_EQ(fileText(ini), before);
    EXPECT_EQ(readSetting(ini, L"update_day", L""), L"1");
}

TEST_F(SettingsFileTest, WriteFailsWithoutTouchingTheOldFile) {
    EXPECT_FALSE(writeSetting(dir.path() / "missing" / "config.ini", L"update_day", L"1"));
    EXPECT_FALSE(std::filesystem::exists(dir.path() / "missing"));

#ifdef _WIN32
    GTEST_SKIP() << "Windows ignores the read-only attribute of a folder: files can still be made in it";
#endif
    // The folder is read-only: the file itself could be overwritten, but not replaced safely.
    const std::string before = "[sys]\nupdate_day=1\n";
    writeText(ini, before);
    std::filesystem::permissions(ini, std::filesystem::perms(0666));
    std::filesystem::permissions(dir.path(), std::filesystem::perms(0555));
    const int code = exitCodeInChild("Settings.write", ini, true);
    std::filesystem::permissions(dir.path(), std::filesystem::perms(0755));
    EXPECT_EQ(code, 0);
    EXPECT_EQ(fileText(ini), before);
    EXPECT_EQ(entriesIn(dir.path()), 1);
}

TEST_F(SettingsFileTest, SettingsUseConfigIniInTheProgramDirectory) {
    const ScopedEnv programHome("ORVENNA_HOME", utf8Path(dir.path()).c_str());

    EXPECT_EQ(settingsFile(), ini);
    EXPECT_TRUE(writeSetting(Setting::UpdateFile, L"setup.exe"));
    EXPECT_EQ(readSetting(Setting::UpdateFile), L"setup.exe");
    EXPECT_EQ(readSetting(ini, L"update_file", L""), L"setup.exe");
    EXPECT_EQ(readSetting(Setting::DrawUrl), L"https://kaijiang.500.com/");  // missing: the table's default
}

}  // namespace
}  // namespace orvenna
