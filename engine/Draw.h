// One 七星彩 draw, wherever it comes from (the results page, a file of past draws, the store):
// its day, its period, the six front digits and the blue number.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace orvenna {

inline constexpr int FrontDigits = 10;  // 0-9 at each front position
inline constexpr int BlueNumbers = 15;  // 0-14
// A period is a number of at most this many digits.
inline constexpr std::size_t LongestPeriod = 12;

struct Draw {
    std::int64_t day = 0;  // the draw's day, days since 1899-12-30
    std::wstring period;   // digits, as the results page shows it
    std::array<int, 6> front{};
    int blue = 0;

    bool operator==(const Draw&) const = default;
};

// The numbers as one text: "123456+12".
std::wstring drawNumbersText(const Draw& draw);

// The draw a results page shows: its period, its date, its six front digits and its blue
// number, each as the page gives it (blanks between digits allowed); nothing for one that is
// not a whole draw.
std::optional<Draw> drawOf(std::wstring_view period, std::wstring_view date, std::wstring_view front,
                           std::wstring_view blue);

// A period: digits only, at most LongestPeriod of them.
bool isPeriod(std::wstring_view text);
// The number a run of digits writes (a period or a part of one); digits only, as isPeriod
// checks.
std::int64_t digitsValue(std::wstring_view digits);
// A blue number: one or two digits, 0-14.
bool readBlue(std::wstring_view text, int& blue);
// The numbers as one text, blanks and commas between digits allowed: the six front digits,
// then the blue number after "+" or directly ("123456+12", "12345612", "1,2,3,4,5,6,12").
bool readNumbersText(std::wstring_view text, Draw& draw);

}  // namespace orvenna
