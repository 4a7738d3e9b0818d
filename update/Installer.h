// The downloaded installer: its checks, and handing over to it.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

#include "base/Result.h"
#include "framework/LockedFile.h"

namespace orvenna {

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
// "md5" (case aside), and its signature verifies against the trusted key, all read through the
// handle that will start it. Otherwise an Error whose code is an InstallerFault.
Result<LockedFile> checkInstaller(const std::filesystem::path& file, const PublishedInstaller& published);

// Checks `file` against `signatureText` with the key of `keyFile`: the trusted comment on
// success; else why not (another key, a changed file, a malformed signature).
Result<std::string> verifySignedFile(const std::filesystem::path& file, std::string_view signatureText,
                                     const std::filesystem::path& keyFile);

// Where a download writes before it is complete: the installer's name + ".part".
std::filesystem::path partialDownloadFile(const std::filesystem::path& installer);

// True for the name of a partial download (an installer's name + ".part").
bool isPartialDownloadName(const std::filesystem::path& fileName);

// Starts the held installer and returns without waiting for it (at most 500 ms for it to
// settle). It gets no arguments unless ORVENNA_INSTALLER_ARGUMENTS names some (separated by
// blanks). A failure carries the system's reason.
Status startInstaller(const LockedFile& installer);

}  // namespace orvenna
