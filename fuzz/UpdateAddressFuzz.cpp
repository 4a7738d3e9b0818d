// The download address arrives as hexadecimal UTF-16LE text; whatever decodes must be an
// http or https address without control characters.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "update/UpdateIndex.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto address = orvenna::decodeUpdateAddress(std::string_view(reinterpret_cast<const char*>(data), size));
    if (!address) return 0;
    if (address->rfind(L"http", 0) != 0 && address->rfind(L"HTTP", 0) != 0 &&
        address->find(L"://") == std::wstring::npos)
        __builtin_trap();
    for (wchar_t c : *address)
        if (c < 0x20 || c == 0x7F) __builtin_trap();
    return 0;
}
