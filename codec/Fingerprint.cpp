#include "Fingerprint.h"

#include <array>
#include <fstream>
#include <memory>

#ifdef _WIN32
#include <windows.h>
// Needs the types of windows.h.
#include <bcrypt.h>
#else
#include <openssl/evp.h>
#endif

namespace orvenna {

namespace {

constexpr std::size_t ChunkBytes = std::size_t{1} << 16;

std::string hexDigits(const unsigned char* bytes, std::size_t count) {
    static constexpr char Digits[] = "0123456789ABCDEF";
    std::string hex;
    for (std::size_t i = 0; i < count; ++i) {
        hex += Digits[bytes[i] >> 4];
        hex += Digits[bytes[i] & 15];
    }
    return hex;
}

// Feeds the file to `sink` piece by piece; false when reading failed or `sink` refused.
bool readInChunks(const std::filesystem::path& file, const ByteSink& sink) {
    std::ifstream in(file, std::ios::binary);
    if (!in) return false;
    std::array<char, ChunkBytes> buffer;
    while (in) {
        in.read(buffer.data(), buffer.size());
        if (in.gcount() > 0 && !sink(buffer.data(), static_cast<std::size_t>(in.gcount()))) return false;
    }
    return !in.bad();
}

#ifdef _WIN32

struct AlgorithmClose {
    void operator()(void* handle) const { BCryptCloseAlgorithmProvider(handle, 0); }
};
struct HashDestroy {
    void operator()(void* handle) const { BCryptDestroyHash(handle); }
};

#else

struct DigestContextFree {
    void operator()(EVP_MD_CTX* context) const { EVP_MD_CTX_free(context); }
};

#endif

}  // namespace

#ifdef _WIN32

std::optional<std::string> md5Hex(const ByteSource& source) {
    BCRYPT_ALG_HANDLE rawAlgorithm = nullptr;
    if (!BCRYPT_SUCCESS(BCryptOpenAlgorithmProvider(&rawAlgorithm, BCRYPT_MD5_ALGORITHM, nullptr, 0)))
        return std::nullopt;
    const std::unique_ptr<void, AlgorithmClose> algorithm(rawAlgorithm);
    BCRYPT_HASH_HANDLE rawHash = nullptr;
    if (!BCRYPT_SUCCESS(BCryptCreateHash(algorithm.get(), &rawHash, nullptr, 0, nullptr, 0, 0))) return std::nullopt;
    const std::unique_ptr<void, HashDestroy> hash(rawHash);
    const bool read = source([&](const char* data, std::size_t size) {
        return BCRYPT_SUCCESS(
            BCryptHashData(hash.get(), reinterpret_cast<PUCHAR>(const_cast<char*>(data)), static_cast<ULONG>(size), 0));
    });
    unsigned char digest[16];
    if (!read || !BCRYPT_SUCCESS(BCryptFinishHash(hash.get(), digest, sizeof digest, 0))) return std::nullopt;
    return hexDigits(digest, sizeof digest);
}

#else

std::optional<std::string> md5Hex(const ByteSource& source) {
    const std::unique_ptr<EVP_MD_CTX, DigestContextFree> context(EVP_MD_CTX_new());
    if (!context || EVP_DigestInit_ex(context.get(), EVP_md5(), nullptr) != 1) return std::nullopt;
    const bool read =
        source([&](const char* data, std::size_t size) { return EVP_DigestUpdate(context.get(), data, size) == 1; });
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int length = 0;
    if (!read || EVP_DigestFinal_ex(context.get(), digest, &length) != 1) return std::nullopt;
    return hexDigits(digest, length);
}

#endif

std::optional<std::string> md5Hex(const std::filesystem::path& file) {
    return md5Hex([&file](const ByteSink& sink) { return readInChunks(file, sink); });
}

}  // namespace orvenna
