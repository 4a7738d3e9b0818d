#include "Gb18030.h"

#include <iconv.h>

#include <cerrno>
#include <memory>
#include <type_traits>

namespace orvenna {

std::optional<std::string> gb18030ToUtf8(std::string_view bytes) {
    if (bytes.empty()) return std::string();
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
}

}  // namespace orvenna
