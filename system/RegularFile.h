// A file read only when it is what its name promises: a plain file of bounded size. A name
// can also lead to a folder, a FIFO (whose reader waits for a writer that may never come) or
// a device such as /dev/zero (which never ends); such a name fails at once with a reason,
// before a byte is read.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

#include "ByteSink.h"
#include "base/Result.h"

#ifdef _WIN32
#include "WinHandle.h"
#else
#include "FileDescriptor.h"
#endif

namespace orvenna {

// The code of the Error for a plain file longer than the caller allows (errno's EFBIG, or
// Windows' ERROR_FILE_TOO_LARGE).
extern const int FileTooLargeCode;
// The failure of a plain file longer than its caller allows.
inline bool isFileTooLarge(const Error& error) {
    return error.source == ErrorSource::System && error.code == FileTooLargeCode;
}

class RegularFile {
public:
    struct Options {
        std::int64_t maxBytes = 0;
        // A name that is itself a link (a reparse point on Windows) is refused rather than
        // followed: for a file the program wrote itself and will run.
        bool refuseLink = false;
        // Windows: nobody may write, rename or delete the file while it is open.
        bool lockAgainstChange = false;
    };

    // Opened for reading without waiting on a FIFO; refused unless it is a plain file of at
    // most `options.maxBytes`.
    static Result<RegularFile> open(const std::filesystem::path& file, const Options& options);

    // Feeds the bytes from the first on, at most size() of them (a file that grows meanwhile
    // is read as it was opened); fails when reading fails or `sink` stops.
    Status read(const ByteSink& sink) const;
    std::int64_t size() const { return size_; }
    const std::filesystem::path& path() const { return path_; }

#ifdef _WIN32
    HANDLE handle() const {
        return handle_.get();
    }
#else
    int descriptor() const {
        return handle_.get();
    }
#endif

private:
    std::filesystem::path path_;
    std::int64_t size_ = 0;
#ifdef _WIN32
    WinHandle handle_;
#else
    FileDescriptor handle_;
#endif
};

// The whole of a plain file of at most `maxBytes`: a key or a signature.
Result<std::string> readRegularFile(const std::filesystem::path& file, std::int64_t maxBytes);

#ifndef _WIN32
// The first `size` bytes of `fd` (fewer where it is shorter), fed in chunks by position, so that
// the descriptor's own offset is left alone; `path` names it in a failure.
Status readDescriptor(int fd, std::int64_t size, const std::filesystem::path& path, const ByteSink& sink);
#endif

}  // namespace orvenna
