// Past draws as a plain CSV file lists them, one draw a record: the period, the draw date and
// the numbers, either as seven fields (six digits, then the blue number) or as one text
// ("123456+12", or the page's "12345612"). A header record is allowed. Fields are read as
// spreadsheets write them (RFC 4180): a field in double quotes may hold commas, line breaks
// and doubled quotes.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "Draw.h"

namespace orvenna {

// A file of past draws is a few thousand lines; anything far larger is not one.
inline constexpr std::int64_t DrawFileMaxBytes = 16 << 20;

// What is wrong with a record that gives no draw, for whoever says it in its own words.
enum class DrawCsvFault {
    UnclosedQuote,  // a quoted field is still open at the end of the text
    FieldCount,     // neither 3 nor 9 fields (`fields` of them)
    Period,         // `field` is no period
    Date,           // `field` is no date
    Numbers,        // not six digits 0-9 and a blue number 0-14
    PeriodAgain,    // the period `field` is on line `firstLine` with another draw
};

struct DrawCsvProblem {
    int line = 0;         // from 1
    std::string message;  // in English, as the command line gives it
    DrawCsvFault fault = DrawCsvFault::FieldCount;
    std::wstring field;
    int fields = 0;
    int firstLine = 0;
};

struct DrawCsv {
    std::vector<Draw> rows;  // file order; a period listed again with the same draw once
    std::vector<int> lines;  // the line each row starts on, from 1
    std::vector<DrawCsvProblem> problems;
};

// The draws of a file's UTF-8 text, and each record that is none, named by its first line.
DrawCsv parseDrawCsv(std::string_view utf8);

// The fields of the records of a CSV text, each record with the line it starts on (from 1).
// Blanks around a field are dropped; a record that is one empty field is left out. A quoted
// field still open at the end of the text runs to its end.
struct CsvRecord {
    int line = 0;
    std::vector<std::wstring> fields;
    bool unclosedQuote = false;
};
std::vector<CsvRecord> csvRecords(std::wstring_view text);

}  // namespace orvenna
