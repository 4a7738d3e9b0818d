#include "PartialDownload.h"

#include <algorithm>
#include <utility>

#include "Installer.h"
#include "system/SystemError.h"

#ifndef _WIN32
#include <fcntl.h>
#include <sys/stat.h>

#include <cerrno>
#endif

namespace orvenna {

namespace {

Error notOurs(const std::filesystem::path& partial, int code) {
    return Error{ErrorSource::System, code, partial.string() + " is not a file of this program's; it is left alone"};
}

}  // namespace

#ifdef _WIN32

Result<PartialDownload> PartialDownload::create(const std::filesystem::path& installer) {
    const std::filesystem::path partial = partialDownloadFile(installer);
    const DWORD attributes = GetFileAttributesW(partial.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES) {
        if ((attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) != 0)
            return notOurs(partial, ERROR_FILE_EXISTS);
        if (!DeleteFileW(partial.c_str())) return systemError("cannot remove the old " + partial.string());
    }
    PartialDownload made;
    // CREATE_NEW fails on any name that exists, a link included; the flag keeps a reparse
    // point from being followed should one appear all the same.
    made.handle_ = WinHandle(CreateFileW(partial.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                         FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    if (!made.handle_) return systemError("cannot create " + partial.string());
    made.partial_ = partial;  // from here on, the destructor removes it
    BY_HANDLE_FILE_INFORMATION information{};
    if (!GetFileInformationByHandle(made.handle_.get(), &information) ||
        (information.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0 || information.nNumberOfLinks != 1)
        return notOurs(partial, ERROR_FILE_EXISTS);
    made.installer_ = installer;
    return made;
}

bool PartialDownload::write(const char* data, std::size_t size) {
    while (size > 0) {
        DWORD put = 0;
        const auto piece = static_cast<DWORD>(std::min<std::size_t>(size, 1u << 30));
        if (!WriteFile(handle_.get(), data, piece, &put, nullptr) || put == 0) {
            writeError_ = systemError("cannot write " + partial_.string());
            return false;
        }
        data += put;
        size -= put;
        written_ += put;
    }
    return true;
}

Status PartialDownload::complete() {
    if (!writeError_.message.empty()) return writeError_;
    handle_ = WinHandle();
    std::error_code error;
    std::filesystem::rename(partial_, installer_, error);
    if (error)
        return Error{ErrorSource::System, error.value(), "cannot rename " + partial_.string() + ": " + error.message()};
    partial_.clear();
    return success();
}

PartialDownload::~PartialDownload() {
    handle_ = WinHandle();
    if (!partial_.empty()) DeleteFileW(partial_.c_str());
}

#else

Result<PartialDownload> PartialDownload::create(const std::filesystem::path& installer) {
    const std::filesystem::path partial = partialDownloadFile(installer);
    struct stat status {};
    if (::lstat(partial.c_str(), &status) == 0) {
        if (!S_ISREG(status.st_mode)) return notOurs(partial, EEXIST);
        if (::unlink(partial.c_str()) != 0) return systemError("cannot remove the old " + partial.string());
    } else if (errno != ENOENT) {
        return systemError("cannot look at " + partial.string());
    }
    PartialDownload made;
    made.handle_ = FileDescriptor(::open(partial.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600));
    if (!made.handle_) {
        if (errno == EEXIST || errno == ELOOP) return notOurs(partial, errno);
        return systemError("cannot create " + partial.string());
    }
    made.partial_ = partial;  // from here on, the destructor removes it
    made.installer_ = installer;
    return made;
}

bool PartialDownload::write(const char* data, std::size_t size) {
    while (size > 0) {
        const ssize_t put = ::write(handle_.get(), data, size);
        if (put < 0 && errno == EINTR) continue;
        if (put <= 0) {
            writeError_ = systemError("cannot write " + partial_.string(), put < 0 ? errno : ENOSPC);
            return false;
        }
        data += put;
        size -= static_cast<std::size_t>(put);
        written_ += put;
    }
    return true;
}

Status PartialDownload::complete() {
    if (!writeError_.message.empty()) return writeError_;
    // A delayed write error (a full disk on a network folder) shows only here.
    if (!handle_.close()) return systemError("cannot write " + partial_.string());
    if (::rename(partial_.c_str(), installer_.c_str()) != 0) return systemError("cannot rename " + partial_.string());
    partial_.clear();
    return success();
}

PartialDownload::~PartialDownload() {
    handle_.close();
    if (!partial_.empty()) ::unlink(partial_.c_str());
}

#endif

PartialDownload::PartialDownload(PartialDownload&& other) noexcept
    : installer_(std::move(other.installer_)),
      partial_(std::exchange(other.partial_, {})),
      written_(other.written_),
      writeError_(std::move(other.writeError_)),
      handle_(std::move(other.handle_)) {}

}  // namespace orvenna
