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
    // A path may be longer than MAX_PATH (the manifest allows long paths): the buffer grows
    // until the whole name fits, which the call tells by leaving room to spare.
    std::wstring buffer(MAX_PATH, L'\0');
    while (buffer.size() <= 32768 * 2) {
        const DWORD length = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length == 0) return {};
        if (length < buffer.size()) {
            buffer.resize(length);
            return std::filesystem::path(buffer).parent_path();
        }
        buffer.resize(buffer.size() * 2);
    }
    return {};
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

std::filesystem::path trustedUpdateKeyFile() {
    const std::filesystem::path share = installedShareDirectory();
    return (share.empty() ? executableDirectory() : share) / "update-key.pub";
}

namespace {

bool isWritableDirectory(const std::filesystem::path& directory) {
#ifdef _WIN32
    // A folder's read-only attribute means nothing on Windows, and its permissions are too
    // many to reason about: only a try tells. The trial file goes when it is closed.
    if (directory.empty()) return false;
    const std::filesystem::path probe = directory / L"orvenna-write-test.tmp";
    const HANDLE file = CreateFileW(probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    CloseHandle(file);
    return true;
#else
    return !directory.empty() && access(directory.c_str(), W_OK) == 0;
#endif
}

}  // namespace

std::filesystem::path programDirectory() {
#ifdef _WIN32
    // Read as wide text: the narrow environment is in the ANSI code page, which cannot hold
    // every folder name.
    if (const wchar_t* home = _wgetenv(L"ORVENNA_HOME"); home != nullptr && *home != L'\0') return home;
    // Beside the executable, as the setup program installs it (in the user's own programs
    // folder). A copy placed where the user may not write (Program Files) keeps the data in
    // the user's local application-data folder instead. Decided once: it takes a file's try.
    static const std::filesystem::path directory = [] {
        const std::filesystem::path exe = executableDirectory();
        if (isWritableDirectory(exe)) return exe;
        const wchar_t* local = _wgetenv(L"LOCALAPPDATA");
        return local != nullptr && *local != L'\0' ? std::filesystem::path(local) / L"Orvenna" : exe;
    }();
    return directory;
#else
    if (const char* home = std::getenv("ORVENNA_HOME"); home != nullptr && *home != '\0') return home;
    const std::filesystem::path exe = executableDirectory();
    // An installed copy (bin/ beside share/orvenna/) keeps each user's data in their home,
    // even when the user could write to bin/.
    if (isWritableDirectory(exe) && installedShareDirectory().empty()) return exe;
    if (const char* data = std::getenv("XDG_DATA_HOME"); data != nullptr && *data != '\0') {
        return std::filesystem::path(data) / "Orvenna";
    }
    const char* user = std::getenv("HOME");
    return std::filesystem::path(user != nullptr ? user : ".") / ".local" / "share" / "Orvenna";
#endif
}

}  // namespace orvenna
