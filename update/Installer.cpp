#include "Installer.h"

#include <cstdlib>
#include <sstream>
#include <vector>

#include "base/Text.h"
#include "framework/Fingerprint.h"
#include "framework/Process.h"

namespace orvenna {

Status verifyInstaller(std::wstring_view expected, const std::filesystem::path& file) {
    const auto actual = md5Hex(file);
    if (!actual) return Error{0, "cannot read " + file.string()};
    if (fromUtf8(*actual) != expected) return Error{0, "the file's MD5 is " + *actual + ", not " + toUtf8(expected)};
    return success();
}

std::filesystem::path partialDownloadFile(const std::filesystem::path& installer) {
    std::filesystem::path partial = installer;
    partial += ".part";
    return partial;
}

// Read on the system's own form of the name, which never needs converting (and so never
// fails on a name in another encoding).
bool isPartialDownloadName(const std::filesystem::path& fileName) {
    const auto& name = fileName.native();
    constexpr std::string_view Ending = ".exe.part";
    if (name.size() != 32 + Ending.size()) return false;
    for (std::size_t i = 0; i < name.size(); ++i) {
        const auto c = name[i];
        const bool fits = i < 32 ? (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') : c == Ending[i - 32];
        if (!fits) return false;
    }
    return true;
}

namespace {

// A user always sees the setup program's pages. A test of the whole update, which no one
// watches, asks for its silent mode ("/S") through ORVENNA_INSTALLER_ARGUMENTS.
std::vector<std::wstring> installerArguments() {
    std::vector<std::wstring> arguments;
    const char* wanted = std::getenv("ORVENNA_INSTALLER_ARGUMENTS");
    std::wistringstream words(fromUtf8(wanted ? wanted : ""));
    for (std::wstring word; words >> word;) arguments.push_back(word);
    return arguments;
}

}  // namespace

Status startInstaller(const std::filesystem::path& file) {
    return startDetached(file, installerArguments());
}

}  // namespace orvenna
