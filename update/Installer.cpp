#include "Installer.h"

#include <array>
#include <fstream>
#include <memory>

#include <openssl/evp.h>

#ifdef _WIN32
#include <windows.h>
#else
#include <spawn.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#include "base/Text.h"

namespace orvenna {

namespace {

struct DigestContextFree {
    void operator()(EVP_MD_CTX* context) const { EVP_MD_CTX_free(context); }
};
using DigestContext = std::unique_ptr<EVP_MD_CTX, DigestContextFree>;

}  // namespace

std::optional<std::string> md5Hex(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in) return std::nullopt;
    const DigestContext context(EVP_MD_CTX_new());
    if (!context || EVP_DigestInit_ex(context.get(), EVP_md5(), nullptr) != 1) return std::nullopt;
    std::array<char, 1 << 16> buffer;
    while (in) {
        in.read(buffer.data(), buffer.size());
        if (in.gcount() > 0 &&
            EVP_DigestUpdate(context.get(), buffer.data(), static_cast<std::size_t>(in.gcount())) != 1)
            return std::nullopt;
    }
    if (in.bad()) return std::nullopt;
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int length = 0;
    if (EVP_DigestFinal_ex(context.get(), digest, &length) != 1) return std::nullopt;
    static constexpr char Digits[] = "0123456789ABCDEF";
    std::string hex;
    for (unsigned int i = 0; i < length; ++i) {
        hex += Digits[digest[i] >> 4];
        hex += Digits[digest[i] & 15];
    }
    return hex;
}

Status verifyInstaller(std::wstring_view expected, const std::filesystem::path& file) {
    const auto actual = md5Hex(file);
    if (!actual) return Error{0, "cannot read " + file.string()};
    if (fromUtf8(*actual) != expected) return Error{0, "the file's MD5 is " + *actual + ", not " + toUtf8(expected)};
    return success();
}

#ifdef _WIN32

bool startInstaller(const std::filesystem::path& file) {
    std::wstring commandLine = file.wstring();
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        return false;
    WaitForInputIdle(process.hProcess, 500);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return true;
}

#else

bool startInstaller(const std::filesystem::path& file) {
    std::error_code error;
    std::filesystem::permissions(
        file,
        std::filesystem::perms::owner_exec | std::filesystem::perms::group_exec | std::filesystem::perms::others_exec,
        std::filesystem::perm_options::add, error);
    if (error) return false;
    std::string path = file.string();
    char* argv[] = {path.data(), nullptr};
    pid_t pid = 0;
    // The installer outlives this program; it is not waited for.
    if (posix_spawn(&pid, path.c_str(), nullptr, nullptr, argv, environ) != 0) return false;
    return true;
}

#endif

}  // namespace orvenna
