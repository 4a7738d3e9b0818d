#include "Suggestion.h"

#include <algorithm>
#include <bit>
#include <cstdlib>
#include <span>
#include <vector>

#include "base/Text.h"

namespace orvenna {

namespace {

// Row a, column b; the table is not symmetric.
constexpr int PairNumbers[10][10] = {
    {23, 4, 7, 8, 7, 27, 9, 8, 9, 4}, {5, 0, 6, 4, 9, 8, 49, 8, 4, 4},  {3, 4, 36, 6, 5, 0, 9, 38, 3, 0},
    {8, 6, 6, 0, 6, 2, 1, 6, 16, 2},  {3, 6, 1, 6, 57, 2, 5, 2, 1, 50}, {27, 0, 7, 4, 7, 0, 0, 6, 2, 2},
    {3, 49, 3, 8, 7, 0, 90, 8, 4, 0}, {8, 4, 38, 4, 2, 8, 8, 0, 3, 0},  {7, 4, 6, 16, 5, 2, 5, 2, 14, 4},
    {5, 0, 0, 6, 50, 8, 0, 8, 4, 0},
};

// Spirit rows 青龙 白虎 朱雀 玄武 勾陈 腾蛇; relation columns 子孙 妻财 兄弟 父母 官鬼; in tenths.
constexpr std::wstring_view WeightSpirits[] = {L"青龙", L"白虎", L"朱雀", L"玄武", L"勾陈", L"腾蛇"};
constexpr std::wstring_view WeightRelations[] = {L"子孙", L"妻财", L"兄弟", L"父母", L"官鬼"};
constexpr int WeightTenths[6][5] = {
    {1, 2, 1, -1, -1},  {-1, -2, -1, 1, 1}, {-1, 2, -1, 1, -1},
    {1, 1, -1, -1, -1}, {-1, -2, -1, 1, 1}, {-1, -1, -2, 1, 2},
};

// A digit text of a few dozen characters at most, held inline: the suggestion builds a
// dozen of them per cast, and none needs the heap. The longest, the blue list before
// sorting, holds at most ten "d," pairs and six "qq," candidates.
class ShortText {
public:
    static constexpr std::size_t Capacity = 64;

    std::size_t size() const { return size_; }
    std::wstring_view view() const { return {chars_.data(), size_}; }
    wchar_t operator[](std::size_t i) const { return chars_[i]; }

    bool contains(wchar_t c) const {
        if (c >= L'0' && c <= L'9') return (digits_ & (1u << (c - L'0'))) != 0;
        for (std::size_t i = 0; i < size_; ++i) {
            if (chars_[i] == c) return true;
        }
        return false;
    }
    bool contains(std::wstring_view piece) const {
        if (piece.size() == 1) return contains(piece.front());
        return findPosition(view(), piece) >= 0;
    }

    void append(wchar_t c) {
        if (size_ == Capacity) return;
        chars_[size_++] = c;
        if (c >= L'0' && c <= L'9') digits_ |= 1u << (c - L'0');
    }
    void append(std::wstring_view piece) {
        for (const wchar_t c : piece) append(c);
    }

