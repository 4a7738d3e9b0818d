#include "Gb18030.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <iconv.h>
#endif

#include <cerrno>
#include <climits>
#include <memory>
#include <type_traits>

namespace orvenna {

namespace {

// Well-formed UTF-8: no overlong form, no surrogate, nothing past U+10FFFF, nothing cut short.
bool isUtf8(std::string_view bytes) {
    for (std::size_t i = 0; i < bytes.size();) {
        const auto lead = static_cast<unsigned char>(bytes[i]);
        int extra = 0;
        unsigned low = 0x80, high = 0xBF;  // the range of the second byte
        if (lead < 0x80) {
            ++i;
            continue;
        } else if (lead >= 0xC2 && lead <= 0xDF) {
            extra = 1;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            extra = 2;
            if (lead == 0xE0) low = 0xA0;
            if (lead == 0xED) high = 0x9F;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            extra = 3;
            if (lead == 0xF0) low = 0x90;
            if (lead == 0xF4) high = 0x8F;
        } else {
            return false;
        }
        if (bytes.size() - i <= static_cast<std::size_t>(extra)) return false;
        for (int k = 1; k <= extra; ++k) {
            const auto c = static_cast<unsigned char>(bytes[i + k]);
            if (c < (k == 1 ? low : 0x80) || c > (k == 1 ? high : 0xBF)) return false;
        }
        i += static_cast<std::size_t>(extra) + 1;
    }
    return true;
}

}  // namespace

std::optional<std::string> utf8OrGb18030(std::string_view bytes) {
    if (isUtf8(bytes)) {
        if (bytes.starts_with("\xEF\xBB\xBF")) bytes.remove_prefix(3);
        return std::string(bytes);
    }
    return gb18030ToUtf8(bytes);
}

std::optional<std::string> gb18030ToUtf8(std::string_view bytes) {
    if (bytes.empty()) return std::string();
#ifdef _WIN32
    // The system's GB18030 code page; a byte sequence it cannot read fails the whole text,
    // as iconv does.
    constexpr UINT Gb18030CodePage = 54936;
    if (bytes.size() > static_cast<std::size_t>(INT_MAX)) return std::nullopt;
    const int size = static_cast<int>(bytes.size());
    const int wide = MultiByteToWideChar(Gb18030CodePage, MB_ERR_INVALID_CHARS, bytes.data(), size, nullptr, 0);
    if (wide <= 0) return std::nullopt;
    std::wstring text(static_cast<std::size_t>(wide), L'\0');
    MultiByteToWideChar(Gb18030CodePage, MB_ERR_INVALID_CHARS, bytes.data(), size, text.data(), wide);
    const int narrow = WideCharToMultiByte(CP_UTF8, 0, text.data(), wide, nullptr, 0, nullptr, nullptr);
    if (narrow <= 0) return std::nullopt;
    std::string out(static_cast<std::size_t>(narrow), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), wide, out.data(), narrow, nullptr, nullptr);
    return out;
#else
    const iconv_t opened = iconv_open("UTF-8", "GB18030");
    if (opened == reinterpret_cast<iconv_t>(-1)) return std::nullopt;
    using Converter = std::unique_ptr<std::remove_pointer_t<iconv_t>, decltype(&iconv_close)>;
    const Converter converter(opened, &iconv_close);

    // Two-byte characters grow to three bytes, so half as much again is nearly always
    // enough; when it is not, the buffer doubles and the conversion carries on where it
    // stopped.
    std::string out(bytes.size() + bytes.size() / 2 + 16, '\0');
    // iconv's interface is not const-correct; it only reads the input.
    char* in = const_cast<char*>(bytes.data());
    std::size_t inLeft = bytes.size();
    std::size_t written = 0;
    while (inLeft > 0) {
        char* outPos = out.data() + written;
        std::size_t outLeft = out.size() - written;
        const std::size_t result = iconv(converter.get(), &in, &inLeft, &outPos, &outLeft);
        written = out.size() - outLeft;
        if (result != static_cast<std::size_t>(-1)) break;
        if (errno != E2BIG) return std::nullopt;  // EILSEQ: not GB18030; EINVAL: cut short
        out.resize(out.size() * 2);
    }
    out.resize(written);
    return out;
#endif
}

}  // namespace orvenna
