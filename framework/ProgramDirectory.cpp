#include "ProgramDirectory.h"

#include <cstdlib>
#include <system_error>

#ifdef _WIN32
#include <windows.h>
#else
#include <unistd.h>
#endif

namespace orvenna {

std::filesystem::path executableDirectory() {
#ifdef _WIN32
    wchar_t buffer[MAX_PATH];
    const DWORD length = GetModuleFileNameW(nullptr, buffer, MAX_PATH);
    return std::filesystem::path(std::wstring(buffer, length)).parent_path();
#else
    std::error_code error;
    const auto exe = std::filesystem::read_symlink("/proc/self/exe", error);
    return error ? std::filesystem::path() : exe.parent_path();
#endif
}

std::filesystem::path installedShareDirectory() {
    const std::filesystem::path exe = executableDirectory();
    if (exe.empty() || exe.filename() != "bin") return {};
    std::error_code error;
    const std::filesystem::path share = exe.parent_path() / "share" / "orvenna";
    return std::filesystem::is_directory(share, error) ? share : std::filesystem::path();
}

namespace {

bool isWritableDirectory(const std::filesystem::path& directory) {
#ifdef _WIN32
    return !directory.empty();
#else
    return !directory.empty() && access(directory.c_str(), W_OK) == 0;
#endif
}

}  // namespace

std::filesystem::path programDirectory() {
    if (const char* home = std::getenv("ORVENNA_HOME"); home != nullptr && *home != '\0') return home;
    const std::filesystem::path exe = executableDirectory();
    // An installed copy (bin/ beside share/orvenna/) keeps each user's data in their home,
    // even when the user could write to bin/.
    if (isWritableDirectory(exe) && installedShareDirectory().empty()) return exe;
#ifdef _WIN32
    return exe;
#else
    if (const char* data = std::getenv("XDG_DATA_HOME"); data != nullptr && *data != '\0') {
        return std::filesystem::path(data) / "Orvenna";
    }
    const char* user = std::getenv("HOME");
    return std::filesystem::path(user != nullptr ? user : ".") / ".local" / "share" / "Orvenna";
#endif
}

}  // namespace orvenna
