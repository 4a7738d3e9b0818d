// The file a download writes before it is complete: the installer's name + ".part", beside it
// in the program directory. Whatever sits at that name may have been put there by someone
// else; the download never writes through it.
#pragma once

#include <cstdint>
#include <filesystem>

#include "base/Result.h"

#ifdef _WIN32
#include "system/WinHandle.h"
#else
#include "system/FileDescriptor.h"
#endif

namespace orvenna {

class PartialDownload {
public:
    // A new, empty partial file for `installer`. A plain file an earlier download left there
    // goes first; a link, a folder or anything else at that name is left alone and refused,
    // and so is a file that appears there meanwhile (the file is created exclusively, never
    // through a link).
    static Result<PartialDownload> create(const std::filesystem::path& installer);

    // Removes the partial file unless complete() renamed it.
    ~PartialDownload();
    PartialDownload(PartialDownload&& other) noexcept;
    PartialDownload& operator=(PartialDownload&&) = delete;
    PartialDownload(const PartialDownload&) = delete;
    PartialDownload& operator=(const PartialDownload&) = delete;

    // Appends the bytes; false when the system refuses them (a full disk), with the reason in
    // writeError().
    bool write(const char* data, std::size_t size);
    std::int64_t written() const { return written_; }
    const Error& writeError() const { return writeError_; }

    // Closes the file and gives it the installer's name, replacing what had that name.
    Status complete();

private:
    PartialDownload() = default;

    std::filesystem::path installer_;
    std::filesystem::path partial_;  // empty once renamed or moved from
    std::int64_t written_ = 0;
    Error writeError_;
#ifdef _WIN32
    WinHandle handle_;
#else
    FileDescriptor handle_;
#endif
};

}  // namespace orvenna
