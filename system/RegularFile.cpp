#include "RegularFile.h"

#include <algorithm>
#include <array>

#include "SystemError.h"

#ifndef _WIN32
#include <fcntl.h>
#include <sys/stat.h>

#include <cerrno>
#endif

namespace orvenna {

namespace {

constexpr std::size_t ChunkBytes = std::size_t{1} << 16;

Error tooLarge(const std::filesystem::path& file, std::int64_t size, std::int64_t maxBytes) {
    return Error{ErrorSource::System, FileTooLargeCode,
                 file.string() + " has " + std::to_string(size) + " bytes, more than the " + std::to_string(maxBytes) +
                     " allowed"};
}

}  // namespace

#ifdef _WIN32

const int FileTooLargeCode = ERROR_FILE_TOO_LARGE;

Result<RegularFile> RegularFile::open(const std::filesystem::path& file, const Options& options) {
    RegularFile opened;
    const DWORD share =
        options.lockAgainstChange ? FILE_SHARE_READ : FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
    const DWORD flags =
        FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN | (options.refuseLink ? FILE_FLAG_OPEN_REPARSE_POINT : 0);
    opened.handle_ = WinHandle(CreateFileW(file.c_str(), GENERIC_READ, share, nullptr, OPEN_EXISTING, flags, nullptr));
    if (!opened.handle_) {
        Error failed = systemError("cannot open " + file.string());
        // Without backup semantics a folder does not open at all; say so rather than "access denied".
        const DWORD attributes = GetFileAttributesW(file.c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
            return Error{ErrorSource::System, ERROR_DIRECTORY, file.string() + " is a folder, not a file"};
        return failed;
    }
    BY_HANDLE_FILE_INFORMATION information{};
    if (GetFileType(opened.handle_.get()) != FILE_TYPE_DISK ||
        !GetFileInformationByHandle(opened.handle_.get(), &information) ||
        (information.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
        return Error{ErrorSource::System, ERROR_BAD_FILE_TYPE, file.string() + " is not a plain file"};
    if (options.refuseLink && (information.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0)
        return Error{ErrorSource::System, ERROR_CANT_ACCESS_FILE, file.string() + " is a link, not a file"};
    opened.size_ = (static_cast<std::int64_t>(information.nFileSizeHigh) << 32) | information.nFileSizeLow;
    if (opened.size_ > options.maxBytes) return tooLarge(file, opened.size_, options.maxBytes);
    opened.path_ = file;
    return opened;
}

Status RegularFile::read(const ByteSink& sink) const {
    LARGE_INTEGER start{};
    if (!SetFilePointerEx(handle_.get(), start, nullptr, FILE_BEGIN))
        return systemError("cannot read " + path_.string());
    std::array<char, ChunkBytes> buffer;
    for (std::int64_t left = size_; left > 0;) {
        DWORD got = 0;
        const auto wanted = static_cast<DWORD>(std::min<std::int64_t>(left, buffer.size()));
        if (!ReadFile(handle_.get(), buffer.data(), wanted, &got, nullptr))
            return systemError("cannot read " + path_.string());
        if (got == 0) return success();
        if (!sink(buffer.data(), got))
            return Error{ErrorSource::Program, 0, "reading " + path_.string() + " was stopped"};
        left -= got;
    }
    return success();
}

#else

const int FileTooLargeCode = EFBIG;

Result<RegularFile> RegularFile::open(const std::filesystem::path& file, const Options& options) {
    // Non-blocking, so that a FIFO without a writer opens at once and can be turned away.
    const int flags = O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY | (options.refuseLink ? O_NOFOLLOW : 0);
    RegularFile opened;
    opened.handle_ = FileDescriptor(::open(file.c_str(), flags));
    if (!opened.handle_) {
        if (errno == ELOOP && options.refuseLink)
            return Error{ErrorSource::System, ELOOP, file.string() + " is a link, not a file"};
        return systemError("cannot open " + file.string());
    }
    struct stat status {};
    if (::fstat(opened.handle_.get(), &status) != 0) return systemError("cannot open " + file.string());
    if (S_ISDIR(status.st_mode)) return Error{ErrorSource::System, EISDIR, file.string() + " is a folder, not a file"};
    if (!S_ISREG(status.st_mode)) return Error{ErrorSource::System, EINVAL, file.string() + " is not a plain file"};
    if (status.st_size > options.maxBytes) return tooLarge(file, status.st_size, options.maxBytes);
    // A plain file never blocks; the flag goes so that reading needs no retry loop.
    ::fcntl(opened.handle_.get(), F_SETFL, O_RDONLY);
    opened.size_ = status.st_size;
    opened.path_ = file;
    return opened;
}

Status readDescriptor(int fd, std::int64_t size, const std::filesystem::path& path, const ByteSink& sink) {
    std::array<char, ChunkBytes> buffer;
    for (off_t offset = 0; offset < size;) {
        const auto wanted = static_cast<std::size_t>(std::min<std::int64_t>(size - offset, buffer.size()));
        const ssize_t got = ::pread(fd, buffer.data(), wanted, offset);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) return systemError("cannot read " + path.string());
        if (got == 0) return success();
        if (!sink(buffer.data(), static_cast<std::size_t>(got)))
            return Error{ErrorSource::Program, 0, "reading " + path.string() + " was stopped"};
        offset += got;
    }
    return success();
}

Status RegularFile::read(const ByteSink& sink) const {
    return readDescriptor(handle_.get(), size_, path_, sink);
}

#endif

Result<std::string> readRegularFile(const std::filesystem::path& file, std::int64_t maxBytes) {
    const Result<RegularFile> opened = RegularFile::open(file, {.maxBytes = maxBytes});
    if (!opened) return opened.error();
    std::string bytes;
    bytes.reserve(static_cast<std::size_t>(opened->size()));
    const Status read = opened->read([&bytes](const char* data, std::size_t size) {
        bytes.append(data, size);
        return true;
    });
    if (!read) return read.error();
    return bytes;
}

}  // namespace orvenna
