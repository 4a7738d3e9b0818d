#include "CastRequest.h"

namespace orvenna {

CastCheck checkRequest(const CastRequest& r) {
    if (r.method <= 0) return {CastProblem::NoMethod, L"未选择推算条件"};
    switch (r.method) {
        case NumberCasting:
            if (r.numberText.empty()) return {CastProblem::NoNumber, L"未输入推算数字"};
            // A saved cast replays as it was first cast, whatever its number looks like.
            if (r.replayId == 0 && !isWholeNumber(r.numberText)) return {CastProblem::NotANumber, NotANumberMessage};
            if (r.zodiac <= 0) return {CastProblem::NoZodiac, L"未选择卦主生肖"};
            return {CastProblem::None, L"按卦主生肖与数字测算"};
        case LineCasting:
            if (r.upperCode.size() != 3 || r.lowerCode.size() != 3 || r.movingFlags.size() != 6)
                return {CastProblem::NoLines, L"未装好线下卦"};
            if (r.zodiac <= 0) return {CastProblem::NoZodiac, L"未选择卦主生肖"};
            return {CastProblem::None, L"按卦主生肖与自己装载线下卦测算"};
        case TimeCasting:
            if (r.drawTimeChoice == NoTimeChoice) return {CastProblem::NoTimeChoice, L"未选择推演时间"};
            if (r.zodiac <= 0) return {CastProblem::NoZodiac, L"未选择卦主生肖"};
            return {CastProblem::None, L"按卦主生肖与超时空毫秒数测算"};
        default:
            return {};
    }
}

std::optional<ManualLines> manualLines(std::span<const int> items) {
    if (items.size() != 6) return std::nullopt;
    ManualLines lines;
    for (std::size_t i = 0; i < items.size(); ++i) {
        const int item = items[i];
        if (item < 1 || item > 4) return std::nullopt;
        (i < 3 ? lines.lowerCode : lines.upperCode) += item % 2 == 1 ? L'1' : L'0';
        lines.movingFlags.push_back(item == 3 ? 1 : item == 4 ? -1 : 0);
    }
    return lines;
}

}  // namespace orvenna
