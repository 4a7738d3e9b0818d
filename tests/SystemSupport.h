// What the system under the tests offers: tests that need something it lacks say so and skip.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#ifdef _WIN32
#include <windows.h>
#endif

#include "Environment.h"

namespace orvenna {

// Whether the system reads GB18030, the results page's code page: iconv on Linux, code page
// 54936 on Windows, which Wine 8 does not have.
inline bool systemReadsGb18030() {
#ifdef _WIN32
    return IsValidCodePage(54936) != 0;
#else
    return true;
#endif
}

// Whether this Windows program runs under Wine rather than on Windows itself.
inline bool underWine() {
#ifdef _WIN32
    const HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    return ntdll != nullptr && GetProcAddress(ntdll, "wine_get_version") != nullptr;
#else
    return false;
#endif
}

// A program of this build: on Linux its full path, given by the build; on Windows the build
// puts every program in one folder, so the name of one beside the running test is enough.
inline std::filesystem::path builtProgram(const char* path) {
#ifdef _WIN32
    std::wstring self(32768, L'\0');
    self.resize(GetModuleFileNameW(nullptr, self.data(), static_cast<DWORD>(self.size())));
    return std::filesystem::path(self).parent_path() / std::filesystem::path(path).filename();
#else
    return path;
#endif
}

// A command that stands in for ping in the network check, given its arguments: "true" ends
// with 0, "false" with 1, "sleep" hangs for 30 seconds. Linux has the first two and gets a
// script for the third in `folder`; Windows has none of them, so a small program of this build
// (tests/TestProgram.cpp), which does what the name it is copied under says, goes to `folder`.
inline std::string stubCommand(const std::string& name, const std::filesystem::path& folder) {
#ifdef _WIN32
    const std::filesystem::path copy = folder / (name + ".exe");
    std::filesystem::copy_file(builtProgram(ORVENNA_TEST_PROGRAM), copy,
                               std::filesystem::copy_options::overwrite_existing);
    return utf8Path(copy);
#else
    if (name != "sleep") return name;
    const std::filesystem::path script = folder / "slow-ping";
    std::ofstream(script) << "#!/bin/sh\nexec sleep 30\n";
    std::filesystem::permissions(script, std::filesystem::perms::owner_all);
    return utf8Path(script);
#endif
}

}  // namespace orvenna

// Skips the current test where the system cannot read GB18030.
#define ORVENNA_SKIP_WITHOUT_GB18030()    \
    if (!::orvenna::systemReadsGb18030()) \
    GTEST_SKIP() << "the system has no GB18030 code page (54936): Wine 8 lacks it, Windows has it"
