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
inline std::wstring_view clampedSubstr(std::wstring_view text, std::int64_t pos, std::int64_t count) {
    const auto size = static_cast<std::int64_t>(text.size());
    const std::int64_t lo = pos < 0 ? 0 : (pos > size ? size : pos);
    const std::int64_t end = pos + count;
    const std::int64_t hi = end < 0 ? 0 : (end > size ? size : end);
    if (hi <= lo) return {};
    return {text.data() + lo, static_cast<std::size_t>(hi - lo)};
}

// Position of the first occurrence of `name` in `text`; 0 for an empty name, -1 when absent.
// The tables searched are a few dozen characters and the names one or two: a plain loop,
// inlined where the table is known, beats a call to the library's search.
inline std::int64_t findPosition(std::wstring_view text, std::wstring_view name) {
    if (name.empty()) return 0;
    if (name.size() > text.size()) return -1;
    const std::size_t last = text.size() - name.size();
    for (std::size_t i = 0; i <= last; ++i) {
        std::size_t k = 0;
        while (k < name.size() && text[i + k] == name[k]) ++k;
        if (k == name.size()) return static_cast<std::int64_t>(i);
    }
    return -1;
}

// a == b, compared in place: the texts compared are names of a few characters, for which a
// call to the library's compare costs more than the comparison.
inline bool sameText(std::wstring_view a, std::wstring_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (a[i] != b[i]) return false;
    }
    return true;
}

// text = value, the way that costs least for the short texts of a chart, most of them a
// character or two and as long as the text they replace: written over it in place, where
// the library's assignment would take its general path and a call to copy.
inline void assignText(std::wstring& text, std::wstring_view value) {
    if (value.size() <= text.size()) {
        // Copied forward, which is right even where `value` lies within `text`.
        wchar_t* const p = text.data();
        for (std::size_t i = 0; i < value.size(); ++i) p[i] = value[i];
        text.resize(value.size());
        return;
    }
    text.clear();
    if (value.size() <= 3) {
        for (const wchar_t c : value) text.push_back(c);
    } else {
        text.append(value.data(), value.size());
    }
}
template <std::size_t N>
void assignText(std::wstring& text, const wchar_t (&literal)[N]) {
    assignText(text, std::wstring_view(literal, N - 1));
}

// Ordinary leading-digit parsing: optional leading blanks, an optional sign, then decimal
// digits; anything else ends the number. A text without digits reads as 0. The value
// saturates instead of overflowing.
std::int64_t leadingInt(std::wstring_view text);

// The value of one character read as a decimal digit; any other character reads as 0.
inline int digitValue(wchar_t c) {
    return c >= L'0' && c <= L'9' ? c - L'0' : 0;
}

std::wstring decimalText(std::int64_t value);

// The number of characters of the decimal text of `value`.
inline std::size_t decimalSize(std::int64_t value) {
    // Unsigned, so that the most negative value does not overflow on negation.
    auto magnitude = value < 0 ? 0 - static_cast<std::uint64_t>(value) : static_cast<std::uint64_t>(value);
    std::size_t size = value < 0 ? 2 : 1;
    while (magnitude >= 10) {
        magnitude /= 10;
        ++size;
    }
    return size;
}

// Writes the decimal text of `value`, decimalSize(value) characters, at `p`; returns the end.
inline wchar_t* writeDecimal(wchar_t* p, std::int64_t value) {
    wchar_t* const end = p + decimalSize(value);
    auto magnitude = value < 0 ? 0 - static_cast<std::uint64_t>(value) : static_cast<std::uint64_t>(value);
    wchar_t* digit = end;
    do {
        *--digit = static_cast<wchar_t>(L'0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude != 0);
    if (value < 0) *p = L'-';
    return end;
}

// Appends the decimal text of `value` without building a temporary string.
void appendDecimal(std::wstring& out, std::int64_t value);

// Writes `piece` at `p` and returns the end. Most pieces are a character or two, which are
// copied here rather than by a call to the library's copy.
inline wchar_t* writeUnits(wchar_t* p, std::wstring_view piece) {
    switch (piece.size()) {
        case 3:
            p[2] = piece[2];
            [[fallthrough]];
        case 2:
            p[1] = piece[1];
            [[fallthrough]];
        case 1:
            p[0] = piece[0];
            [[fallthrough]];
        case 0:
            break;
        default:
            std::char_traits<wchar_t>::copy(p, piece.data(), piece.size());
    }
    return p + piece.size();
}

// The pieces appendAll() takes: texts, characters and integers (as decimal text), each with
// its length and its writer.
inline std::size_t pieceSize(std::wstring_view piece) {
    return piece.size();
}
template <std::size_t N>
constexpr std::size_t pieceSize(const wchar_t (&)[N]) {
    return N - 1;
}
inline std::size_t pieceSize(wchar_t) {
    return 1;
}
inline std::size_t pieceSize(int value) {
    return decimalSize(value);
}
inline std::size_t pieceSize(std::int64_t value) {
    return decimalSize(value);
}
inline wchar_t* writePiece(wchar_t* p, std::wstring_view piece) {
    return writeUnits(p, piece);
}
template <std::size_t N>
wchar_t* writePiece(wchar_t* p, const wchar_t (&literal)[N]) {
    return writeUnits(p, std::wstring_view(literal, N - 1));
}
inline wchar_t* writePiece(wchar_t* p, wchar_t c) {
    *p = c;
    return p + 1;
}
inline wchar_t* writePiece(wchar_t* p, int value) {
    return writeDecimal(p, value);
}
inline wchar_t* writePiece(wchar_t* p, std::int64_t value) {
    return writeDecimal(p, value);
}

// Texts, characters and integers (as decimal text) appended to `out` in one step: the length
// is added up first, so `out` grows once and the pieces are written in place.
template <typename... Pieces>
void appendAll(std::wstring& out, const Pieces&... pieces) {
    const std::size_t start = out.size();
    out.resize(start + (std::size_t{0} + ... + pieceSize(pieces)));
    wchar_t* p = out.data() + start;
    ((p = writePiece(p, pieces)), ...);
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

// Characters that would break a text shown as one row: the C0 and C1 controls, DEL, and the
// line and paragraph separators.
inline bool isLineBreaking(wchar_t c) {
    return c < 0x20 || (c >= 0x7F && c <= 0x9F) || c == 0x2028 || c == 0x2029;
}
// The explicit direction controls (embeddings, overrides, isolates): one of them turns the
// rest of its row around, so that a text can show something other than what it holds.
inline bool isDirectionControl(wchar_t c) {
    return (c >= 0x202A && c <= 0x202E) || (c >= 0x2066 && c <= 0x2069);
}

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
// The same, appended to `out`.
void appendFromUtf8(std::wstring& out, std::string_view utf8);
std::string toUtf8(std::wstring_view text);
// The same, appended to `out`: a caller that keeps `out` converts without allocating.
void appendUtf8(std::string& out, std::wstring_view text);

}  // namespace orvenna
