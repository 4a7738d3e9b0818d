// The downloaded installer before it runs: checked through the handle that will start it, and
// held so that no one can change it in between.
#include "update/Installer.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <future>
#include <thread>
#include <vector>

#include "Expect.h"
#include "TempDirectory.h"
#include "TestSigner.h"
#include "codec/Fingerprint.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <grp.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace orvenna {
namespace {

using ::testing::HasSubstr;

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
    PublishedInstaller lowerCase = good, wrongMd5 = good, wrongSize = good, otherKey = good, noKey = good,
                       overCap = good;
    lowerCase.md5 = L"900150983cd24fb0d6963f7d28e17f72";
    wrongMd5.md5 = L"900150983CD24FB0D6963F7D28E17F73";
    wrongSize.size = 4;
    overCap.size = UpdateInstallerMaxBytes + 1;
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
        {"published above the cap", content, overCap, InstallerWrongSize},
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

TEST(InstallerTest, TheInstallerIsNamedAfterItsFingerprint) {
    // The file is named in upper case whatever the index's case; only that name is the
    // program's to delete at the next start.
    EXPECT_EQ(installerFileName(L"0123456789abcdef0123456789ABCDEF"), L"0123456789ABCDEF0123456789ABCDEF.exe");
    EXPECT_TRUE(isInstallerFileName("0123456789ABCDEF0123456789ABCDEF.exe"));
    for (const char* name :
         {"0123456789abcdef0123456789ABCDEF.exe", "src/data/ssq.db", "0123456789ABCDEF0123456789ABCDEF",
          "x/0123456789ABCDEF0123456789ABCDEF.exe", "0123456789ABCDEF0123456789ABCDEF.exe.part"})
        EXPECT_FALSE(isInstallerFileName(name)) << name;
}

// While the check holds the file, what it checked cannot change before it starts.
TEST(InstallerTest, AHeldInstallerCannotBeChanged) {
    TempDirectory dir;
    const auto file = dir.path() / "0123456789ABCDEF0123456789ABCDEF.exe";
    std::ofstream(file, std::ios::binary) << "checked";
    Result<LockedFile> held = LockedFile::open(file, 1024);
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

// A call stuck on a FIFO or reading /dev/zero would hang the whole suite: past the limit the
// test program ends with the failure named.
template <typename Call>
auto finishesSoon(const std::string& what, Call call) {
    auto task = std::async(std::launch::async, std::move(call));
    if (task.wait_for(std::chrono::seconds(10)) != std::future_status::ready) {
        std::fprintf(stderr, "%s did not return within 10 s\n", what.c_str());
        std::_Exit(1);
    }
    return task.get();
}

// A name that leads to no plain file, as installer, signature or key, fails at once and says
// what it is, before anything is read.
TEST(InstallerTest, ANameThatIsNoPlainFileFailsAtOnce) {
    TempDirectory dir;
    const TestSigner publisher;
    const auto installer = dir.path() / "setup.exe", signature = dir.path() / "setup.exe.minisig",
               key = dir.path() / "update-key.pub", folder = dir.path() / "folder";
    std::ofstream(installer, std::ios::binary) << "abc";
    std::ofstream(signature, std::ios::binary) << publisher.sign("abc", "orvenna ver=2");
    publisher.writePublicKey(key);
    std::filesystem::create_directory(folder);
    ASSERT_TRUE(verifySignedFile(installer, signature, key)) << "the real files pass";

    struct Odd {
        std::filesystem::path path;
        const char* says;
    };
    std::vector<Odd> odd = {{folder, "is a folder"}};
#ifdef _WIN32
    odd.push_back({L"\\\\.\\NUL", "not a plain file"});
#else
    const auto fifo = dir.path() / "fifo";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    odd.push_back({fifo, "not a plain file"});
    odd.push_back({"/dev/zero", "not a plain file"});
#endif
    const PublishedInstaller published{L"900150983CD24FB0D6963F7D28E17F72", 3, publisher.sign("abc", "x"), key};
    for (const Odd& name : odd) {
        SCOPED_TRACE(name.path.string());
        struct Role {
            const char* name;
            ErrorSource source;  // the held installer's refusal is the program's own fault code
            std::function<Error()> check;
        };
        const Role roles[] = {
            {"installer", ErrorSource::System, [&] { return verifySignedFile(name.path, signature, key).error(); }},
            {"signature", ErrorSource::System, [&] { return verifySignedFile(installer, name.path, key).error(); }},
            {"key", ErrorSource::System, [&] { return verifySignedFile(installer, signature, name.path).error(); }},
            {"held installer", ErrorSource::Program, [&] { return checkInstaller(name.path, published).error(); }},
        };
        for (const Role& role : roles)
            EXPECT_FAILS_WITH(finishesSoon(role.name, role.check), role.source, name.says) << role.name;
    }
}

#ifndef _WIN32
// Where the system refuses to run a memory file (vm.memfd_noexec, which a test cannot set),
// the installer runs from a private copy, or the failure says why. Here the memory file is
// another user's, so that starting it fails with EACCES as it would there.
TEST(InstallerTest, WhereMemoryCannotRunAPrivateCopyStartsOrTheReasonIsGiven) {
    if (::geteuid() != 0) GTEST_SKIP() << "needs root, to start as another user";
    TempDirectory dir;
    std::filesystem::permissions(dir.path(), std::filesystem::perms::all);
    const auto marker = dir.path() / "installed.txt", installer = dir.path() / "setup.sh";
    std::ofstream(installer) << "#!/bin/sh\necho installed > \"" << marker.string() << "\"\n";
    const Result<LockedFile> held = LockedFile::open(installer, 1024);
    ASSERT_TRUE(held) << held.error().message;
    ASSERT_EQ(::fchmod(held->descriptor(), S_IRWXU), 0);

    struct Case {
        const char* tmpdir;
        bool starts;
    };
    const auto temporary = dir.path() / "tmp";
    std::filesystem::create_directory(temporary);
    std::filesystem::permissions(temporary, std::filesystem::perms::all);
    const std::string usable = temporary.string(), missing = (dir.path() / "missing").string();
    for (const Case test : {Case{usable.c_str(), true}, Case{missing.c_str(), false}}) {
        SCOPED_TRACE(test.tmpdir);
        std::filesystem::remove(marker);
        int report[2];
        ASSERT_EQ(::pipe(report), 0);
        const pid_t child = ::fork();
        if (child == 0) {
            ::close(report[0]);
            ::setenv("TMPDIR", test.tmpdir, 1);
            const bool dropped = ::setgroups(0, nullptr) == 0 && ::setgid(65534) == 0 && ::setuid(65534) == 0;
            const Status started =
                dropped ? startInstaller(*held) : Status(Error{ErrorSource::Program, 0, "cannot become nobody"});
            const std::string message = started ? "" : started.error().message;
            [[maybe_unused]] const auto written = ::write(report[1], message.data(), message.size());
            ::_exit(started ? 0 : 1);
        }
        ::close(report[1]);
        std::string message;
        char buffer[512];
        for (ssize_t got; (got = ::read(report[0], buffer, sizeof buffer)) > 0;) message.append(buffer, got);
        ::close(report[0]);
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        EXPECT_EQ(WIFEXITED(status) && WEXITSTATUS(status) == 0, test.starts) << message;
        if (test.starts) {
            for (int wait = 0; wait < 500 && !std::filesystem::exists(marker); ++wait)
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
            EXPECT_TRUE(std::filesystem::exists(marker));
        } else {
            EXPECT_THAT(message, HasSubstr("runs no program from memory"));
            EXPECT_THAT(message, HasSubstr(missing));
        }
    }
    // The private copy went once it had started.
    EXPECT_TRUE(std::filesystem::is_empty(temporary));
}
#endif

}  // namespace
}  // namespace orvenna
