#include "QrSymbol.h"

#include <array>
#include <fstream>
#include <memory>
#include <string>

#include <qrencode.h>

namespace orvenna {

namespace {

struct QrCodeFree {
    void operator()(QRcode* code) const { QRcode_free(code); }
};
using QrCodeOwner = std::unique_ptr<QRcode, QrCodeFree>;

constexpr int MinimumVersion = 5;

}  // namespace

std::optional<QrSymbol> encodeQr(std::string_view utf8) {
    const std::string text(utf8);  // the library wants a terminated string
    const QrCodeOwner code(QRcode_encodeString(text.c_str(), MinimumVersion, QR_ECLEVEL_H, QR_MODE_8, 1));
    if (!code) return std::nullopt;
    QrSymbol symbol;
    symbol.width = code->width;
    symbol.dark.resize(static_cast<std::size_t>(code->width) * code->width);
    for (std::size_t i = 0; i < symbol.dark.size(); ++i) symbol.dark[i] = (code->data[i] & 1) != 0;
    return symbol;
}

QrPicture drawQr(const QrSymbol& symbol, int boxSide) {
    const int modules = symbol.width + 2 * QuietZoneModules;
    QrPicture picture;
    picture.scale = std::max(1, boxSide / modules);
    picture.side = modules * picture.scale;
    picture.rgb.assign(static_cast<std::size_t>(picture.side) * picture.side * 3, 255);
    for (int y = 0; y < symbol.width; ++y)
        for (int x = 0; x < symbol.width; ++x) {
            if (!symbol.isDark(x, y)) continue;
            const int left = (x + QuietZoneModules) * picture.scale;
            const int top = (y + QuietZoneModules) * picture.scale;
            for (int row = top; row < top + picture.scale; ++row) {
                auto* pixel = &picture.rgb[(static_cast<std::size_t>(row) * picture.side + left) * 3];
                std::fill(pixel, pixel + picture.scale * 3, 0);
            }
        }
    return picture;
}

namespace {

std::uint32_t crc32(const std::uint8_t* data, std::size_t length, std::uint32_t crc = 0) {
    static const auto table = [] {
        std::array<std::uint32_t, 256> t{};
        for (std::uint32_t n = 0; n < 256; ++n) {
            std::uint32_t c = n;
            for (int k = 0; k < 8; ++k) c = c & 1 ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            t[n] = c;
        }
        return t;
    }();
    crc = ~crc;
    for (std::size_t i = 0; i < length; ++i) crc = table[(crc ^ data[i]) & 0xFF] ^ (crc >> 8);
    return ~crc;
}

void putBigEndian(std::vector<std::uint8_t>& out, std::uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<std::uint8_t>(value >> shift));
}

void appendChunk(std::vector<std::uint8_t>& png, const char type[4], const std::vector<std::uint8_t>& data) {
    putBigEndian(png, static_cast<std::uint32_t>(data.size()));
    const std::size_t typeAt = png.size();
    png.insert(png.end(), type, type + 4);
    png.insert(png.end(), data.begin(), data.end());
    putBigEndian(png, crc32(&png[typeAt], data.size() + 4));
}

// A zlib stream of stored (uncompressed) blocks: a QR picture is small, and this keeps the
// writer free of a compression library.
std::vector<std::uint8_t> storedZlib(const std::vector<std::uint8_t>& raw) {
    std::vector<std::uint8_t> out = {0x78, 0x01};
    std::size_t at = 0;
    do {
        const std::size_t length = std::min<std::size_t>(65535, raw.size() - at);
        const bool last = at + length == raw.size();
        out.push_back(last ? 1 : 0);
        out.push_back(static_cast<std::uint8_t>(length));
        out.push_back(static_cast<std::uint8_t>(length >> 8));
        out.push_back(static_cast<std::uint8_t>(~length));
        out.push_back(static_cast<std::uint8_t>(~length >> 8));
        out.insert(out.end(), raw.begin() + static_cast<std::ptrdiff_t>(at),
                   raw.begin() + static_cast<std::ptrdiff_t>(at + length));
        at += length;
    } while (at < raw.size());
    std::uint32_t a = 1, b = 0;
    for (std::uint8_t byte : raw) {
        a = (a + byte) % 65521;
        b = (b + a) % 65521;
    }
    putBigEndian(out, (b << 16) | a);
    return out;
}

}  // namespace

bool writePng(const std::filesystem::path& file, int width, int height, const std::vector<std::uint8_t>& rgb) {
    if (width <= 0 || height <= 0 || rgb.size() != static_cast<std::size_t>(width) * height * 3) return false;
    std::vector<std::uint8_t> png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    std::vector<std::uint8_t> header;
    putBigEndian(header, static_cast<std::uint32_t>(width));
    putBigEndian(header, static_cast<std::uint32_t>(height));
    header.insert(header.end(), {8, 2, 0, 0, 0});  // 8-bit RGB, no interlace
    appendChunk(png, "IHDR", header);

    std::vector<std::uint8_t> raw;
    raw.reserve((static_cast<std::size_t>(width) * 3 + 1) * height);
    for (int y = 0; y < height; ++y) {
        raw.push_back(0);  // no filter
        const auto row = rgb.begin() + static_cast<std::ptrdiff_t>(y) * width * 3;
        raw.insert(raw.end(), row, row + width * 3);
    }
    appendChunk(png, "IDAT", storedZlib(raw));
    appendChunk(png, "IEND", {});

    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(png.data()), static_cast<std::streamsize>(png.size()));
    return static_cast<bool>(out.flush());
}

}  // namespace orvenna
