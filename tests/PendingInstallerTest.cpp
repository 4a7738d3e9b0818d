#include "app/PendingInstaller.h"

#include <gtest/gtest.h>

#include <fstream>

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

    // A link inside the program directory goes, not the file it points to.
    std::error_code unsupported;
    fs::create_symlink(victim, program / "link.exe", unsupported);
    if (unsupported == std::errc::function_not_supported)
        GTEST_SKIP() << "this C++ library makes no symbolic links on Windows";
    ASSERT_FALSE(unsupported) << unsupported.message();
    fs::rename(program / "link.exe", program / "0123456789ABCDEF0123456789ABCDEF.exe");
    removePendingInstaller(program, L"0123456789ABCDEF0123456789ABCDEF.exe");
    EXPECT_FALSE(fs::is_symlink(program / "0123456789ABCDEF0123456789ABCDEF.exe"));
    EXPECT_TRUE(fs::exists(victim));
}

}  // namespace
}  // namespace orvenna