    // Appends `piece` unless the text already contains it anywhere: for the blue list this
    // is deliberately a substring test, so "3" is skipped once "13" is there.
    void addIfAbsent(wchar_t c) {
        if (!contains(c)) append(c);
    }
    void addIfAbsent(std::wstring_view piece) {
        if (!contains(piece)) append(piece);
    }

private:
    std::array<wchar_t, Capacity> chars_;  // only the first size_ characters are ever read
    std::size_t size_ = 0;
    unsigned digits_ = 0;  // bit d: the digit d is in the text, so that a digit is looked up at once
};

constexpr std::size_t NotPlainDigits = static_cast<std::size_t>(-1);

// The numbers of a list of plain numbers (digits, at most nine a number) separated by
// commas, empty pieces dropped, as listNumbers() reads them; NotPlainDigits for any other
// text or for more numbers than `numbers` holds.
std::size_t plainDigitList(std::wstring_view text, std::span<std::int64_t> numbers) {
    std::size_t count = 0;
    std::size_t digits = 0;
    std::int64_t value = 0;
    for (const wchar_t c : text) {
        if (c == L',') {
            if (digits != 0) {
                if (count == numbers.size()) return NotPlainDigits;
                numbers[count++] = value;
            }
            digits = 0;
            value = 0;
        } else if (c >= L'0' && c <= L'9' && digits < 9) {
            value = value * 10 + (c - L'0');
            ++digits;
        } else {
            return NotPlainDigits;
        }
    }
    if (digits != 0) {
        if (count == numbers.size()) return NotPlainDigits;
        numbers[count++] = value;
    }
    return count;
}

wchar_t digitChar(int digit) {
    return static_cast<wchar_t>(L'0' + digit);
}

// The decimal text of a small non-negative number, in a buffer of the caller's.
std::wstring_view smallDecimal(int value, std::array<wchar_t, 12>& buffer) {
    std::size_t pos = buffer.size();
    auto magnitude = static_cast<unsigned>(value < 0 ? -static_cast<long long>(value) : value);
    do {
        buffer[--pos] = static_cast<wchar_t>(L'0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude != 0);
    if (value < 0) buffer[--pos] = L'-';
    return {buffer.data() + pos, buffer.size() - pos};
}

// The pool character at index i; an index outside the pool reads as "0".
wchar_t digitAt(std::wstring_view pool, std::int64_t i) {
    return i >= 0 && i < static_cast<std::int64_t>(pool.size()) ? pool[static_cast<std::size_t>(i)] : L'0';
}

void addDigitText(ShortText& text, int value) {
    if (value >= 0 && value <= 9) {
        text.addIfAbsent(digitChar(value));
        return;
    }
    std::array<wchar_t, 12> buffer;
    text.addIfAbsent(smallDecimal(value, buffer));
}

// Adds pool digits, walking from one end, until `text` holds `target` characters.
void walkPool(ShortText& text, std::wstring_view pool, bool fromStart, std::size_t target) {
    const auto n = static_cast<std::int64_t>(pool.size());
    for (std::int64_t step = 0; text.size() < target && step < n; ++step) {
        text.addIfAbsent(digitAt(pool, fromStart ? step : n - 1 - step));
    }
}

// Appends the candidates a / x split by 2..7 that fall in 1..14 and are not yet in `out`.
void extendBlue(ShortText& out, int a, int weightTenths) {
    if (weightTenths == 0) return;
    // a / x with x in tenths: 10a / tenths is exact, so no rounding rule is needed.
    const int b = a * 10 / weightTenths;
    if (b <= 14) return;
    for (int d = 2; d <= 7; ++d) {
        const int q = b / d;
        if (q < 1 || q > 14) continue;
        std::array<wchar_t, 12> buffer;
        const std::wstring_view text = smallDecimal(q, buffer);
        if (!out.contains(text)) {
            out.append(text);
            out.append(L',');
        }
    }
}

void blueNumbers(const BaseNumbers& b, std::wstring_view pool, int key, std::wstring& list) {
    ShortText c;
    for (const int digit :
         {b.worldStemDigit, b.worldBranchDigit, b.responseStemDigit, b.responseBranchDigit, b.changedWorldStemDigit,
          b.changedWorldBranchDigit, b.changedResponseStemDigit, b.changedResponseBranchDigit}) {
        addDigitText(c, digit);
    }
    walkPool(c, pool, key % 2 != 0, 4);

    std::array<wchar_t, ShortText::Capacity> sorted;
    std::copy(c.view().begin(), c.view().end(), sorted.begin());
    std::sort(sorted.begin(), sorted.begin() + static_cast<std::ptrdiff_t>(c.size()));
    const int hi = digitValue(sorted[c.size() - 1]);
    const int lo = digitValue(sorted[0] != L'0' || c.size() < 2 ? sorted[0] : sorted[1]);

    ShortText out;
    for (std::size_t i = 0; i < c.size(); ++i) {
        out.append(c[i]);
        out.append(L',');
    }
    const int weight = std::abs(
        spiritWeightTenths(b.spirits[static_cast<std::size_t>(key)], b.relations[static_cast<std::size_t>(key)]));
    extendBlue(out, hi, weight);
    extendBlue(out, lo, weight);
    formatDigitList(out.view(), list);
}

void likelyDigits(const BaseNumbers& b, std::wstring_view pool, int key, std::wstring& list) {
    const auto k = static_cast<std::size_t>(key);
    const std::pair<int, int> pairs[] = {
        {b.worldStemDigit, b.changedWorldStemDigit},           {b.worldBranchDigit, b.changedWorldBranchDigit},
        {b.responseStemDigit, b.changedResponseStemDigit},     {b.responseBranchDigit, b.changedResponseBranchDigit},
        {b.lineDigits[2 * k], b.changedLineDigits[2 * k + 1]},
    };
    ShortText t;
    for (const auto& [first, second] : pairs) {
        std::array<wchar_t, 12> buffer;
        for (const wchar_t c : smallDecimal(pairNumber(first, second), buffer)) t.addIfAbsent(c);
    }
    walkPool(t, pool, key % 2 == 0, 6);
    formatDigitList(t.view(), list);
}

ShortText poolOf(const BaseNumbers& b) {
    ShortText pool;
    addDigitText(pool, b.zodiacDigit);
    addDigitText(pool, b.dayStemDigit);
    addDigitText(pool, b.dayBranchDigit);
    for (const int digit : b.lineDigits) addDigitText(pool, digit);
    for (const int digit : b.changedLineDigits) addDigitText(pool, digit);
    for (int digit = 0; digit <= 9; ++digit) pool.addIfAbsent(digitChar(digit));
    return pool;
}

}  // namespace

std::wstring digitPool(const BaseNumbers& b) {
    return std::wstring(poolOf(b).view());
}

int keyLine(const std::array<std::wstring, 6>& spirits, int w, int r) {
    int result = 0;
    for (int i = 0; i < 6; ++i) {
        const std::wstring& spirit = spirits[static_cast<std::size_t>(i)];
        if (sameText(spirit, WeightSpirits[0]) || sameText(spirit, WeightSpirits[3])) {
            result = i;
            if (i != w && i != r) return i;
        }
    }
    return result;
}

int pairNumber(int a, int b) {
    if (a < 0 || a > 9 || b < 0 || b > 9) return 0;
    return PairNumbers[a][b];
}

int spiritWeightTenths(std::wstring_view spirit, std::wstring_view relation) {
    for (std::size_t s = 0; s < std::size(WeightSpirits); ++s) {
        if (!sameText(WeightSpirits[s], spirit)) continue;
        for (std::size_t r = 0; r < std::size(WeightRelations); ++r) {
            if (sameText(WeightRelations[r], relation)) return WeightTenths[s][r];
        }
    }
    return 0;
}

double spiritWeight(std::wstring_view spirit, std::wstring_view relation) {
    return spiritWeightTenths(spirit, relation) / 10.0;
}

std::wstring formatDigitList(std::wstring_view text) {
    std::wstring out;
    formatDigitList(text, out);
    return out;
}

void formatDigitList(std::wstring_view text, std::wstring& out) {
    if (findPosition(text, std::wstring_view(L",", 1)) < 0) {
        // Single digits, sorted by a bit a digit. A digit seen twice (never in a list the
        // suggestion makes) is kept twice by a counting sort.
        unsigned seen = 0;
        bool repeated = false;
        for (const wchar_t c : text) {
            const unsigned bit = 1u << digitValue(c);
            repeated |= (seen & bit) != 0;
            seen |= bit;
        }
        out.resize(text.empty() ? 0 : 2 * text.size() - 1);
        wchar_t* p = out.data();
        if (!repeated) {
            for (; seen != 0; seen &= seen - 1) {
                if (p != out.data()) *p++ = L',';
                *p++ = static_cast<wchar_t>(L'0' + std::countr_zero(seen));
            }
            return;
        }
        std::array<std::size_t, 10> counts{};
        for (const wchar_t c : text) ++counts[static_cast<std::size_t>(digitValue(c))];
        for (std::size_t digit = 0; digit < counts.size(); ++digit) {
            for (std::size_t k = 0; k < counts[digit]; ++k) {
                if (p != out.data()) *p++ = L',';
                *p++ = static_cast<wchar_t>(L'0' + digit);
            }
        }
        return;
    }
    // The lists the suggestion makes are short and hold only digits and commas: read here in
    // one pass. Anything else is read the general way, into the heap if it is long.
    std::array<std::int64_t, ShortText::Capacity> held;
    std::vector<std::int64_t> more;
    std::span<std::int64_t> numbers;
    if (const std::size_t count = plainDigitList(text, held); count != NotPlainDigits) {
        numbers = std::span<std::int64_t>(held.data(), count);
    } else if (const std::size_t listed = listNumbers(text, held); listed <= held.size()) {
        numbers = std::span<std::int64_t>(held.data(), listed);
    } else {
        more = listNumbers(text);
        numbers = more;
    }
    std::sort(numbers.begin(), numbers.end());
    std::size_t size = numbers.empty() ? 0 : numbers.size() - 1;
    for (const std::int64_t number : numbers) size += decimalSize(number);
    out.resize(size);
    wchar_t* p = out.data();
    for (std::size_t i = 0; i < numbers.size(); ++i) {
        if (i != 0) *p++ = L',';
        p = writeDecimal(p, numbers[i]);
    }
}

Suggestion buildSuggestion(const BaseNumbers& b) {
    Suggestion suggestion;
    buildSuggestion(b, suggestion);
    return suggestion;
}

void buildSuggestion(const BaseNumbers& b, Suggestion& suggestion) {
    const ShortText poolText = poolOf(b);
    const std::wstring_view pool = poolText.view();
    const auto n = static_cast<int>(pool.size());
    int start = b.worldIndex;
    for (std::size_t p = 0; p < 6; ++p) {
        ShortText text;
        int i = start;
        // With ten distinct digits in the pool this takes five steps; the bound only
        // guards a pool that a future change might leave short.
        for (int guard = 0; text.size() < 5 && guard < 2 * n + 6; ++guard) {
            if (i >= n) i = 0;
            text.addIfAbsent(digitAt(pool, i));
            ++i;
        }
        formatDigitList(text.view(), suggestion[p]);
        if (++start >= n) start = 0;
    }
    const int key = keyLine(b.spirits, b.worldIndex, b.responseIndex);
    blueNumbers(b, pool, key, suggestion[6]);
    likelyDigits(b, pool, key, suggestion[7]);
}

}  // namespace orvenna
