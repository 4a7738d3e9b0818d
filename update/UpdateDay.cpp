#include "UpdateDay.h"

#include "base/Text.h"

namespace orvenna {

std::wstring updateDayText(int year, int month, int day) {
    return concat(decimalText(year), L"年", decimalText(month), L"月", decimalText(day), L"日");
}

}  // namespace orvenna
