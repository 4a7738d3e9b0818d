// The downloaded installer: its checks, and handing over to it.
#pragma once

#include <atomic>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

#include "UpdateIndex.h"
#include "base/Result.h"
#include "system/LockedFile.h"

namespace orvenna {

// Room left over on the disk after a download, so that the installer and the system still
// have some to work in.
inline constexpr std::int64_t DownloadSpareBytes = std::int64_t{16} << 20;

// What the index published about the installer.
struct PublishedInstaller {
    std::wstring md5;               // either case
    std::int64_t size = 0;          // bytes
    std::string signature;          // the .minisig file's text
    std::filesystem::path keyFile;  // the trusted public key
};

// Why an installer was refused: the code of checkInstaller's Error.
enum InstallerFault : int {
    InstallerUnreadable = 1,
    InstallerWrongSize,
    InstallerWrongFingerprint,
    InstallerWrongSignature,
};

// The installer held (LockedFile) once it is the published one: its length is "size", its MD5
// "md5" (case aside), and its signature verifies against the trusted key, all read in pieces
// through the handle that will start it. A file of another length is refused before it is
// read, and anything but a plain file at once. Otherwise an Error whose code is an
// InstallerFault. Takes as long as reading the file: run it beside the window's thread;
// `cancelled` stops it early.
Result<LockedFile> checkInstaller(const std::filesystem::path& file, const PublishedInstaller& published,
                                  const std::atomic<bool>* cancelled = nullptr);

// Checks `file` (at most UpdateInstallerMaxBytes) against the signature in `signatureFile` with the
// key of `keyFile`, reading each in pieces: the trusted comment on success; else why not
// (another key, a changed file, a malformed signature, or a name that is no plain file).
Result<std::string> verifySignedFile(const std::filesystem::path& file, const std::filesystem::path& signatureFile,
                                     const std::filesystem::path& keyFile);

// The bytes free on the disk that holds `folder`; the system's reason when it cannot tell.
Result<std::int64_t> freeDiskBytes(const std::filesystem::path& folder);

// The installer's file name for a fingerprint of either case: upper case + ".exe".
std::wstring installerFileName(std::wstring_view md5);

// True for the name the program gives a downloaded installer, and the only name
// "update_file" may hold: 32 upper-case hexadecimal digits + ".exe", no folder.
bool isInstallerFileName(const std::filesystem::path& fileName);

// Where a download writes before it is complete: the installer's name + ".part".
std::filesystem::path partialDownloadFile(const std::filesystem::path& installer);

// True for the name of a partial download (an installer's name + ".part").
bool isPartialDownloadName(const std::filesystem::path& fileName);

// Starts the held installer and returns without waiting for it (at most 500 ms for it to
// settle). It gets no arguments unless ORVENNA_INSTALLER_ARGUMENTS names some (separated by
// blanks). A failure carries the system's reason.
Status startInstaller(const LockedFile& installer);

}  // namespace orvenna
