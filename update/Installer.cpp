#include "Installer.h"

#include <algorithm>
#include <cstdlib>
#include <limits>
#include <sstream>
#include <vector>

#include "Minisign.h"
#include "UpdateIndex.h"
#include "base/Text.h"
#include "codec/Fingerprint.h"
#include "system/Process.h"
#include "system/RegularFile.h"

namespace orvenna {

namespace {

Error fault(InstallerFault code, std::string message) {
    return Error{ErrorSource::Program, code, std::move(message)};
}

// The signature over exactly the bytes `source` hands over.
Result<std::string> verifySignature(const ByteSource& source, std::string_view signatureText,
                                    const Result<MinisignKey>& key) {
    if (!key) return key.error();
    const auto signature = parseMinisignSignature(signatureText);
    if (!signature) return signature.error();
    MinisignVerifier verifier;
    const bool read = source([&](const char* data, std::size_t size) {
        verifier.update(data, size);
        return true;
    });
    if (!read) return Error{ErrorSource::Program, 0, "the file cannot be read"};
    if (const Status verified = verifier.verify(*signature, *key); !verified) return verified.error();
    return signature->trustedComment;
}

}  // namespace

Result<LockedFile> checkInstaller(const std::filesystem::path& file, const PublishedInstaller& published,
                                  const std::atomic<bool>* cancelled) {
    if (published.size <= 0 || published.size > UpdateInstallerMaxBytes)
        return fault(InstallerWrongSize, "no installer has " + std::to_string(published.size) + " bytes");
    // Nothing longer than published is copied into memory: refused before its first byte.
    Result<LockedFile> held = LockedFile::open(file, published.size);
    if (!held)
        return fault(isFileTooLarge(held.error()) ? InstallerWrongSize : InstallerUnreadable, held.error().message);
    const LockedFile& installer = *held;
    if (installer.size() != published.size)
        return fault(InstallerWrongSize, "the file has " + std::to_string(installer.size()) + " bytes, not " +
                                             std::to_string(published.size));
    const ByteSource source = [&installer, cancelled](const ByteSink& sink) {
        return static_cast<bool>(installer.read([&](const char* data, std::size_t size) {
            return !(cancelled != nullptr && *cancelled) && sink(data, size);
        }));
    };
    const auto md5 = md5Hex(source);
    if (!md5) return fault(InstallerUnreadable, "cannot read " + file.string());
    if (!equalsIgnoringAsciiCase(std::wstring_view(fromUtf8(*md5)), std::wstring_view(published.md5)))
        return fault(InstallerWrongFingerprint, "the file's MD5 is " + *md5 + ", not " + toUtf8(published.md5));
    const auto comment = verifySignature(source, published.signature, readMinisignKey(published.keyFile));
    if (!comment) return fault(InstallerWrongSignature, comment.error().message);
    return held;
}

Result<std::string> verifySignedFile(const std::filesystem::path& file, const std::filesystem::path& signatureFile,
                                     const std::filesystem::path& keyFile) {
    // Each name is vetted before anything is read, so that a FIFO or a device fails at once.
    const Result<RegularFile> opened = RegularFile::open(file, {.maxBytes = UpdateInstallerMaxBytes});
    if (!opened) return opened.error();
    const Result<std::string> signature = readRegularFile(signatureFile, MaxMinisignFileBytes);
    if (!signature)
        return Error{signature.error().source, signature.error().code, "no signature: " + signature.error().message};
    const ByteSource source = [&opened](const ByteSink& sink) { return static_cast<bool>(opened->read(sink)); };
    return verifySignature(source, *signature, readMinisignKey(keyFile));
}

Result<std::int64_t> freeDiskBytes(const std::filesystem::path& folder) {
    std::error_code error;
    const std::filesystem::space_info space = std::filesystem::space(folder, error);
    if (error)
        return Error{ErrorSource::System, error.value(),
                     "cannot tell the free space of " + folder.string() + ": " + error.message()};
    constexpr auto Largest = static_cast<std::uintmax_t>(std::numeric_limits<std::int64_t>::max());
    return static_cast<std::int64_t>(std::min(space.available, Largest));
}

std::wstring installerFileName(std::wstring_view md5) {
    std::wstring name(md5);
    for (wchar_t& c : name)
        if (c >= L'a' && c <= L'f') c = static_cast<wchar_t>(c - L'a' + L'A');
    return name + L".exe";
}

// Read on the system's own form of the name, which never needs converting (and so never
// fails on a name in another encoding).
bool isInstallerFileName(const std::filesystem::path& fileName) {
    const auto& name = fileName.native();
    constexpr std::string_view Ending = ".exe";
    if (name.size() != 32 + Ending.size()) return false;
    for (std::size_t i = 0; i < name.size(); ++i) {
        const auto c = name[i];
        const bool fits = i < 32 ? (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') : c == Ending[i - 32];
        if (!fits) return false;
    }
    return true;
}

std::filesystem::path partialDownloadFile(const std::filesystem::path& installer) {
    std::filesystem::path partial = installer;
    partial += ".part";
    return partial;
}

bool isPartialDownloadName(const std::filesystem::path& fileName) {
    const auto& name = fileName.native();
    constexpr std::string_view Ending = ".part";
    if (name.size() <= Ending.size()) return false;
    for (std::size_t i = 0; i < Ending.size(); ++i)
        if (name[name.size() - Ending.size() + i] != Ending[i]) return false;
    return isInstallerFileName(name.substr(0, name.size() - Ending.size()));
}

namespace {

// A user always sees the setup program's pages. A test of the whole update, which no one
// watches, asks for its silent mode ("/S") through ORVENNA_INSTALLER_ARGUMENTS.
std::vector<std::wstring> installerArguments() {
    std::vector<std::wstring> arguments;
    const char* wanted = std::getenv("ORVENNA_INSTALLER_ARGUMENTS");
    std::wistringstream words(fromUtf8(wanted ? wanted : ""));
    for (std::wstring word; words >> word;) arguments.push_back(word);
    return arguments;
}

}  // namespace

Status startInstaller(const LockedFile& installer) {
    return startDetached(installer, installerArguments());
}

}  // namespace orvenna
