// A file held so that what is checked is what is run: read and started (startDetached in
// Process.h) through one handle, while nobody can change it underneath.
#pragma once

#include <cstdint>
#include <filesystem>

#include "ByteSink.h"
#include "base/Result.h"

#ifdef _WIN32
#include "WinHandle.h"
#else
#include "FileDescriptor.h"
#endif

namespace orvenna {

class LockedFile {
public:
    // Windows: the file opened with read sharing only, so that it cannot be written, renamed
    // or deleted while held. Linux, where an open descriptor keeps no one from writing: the
    // file's bytes copied into a sealed memory file, which no one can write (the file on disk
    // may then change or go; what is read and run is the copy).
    static Result<LockedFile> open(const std::filesystem::path& file);

    // Feeds the bytes from the first on; fails when reading fails or `sink` stops.
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

}  // namespace orvenna
