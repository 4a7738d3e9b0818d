// The update index comes from a server: any bytes must give an index or nothing, and an
// offered update must name a safe file and an http(s) address, and carry a signature.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "ui/words/UpdateWords.h"
#include "update/OfferDecision.h"
#include "update/UpdateIndex.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto index = orvenna::parseUpdateIndex(std::string_view(reinterpret_cast<const char*>(data), size));
    if (!index) return 0;
    orvenna::megabytesText(index->size);
    // Any key will do: its signature check reads the index's "sig" as outside input too.
    static const auto key = orvenna::parseMinisignKey("RWS0BNfUZ4oWhKvh+KP9j5nVu8ZEwGZ+6V7YsodASqmZ2HHgx61qw6F8");
    if (orvenna::decideOffer(*index, key).offered()) {
        if (index->md5.size() != 32 || index->md5.find_first_of(L"./\\") != std::wstring::npos) __builtin_trap();
        if (!orvenna::decodeUpdateAddress(index->url)) __builtin_trap();
    }
    return 0;
}
