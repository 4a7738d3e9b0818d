#include "app/InstanceLock.h"

#include <system_error>
#include <utility>

#ifdef _WIN32
#include <shlobj.h>
#include <windows.h>
#else
#include <fcntl.h>
#include <pwd.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#endif

namespace orvenna {

namespace {

#ifdef _WIN32
constexpr DWORD MappingSize = 4096;
#else
// The Windows lock file carries a 4096-byte mapping; the file here is given the same size.
constexpr off_t LockFileSize = 4096;
#endif

bool createFolderOf(const std::filesystem::path& file) {
    if (!file.has_parent_path()) return true;
    std::error_code error;
    std::filesystem::create_directories(file.parent_path(), error);
    return !error;
}

}  // namespace

#ifdef _WIN32

std::filesystem::path InstanceLock::defaultLockPath() {
    wchar_t folder[MAX_PATH] = {};
    if (FAILED(SHGetFolderPathW(nullptr, CSIDL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, folder))) {
        return {};
    }
    return std::filesystem::path(folder) / L"Orvenna" / L"tarv.sq";
}

InstanceLock::InstanceLock(const std::filesystem::path& lockFile) {
    if (lockFile.empty() || !createFolderOf(lockFile)) return;
    // No sharing: while this handle is open, another copy's CreateFile fails.
    WinHandle file(CreateFileW(lockFile.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                               FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return;
    WinHandle mapping(CreateFileMappingW(file.get(), nullptr, PAGE_READWRITE, 0, MappingSize, nullptr));
    if (!mapping) return;
    file_ = std::move(file);
    mapping_ = std::move(mapping);
}

bool InstanceLock::acquired() const {
    return static_cast<bool>(mapping_);
}

#else

std::filesystem::path InstanceLock::defaultLockPath() {
    std::filesystem::path base;
    // A relative XDG_CONFIG_HOME is invalid and ignored, as the XDG rules say.
    if (const char* config = std::getenv("XDG_CONFIG_HOME"); config != nullptr && *config == '/') {
        base = config;
    } else {
        const char* home = std::getenv("HOME");
        if (home == nullptr || *home == '\0') {
            const passwd* user = ::getpwuid(::getuid());
            home = user != nullptr && user->pw_dir != nullptr ? user->pw_dir : ".";
        }
        base = std::filesystem::path(home) / ".config";
    }
    return base / "Orvenna" / "tarv.sq";
}

InstanceLock::InstanceLock(const std::filesystem::path& lockFile) {
    if (lockFile.empty() || !createFolderOf(lockFile)) return;
    // Close-on-exec, so that a program started from here (an installer) does not keep the
    // lock alive after this process has ended.
    FileDescriptor file(::open(lockFile.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOCTTY, 0600));
    if (!file) return;
    int locked = 0;
    do {
        locked = ::flock(file.get(), LOCK_EX | LOCK_NB);
    } while (locked != 0 && errno == EINTR);
    if (locked != 0) return;
    // The file is ours only now: emptying it any earlier would wipe the running copy's file.
    // Its content is not needed for the lock, so a failure here does not matter.
    if (::ftruncate(file.get(), 0) == 0) static_cast<void>(::ftruncate(file.get(), LockFileSize));
    file_ = std::move(file);
}

bool InstanceLock::acquired() const {
    return static_cast<bool>(file_);
}

#endif

}  // namespace orvenna
