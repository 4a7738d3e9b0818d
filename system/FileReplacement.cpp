#include "FileReplacement.h"

#include <algorithm>
#include <atomic>
#include <string>
#include <utility>

#include "SystemError.h"

#ifndef _WIN32
#include <fcntl.h>
#include <sys/stat.h>

#include <cerrno>
#endif

namespace orvenna {

namespace {

#ifdef _WIN32
constexpr int AlreadyThere = ERROR_FILE_EXISTS;
#else
constexpr int AlreadyThere = EEXIST;
#endif

Error notOurs(const std::filesystem::path& partial, int code) {
    return Error{ErrorSource::System, code, partial.string() + " is not a file of this program's; it is left alone"};
}

std::filesystem::path folderOf(const std::filesystem::path& target) {
    return target.has_parent_path() ? target.parent_path() : std::filesystem::path(".");
}

// A name beside `target` for the file that is to replace it: hidden on Linux, unique to this
// process and call.
std::filesystem::path temporaryNameFor(const std::filesystem::path& target, unsigned attempt) {
    static std::atomic<unsigned> serial{0};
#ifdef _WIN32
    const unsigned long process = GetCurrentProcessId();
#else
    const unsigned long process = static_cast<unsigned long>(::getpid());
#endif
    std::string suffix = ".";
    suffix.append(std::to_string(process)).append(".").append(std::to_string(serial++));
    suffix.append(".").append(std::to_string(attempt)).append(".tmp");
    std::filesystem::path name = ".";
    name += target.filename();
    name += suffix;
    return folderOf(target) / name;
}

}  // namespace

Result<FileReplacement> FileReplacement::beside(const std::filesystem::path& target, const Options& options) {
    for (unsigned attempt = 0; attempt < 100; ++attempt) {
        Result<FileReplacement> made = open(target, temporaryNameFor(target, attempt), options);
        if (made || made.error().code != AlreadyThere) return made;
    }
    return systemError("cannot create a file beside " + target.string(), AlreadyThere);
}

FileReplacement::FileReplacement(FileReplacement&& other) noexcept
    : target_(std::move(other.target_)),
      partial_(std::exchange(other.partial_, {})),
      written_(other.written_),
      finished_(other.finished_),
      writeError_(std::move(other.writeError_)),
      handle_(std::move(other.handle_)) {}

FileReplacement::~FileReplacement() {
    abandon();
}

Status FileReplacement::commit() {
    if (!finished_) {
        if (const Status finished = finish(); !finished) return finished;
    }
#ifdef _WIN32
    // ReplaceFileW keeps what the old file had beside its content (attributes, permissions);
    // it needs an old file, so a first one is moved in place.
    const bool targetExists = GetFileAttributesW(target_.c_str()) != INVALID_FILE_ATTRIBUTES;
    const bool replaced = targetExists ? ReplaceFileW(target_.c_str(), partial_.c_str(), nullptr,
                                                      REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr) != 0
                                       : MoveFileExW(partial_.c_str(), target_.c_str(),
                                                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
    if (!replaced) return systemError("cannot rename " + partial_.string());
    partial_.clear();
#else
    if (::rename(partial_.c_str(), target_.c_str()) != 0) return systemError("cannot rename " + partial_.string());
    partial_.clear();
    // Make the rename itself durable; the new file is already complete either way.
    const FileDescriptor folder(::open(folderOf(target_).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (folder) ::fsync(folder.get());
#endif
    return success();
}

#ifdef _WIN32

Result<FileReplacement> FileReplacement::open(const std::filesystem::path& target, const std::filesystem::path& partial,
                                              const Options&) {
    FileReplacement made;
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
    made.target_ = target;
    return made;
}

Result<FileReplacement> FileReplacement::create(const std::filesystem::path& target,
                                                const std::filesystem::path& partial, const Options& options) {
    const DWORD attributes = GetFileAttributesW(partial.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES) {
        if ((attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) != 0)
            return notOurs(partial, ERROR_FILE_EXISTS);
        if (!DeleteFileW(partial.c_str())) return systemError("cannot remove the old " + partial.string());
    }
    return open(target, partial, options);
}

bool FileReplacement::write(const char* data, std::size_t size) {
    finished_ = false;
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

Status FileReplacement::finish() {
    if (!writeError_.message.empty()) return writeError_;
    if (handle_) {
        if (!FlushFileBuffers(handle_.get())) return systemError("cannot write " + partial_.string());
        handle_ = WinHandle();
    } else {
        const WinHandle again(
            CreateFileW(partial_.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!again || !FlushFileBuffers(again.get())) return systemError("cannot write " + partial_.string());
    }
    finished_ = true;
    return success();
}

void FileReplacement::abandon() {
    handle_ = WinHandle();
    if (!partial_.empty()) DeleteFileW(partial_.c_str());
    partial_.clear();
}

#else

Result<FileReplacement> FileReplacement::open(const std::filesystem::path& target, const std::filesystem::path& partial,
                                              const Options& options) {
    FileReplacement made;
    made.handle_ = FileDescriptor(::open(partial.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC,
                                         static_cast<mode_t>(options.permissions.value_or(0666))));
    if (!made.handle_) return systemError("cannot create " + partial.string());
    made.partial_ = partial;  // from here on, the destructor removes it
    made.target_ = target;
    // Best effort: the content matters more than its mode.
    if (options.permissions) ::fchmod(made.handle_.get(), static_cast<mode_t>(*options.permissions));
    return made;
}

Result<FileReplacement> FileReplacement::create(const std::filesystem::path& target,
                                                const std::filesystem::path& partial, const Options& options) {
    struct stat status {};
    if (::lstat(partial.c_str(), &status) == 0) {
        if (!S_ISREG(status.st_mode)) return notOurs(partial, EEXIST);
        if (::unlink(partial.c_str()) != 0) return systemError("cannot remove the old " + partial.string());
    } else if (errno != ENOENT) {
        return systemError("cannot look at " + partial.string());
    }
    Result<FileReplacement> made = open(target, partial, options);
    if (!made && (made.error().code == EEXIST || made.error().code == ELOOP))
        return notOurs(partial, made.error().code);
    return made;
}

bool FileReplacement::write(const char* data, std::size_t size) {
    finished_ = false;
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

Status FileReplacement::finish() {
    if (!writeError_.message.empty()) return writeError_;
    if (handle_) {
        // A delayed write error (a full disk on a network folder) may show only at the close.
        if (::fsync(handle_.get()) != 0 || !handle_.close()) return systemError("cannot write " + partial_.string());
    } else {
        const FileDescriptor again(::open(partial_.c_str(), O_WRONLY | O_NOFOLLOW | O_CLOEXEC));
        if (!again || ::fsync(again.get()) != 0) return systemError("cannot write " + partial_.string());
    }
    finished_ = true;
    return success();
}

void FileReplacement::abandon() {
    handle_.close();
    if (!partial_.empty()) ::unlink(partial_.c_str());
    partial_.clear();
}

#endif

Status replaceFileContent(const std::filesystem::path& target, std::string_view content,
                          const FileReplacement::Options& options) {
    Result<FileReplacement> replacement = FileReplacement::beside(target, options);
    if (!replacement) return replacement.error();
    FileReplacement& file = replacement.value();
    if (!file.write(content)) return file.writeError();
    return file.commit();
}

}  // namespace orvenna
