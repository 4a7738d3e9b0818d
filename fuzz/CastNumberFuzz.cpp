// The number of a cast is whatever the user typed (or a replayed row holds): any text must
// give a whole chart, a report and a suggestion, by number casting and by time casting.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "base/Text.h"
#include "engine/AnalysisRun.h"
#include "engine/BaseNumbers.h"
#include "engine/Casting.h"
#include "engine/Report.h"
#include "engine/ResultText.h"
#include "engine/Suggestion.h"
#include "engine/Tables.h"

namespace {

using namespace orvenna;

void check(bool ok) {
    if (!ok) __builtin_trap();
}

bool isMark(std::wstring_view mark) {
    return mark == L"0" || mark == L"1";
}

// A finished chart: trigrams 1..8, a palace, six lines of every kind, each mark a line.
void checkChart(const Hexagram& h, bool withSpirits) {
    check(h.upperTrigram >= 1 && h.upperTrigram <= 8 && h.lowerTrigram >= 1 && h.lowerTrigram <= 8);
    check(h.palace >= 1 && h.palace <= 8);
    check(h.worldLine >= 1 && h.worldLine <= 6 && h.responseLine >= 1 && h.responseLine <= 6);
    check(h.lineMarks.size() == 6 && h.stemBranches.size() == 6 && h.relations.size() == 6);
    check(h.elementNames.size() == 6);
    check(!withSpirits || h.spirits.size() == 6);
    for (const std::wstring& mark : h.lineMarks) check(isMark(mark));
    for (const std::wstring& stemBranch : h.stemBranches) check(stemBranch.size() == 2);
    check(!hexagramName(hexagramNumber(h)).empty());
}

// Numbers joined by single commas, ascending; `maxValue` bounds each one.
std::size_t checkList(std::wstring_view list, std::int64_t maxValue) {
    check(!list.empty());
    std::size_t count = 0;
    std::int64_t previous = -1;
    std::size_t start = 0;
    while (true) {
        const std::size_t comma = list.find(L',', start);
        const std::wstring_view piece =
            list.substr(start, comma == std::wstring_view::npos ? list.npos : comma - start);
        check(!piece.empty() && piece.size() <= 2);
        for (const wchar_t c : piece) check(c >= L'0' && c <= L'9');
        const std::int64_t value = leadingInt(piece);
        check(value >= previous && value <= maxValue);
        previous = value;
        ++count;
        if (comma == std::wstring_view::npos) break;
        start = comma + 1;
    }
    return count;
}

void checkSuggestion(const Suggestion& s) {
    // Five distinct digits a position, the blue candidates 0..14, the likely digits 0..9.
    for (std::size_t p = 0; p < 6; ++p) check(checkList(s[p], 9) == 5 && s[p].size() == 9);
    check(checkList(s[6], 14) >= 4);
    check(checkList(s[7], 9) >= 6);
    const std::wstring text = fillSuggestion(s);
    check(text.find(L'{') == std::wstring::npos && text.find(L'}') == std::wstring::npos);
    std::size_t lines = 0;
    for (std::size_t at = text.find(L"\r\n"); at != std::wstring::npos; at = text.find(L"\r\n", at + 2)) ++lines;
    check(lines == 15);
}

void analyse(const std::wstring& text, int method, int zodiac, double castTime) {
    CastRequest request;
    request.method = method;
    request.numberText = text;
    request.zodiac = zodiac;
    request.castTime = castTime;
    request.drawTimeChoice = method == TimeCasting ? CurrentTime : NoTimeChoice;
    Analysis analysis;
    check(runAnalysis(request, analysis));
    check(analysis.header.rfind(L"以", 0) == 0);
    const AnalysisRecord& r = analysis.record;
    if (text.empty()) {
        // The casting panel never sends an empty number; the run must only survive it.
        interpretationLines(r);
        buildSuggestion(deriveBaseNumbers(r));
        return;
    }
    checkChart(analysis.primary, true);
    checkChart(analysis.changed, false);
    const int moving = analysis.primary.movingLine;
    check(moving >= 1 && moving <= 6);

    // Exactly the moving line is marked, ○ on a yang line and × on a yin line, and it is
    // the one line the changed chart turned over.
    check(r.moveMarks.size() == 6);
    for (std::size_t i = 0; i < 6; ++i) {
        const bool isMoving = static_cast<int>(i) + 1 == moving;
        const int mark = r.moveMarks[i];
        check(isMoving ? mark == (analysis.primary.lineMarks[i] == L"1" ? 1 : -1) : mark == 0);
        check((analysis.primary.lineMarks[i] != analysis.changed.lineMarks[i]) == isMoving);
    }
    check(r.worldIndex >= 0 && r.worldIndex <= 5 && r.responseIndex >= 0 && r.responseIndex <= 5);

    const auto grid = chartGrid(r, analysis.primary, analysis.changed);
    for (const GridRow& row : grid) check(isMark(row[4]) && isMark(row[10]));
    const auto lines = interpretationLines(r);
    check(!lines.empty() && lines.front() == L"卦解:");

    const BaseNumbers base = deriveBaseNumbers(r);
    check(digitPool(base).size() == 10);
    checkSuggestion(buildSuggestion(base));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::wstring text = fromUtf8(std::string_view(reinterpret_cast<const char*>(data), size));

    // The casting alone, at every hour number a cast time can give.
    for (int hour = 0; hour <= 12; hour += 6) {
        Hexagram h;
        h.upperTrigram = 9;
        const bool cast = castFromNumber(h, text, L"甲子", hour);
        check(cast == !text.empty());
        if (!cast) {
            check(h.upperTrigram == 9);
            continue;
        }
        checkChart(h, true);
        check(h.movingLine >= 1 && h.movingLine <= 6);
    }

    // The whole run, as a typed number and as a replayed time casting; the zodiac and the
    // time of day follow the input so that every branch and hour gets its turn.
    const int zodiac = static_cast<int>(size % 12) + 1;
    analyse(text, NumberCasting, zodiac, 45382.0 + static_cast<double>(size % 24) / 24.0);
    analyse(text, TimeCasting, 13 - zodiac, 45383.5);
    return 0;
}
