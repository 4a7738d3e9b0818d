#include "engine/CastRequest.h"

#include <gtest/gtest.h>

#include "base/Text.h"

namespace orvenna {
namespace {

// What 演算 says of every request the casting row can hold, in the order the user is told.
TEST(CastRequestTest, EveryCheckHasItsProblemAndItsMessage) {
    const std::vector<int> lines = {0, -1, 1, 0, 0, 0};
    struct Case {
        const char* name;
        CastRequest request;
        CastProblem problem;
        std::wstring_view message;
    };
    const auto request = [&](int method, std::wstring_view number, int zodiac, int time = NoTimeChoice,
                             bool lineSet = false, std::int64_t replayId = 0) {
        CastRequest r;
        r.method = method;
        r.numberText = number;
        r.zodiac = zodiac;
        r.drawTimeChoice = time;
        r.replayId = replayId;
        if (lineSet) r.upperCode = L"010", r.lowerCode = L"101", r.movingFlags = lines;
        return r;
    };
    const Case cases[] = {
        {"no method", request(0, L"123", 7), CastProblem::NoMethod, L"未选择推算条件"},
        {"reset", request(-1, L"", -1), CastProblem::NoMethod, L"未选择推算条件"},
        {"no number", request(NumberCasting, L"", 7), CastProblem::NoNumber, L"未输入推算数字"},
        {"minus alone", request(NumberCasting, L"-", 7), CastProblem::NotANumber, NotANumberMessage},
        {"inner minus", request(NumberCasting, L"1-2-3", 7), CastProblem::NotANumber, NotANumberMessage},
        {"minus after", request(NumberCasting, L"5-", 7), CastProblem::NotANumber, NotANumberMessage},
        {"replayed as saved", request(NumberCasting, L"1-2", 7, 0, false, 9), CastProblem::None,
         L"按卦主生肖与数字测算"},
        {"number, no zodiac", request(NumberCasting, L"123", 0), CastProblem::NoZodiac, L"未选择卦主生肖"},
        {"number", request(NumberCasting, L"-5", 7), CastProblem::None, L"按卦主生肖与数字测算"},
        {"leading zeros", request(NumberCasting, L"007", 7), CastProblem::None, L"按卦主生肖与数字测算"},
        {"no lines", request(LineCasting, L"", 1), CastProblem::NoLines, L"未装好线下卦"},
        {"lines, no zodiac", request(LineCasting, L"", 0, NoTimeChoice, true), CastProblem::NoZodiac,
         L"未选择卦主生肖"},
        {"lines", request(LineCasting, L"", 1, NoTimeChoice, true), CastProblem::None,
         L"按卦主生肖与自己装载线下卦测算"},
        {"no time", request(TimeCasting, L"", 2), CastProblem::NoTimeChoice, L"未选择推演时间"},
        {"time, no zodiac", request(TimeCasting, L"", 0, DrawTime), CastProblem::NoZodiac, L"未选择卦主生肖"},
        {"time", request(TimeCasting, L"", 2, CurrentTime), CastProblem::None, L"按卦主生肖与超时空毫秒数测算"},
        {"a fourth method", request(4, L"123", 7), CastProblem::UnknownMethod, L""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const CastCheck check = checkRequest(c.request);
        EXPECT_EQ(check.problem, c.problem);
        EXPECT_EQ(check.message, c.message);
        EXPECT_EQ(check.casts(), c.problem == CastProblem::None);
    }
}

}  // namespace
}  // namespace orvenna
