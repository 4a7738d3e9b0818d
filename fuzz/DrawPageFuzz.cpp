// The results page is outside input: any bytes, read as the program reads them (GB18030,
// then the results table), and also handed to the table parser as they are.
#include <cstddef>
#include <cstdint>
#include <string>

#include "codec/Gb18030.h"
#include "draws/DrawFetcher.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    if (const auto text = orvenna::gb18030ToUtf8(bytes)) {
        const orvenna::DrawResult draw = orvenna::parseSevenStarDraw(*text);
        // A usable draw always has a period and numbers.
        if (draw.usable() && (draw.period.empty() || (draw.mainNumbers + draw.extraNumbers).empty())) __builtin_trap();
    }
    orvenna::parseSevenStarDraw(bytes);
    return 0;
}
