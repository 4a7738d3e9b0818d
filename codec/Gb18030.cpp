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
