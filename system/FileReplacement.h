// A file's new content, written under another name beside it and put in its place in one step
// once complete: whatever had the name survives every failure before that (a full disk, a
// crash, the power gone) whole, and nobody ever finds half a file under the name.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string_view>

#include "base/Result.h"

#ifdef _WIN32
#include "WinHandle.h"
#else
#include "FileDescriptor.h"
#endif

namespace orvenna {

class FileReplacement {
public:
    struct Options {
        // POSIX: the new file's permission bits, exactly (an old file's, kept; 0600 for one
        // nobody else should read). Without them it gets 0666 less the process's umask.
        // Windows has no such bits.
        std::optional<unsigned> permissions;
    };

    // A new, empty file at `partial` (a name beside `target`) that commit() puts in place of
    // `target`. A plain file an earlier run left at `partial` goes first; a link, a folder or
    // anything else at that name is left alone and refused, and so is a file that appears
    // there meanwhile (the file is created exclusively, never through a link).
    static Result<FileReplacement> create(const std::filesystem::path& target, const std::filesystem::path& partial,
                                          const Options& options = {});

    // The same under a hidden name beside `target` that is unique to this process and call.
    static Result<FileReplacement> beside(const std::filesystem::path& target, const Options& options = {});

    // Removes the partial file unless commit() put it in place.
    ~FileReplacement();
    FileReplacement(FileReplacement&& other) noexcept;
    FileReplacement& operator=(FileReplacement&&) = delete;
    FileReplacement(const FileReplacement&) = delete;
    FileReplacement& operator=(const FileReplacement&) = delete;

    // Appends the bytes; false when the system refuses them (a full disk), with the reason in
    // writeError().
    bool write(const char* data, std::size_t size);
    bool write(std::string_view data) { return write(data.data(), data.size()); }
    std::int64_t written() const { return written_; }
    const Error& writeError() const { return writeError_; }

    // The partial file's name, for a writer that works on the file by name once finish() has
    // closed it (Windows' profile functions).
    const std::filesystem::path& partialPath() const { return partial_; }

    // Puts what was written on the disk and closes the file. Called again once the file is
    // closed, it opens it once more to put on the disk what others wrote to it by name.
    Status finish();

    // finish() (unless it was the last thing done), then the file takes the target's name in
    // one step, replacing whatever had it; the rename itself is made durable where the
    // system allows.
    Status commit();

    // Removes the partial file now; nothing else happens to the target.
    void abandon();

private:
    FileReplacement() = default;
    static Result<FileReplacement> open(const std::filesystem::path& target, const std::filesystem::path& partial,
                                        const Options& options);

    std::filesystem::path target_;
    std::filesystem::path partial_;  // empty once put in place, removed or moved from
    std::int64_t written_ = 0;
    bool finished_ = false;
    Error writeError_;
#ifdef _WIN32
    WinHandle handle_;
#else
    FileDescriptor handle_;
#endif
};

// Puts `content` in place of `target` through a FileReplacement beside it.
Status replaceFileContent(const std::filesystem::path& target, std::string_view content,
                          const FileReplacement::Options& options = {});

}  // namespace orvenna
