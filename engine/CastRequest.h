// The input record of one cast, as the casting panel collects it.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace orvenna {

enum CastMethod : int {
    NumberCasting = 1,  // 数字起卦
    LineCasting = 2,    // 自己装卦
    TimeCasting = 3,    // 超时空起卦
};

enum DrawTimeChoice : int {
    NoTimeChoice = 0,
    CurrentTime = 1,  // 当前时间
    DrawTime = 2,     // 开奖时间
};

struct CastRequest {
    std::int64_t replayId = 0;     // id of the saved record being replayed; 0 for a new cast
    int method = 0;                // -1 after reset, 0 none chosen, else a CastMethod
    std::wstring upperCode;        // manual casting: lines 4..6, bottom first, "1" yang
    std::wstring lowerCode;        // manual casting: lines 1..3
    std::vector<int> movingFlags;  // manual casting: lines 1..6, 1 / -1 moving, 0 still
    std::wstring numberText;       // number casting: the number; time casting: Unix milliseconds
    int zodiac = 0;                // 1 子鼠 ... 12 亥猪; -1 after reset, 0 none
    double castTime = 0;           // days since 1899-12-30, local time
    int drawTimeChoice = 0;        // a DrawTimeChoice
};

// Why "演算" does not cast a request.
enum class CastProblem {
    None,           // the request casts
    NoMethod,       // no method chosen
    NoNumber,       // a number casting without its number
    NotANumber,     // a new number casting's number is no whole number
    NoLines,        // a manual casting whose six lines are not all set
    NoTimeChoice,   // a time casting without its time
    NoZodiac,       // no zodiac chosen
    UnknownMethod,  // a method beyond the three: nothing happens, and nothing is said
};

// What "演算" makes of a request, and what the status bar says of it: how it casts, or what
// is missing.
struct CastCheck {
    CastProblem problem = CastProblem::UnknownMethod;
    std::wstring_view message;

    bool casts() const { return problem == CastProblem::None; }
};

// The characters a number casting's number is typed with: the digits and "-", all the
// casting panel's number box admits.
constexpr bool isNumberCharacter(wchar_t c) {
    return (c >= L'0' && c <= L'9') || c == L'-';
}

// A number as the user means one: an optional leading "-", then at least one digit, and
// nothing else. "-" alone or "1-2-3" is not one.
constexpr bool isWholeNumber(std::wstring_view text) {
    if (!text.empty() && text.front() == L'-') text.remove_prefix(1);
    if (text.empty()) return false;
    for (const wchar_t c : text)
        if (c < L'0' || c > L'9') return false;
    return true;
}

// Said when a new number casting's number is no whole number.
inline constexpr std::wstring_view NotANumberMessage = L"推算数字有误:只能是数字,负号只能在最前";

// Checks in the order the user is told: the method, the method's own input, the zodiac.
CastCheck checkRequest(const CastRequest& request);

// The six lines of a manual casting as the dialog lists them, line 1 first: 1 阳爻, 2 阴爻,
// 3 阳动, 4 阴动.
struct ManualLines {
    std::wstring upperCode;
    std::wstring lowerCode;
    std::vector<int> movingFlags;
};

// The trigram codes and moving flags of six items; nothing unless there are six, each 1..4.
std::optional<ManualLines> manualLines(std::span<const int> items);

}  // namespace orvenna
