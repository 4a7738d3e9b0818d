// A minisign key pair made for one test, with libsodium as minisign makes one: the public key
// file the program trusts and signatures in minisign's format (prehashed Ed25519).
#pragma once

#include <sodium.h>

#include <array>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>
#include <string_view>

namespace orvenna {

class TestSigner {
public:
    TestSigner() {
        if (sodium_init() < 0) throw std::runtime_error("libsodium cannot start");
        crypto_sign_keypair(publicKey_.data(), secretKey_.data());
        randombytes_buf(keyId_.data(), keyId_.size());
    }

    void writePublicKey(const std::filesystem::path& file) const {
        std::ofstream(file, std::ios::binary) << "untrusted comment: test key\n"
                                              << base64("Ed" + bytes(keyId_) + bytes(publicKey_)) << '\n';
    }

    // The .minisig text of `content` with `trustedComment`.
    std::string sign(std::string_view content, std::string_view trustedComment) const {
        std::array<unsigned char, crypto_generichash_BYTES_MAX> digest{};
        crypto_generichash(digest.data(), digest.size(), reinterpret_cast<const unsigned char*>(content.data()),
                           content.size(), nullptr, 0);
        return signDigest(digest, trustedComment);
    }

    // The same for a file, read in pieces: a large one need not fit in memory.
    std::string signFile(const std::filesystem::path& file, std::string_view trustedComment) const {
        crypto_generichash_state state;
        crypto_generichash_init(&state, nullptr, 0, crypto_generichash_BYTES_MAX);
        std::ifstream in(file, std::ios::binary);
        std::array<char, 1 << 16> piece{};
        while (in.read(piece.data(), piece.size()) || in.gcount() > 0)
            crypto_generichash_update(&state, reinterpret_cast<const unsigned char*>(piece.data()),
                                      static_cast<std::size_t>(in.gcount()));
        std::array<unsigned char, crypto_generichash_BYTES_MAX> digest{};
        crypto_generichash_final(&state, digest.data(), digest.size());
        return signDigest(digest, trustedComment);
    }

private:
    std::string signDigest(const std::array<unsigned char, crypto_generichash_BYTES_MAX>& digest,
                           std::string_view trustedComment) const {
        std::array<unsigned char, crypto_sign_BYTES> signature{};
        crypto_sign_detached(signature.data(), nullptr, digest.data(), digest.size(), secretKey_.data());
        std::string global(signature.begin(), signature.end());
        global += trustedComment;
        std::array<unsigned char, crypto_sign_BYTES> globalSignature{};
        crypto_sign_detached(globalSignature.data(), nullptr, reinterpret_cast<const unsigned char*>(global.data()),
                             global.size(), secretKey_.data());
        return "untrusted comment: signature from test key\n" + base64("ED" + bytes(keyId_) + bytes(signature)) +
               "\ntrusted comment: " + std::string(trustedComment) + '\n' + base64(bytes(globalSignature)) + '\n';
    }

    template <std::size_t N>
    static std::string bytes(const std::array<unsigned char, N>& array) {
        return std::string(array.begin(), array.end());
    }

    static std::string base64(const std::string& raw) {
        std::string text(sodium_base64_ENCODED_LEN(raw.size(), sodium_base64_VARIANT_ORIGINAL), '\0');
        sodium_bin2base64(text.data(), text.size(), reinterpret_cast<const unsigned char*>(raw.data()), raw.size(),
                          sodium_base64_VARIANT_ORIGINAL);
        text.resize(text.find('\0'));
        return text;
    }

    std::array<unsigned char, crypto_sign_PUBLICKEYBYTES> publicKey_{};
    std::array<unsigned char, crypto_sign_SECRETKEYBYTES> secretKey_{};
    std::array<unsigned char, 8> keyId_{};
};

}  // namespace orvenna
