// One fetched draw as the results page shows it.
#pragma once

#include <string>

namespace orvenna {

inline constexpr int DrawParsed = 200;
inline constexpr int DrawPageUnreadable = -100;

struct DrawResult {
    std::wstring lotteryName;
    std::wstring period;        // the issue number exactly as the page shows it
    std::wstring drawDate;      // exactly as the page shows it
    std::wstring mainNumbers;   // texts of the main-number elements, in page order
    std::wstring extraNumbers;  // texts of the other number elements
    std::wstring errorText;     // "body error" when the page could not be parsed
    int status = DrawParsed;

    bool operator==(const DrawResult&) const = default;

    // A draw worth showing: parsed, with a period and numbers.
    bool usable() const { return status == DrawParsed && !period.empty() && !(mainNumbers + extraNumbers).empty(); }
};

}  // namespace orvenna
