// Past draws as a plain CSV file lists them, one draw a line: the period, the draw date and
// the numbers, either as seven fields (six digits, then the blue number) or as one text
// ("123456+12", or the page's "12345612"). A header line is allowed.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/DrawScore.h"

namespace orvenna {

struct DrawRow {
    std::wstring period;  // digits, as the results page shows it
    std::wstring date;    // ISO, "YYYY-MM-DD"
    DrawNumbers numbers;
    bool operator==(const DrawRow&) const = default;
};

struct DrawCsvProblem {
    int line = 0;  // from 1
    std::string message;
};

struct DrawCsv {
    std::vector<DrawRow> rows;  // file order; a period listed again with the same draw once
    std::vector<int> lines;     // the line of each row, from 1
    std::vector<DrawCsvProblem> problems;
};

// The draws of a file's UTF-8 text, and each line that is none, named by its number.
DrawCsv parseDrawCsv(std::string_view utf8);

// The draw a results page shows: its period, its date and its numbers (the six digits, then
// the blue number, with or without "+" between); nothing for one that is not a whole draw.
std::optional<DrawRow> drawRowOf(std::wstring_view period, std::wstring_view date, std::wstring_view numbers);

// An ISO date of a "Y-M-D" text ("-", "/" or "." between, month and day of one or two
// digits); empty for one that is not a real date.
std::wstring isoDate(std::wstring_view text);

}  // namespace orvenna
