// Bytes handed over piece by piece, in order, from a file or a transfer.
#pragma once

#include <cstddef>
#include <functional>

namespace orvenna {

// Takes the next piece; returning false stops whoever is handing them over.
using ByteSink = std::function<bool(const char* data, std::size_t size)>;

// Hands all its bytes to the sink; false when reading failed or the sink stopped it.
using ByteSource = std::function<bool(const ByteSink& sink)>;

}  // namespace orvenna
