#include "app/startup/InstanceLock.h"

#include <system_error>
#include <utility>

#include "base/PathText.h"
#include "system/SystemError.h"

#ifdef _WIN32
#include <windows.h>
// Needs the types of windows.h.
#include <knownfolders.h>
#include <shlobj.h>

#include <chrono>
#include <thread>
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
// The locked byte lies far past anything the file holds, so the lock never stands in the way
// of reading or writing the file itself; only another lock on it is refused.
constexpr DWORD LockedByteHigh = 0x40000000;
// How long a file kept open without sharing by another program (a scanner looking into the
// new file) is waited for.
constexpr auto SharingWait = std::chrono::seconds(2);
constexpr auto SharingRetry = std::chrono::milliseconds(100);
#else
// The Windows lock file carries a 4096-byte mapping; the file here is given the same size.
constexpr off_t LockFileSize = 4096;
#endif

Error systemFailure(int code, const std::filesystem::path& path) {
    return {ErrorSource::System, code, pathUtf8(path) + ": " + systemErrorText(code)};
}

std::optional<Error> createFolderOf(const std::filesystem::path& file) {
    if (!file.has_parent_path()) return std::nullopt;
    std::error_code error;
    std::filesystem::create_directories(file.parent_path(), error);
    if (!error) return std::nullopt;
    return Error{ErrorSource::System, error.value(), pathUtf8(file.parent_path()) + ": " + error.message()};
}

}  // namespace

#ifdef _WIN32

std::filesystem::path InstanceLock::defaultLockPath() {
    wchar_t* folder = nullptr;
    std::filesystem::path path;
    if (SUCCEEDED(SHGetKnownFolderPath(FOLDERID_RoamingAppData, KF_FLAG_DEFAULT, nullptr, &folder)))
        path = std::filesystem::path(folder) / L"Orvenna" / L"tarv.sq";
    CoTaskMemFree(folder);  // also when the call failed
    return path;
}

InstanceLock::InstanceLock(const std::filesystem::path& lockFile) {
    if (lockFile.empty()) {
        failure_ = Error{ErrorSource::System, ERROR_PATH_NOT_FOUND, "the user's application-data folder is unknown"};
        return;
    }
    if ((failure_ = createFolderOf(lockFile))) return;
    const auto giveUp = std::chrono::steady_clock::now() + SharingWait;
    WinHandle file;
    while (true) {
        // Kept as it is when there: its content does not matter, and it may be another copy's.
        file = WinHandle(CreateFileW(lockFile.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                     nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (file) break;
        const DWORD code = GetLastError();
        if (code != ERROR_SHARING_VIOLATION || std::chrono::steady_clock::now() >= giveUp) {
            failure_ = systemFailure(static_cast<int>(code), lockFile);
            return;
        }
        std::this_thread::sleep_for(SharingRetry);
    }
    OVERLAPPED at{};
    at.OffsetHigh = LockedByteHigh;
    if (!LockFileEx(file.get(), LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &at)) {
        const DWORD code = GetLastError();
        // Another copy runs: this start ends quietly.
        if (code != ERROR_LOCK_VIOLATION) failure_ = systemFailure(static_cast<int>(code), lockFile);
        return;
    }
    // The file is ours only now; emptying it first leaves it the mapping's size. A failure
    // here does not matter: its content is not needed for the lock.
    if (SetFilePointer(file.get(), 0, nullptr, FILE_BEGIN) == 0) SetEndOfFile(file.get());
    WinHandle mapping(CreateFileMappingW(file.get(), nullptr, PAGE_READWRITE, 0, MappingSize, nullptr));
    if (!mapping) {
        failure_ = systemFailure(static_cast<int>(GetLastError()), lockFile);
        return;
    }
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
    if (lockFile.empty()) {
        failure_ = Error{ErrorSource::System, ENOENT, "no folder for the lock file"};
        return;
    }
    if ((failure_ = createFolderOf(lockFile))) return;
    // Close-on-exec, so that a program started from here (an installer) does not keep the
    // lock alive after this process has ended.
    FileDescriptor file(::open(lockFile.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOCTTY, 0600));
    if (!file) {
        failure_ = systemFailure(errno, lockFile);
        return;
    }
    int locked = 0;
    do {
        locked = ::flock(file.get(), LOCK_EX | LOCK_NB);
    } while (locked != 0 && errno == EINTR);
    if (locked != 0) {
        // Another copy runs: this start ends quietly.
        if (errno != EWOULDBLOCK) failure_ = systemFailure(errno, lockFile);
        return;
    }
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
