// A file of past draws is outside input: any text, read as the import reads it. Every draw it
// gives is a whole one, and every record is either a draw, a problem, a repeat or the header.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "engine/DrawCsv.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const orvenna::DrawCsv csv = orvenna::parseDrawCsv(std::string_view(reinterpret_cast<const char*>(data), size));
    if (csv.rows.size() != csv.lines.size()) __builtin_trap();
    for (const orvenna::Draw& draw : csv.rows) {
        if (!orvenna::isPeriod(draw.period) || draw.blue < 0 || draw.blue >= orvenna::BlueNumbers) __builtin_trap();
        for (const int digit : draw.front)
            if (digit < 0 || digit >= orvenna::FrontDigits) __builtin_trap();
    }
    for (const orvenna::DrawCsvProblem& problem : csv.problems)
        if (problem.line < 1 || problem.message.empty()) __builtin_trap();
    return 0;
}
