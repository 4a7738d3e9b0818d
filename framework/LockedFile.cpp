#include "LockedFile.h"

#include <array>

#include "SystemError.h"

#ifndef _WIN32
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>

#include <cerrno>
#endif

namespace orvenna {

namespace {

constexpr std::size_t ChunkBytes = std::size_t{1} << 16;

#ifndef _WIN32

// Copies all of `from` into `to`; false with errno set when reading or writing fails.
bool copyAll(int from, int to) {
    std::array<char, ChunkBytes> buffer;
    while (true) {
        const ssize_t got = ::read(from, buffer.data(), buffer.size());
        if (got == 0) return true;
        if (got < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        for (ssize_t done = 0; done < got;) {
            const ssize_t put = ::write(to, buffer.data() + done, static_cast<std::size_t>(got - done));
            if (put < 0 && errno != EINTR) return false;
            if (put > 0) done += put;
        }
    }
}

#endif

}  // namespace

#ifdef _WIN32

Result<LockedFile> LockedFile::open(const std::filesystem::path& file) {
    // Read sharing only: no one may write, rename (which needs delete access) or delete it
    // while it is held. Starting it opens it for reading and execution, which this allows.
    LockedFile locked;
    locked.handle_ = WinHandle(CreateFileW(file.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                           FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!locked.handle_) return systemError("cannot open " + file.string());
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(locked.handle_.get(), &size)) return systemError("cannot read the size of " + file.string());
    locked.size_ = size.QuadPart;
    locked.path_ = file;
    return locked;
}

Status LockedFile::read(const ByteSink& sink) const {
    LARGE_INTEGER start{};
    if (!SetFilePointerEx(handle_.get(), start, nullptr, FILE_BEGIN))
        return systemError("cannot read " + path_.string());
    std::array<char, ChunkBytes> buffer;
    while (true) {
        DWORD got = 0;
        if (!ReadFile(handle_.get(), buffer.data(), static_cast<DWORD>(buffer.size()), &got, nullptr))
            return systemError("cannot read " + path_.string());
        if (got == 0) return success();
        if (!sink(buffer.data(), got)) return Error{0, "reading " + path_.string() + " was stopped"};
    }
}

#else

Result<LockedFile> LockedFile::open(const std::filesystem::path& file) {
    const FileDescriptor source(::open(file.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW));
    struct stat status {};
    if (!source || ::fstat(source.get(), &status) != 0) return systemError("cannot open " + file.string());
    if (!S_ISREG(status.st_mode)) return Error{EINVAL, file.string() + " is not a plain file"};
    LockedFile locked;
    locked.handle_ = FileDescriptor(::memfd_create("orvenna-installer", MFD_CLOEXEC | MFD_ALLOW_SEALING));
    if (!locked.handle_) return systemError("cannot make a memory file");
    if (!copyAll(source.get(), locked.handle_.get())) return systemError("cannot read " + file.string());
    // Sealed, the copy can be neither written nor resized by anyone, this process included.
    if (::fcntl(locked.handle_.get(), F_ADD_SEALS, F_SEAL_WRITE | F_SEAL_GROW | F_SEAL_SHRINK | F_SEAL_SEAL) != 0 ||
        ::fstat(locked.handle_.get(), &status) != 0)
        return systemError("cannot seal the copy of " + file.string());
    locked.size_ = status.st_size;
    locked.path_ = file;
    return locked;
}

Status LockedFile::read(const ByteSink& sink) const {
    std::array<char, ChunkBytes> buffer;
    for (off_t offset = 0;;) {
        const ssize_t got = ::pread(handle_.get(), buffer.data(), buffer.size(), offset);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) return systemError("cannot read " + path_.string());
        if (got == 0) return success();
        if (!sink(buffer.data(), static_cast<std::size_t>(got)))
            return Error{0, "reading " + path_.string() + " was stopped"};
        offset += got;
    }
}

#endif

}  // namespace orvenna
