#include "app/startup/PendingInstaller.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <functional>
#include <vector>

#include "TempDirectory.h"

namespace orvenna {
namespace {

namespace fs = std::filesystem;

void touch(const fs::path& path) {
    std::ofstream(path) << "installer";
}

class PendingInstallerFolderTest : public ::testing::Test {
protected:
    TempDirectory dir;
    fs::path program = dir.path() / "program";
    void SetUp() override { fs::create_directories(program / u8"下载"); }
};

// config.ini can be edited by anyone: only a name the download gives an installer is deleted,
// never the records ("update_file=src\\data\\ssq.db") or any other file.
TEST_F(PendingInstallerFolderTest, RemovesOnlyADownloadedInstaller) {
    const fs::path installer = program / "0123456789ABCDEF0123456789ABCDEF.exe";
    touch(installer);
    const fs::path kept[] = {program / "setup.exe", program / u8"下载" / u8"安装 1.2.exe",
                             program / "0123456789abcdef0123456789abcdef.exe", program / "src" / "data" / "ssq.db"};
    fs::create_directories(program / "src" / "data");
    for (const fs::path& file : kept) touch(file);

    for (const wchar_t* name : {L"setup.exe", L"下载/安装 1.2.exe", L"0123456789abcdef0123456789abcdef.exe",
                                L"src/data/ssq.db", L"src\\data\\ssq.db", L"下载", L""})
        removePendingInstaller(program, name);
    for (const fs::path& file : kept) EXPECT_TRUE(fs::exists(file)) << file;
    EXPECT_TRUE(fs::is_directory(program / u8"下载"));

    removePendingInstaller(program, L"0123456789ABCDEF0123456789ABCDEF.exe");
    EXPECT_FALSE(fs::exists(installer));
    removePendingInstaller(program, L"0123456789ABCDEF0123456789ABCDEF.exe");  // already gone: nothing happens
}

TEST_F(PendingInstallerFolderTest, IgnoresNamesThatLeaveTheProgramDirectory) {
    const fs::path victim = dir.path() / "victim.exe";
    touch(victim);

    removePendingInstaller(program, L"../victim.exe");
    removePendingInstaller(program, L"下载/../../victim.exe");
    removePendingInstaller(program, victim.wstring());
    removePendingInstaller(program, std::wstring(L"x\0/../../victim.exe", 19));
    EXPECT_TRUE(fs::exists(victim));

    // A link of the installer's name is not the download's: it stays, and so does its target.
    std::error_code unsupported;
    fs::create_symlink(victim, program / "link.exe", unsupported);
    if (unsupported == std::errc::function_not_supported)
        GTEST_SKIP() << "this C++ library makes no symbolic links on Windows";
    ASSERT_FALSE(unsupported) << unsupported.message();
    fs::rename(program / "link.exe", program / "0123456789ABCDEF0123456789ABCDEF.exe");
    removePendingInstaller(program, L"0123456789ABCDEF0123456789ABCDEF.exe");
    EXPECT_TRUE(fs::is_symlink(program / "0123456789ABCDEF0123456789ABCDEF.exe"));
    EXPECT_TRUE(fs::exists(victim));
}

// Of the partial downloads an earlier run left, only the plain files it wrote go.
TEST_F(PendingInstallerFolderTest, RemovesOnlyPlainPartialDownloads) {
    const fs::path victim = dir.path() / "victim.exe";
    touch(victim);
    struct Entry {
        fs::path name;
        std::function<void(const fs::path&)> make;
        bool removed;
    };
    const auto file = [](const fs::path& at) { touch(at); };
    const auto folder = [](const fs::path& at) { fs::create_directory(at); };
    const auto link = [&](const fs::path& at) { fs::create_symlink(victim, at); };
    const Entry entries[] = {
        {"0123456789ABCDEF0123456789ABCDEF.exe.part", file, true},
        {"00000000000000000000000000000000.exe.part", link, false},
        {"11111111111111111111111111111111.exe.part", folder, false},
        {"abcdefabcdefabcdefabcdefabcdefab.exe.part", file, false},
        {"setup.exe.part", file, false},
        {u8"下载/22222222222222222222222222222222.exe.part", file, false},
    };
    std::vector<const Entry*> made;
    for (const Entry& entry : entries) {
        try {
            entry.make(program / entry.name);
            made.push_back(&entry);
        } catch (const fs::filesystem_error& error) {
            // Wine's C++ library makes no symbolic links: the other entries still count.
            std::printf("entry skipped, no symbolic links here: %s\n", error.what());
        }
    }
    removeLeftoverDownloads(program);
    for (const Entry* entry : made)
        EXPECT_EQ(fs::exists(fs::symlink_status(program / entry->name)), !entry->removed) << entry->name;
    EXPECT_TRUE(fs::exists(victim));
}

}  // namespace
}  // namespace orvenna
