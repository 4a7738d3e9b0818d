// Update indexes as a publisher writes them, for the tests of reading and deciding on one.
#pragma once

#include <string>
#include <string_view>

namespace orvenna {

// The address as the index writes it: UTF-16LE bytes in hexadecimal.
inline std::string encodeAddress(std::u16string_view address) {
    static constexpr char Digits[] = "0123456789ABCDEF";
    std::string hex;
    for (char16_t unit : address)
        for (int byte : {unit & 0xFF, unit >> 8}) {
            hex += Digits[byte >> 4];
            hex += Digits[byte & 15];
        }
    return hex;
}

// An index with every member, "ver" 2, and `members` added after them.
inline std::string indexJson(const std::string& members) {
    return "{\"name\": \"Orvenna\", \"ver\": 2, \"verns\": \"V1.1.0\", \"day\": \"2026-12-01\", \"url\": \"" +
           encodeAddress(u"https://update.example/orvenna-1.1.0.exe") +
           "\", \"md5\": \"0123456789ABCDEF0123456789ABCDEF\", \"body\": \"修正\"" + members + "}";
}

}  // namespace orvenna
