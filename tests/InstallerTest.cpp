#include "framework/Fingerprint.h"
#include "update/Installer.h"

#include <gtest/gtest.h>

#include <fstream>

#include "TempDirectory.h"

namespace orvenna {
namespace {

TEST(InstallerTest, TheFingerprintIsUpperCaseMd5) {
    TempDirectory dir;
    const auto file = dir.path() / "setup.exe";
    std::ofstream(file, std::ios::binary) << "abc";
    EXPECT_EQ(md5Hex(file), std::optional<std::string>("900150983CD24FB0D6963F7D28E17F72"));
    EXPECT_TRUE(verifyInstaller(L"900150983CD24FB0D6963F7D28E17F72", file));
    EXPECT_FALSE(verifyInstaller(L"900150983cd24fb0d6963f7d28e17f72", file));
    EXPECT_FALSE(verifyInstaller(L"900150983CD24FB0D6963F7D28E17F72", dir.path() / "missing.exe"));
    EXPECT_FALSE(md5Hex(dir.path() / "missing.exe").has_value());
}

}  // namespace
}  // namespace orvenna
