// A saved row's moving flags come back from the record store as text, and the store may
// hold a row that another program or a hand edit wrote. Input: the flags text, then
// optionally the rest of the row that a replay reads, one a line: the upper code, the
// lower code, the cast day (a number) and the zodiac.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cwchar>
#include <string>
#include <string_view>

#include "base/Text.h"
#include "engine/AnalysisRun.h"
#include "engine/Report.h"
#include "records/YsModel.h"

namespace {

using namespace orvenna;

void check(bool ok) {
    if (!ok) __builtin_trap();
}

bool isLineCode(std::wstring_view code) {
    return code.size() == 3 && code.find_first_not_of(L"01") == std::wstring_view::npos;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::wstring input = fromUtf8(std::string_view(reinterpret_cast<const char*>(data), size));
    std::wstring_view fields[5] = {input, L"101", L"010", L"45382.5", L"5"};
    std::wstring_view rest = input;
    for (std::size_t f = 0; f < 5; ++f) {
        const std::size_t end = rest.find(L'\n');
        fields[f] = rest.substr(0, end);
        if (end == std::wstring_view::npos) break;
        rest.remove_prefix(end + 1);
    }

    // Formatting the parsed flags and parsing the text again gives the same flags.
    YsModel stored;
    stored.setMovingFlagsText(fields[0]);
    for (const int flag : stored.dong) check(flag >= -1'000'000 && flag <= 1'000'000);
    const std::wstring text = stored.movingFlagsText();
    YsModel again;
    again.setMovingFlagsText(text);
    check(again.dong == stored.dong);
    check(again.movingFlagsText() == text);

    // A replay of the row as a manual casting.
    stored._id = 7;
    stored.ysindex = LineCasting;
    const std::wstring day(fields[3]);
    stored.ysday = std::wcstod(day.c_str(), nullptr);
    const std::int64_t zodiac = leadingInt(fields[4]);
    stored.gzsxid = zodiac < -1000 || zodiac > 1000 ? 0 : static_cast<int>(zodiac);
    stored.upstr = fields[1];
    stored.downstr = fields[2];
    const CastRequest request = replayRequest(stored);
    check(request.replayId == 7 && request.method == LineCasting && request.movingFlags == stored.dong);
    check(request.upperCode == stored.upstr && request.lowerCode == stored.downstr);
    Analysis analysis;
    check(runAnalysis(request, analysis));
    const AnalysisRecord& r = analysis.record;
    check(r.moveMarks.size() == 6);
    for (std::size_t i = 0; i < 6; ++i) {
        const int flag = i < stored.dong.size() ? stored.dong[i] : 0;
        check(r.moveMarks[i] == (flag == 0 ? 0 : flag == 1 ? 1 : -1));
    }
    if (isLineCode(stored.upstr) && isLineCode(stored.downstr)) {
        // Sound codes give whole charts, and the changed chart turns over the moving lines.
        check(analysis.primary.lineMarks.size() == 6 && analysis.changed.lineMarks.size() == 6);
        for (std::size_t i = 0; i < 6; ++i) {
            check((analysis.primary.lineMarks[i] != analysis.changed.lineMarks[i]) == (r.moveMarks[i] != 0));
        }
    }
    interpretationLines(r);
    chartGrid(r, analysis.primary, analysis.changed);

    // Saving that analysis and replaying the saved row gives the same analysis again.
    YsModel saved = YsModel::fromAnalysis(r, L"t", L"");
    check(saved.dong.size() == 6);
    YsModel reread;
    reread.setMovingFlagsText(saved.movingFlagsText());
    check(reread.dong == saved.dong);
    Analysis replayed;
    check(runAnalysis(replayRequest(saved), replayed));
    // (A day that is not a number never equals itself; it must come back as such, and the rest
    // is compared without it.)
    AnalysisRecord replayedRecord = replayed.record, original = r;
    check(replayedRecord.castTime == r.castTime || (std::isnan(replayedRecord.castTime) && std::isnan(r.castTime)));
    replayedRecord.castTime = original.castTime = 0;
    check(replayedRecord == original && replayed.primary.lineMarks == analysis.primary.lineMarks &&
          replayed.changed.lineMarks == analysis.changed.lineMarks);
    return 0;
}
