#include "UpdateIndex.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cwctype>
#include <exception>
#include <memory>

#include <json/json.h>

#include "base/Text.h"
#include "net/HttpClient.h"
#include "net/SecureAddress.h"

namespace orvenna {

std::string updateIndexUrl(std::string_view base) {
    std::string url(base);
    while (!url.empty() && url.back() == '/') url.pop_back();
    std::string path = "/update/{0}/index.json";
    path.replace(path.find("{0}"), 3, UpdateProductKey);
    return url + path;
}

namespace {

// One small file of the update server, whole, with a 200 answer, or why not.
Result<std::string> fetchSmall(const std::string& url, std::size_t maxBytes, const std::function<bool()>& cancelled) {
    HttpOptions options;
    options.connectTimeoutMs = UpdateIndexConnectTimeoutMs;
    options.totalTimeoutMs = UpdateIndexTotalTimeoutMs;
    options.maxBodyBytes = maxBytes;
    options.httpsRedirectsOnly = true;
    options.onProgress = [&cancelled](std::int64_t, std::int64_t) { return !cancelled(); };
    HttpResponse response = HttpClient().get(url, options);
    // A file cut short is no file, even where what arrived happens to read.
    if (!response.completed())
        return Error{response.error.source, response.error.code, url + ": " + response.error.message};
    if (response.code != 200)
        return Error{ErrorSource::HttpStatus, static_cast<int>(response.code),
                     url + ": the server answered " + std::to_string(response.code)};
    return std::move(response.body);
}

}  // namespace

Result<SignedIndexText> fetchUpdateIndex(std::string_view base, const std::function<bool()>& cancelled) {
    const std::string url = updateIndexUrl(base);
    Result<std::string> json = fetchSmall(url, UpdateIndexMaxBytes, cancelled);
    if (!json) return json.error();
    // An index without a signature is still fetched: the decision says why it offers nothing.
    Result<std::string> signature = fetchSmall(url + ".minisig", UpdateSignatureMaxBytes, cancelled);
    if (!signature && cancelled()) return signature.error();
    return SignedIndexText{std::move(*json), signature ? std::move(*signature) : std::string()};
}

std::optional<UpdateIndex> parseUpdateIndex(std::string_view json) {
    Json::CharReaderBuilder builder;
    builder["collectComments"] = false;
    builder["failIfExtra"] = true;
    const std::unique_ptr<Json::CharReader> reader(builder.newCharReader());
    Json::Value root;
    std::string errors;
    // The reader throws on nesting deeper than its stack limit; such a text is no index.
    try {
        if (!reader->parse(json.data(), json.data() + json.size(), &root, &errors) || !root.isObject())
            return std::nullopt;
    } catch (const std::exception&) {
        return std::nullopt;
    }
    for (const char* key : {"name", "ver", "verns", "day", "url", "md5", "body"})
        if (!root.isMember(key)) return std::nullopt;

    // A member of another type than expected reads as empty (or 0), as a missing one would.
    auto text = [&](const char* key) { return root[key].isString() ? fromUtf8(root[key].asString()) : std::wstring(); };
    auto integer = [&](const char* key) -> std::int64_t {
        const Json::Value& value = root[key];
        return value.isInt64() ? value.asInt64() : value.isUInt64() ? INT64_MAX : 0;
    };
    UpdateIndex index;
    index.ver = integer("ver");
    index.verns = text("verns");
    index.day = text("day");
    index.url = root["url"].isString() ? root["url"].asString() : std::string();
    index.md5 = text("md5");
    index.body = text("body");
    index.size = root.isMember("size") ? integer("size") : 0;
    index.sig = root["sig"].isString() ? root["sig"].asString() : std::string();
    return index;
}

namespace {

int hexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

bool isFingerprint(std::wstring_view md5) {
    if (md5.size() != 32) return false;
    for (wchar_t c : md5)
        if (c > 127 || hexValue(static_cast<char>(c)) < 0) return false;
    return true;
}

}  // namespace

std::optional<std::wstring> decodeUpdateAddress(std::string_view hex) {
    if (hex.empty() || hex.size() % 4 != 0) return std::nullopt;  // whole UTF-16 units only
    std::u16string units;
    for (std::size_t i = 0; i < hex.size(); i += 4) {
        int digits[4];
        for (int k = 0; k < 4; ++k)
            if ((digits[k] = hexValue(hex[i + static_cast<std::size_t>(k)])) < 0) return std::nullopt;
        // Little-endian: the first byte is the low one.
        units.push_back(static_cast<char16_t>((digits[0] << 4 | digits[1]) | (digits[2] << 4 | digits[3]) << 8));
    }
    std::wstring address;
    for (std::size_t i = 0; i < units.size(); ++i) {
        const char32_t unit = units[i];
        if (unit >= 0xD800 && unit <= 0xDBFF) {
            if (i + 1 == units.size() || units[i + 1] < 0xDC00 || units[i + 1] > 0xDFFF) return std::nullopt;
            if constexpr (sizeof(wchar_t) == 2) {  // Windows: wide strings are UTF-16 too
                address += static_cast<wchar_t>(unit);
                address += static_cast<wchar_t>(units[++i]);
            } else {
                address += static_cast<wchar_t>(0x10000 + ((unit - 0xD800) << 10) + (units[++i] - 0xDC00));
            }
        } else if (unit >= 0xDC00 && unit <= 0xDFFF) {
            return std::nullopt;
        } else if (unit < 0x20 || unit == 0x7F) {
            return std::nullopt;  // no control characters in an address
        } else {
            address += static_cast<wchar_t>(unit);
        }
    }
    auto startsWith = [&](std::wstring_view prefix) {
        return address.size() > prefix.size() &&
               equalsIgnoringAsciiCase(std::wstring_view(address).substr(0, prefix.size()), prefix);
    };
    if (!startsWith(L"http://") && !startsWith(L"https://")) return std::nullopt;
    return address;
}

bool namesVersion(std::string_view trustedComment, std::int64_t ver) {
    return namesField(trustedComment, "ver", std::to_string(ver));
}

bool namesField(std::string_view trustedComment, std::string_view name, std::string_view value) {
    const std::string key = std::string(name) + "=";
    int named = 0;
    bool same = false;
    for (std::size_t at = 0; at < trustedComment.size();) {
        const std::size_t end = std::min(trustedComment.find_first_of(" \t", at), trustedComment.size());
        const std::string_view word = trustedComment.substr(at, end - at);
        if (word.starts_with(key)) {
            ++named;
            same = word.substr(key.size()) == value;
        }
        at = end + 1;
    }
    return named == 1 && same;
}

namespace {

bool isCombiningMark(wchar_t c) {
    return (c >= 0x0300 && c <= 0x036F) || (c >= 0x1AB0 && c <= 0x1AFF) || (c >= 0x1DC0 && c <= 0x1DFF) ||
           (c >= 0x20D0 && c <= 0x20FF) || (c >= 0xFE20 && c <= 0xFE2F);
}

std::size_t lineCount(std::wstring_view text) {
    return static_cast<std::size_t>(std::count(text.begin(), text.end(), L'\n')) + 1;
}

}  // namespace

std::wstring shownIndexText(std::wstring_view text, bool lines) {
    std::wstring shown;
    shown.reserve(text.size());
    int marks = 0;
    for (const wchar_t c : text) {
        if (c == L'\r') continue;
        if (c == L'\n' && lines) {
            shown += c;
            marks = 0;
            continue;
        }
        if (c < 0x20 || (c >= 0x7F && c < 0xA0) || isDirectionControl(c)) continue;
        if (isCombiningMark(c)) {
            if (++marks > 2) continue;
        } else {
            marks = 0;
        }
        shown += c;
    }
    return shown;
}

IndexDecision decideSignedIndex(const SignedIndexText& text, const Result<MinisignKey>& key,
                                std::string_view platform) {
    auto refuse = [](OfferVerdict verdict, std::string reason) {
        return IndexDecision{OfferDecision{verdict, std::move(reason), {}, {}}, std::nullopt};
    };
    if (text.json.size() > UpdateIndexMaxBytes)
        return refuse(OfferVerdict::FieldOutOfBounds,
                      "the index is larger than " + std::to_string(UpdateIndexMaxBytes / 1024) + " KiB");
    if (!key) return refuse(OfferVerdict::NoKey, key.error().message);
    if (text.signature.empty())
        return refuse(OfferVerdict::IndexUnsigned, "the index is not signed (no index.json.minisig)");
    const auto signature = parseMinisignSignature(text.signature);
    if (!signature) return refuse(OfferVerdict::IndexUnsigned, "index.json.minisig: " + signature.error().message);
    MinisignVerifier verifier;
    verifier.update(text.json.data(), text.json.size());
    if (const Status verified = verifier.verify(*signature, *key); !verified)
        return refuse(OfferVerdict::IndexBadSignature, "index.json.minisig: " + verified.error().message);

    // Signed by the publisher: only now is anything of it read.
    std::optional<UpdateIndex> index = parseUpdateIndex(text.json);
    if (!index) return refuse(OfferVerdict::IndexUnreadable, "the signed index is not an update index");
    const std::string& comment = signature->trustedComment;
    if (!namesField(comment, "product", UpdateProductName) || !namesField(comment, "platform", platform) ||
        !namesField(comment, "ver", std::to_string(index->ver)))
        return refuse(OfferVerdict::IndexOtherRelease,
                      "the index's signed comment \"" + comment +
                          "\" does not name product=" + std::string(UpdateProductName) +
                          " platform=" + std::string(platform) + " ver=" + std::to_string(index->ver));
    const auto tooLong = [&refuse](std::string_view field, std::size_t limit) {
        return refuse(OfferVerdict::FieldOutOfBounds, std::string(field) + " is longer than " + std::to_string(limit));
    };
    if (index->verns.size() > UpdateShortFieldMaxChars) return tooLong("verns", UpdateShortFieldMaxChars);
    if (index->day.size() > UpdateShortFieldMaxChars) return tooLong("day", UpdateShortFieldMaxChars);
    if (index->body.size() > UpdateBodyMaxChars) return tooLong("body", UpdateBodyMaxChars);
    if (lineCount(index->body) > static_cast<std::size_t>(UpdateBodyMaxLines))
        return refuse(OfferVerdict::FieldOutOfBounds,
                      "body has more than " + std::to_string(UpdateBodyMaxLines) + " lines");
    if (index->size > UpdateInstallerMaxBytes)
        return refuse(OfferVerdict::FieldOutOfBounds,
                      "size is larger than " + std::to_string(UpdateInstallerMaxBytes >> 20) + " MiB");
    index->verns = shownIndexText(index->verns, false);
    index->day = shownIndexText(index->day, false);
    index->body = shownIndexText(index->body, true);
    IndexDecision decided{decideOffer(*index, key), std::move(index)};
    return decided;
}

OfferDecision decideOffer(const UpdateIndex& index, const Result<MinisignKey>& key) {
    auto refuse = [](OfferVerdict verdict, std::string reason) {
        return OfferDecision{verdict, std::move(reason), {}, {}};
    };
    if (index.ver <= ProgramBuild)
        return refuse(OfferVerdict::NotNewer, "ver " + std::to_string(index.ver) + " is not newer than this build");
    if (!isFingerprint(index.md5)) return refuse(OfferVerdict::BadFingerprint, "md5 is not 32 hexadecimal digits");
    const auto address = decodeUpdateAddress(index.url);
    if (!address) return refuse(OfferVerdict::BadAddress, "url is not an http(s) address");
    if (!isSecureAddress(toUtf8(*address)))
        return refuse(OfferVerdict::InsecureAddress, "the installer's address is not https: " + toUtf8(*address));
    if (index.size <= 0) return refuse(OfferVerdict::NoSize, "size is missing or not positive");
    if (!key) return refuse(OfferVerdict::NoKey, key.error().message);
    const auto signature = parseMinisignSignature(index.sig);
    if (!signature) return refuse(OfferVerdict::Unsigned, "sig: " + signature.error().message);
    if (const Status verified = verifyTrustedComment(*signature, *key); !verified)
        return refuse(OfferVerdict::BadSignature, "sig: " + verified.error().message);
    if (!namesVersion(signature->trustedComment, index.ver))
        return refuse(OfferVerdict::OtherVersion, "the signed comment \"" + signature->trustedComment +
                                                      "\" does not name ver=" + std::to_string(index.ver));
    return OfferDecision{OfferVerdict::Offered, {}, signature->trustedComment, toUtf8(*address)};
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

std::wstring megabytesText(std::int64_t bytes) {
    const double megabytes = static_cast<double>(bytes) / 1024 / 1024;
    const double rounded = std::round(megabytes * 100) / 100;  // std::round takes halves away from zero
    if (std::fabs(rounded) < 0.000001) return L"0";
    char text[64];
    std::snprintf(text, sizeof text, "%.15g", rounded);
    return fromUtf8(text);
}

std::wstring updateDayText(int year, int month, int day) {
    return concat(decimalText(year), L"年", decimalText(month), L"月", decimalText(day), L"日");
}

}  // namespace orvenna
