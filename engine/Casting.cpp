#include "Casting.h"

#include <cstdint>

#include "Tables.h"
#include "base/Text.h"

namespace orvenna {

namespace {

// Remainder for a trigram number (0 -> 8) or a line number (0 -> 6).
int cycleNumber(std::int64_t value, int modulus) {
    const std::int64_t magnitude = value < 0 ? -value : value;
    const auto r = static_cast<int>(magnitude % modulus);
    return r == 0 ? modulus : r;
}

std::int64_t digitSum(std::wstring_view text) {
    std::int64_t sum = 0;
    for (const wchar_t c : text) sum += digitValue(c);
    return sum;
}

wchar_t inverted(wchar_t c) {
    return c == L'0' ? L'1' : L'0';
}

struct NumberCast {
    int upper;
    int lower;
    int moving;
};

NumberCast castNumber(std::wstring_view t, int hourNumber) {
    const std::size_t length = t.size();
    if (length == 1) {
        const int upper = cycleNumber(leadingInt(t), 8);
        const int lower = cycleNumber(hourNumber, 8);
        return {upper, lower, cycleNumber(upper + lower, 6)};
    }
    if (length == 2) {
        const int a = digitValue(t[0]);
        const int b = digitValue(t[1]);
        return {cycleNumber(a, 8), cycleNumber(b, 8), cycleNumber(a + b, 6)};
    }
    if (length == 3) {
        const int d1 = digitValue(t[0]);
        const int d2 = digitValue(t[1]);
        const int d3 = digitValue(t[2]);
        const std::size_t zero = t.find(L'0');
        if (zero == std::wstring_view::npos) return {cycleNumber(d1, 8), cycleNumber(d2, 8), cycleNumber(d3, 6)};
        if (zero == 1) {
            const int both = cycleNumber(leadingInt(t.substr(0, 2)), 8);
            return {both, both, cycleNumber(d3, 6)};
        }
        std::int64_t y = leadingInt(t.substr(1, 2));
        if (y < 0) y = -y;
        return {cycleNumber(d1, 8), cycleNumber(y, 8), cycleNumber(d1 + y, 6)};
    }
    const std::size_t half = length / 2;
    const std::int64_t s1 = digitSum(t.substr(0, half));
    if (length % 2 == 0) {
        const std::int64_t s2 = digitSum(t.substr(length - half));
        return {cycleNumber(s1, 8), cycleNumber(s2, 8), cycleNumber(s1 + s2, 6)};
    }
    const std::int64_t s2 = digitSum(t.substr(length - half - 1));
    return {cycleNumber(s1, 8), cycleNumber(s2, 8), cycleNumber(s2, 6)};
}

}  // namespace

bool castFromNumber(Hexagram& h, std::wstring_view numberText, std::wstring_view dayPillar, int hourNumber) {
    if (numberText.empty()) return false;
    clearLines(h);
    const NumberCast cast = castNumber(numberText, hourNumber);
    h.upperTrigram = cast.upper;
    h.lowerTrigram = cast.lower;
    h.movingLine = cast.moving;
    buildChart(h, dayPillar);
    return true;
}

void castFromLines(Hexagram& h, std::wstring_view upperCode, std::wstring_view lowerCode, std::wstring_view dayPillar,
                   const std::vector<int>& movingFlags) {
    h.movingFlags = movingFlags;
    h.upperTrigram = trigramOfCode(upperCode);
    h.lowerTrigram = trigramOfCode(lowerCode);
    h.movingLine = 0;
    buildChart(h, dayPillar);
}

std::wstring flipLine(std::wstring_view code, int k) {
    std::wstring result(code);
    if (k < 1 || k > 6) return result;
    const auto p = static_cast<std::size_t>(k <= 3 ? k - 1 : k - 4);
    if (p < result.size()) result[p] = inverted(result[p]);
    return result;
}

std::wstring applyMovingFlags(std::wstring_view code, const std::vector<int>& flags, LineHalf half) {
    std::wstring result(code);
    const std::size_t offset = half == LineHalf::Lower ? 0 : 3;
    for (std::size_t i = 0; i < 3 && i < result.size(); ++i) {
        const std::size_t f = i + offset;
        if (f < flags.size() && flags[f] != 0) result[i] = inverted(result[i]);
    }
    return result;
}

}  // namespace orvenna
