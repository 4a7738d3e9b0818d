#include "UpdateIndex.h"

#include <exception>
#include <memory>

#include <json/json.h>

#include "base/Text.h"

namespace orvenna {

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

namespace {

bool isCombiningMark(wchar_t c) {
    return (c >= 0x0300 && c <= 0x036F) || (c >= 0x1AB0 && c <= 0x1AFF) || (c >= 0x1DC0 && c <= 0x1DFF) ||
           (c >= 0x20D0 && c <= 0x20FF) || (c >= 0xFE20 && c <= 0xFE2F);
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

}  // namespace orvenna
