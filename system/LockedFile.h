// A file held so that what is checked is what is run: read and started (startDetached in
// Process.h) through one handle, while nobody can change it underneath.
#pragma once

#include <cstdint>
#include <filesystem>

#include "ByteSink.h"
#include "RegularFile.h"
#include "base/Result.h"

namespace orvenna {

class LockedFile {
public:
    // Windows: the file opened with read sharing only, so that it cannot be written, renamed
    // or deleted while held. Linux, where an open descriptor keeps no one from writing: the
    // file's bytes copied into a sealed memory file, which no one can write (the file on disk
    // may then change or go; what is read and run is the copy). Only a plain file of at most
    // `maxBytes`, reached without a link, is held; anything else fails before a byte is copied
    // (a longer file with FileTooLargeCode).
    static Result<LockedFile> open(const std::filesystem::path& file, std::int64_t maxBytes);

    // Feeds the bytes from the first on; fails when reading fails or `sink` stops.
    Status read(const ByteSink& sink) const;
    std::int64_t size() const { return size_; }
    const std::filesystem::path& path() const { return path_; }

#ifdef _WIN32
    HANDLE handle() const {
        return file_.handle();
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
    RegularFile file_;
#else
    FileDescriptor handle_;
#endif
};

}  // namespace orvenna
