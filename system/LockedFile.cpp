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

#ifdef _WIN32

Result<LockedFile> LockedFile::open(const std::filesystem::path& file, std::int64_t maxBytes) {
    // Read sharing only: no one may write, rename (which needs delete access) or delete it
    // while it is held. Starting it opens it for reading and execution, which this allows.
    Result<RegularFile> opened =
        RegularFile::open(file, {.maxBytes = maxBytes, .refuseLink = true, .lockAgainstChange = true});
    if (!opened) return opened.error();
    LockedFile locked;
    locked.size_ = opened->size();
    locked.path_ = file;
    locked.file_ = std::move(opened).value();
    return locked;
}

Status LockedFile::read(const ByteSink& sink) const {
    return file_.read(sink);
}

#else

namespace {

#ifndef MFD_NOEXEC_SEAL
#define MFD_NOEXEC_SEAL 0x0008U
#endif

// Where the system refuses executable memory files (vm.memfd_noexec = 2 on some kernels), a
// non-executable one still holds the bytes for the check; starting then takes another way
// (startDetached).
int makeMemoryFile() {
    const int made = ::memfd_create("orvenna-installer", MFD_CLOEXEC | MFD_ALLOW_SEALING);
    if (made >= 0 || (errno != EINVAL && errno != EACCES)) return made;
    return ::memfd_create("orvenna-installer", MFD_CLOEXEC | MFD_ALLOW_SEALING | MFD_NOEXEC_SEAL);
}

}  // namespace

Result<LockedFile> LockedFile::open(const std::filesystem::path& file, std::int64_t maxBytes) {
    // The source is vetted (a plain file, no link, not too long) before a byte lands in memory.
    const Result<RegularFile> source = RegularFile::open(file, {.maxBytes = maxBytes, .refuseLink = true});
    if (!source) return source.error();
    LockedFile locked;
    locked.handle_ = FileDescriptor(makeMemoryFile());
    if (!locked.handle_) return systemError("cannot make a memory file");
    const int copy = locked.handle_.get();
    int writeError = 0;
    const Status copied = source->read([&](const char* data, std::size_t size) {
        if (writeAll(copy, std::string_view(data, size))) return true;
        writeError = errno;
        return false;
    });
    if (writeError != 0) return systemError("cannot copy " + file.string() + " into memory", writeError);
    if (!copied) return copied.error();
    // Sealed, the copy can be neither written nor resized by anyone, this process included.
    struct stat status {};
    if (::fcntl(copy, F_ADD_SEALS, F_SEAL_WRITE | F_SEAL_GROW | F_SEAL_SHRINK | F_SEAL_SEAL) != 0 ||
        ::fstat(copy, &status) != 0)
        return systemError("cannot seal the copy of " + file.string());
    locked.size_ = status.st_size;
    locked.path_ = file;
    return locked;
}

Status LockedFile::read(const ByteSink& sink) const {
    return readDescriptor(handle_.get(), size_, path_, sink);
}

#endif

}  // namespace orvenna
