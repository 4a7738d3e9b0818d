// The pictures compiled into the program, found by their file name in resources/.
#pragma once

#include <cstddef>
#include <string_view>

namespace orvenna {

struct ResourceBytes {
    const unsigned char* data = nullptr;
    std::size_t size = 0;
};

// The bytes of a picture; empty for a name the program does not carry.
ResourceBytes resourceBytes(std::string_view name);

}  // namespace orvenna
