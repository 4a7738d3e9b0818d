// A saved prediction: not the chart or the digits, but the inputs that produce them, with a
// title and a note. One row of the record store; a replay recomputes everything else.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "engine/AnalysisRecord.h"
#include "engine/CastRequest.h"

namespace orvenna {

struct YsModel {
    std::int64_t _id = 0;  // the row id, as wide as SQLite's; 0 for a record not yet stored
    std::wstring ysname;   // the title followed by the cast time in parentheses
    int ysindex = 0;       // casting method
    std::wstring ysnumber;
    double ysday = 0;  // cast time, days since 1899-12-30
    int gzsxid = 0;    // zodiac 1..12
    std::wstring upstr;
    std::wstring downstr;
    std::vector<int> dong;  // moving flags, line 1 first
    int rot = 0;            // draw-time choice
    std::wstring uinfo;     // the user's note

    // Splits at ",", trims each piece, drops empty pieces; a piece that is not a number is 0.
    void setMovingFlagsText(std::wstring_view text);
    // "0,0,1,0,0,-1"; an empty array gives an empty text.
    std::wstring movingFlagsText() const;

    // A new record (id 0) for saving the latest analysis under `title` with `note`.
    static YsModel fromAnalysis(const AnalysisRecord& record, std::wstring_view title, std::wstring_view note);

    bool operator==(const YsModel&) const = default;
};

// "title(2024年3月31日21时25分30秒)": the title the history list shows.
std::wstring savedTitle(std::wstring_view title, double castTime);
void appendSavedTitle(std::wstring& out, std::wstring_view title, double castTime);

// The casting request a replay of `model` starts from, before the casting dispatch
// completes its time fields.
CastRequest replayRequest(const YsModel& model);

}  // namespace orvenna
