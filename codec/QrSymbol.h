// The QR symbol of a text, as a phone reads it from the screen: libqrencode at version 5 or
// above, level H, 8-bit, case-sensitive; drawn with whole pixels per module and a white
// quiet zone of four modules, so that a camera finds it.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string_view>
#include <vector>

namespace orvenna {

struct QrSymbol {
    int width = 0;           // modules per side
    std::vector<bool> dark;  // row by row, top row first
    bool isDark(int x, int y) const { return dark[static_cast<std::size_t>(y) * width + x]; }
};

// The symbol of `utf8`; nothing when the text does not fit a symbol at level H.
std::optional<QrSymbol> encodeQr(std::string_view utf8);

inline constexpr int QuietZoneModules = 4;

// An RGB picture, three bytes a pixel, rows top first.
struct QrPicture {
    int side = 0;
    int scale = 0;  // pixels per module
    std::vector<std::uint8_t> rgb;
};

// The symbol with its quiet zone, scaled up by the largest whole factor that fits a square
// of `boxSide` pixels (at least 1), black on white, without smoothing.
QrPicture drawQr(const QrSymbol& symbol, int boxSide);

// Writes an RGB picture as a PNG file; false when the file cannot be written.
bool writePng(const std::filesystem::path& file, int width, int height, const std::vector<std::uint8_t>& rgb);

}  // namespace orvenna
