// Small text helpers shared by the engine and the record store.
//
// Inside the engine one Chinese character is one code unit (std::wstring), so the
// position-based lookups of the divination tables stay simple. Everything that leaves
// the engine (SQLite, JSON, the network) is UTF-8; these helpers convert at that edge.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace orvenna {

// The part of `text` from position `pos` with length `count`, both ends clamped to the
// text: a start before 0 or past the end yields fewer characters or an empty text.
std::wstring_view clampedSubstr(std::wstring_view text, std::int64_t pos, std::int64_t count);

// Position of the first occurrence of `name` in `text`; 0 for an empty name, -1 when absent.
std::int64_t findPosition(std::wstring_view text, std::wstring_view name);

// Ordinary leading-digit parsing: optional leading blanks, an optional sign, then decimal
// digits; anything else ends the number. A text without digits reads as 0. The value
// saturates instead of overflowing.
std::int64_t leadingInt(std::wstring_view text);

// The value of one character read as a decimal digit; any other character reads as 0.
inline int digitValue(wchar_t c) {
    return c >= L'0' && c <= L'9' ? c - L'0' : 0;
}

std::wstring decimalText(std::int64_t value);

// Appends the decimal text of `value` without building a temporary string.
void appendDecimal(std::wstring& out, std::int64_t value);

// Texts, characters and integers (as decimal text) joined into one string, built in place.
inline void appendPiece(std::wstring& out, std::wstring_view piece) {
    out += piece;
}
template <std::size_t N>
void appendPiece(std::wstring& out, const wchar_t (&literal)[N]) {
    out.append(literal, N - 1);
}
inline void appendPiece(std::wstring& out, wchar_t c) {
    out += c;
}
inline void appendPiece(std::wstring& out, int value) {
    appendDecimal(out, value);
}
inline void appendPiece(std::wstring& out, std::int64_t value) {
    appendDecimal(out, value);
}

template <typename... Pieces>
void appendAll(std::wstring& out, const Pieces&... pieces) {
    (appendPiece(out, pieces), ...);
}

template <typename... Pieces>
std::wstring concat(const Pieces&... pieces) {
    std::wstring out;
    out.reserve(96);
    appendAll(out, pieces...);
    return out;
}

// The numbers of a ","-separated list: each piece trimmed, empty pieces dropped, a piece
// that is not a number read as 0.
std::vector<std::int64_t> listNumbers(std::wstring_view text);
// The same into `numbers`, without allocating: returns how many numbers the list holds, of
// which the first numbers.size() are stored.
std::size_t listNumbers(std::wstring_view text, std::span<std::int64_t> numbers);

// Text with the leading and trailing characters of code 32 or below removed.
std::wstring_view trimControl(std::wstring_view text);
std::string_view trimControl(std::string_view text);

// Equal when A..Z and a..z are taken for the same letters; every other unit compares exactly
// (so a UTF-8 text's non-ASCII bytes, all above 0x7F, never match a letter).
template <typename Char>
bool equalsIgnoringAsciiCase(std::basic_string_view<Char> a, std::basic_string_view<Char> b) {
    const auto lower = [](Char c) { return c >= 'A' && c <= 'Z' ? static_cast<Char>(c - 'A' + 'a') : c; };
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (lower(a[i]) != lower(b[i])) return false;
    return true;
}

// UTF-8 conversion. Invalid sequences decode to U+FFFD; code points that are not
// Unicode scalar values encode as U+FFFD. Neither direction throws.
inline constexpr char32_t Utf8Replacement = 0xFFFD;

inline bool isScalar(char32_t c) {
    return c < 0xD800 || (c > 0xDFFF && c <= 0x10FFFF);
}

// Writes the UTF-8 form of c at p (room for four bytes) and returns the end.
inline char* writeUtf8(char* p, char32_t c) {
    if (!isScalar(c)) c = Utf8Replacement;
    if (c < 0x80) {
        *p++ = static_cast<char>(c);
    } else if (c < 0x800) {
        *p++ = static_cast<char>(0xC0 | (c >> 6));
        *p++ = static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        *p++ = static_cast<char>(0xE0 | (c >> 12));
        *p++ = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        *p++ = static_cast<char>(0x80 | (c & 0x3F));
    } else {
        *p++ = static_cast<char>(0xF0 | (c >> 18));
        *p++ = static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        *p++ = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        *p++ = static_cast<char>(0x80 | (c & 0x3F));
    }
    return p;
}

// Writes the UTF-8 form of the code point at text[i] at p (room for four bytes) and returns
// the end. Where wchar_t has 16 bits a surrogate pair is one code point: i is then moved onto
// its second half.
inline char* writeUtf8At(char* p, std::wstring_view text, std::size_t& i) {
    auto c = static_cast<char32_t>(text[i]);
    if constexpr (sizeof(wchar_t) < 4) {
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size()) {
            const auto low = static_cast<char32_t>(text[i + 1]);
            if (low >= 0xDC00 && low <= 0xDFFF) {
                c = 0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00);
                ++i;
            }
        }
    }
    return writeUtf8(p, c);
}

std::wstring fromUtf8(std::string_view utf8);
std::string toUtf8(std::wstring_view text);
// The same, appended to `out`: a caller that keeps `out` converts without allocating.
void appendUtf8(std::string& out, std::wstring_view text);

}  // namespace orvenna
