// Signatures in minisign's format (Ed25519 over the BLAKE2b-512 hash of the file), checked
// with libsodium, on which minisign itself is built. The publisher signs an installer with
// minisign; the program checks it against the public key it trusts.
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>

#include "base/Result.h"

namespace orvenna {

// A public key file or a .minisig file is a few lines; anything longer is not one.
inline constexpr std::int64_t MaxMinisignFileBytes = std::int64_t{64} << 10;

struct MinisignKey {
    std::array<std::uint8_t, 8> keyId{};
    std::array<std::uint8_t, 32> publicKey{};
};

struct MinisignSignature {
    std::array<std::uint8_t, 8> keyId{};
    std::array<std::uint8_t, 64> signature{};  // over the file's BLAKE2b-512 hash
    std::string trustedComment;
    std::array<std::uint8_t, 64> globalSignature{};  // over `signature` + `trustedComment`
};

// A public key file's text: an optional "untrusted comment:" line, then the key in base64.
Result<MinisignKey> parseMinisignKey(std::string_view text);
// The key of a plain file of at most MaxMinisignFileBytes; a folder, a FIFO or a device fails
// at once with a reason.
Result<MinisignKey> readMinisignKey(const std::filesystem::path& file);

// A .minisig file's text: the untrusted comment, the signature, "trusted comment: ...", and
// the global signature. Only prehashed signatures ("ED") are taken: minisign's default.
Result<MinisignSignature> parseMinisignSignature(std::string_view text);

// Succeeds when the signature is `key`'s and its trusted comment is the one it signed.
Status verifyTrustedComment(const MinisignSignature& signature, const MinisignKey& key);

// The file's bytes, fed in order, checked against a signature once all have arrived.
class MinisignVerifier {
public:
    MinisignVerifier();
    ~MinisignVerifier();
    MinisignVerifier(const MinisignVerifier&) = delete;
    MinisignVerifier& operator=(const MinisignVerifier&) = delete;

    void update(const char* data, std::size_t size);
    // Succeeds when `signature` is `key`'s, over exactly the bytes fed, with its trusted
    // comment intact.
    Status verify(const MinisignSignature& signature, const MinisignKey& key);

private:
    struct State;  // libsodium's hash state, kept out of this header
    std::unique_ptr<State> state_;
};

}  // namespace orvenna
