// The input record of one cast, as the casting panel collects it.
#pragma once

#include <string>
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
    int replayId = 0;  // id of the saved record being replayed; 0 for a new cast
    int method = 0;    // -1 after reset, 0 none chosen, else a CastMethod
    std::wstring methodCaption;
    std::wstring upperCode;  // manual casting: lines 4..6, bottom first, "1" yang
    std::wstring lowerCode;  // manual casting: lines 1..3
    std::vector<int> movingFlags;  // manual casting: lines 1..6, 1 / -1 moving, 0 still
    std::wstring numberText;  // number casting: the number; time casting: Unix milliseconds
    int zodiac = 0;           // 1 子鼠 ... 12 亥猪; -1 after reset, 0 none
    double castTime = 0;      // days since 1899-12-30, local time
    int drawTimeChoice = 0;   // a DrawTimeChoice
    bool isErrorCarrier = false;  // carries only a validation message
};

}  // namespace orvenna
