#include "Text.h"

#include <algorithm>
#include <limits>

namespace orvenna {

std::int64_t leadingInt(std::wstring_view text) {
    std::size_t i = 0;
    while (i < text.size() && (text[i] == L' ' || (text[i] >= L'\t' && text[i] <= L'\r'))) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == L'-' || text[i] == L'+')) negative = text[i++] == L'-';
    constexpr std::int64_t limit = std::numeric_limits<std::int64_t>::max();
    std::int64_t value = 0;
    for (; i < text.size() && text[i] >= L'0' && text[i] <= L'9'; ++i) {
        const int digit = text[i] - L'0';
        value = value > (limit - digit) / 10 ? limit : value * 10 + digit;
    }
    return negative ? -value : value;
}

std::wstring decimalText(std::int64_t value) {
    std::wstring out;
    appendDecimal(out, value);
    return out;
}

void appendDecimal(std::wstring& out, std::int64_t value) {
    appendAll(out, value);
}

std::vector<std::int64_t> listNumbers(std::wstring_view text) {
    std::vector<std::int64_t> numbers(listNumbers(text, {}));
    listNumbers(text, numbers);
    return numbers;
}

std::size_t listNumbers(std::wstring_view text, std::span<std::int64_t> numbers) {
    std::size_t count = 0;
    std::size_t start = 0;
    while (start <= text.size()) {
        const std::size_t comma = std::min(text.find(L',', start), text.size());
        const std::wstring_view piece = trimControl(text.substr(start, comma - start));
        if (!piece.empty()) {
            if (count < numbers.size()) numbers[count] = leadingInt(piece);
            ++count;
        }
        start = comma + 1;
    }
    return count;
}

namespace {

// A UTF-8 byte above 0x7F reads as a large number here, so only ASCII controls and blanks go.
template <typename Char>
std::basic_string_view<Char> trimmedOfControls(std::basic_string_view<Char> text) {
    std::size_t lo = 0;
    std::size_t hi = text.size();
    while (lo < hi && static_cast<std::uint32_t>(text[lo]) <= 32) ++lo;
    while (hi > lo && static_cast<std::uint32_t>(text[hi - 1]) <= 32) --hi;
    return text.substr(lo, hi - lo);
}

}  // namespace

std::wstring_view trimControl(std::wstring_view text) {
    return trimmedOfControls(text);
}

std::string_view trimControl(std::string_view text) {
    return trimmedOfControls(text);
}

namespace {

void appendWide(std::wstring& out, char32_t c) {
    if constexpr (sizeof(wchar_t) >= 4) {
        out.push_back(static_cast<wchar_t>(c));
    } else if (c < 0x10000) {
        out.push_back(static_cast<wchar_t>(c));
    } else {
        c -= 0x10000;
        out.push_back(static_cast<wchar_t>(0xD800 + (c >> 10)));
        out.push_back(static_cast<wchar_t>(0xDC00 + (c & 0x3FF)));
    }
}

}  // namespace

std::wstring fromUtf8(std::string_view utf8) {
    std::wstring out;
    appendFromUtf8(out, utf8);
    return out;
}

void appendFromUtf8(std::wstring& out, std::string_view utf8) {
    out.reserve(out.size() + utf8.size());
    std::size_t i = 0;
    while (i < utf8.size()) {
        const auto lead = static_cast<unsigned char>(utf8[i]);
        int extra = 0;
        char32_t c = 0;
        char32_t minimum = 0;
        if (lead < 0x80) {
            c = lead;
        } else if ((lead & 0xE0) == 0xC0) {
            extra = 1, c = lead & 0x1F, minimum = 0x80;
        } else if ((lead & 0xF0) == 0xE0) {
            extra = 2, c = lead & 0x0F, minimum = 0x800;
        } else if ((lead & 0xF8) == 0xF0) {
            extra = 3, c = lead & 0x07, minimum = 0x10000;
        } else {
            appendWide(out, Utf8Replacement);
            ++i;
            continue;
        }
        std::size_t j = i + 1;
        bool valid = true;
        for (int k = 0; k < extra; ++k, ++j) {
            if (j >= utf8.size() || (static_cast<unsigned char>(utf8[j]) & 0xC0) != 0x80) {
                valid = false;
                break;
            }
            c = (c << 6) | (static_cast<unsigned char>(utf8[j]) & 0x3F);
        }
        if (!valid || c < minimum || !isScalar(c)) {
            appendWide(out, Utf8Replacement);
            i = valid ? j : std::max(j, i + 1);
            continue;
        }
        appendWide(out, c);
        i = j;
    }
}

void appendUtf8(std::string& out, std::wstring_view text) {
    const std::size_t start = out.size();
    // Four bytes a unit at most; resize() within the capacity a reused buffer already has
    // costs no allocation.
    out.resize(start + text.size() * 4);
    char* const begin = out.data();
    char* p = begin + start;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (static_cast<std::uint32_t>(text[i]) < 0x80) {
            *p++ = static_cast<char>(text[i]);
        } else {
            p = writeUtf8At(p, text, i);
        }
    }
    out.resize(static_cast<std::size_t>(p - begin));
}

std::string toUtf8(std::wstring_view text) {
    std::string out;
    appendUtf8(out, text);
    return out;
}

}  // namespace orvenna
