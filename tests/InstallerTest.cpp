// The downloaded installer before it runs: checked through the handle that will start it, and
// held so that no one can change it in between.
#include "update/Installer.h"

#include <gtest/gtest.h>

#include <fstream>

#include "TempDirectory.h"
#include "TestSigner.h"
#include "framework/Fingerprint.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <unistd.h>
#endif

namespace orvenna {
namespace {

TEST(InstallerTest, OnlyThePublishedBytesPass) {
    TempDirectory dir;
    const TestSigner publisher, stranger;
    const auto key = dir.path() / "update-key.pub";
    publisher.writePublicKey(key);
    const auto file = dir.path() / "setup.exe";
    const std::string content = "abc";
    EXPECT_EQ(md5Hex(file.parent_path() / "missing.exe"), std::nullopt);
    const PublishedInstaller good{L"900150983CD24FB0D6963F7D28E17F72", 3, publisher.sign(content, "orvenna ver=2"),
                                  key};

    struct Case {
        const char* name;
        std::string bytes;
        PublishedInstaller published;
        int fault;  // 0: passes
    };
    PublishedInstaller lowerCase = good, wrongMd5 = good, wrongSize = good, otherKey = good, noKey = good;
    lowerCase.md5 = L"900150983cd24fb0d6963f7d28e17f72";
    wrongMd5.md5 = L"900150983CD24FB0D6963F7D28E17F73";
    wrongSize.size = 4;
    otherKey.signature = stranger.sign(content, "orvenna ver=2");
    noKey.keyFile = dir.path() / "none.pub";
    PublishedInstaller tampered = good;  // "abd", published with its own MD5 by whoever changed it
    tampered.md5 = L"4911E516E5AA21D327512E0C8B197616";
    const Case cases[] = {
        {"published", content, good, 0},
        {"md5 in lower case", content, lowerCase, 0},
        {"another md5", content, wrongMd5, InstallerWrongFingerprint},
        {"another size", content, wrongSize, InstallerWrongSize},
        {"longer than published", content + "x", good, InstallerWrongSize},
        {"tampered, md5 to match", "abd", tampered, InstallerWrongSignature},
        {"another key's signature", content, otherKey, InstallerWrongSignature},
        {"no trusted key", content, noKey, InstallerWrongSignature},
    };
    for (const Case& test : cases) {
        std::ofstream(file, std::ios::binary | std::ios::trunc) << test.bytes;
        const Result<LockedFile> checked = checkInstaller(file, test.published);
        EXPECT_EQ(checked ? 0 : checked.error().code, test.fault) << test.name << ": " << checked.error().message;
    }
    EXPECT_EQ(checkInstaller(dir.path() / "missing.exe", good).error().code, InstallerUnreadable);
}

// While the check holds the file, what it checked cannot change before it starts.
TEST(InstallerTest, AHeldInstallerCannotBeChanged) {
    TempDirectory dir;
    const auto file = dir.path() / "0123456789ABCDEF0123456789ABCDEF.exe";
    std::ofstream(file, std::ios::binary) << "checked";
    Result<LockedFile> held = LockedFile::open(file);
    ASSERT_TRUE(held) << held.error().message;
    const auto heldBytes = [&] {
        std::string bytes;
        EXPECT_TRUE(held->read([&](const char* data, std::size_t size) {
            bytes.append(data, size);
            return true;
        }));
        return bytes;
    };
#ifdef _WIN32
    // Writing, renaming and deleting the file all fail while it is held, and work after.
    const auto other = dir.path() / "other.exe";
    HANDLE writer = CreateFileW(file.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                nullptr, OPEN_EXISTING, 0, nullptr);
    EXPECT_EQ(writer, INVALID_HANDLE_VALUE);
    if (writer != INVALID_HANDLE_VALUE) CloseHandle(writer);
    EXPECT_FALSE(MoveFileW(file.c_str(), other.c_str()));
    EXPECT_FALSE(DeleteFileW(file.c_str()));
    EXPECT_EQ(heldBytes(), "checked");
    held = Error{};
    EXPECT_TRUE(MoveFileW(file.c_str(), other.c_str()));
#else
    // Linux keeps no one from writing a file that another holds open: the check holds a
    // sealed copy, which refuses every write, and a file changed or replaced on disk
    // afterwards is not what is read or run.
    const std::string self = "/proc/self/fd/" + std::to_string(held->descriptor());
    const int writer = ::open(self.c_str(), O_WRONLY);
    if (writer >= 0) {
        EXPECT_EQ(::write(writer, "x", 1), -1);
        ::close(writer);
    }
    EXPECT_EQ(::pwrite(held->descriptor(), "x", 1, 0), -1);
    EXPECT_NE(::ftruncate(held->descriptor(), 0), 0);
    std::ofstream(file, std::ios::binary | std::ios::trunc) << "changed";
    std::filesystem::rename(file, dir.path() / "moved.exe");
    std::ofstream(file, std::ios::binary) << "replaced";
    EXPECT_EQ(heldBytes(), "checked");
    EXPECT_EQ(held->size(), 7);
#endif
}

}  // namespace
}  // namespace orvenna
