#include "system/FileReplacement.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>

#include "Expect.h"
#include "TempDirectory.h"

namespace orvenna {
namespace {

std::string contentOf(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

int entriesIn(const std::filesystem::path& folder) {
    int count = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(folder)) ++count;
    return count;
}

// A partial file of a given name is the writer's own: a stale one goes, but a link or a folder
// someone left at its name is neither written through nor removed.
TEST(FileReplacementTest, APartialFileIsMadeNewAndNeverThroughALink) {
    TempDirectory dir;
    const auto target = dir.path() / "setup.exe", partial = dir.path() / "setup.exe.part";
    const auto victim = dir.path() / "victim.txt";
    struct Case {
        const char* name;
        std::function<void()> leave;  // what an earlier run or someone else left at the name
        bool made;
    };
    const Case cases[] = {
        {"nothing", [] {}, true},
        {"a stale partial file", [&] { std::ofstream(partial) << "stale"; }, true},
        {"a link to another file", [&] { std::filesystem::create_symlink(victim, partial); }, false},
        {"a dangling link", [&] { std::filesystem::create_symlink(dir.path() / "nowhere", partial); }, false},
        {"a folder", [&] { std::filesystem::create_directory(partial); }, false},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.name);
        std::filesystem::remove_all(partial);
        std::ofstream(target) << "old";
        std::ofstream(victim) << "victim";
        try {
            test.leave();
        } catch (const std::filesystem::filesystem_error& error) {
            // Wine's C++ library makes no symbolic links: the other cases still count.
            std::printf("case skipped, no symbolic links here: %s\n", error.what());
            continue;
        }
        {
            Result<FileReplacement> file = FileReplacement::create(target, partial, {.permissions = 0600});
            ASSERT_EQ(file.ok(), test.made) << file.error().message;
            if (file) {
                ASSERT_TRUE(file.value().write("new", 3));
                EXPECT_TRUE(file.value().commit());
                EXPECT_EQ(contentOf(target), "new");
                EXPECT_FALSE(std::filesystem::exists(partial));
            } else {
                EXPECT_FAILS_WITH(file, ErrorSource::System, "left alone");
                EXPECT_TRUE(std::filesystem::exists(std::filesystem::symlink_status(partial)));
                EXPECT_EQ(contentOf(target), "old");
            }
        }
        EXPECT_EQ(contentOf(victim), "victim");
        EXPECT_FALSE(std::filesystem::exists(dir.path() / "nowhere"));
    }
}

// Until commit(), the target keeps its old content, and a replacement given up leaves no file.
TEST(FileReplacementTest, OnlyACommitChangesTheTarget) {
    TempDirectory dir;
    const auto target = dir.path() / "config.ini";
    std::ofstream(target) << "old";
    for (const bool explicitly : {false, true}) {
        Result<FileReplacement> file = FileReplacement::beside(target);
        ASSERT_TRUE(file) << file.error().message;
        ASSERT_TRUE(file.value().write(std::string_view("half")));
        EXPECT_EQ(contentOf(target), "old");
        if (explicitly) file.value().abandon();
        EXPECT_EQ(entriesIn(dir.path()), explicitly ? 1 : 2);
    }
    EXPECT_EQ(entriesIn(dir.path()), 1);
    EXPECT_EQ(contentOf(target), "old");

    EXPECT_FALSE(replaceFileContent(dir.path() / "missing" / "config.ini", "new"));
    EXPECT_FALSE(std::filesystem::exists(dir.path() / "missing"));
}

// What another writer adds by name once the file is finished (Windows' profile functions) is
// committed with it; a new target is made, an old one replaced, nothing else left beside it.
TEST(FileReplacementTest, ACommitCarriesWhatWasWrittenByName) {
    TempDirectory dir;
    const auto target = dir.path() / "config.ini";
    for (const char* before : {"", "old"}) {
        SCOPED_TRACE(before);
        std::filesystem::remove(target);
        if (*before != '\0') std::ofstream(target) << before;
        Result<FileReplacement> file = FileReplacement::beside(target);
        ASSERT_TRUE(file) << file.error().message;
        ASSERT_TRUE(file.value().write(std::string_view("[sys]\n")));
        ASSERT_TRUE(file.value().finish());
        std::ofstream(file.value().partialPath(), std::ios::binary | std::ios::app) << "update_day=1\n";
        ASSERT_TRUE(file.value().finish());
        ASSERT_TRUE(file.value().commit());
        EXPECT_EQ(contentOf(target), "[sys]\nupdate_day=1\n");
        EXPECT_EQ(entriesIn(dir.path()), 1);
    }
#ifndef _WIN32
    // The old file's permissions are kept when asked for, whatever the umask.
    ASSERT_TRUE(replaceFileContent(target, "kept", {.permissions = 0640}));
    EXPECT_EQ(std::filesystem::status(target).permissions(), std::filesystem::perms(0640));
#endif
}

}  // namespace
}  // namespace orvenna
