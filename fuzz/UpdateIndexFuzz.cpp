// The update index comes from a server: any bytes must give an index or nothing, and an
// offered update must name a safe file and an http(s) address.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "update/UpdateIndex.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto index = orvenna::parseUpdateIndex(std::string_view(reinterpret_cast<const char*>(data), size));
    if (!index) return 0;
    orvenna::megabytesText(index->size);
    if (orvenna::offersUpdate(*index)) {
        if (index->md5.size() != 32 || index->md5.find_first_of(L"./\\") != std::wstring::npos) __builtin_trap();
        if (!orvenna::decodeUpdateAddress(index->url)) __builtin_trap();
    }
    return 0;
}
