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

TEST_F(PendingInstallerFolderTest, RemovesOnlyTheNamedFile) {
    touch(program / "setup.exe");
    touch(program / "other.exe");
    touch(program / u8"下载" / u8"安装 1.2.exe");

    removePendingInstaller(program, L"setup.exe");
    removePendingInstaller(program, L"下载/安装 1.2.exe");
    EXPECT_FALSE(fs::exists(program / "setup.exe"));
    EXPECT_FALSE(fs::exists(program / u8"下载" / u8"安装 1.2.exe"));
    EXPECT_TRUE(fs::exists(program / "other.exe"));

    removePendingInstaller(program, L"setup.exe");  // already gone: nothing happens
    removePendingInstaller(program, L"");
    removePendingInstaller(program, L"下载");  // a folder is never deleted
    EXPECT_TRUE(fs::exists(program / "other.exe"));
    EXPECT_TRUE(fs::is_directory(program / u8"下载"));
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
    removePendingInstaller(program, L"link.exe");
    EXPECT_FALSE(fs::is_symlink(program / "link.exe"));
    EXPECT_TRUE(fs::exists(victim));
}

}  // namespace
}  // namespace orvenna
