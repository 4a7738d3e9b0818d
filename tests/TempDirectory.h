// A fresh directory under the test's temporary folder, removed again at the end.
#pragma once

#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <random>
#include <sstream>
#include <string>

namespace orvenna {

class TempDirectory {
public:
    // Named after the test, to be found after a failure, and made unique by a random part: a
    // test may hold several, and copies of the test program may run at once.
    TempDirectory() {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        std::string name = "orvenna_";
        if (info != nullptr) name += std::string(info->test_suite_name()) + "_" + info->name() + "_";
        for (char& c : name)
            if (c == '/') c = '_';  // parameterised tests have "/" in their names
        static std::atomic<unsigned> counter{0};
        std::ostringstream unique;
        unique << std::hex << std::random_device()() << "_" << counter++;
        path_ = std::filesystem::path(::testing::TempDir()) / (name + unique.str());
        std::filesystem::remove_all(path_);
        std::filesystem::create_directories(path_);
    }
    ~TempDirectory() {
        std::error_code error;
        std::filesystem::permissions(path_, std::filesystem::perms::owner_all, error);
        std::filesystem::remove_all(path_, error);
    }
    TempDirectory(const TempDirectory&) = delete;
    TempDirectory& operator=(const TempDirectory&) = delete;
    const std::filesystem::path& path() const { return path_; }

private:
    std::filesystem::path path_;
};

}  // namespace orvenna
