#include "Minisign.h"

#include <sodium.h>

#include <algorithm>
#include <vector>

#include "system/RegularFile.h"

namespace orvenna {

namespace {

// A key or signature line decodes to the algorithm (2 bytes), the key id (8) and the key or
// signature itself.
constexpr std::size_t AlgorithmBytes = 2;
constexpr std::string_view KeyAlgorithm = "Ed";
constexpr std::string_view PrehashedAlgorithm = "ED";
constexpr std::string_view UntrustedPrefix = "untrusted comment:";
constexpr std::string_view TrustedPrefix = "trusted comment: ";
constexpr std::size_t MaxLineBytes = 8192;

struct Lines {
    std::string_view rest;
    // The next line without its line break ("\n" or "\r\n"); empty at the end.
    std::string_view next() {
        const std::size_t end = rest.find('\n');
        std::string_view line = rest.substr(0, end);
        rest.remove_prefix(end == std::string_view::npos ? rest.size() : end + 1);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        return line;
    }
};

bool decodeBase64(std::string_view text, std::vector<unsigned char>& bytes) {
    if (text.size() > MaxLineBytes) return false;
    bytes.resize(text.size());
    std::size_t length = 0;
    if (sodium_base642bin(bytes.data(), bytes.size(), text.data(), text.size(), nullptr, &length, nullptr,
                          sodium_base64_VARIANT_ORIGINAL) != 0)
        return false;
    bytes.resize(length);
    return true;
}

template <std::size_t N>
void copyBytes(const std::vector<unsigned char>& from, std::size_t offset, std::array<std::uint8_t, N>& to) {
    std::copy_n(from.begin() + static_cast<std::ptrdiff_t>(offset), N, to.begin());
}

bool ready() {
    static const bool initialised = sodium_init() >= 0;
    return initialised;
}

}  // namespace

Result<MinisignKey> parseMinisignKey(std::string_view text) {
    Lines lines{text};
    std::string_view line = lines.next();
    if (line.starts_with(UntrustedPrefix)) line = lines.next();
    std::vector<unsigned char> bytes;
    MinisignKey key;
    if (!decodeBase64(line, bytes) || bytes.size() != AlgorithmBytes + key.keyId.size() + key.publicKey.size())
        return Error{ErrorSource::Program, 0, "not a minisign public key"};
    if (std::string_view(reinterpret_cast<const char*>(bytes.data()), AlgorithmBytes) != KeyAlgorithm)
        return Error{ErrorSource::Program, 0, "not an Ed25519 public key"};
    copyBytes(bytes, AlgorithmBytes, key.keyId);
    copyBytes(bytes, AlgorithmBytes + key.keyId.size(), key.publicKey);
    return key;
}

Result<MinisignKey> readMinisignKey(const std::filesystem::path& file) {
    const Result<std::string> text = readRegularFile(file, MaxMinisignFileBytes);
    if (!text) return Error{text.error().source, text.error().code, "no public key: " + text.error().message};
    if (text->size() > MaxLineBytes) return Error{ErrorSource::Program, 0, "not a minisign public key"};
    return parseMinisignKey(*text);
}

Result<MinisignSignature> parseMinisignSignature(std::string_view text) {
    Lines lines{text};
    if (!lines.next().starts_with(UntrustedPrefix))
        return Error{ErrorSource::Program, 0, "malformed signature: no untrusted comment"};
    MinisignSignature parsed;
    std::vector<unsigned char> bytes;
    if (!decodeBase64(lines.next(), bytes) ||
        bytes.size() != AlgorithmBytes + parsed.keyId.size() + parsed.signature.size())
        return Error{ErrorSource::Program, 0, "malformed signature"};
    if (std::string_view(reinterpret_cast<const char*>(bytes.data()), AlgorithmBytes) != PrehashedAlgorithm)
        return Error{ErrorSource::Program, 0, "malformed signature: not a prehashed Ed25519 signature"};
    copyBytes(bytes, AlgorithmBytes, parsed.keyId);
    copyBytes(bytes, AlgorithmBytes + parsed.keyId.size(), parsed.signature);
    const std::string_view comment = lines.next();
    if (!comment.starts_with(TrustedPrefix) || comment.size() > MaxLineBytes)
        return Error{ErrorSource::Program, 0, "malformed signature: no trusted comment"};
    parsed.trustedComment = comment.substr(TrustedPrefix.size());
    if (!decodeBase64(lines.next(), bytes) || bytes.size() != parsed.globalSignature.size())
        return Error{ErrorSource::Program, 0, "malformed signature: no global signature"};
    copyBytes(bytes, 0, parsed.globalSignature);
    return parsed;
}

Status verifyTrustedComment(const MinisignSignature& signature, const MinisignKey& key) {
    if (!ready()) return Error{ErrorSource::Program, 0, "the signature library could not be initialised"};
    if (signature.keyId != key.keyId) return Error{ErrorSource::Program, 0, "signed with another key"};
    std::vector<unsigned char> signedText(signature.signature.begin(), signature.signature.end());
    signedText.insert(signedText.end(), signature.trustedComment.begin(), signature.trustedComment.end());
    if (crypto_sign_verify_detached(signature.globalSignature.data(), signedText.data(), signedText.size(),
                                    key.publicKey.data()) != 0)
        return Error{ErrorSource::Program, 0, "the trusted comment was changed"};
    return success();
}

struct MinisignVerifier::State {
    crypto_generichash_state hash;
};

MinisignVerifier::MinisignVerifier() : state_(std::make_unique<State>()) {
    if (ready()) crypto_generichash_init(&state_->hash, nullptr, 0, crypto_generichash_BYTES_MAX);
}

MinisignVerifier::~MinisignVerifier() = default;

void MinisignVerifier::update(const char* data, std::size_t size) {
    crypto_generichash_update(&state_->hash, reinterpret_cast<const unsigned char*>(data), size);
}

Status MinisignVerifier::verify(const MinisignSignature& signature, const MinisignKey& key) {
    if (Status comment = verifyTrustedComment(signature, key); !comment) return comment;
    unsigned char digest[crypto_generichash_BYTES_MAX];
    crypto_generichash_final(&state_->hash, digest, sizeof digest);
    if (crypto_sign_verify_detached(signature.signature.data(), digest, sizeof digest, key.publicKey.data()) != 0)
        return Error{ErrorSource::Program, 0, "the signature does not match the file"};
    return success();
}

}  // namespace orvenna
