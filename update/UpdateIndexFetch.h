// Asking the update server for its index and the index's signature.
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "UpdateIndex.h"
#include "base/Result.h"

namespace orvenna {

inline constexpr std::string_view UpdateProductKey = "tarv";

// The index address below the server's base: base + "/update/tarv/index.json".
std::string updateIndexUrl(std::string_view base);

// Bounds of the index request: it is small, and a server that does not answer in time is
// asked again on another day.
inline constexpr long UpdateIndexConnectTimeoutMs = 5000;
inline constexpr long UpdateIndexTotalTimeoutMs = 15000;

// Asks the server at `base` for its index and the index's signature, redirects to https only.
// An Error says why there is no index (no answer, cut short, larger than the bound, a code
// other than 200, cancelled). `base` must already have passed isSecureAddress.
Result<SignedIndexText> fetchUpdateIndex(std::string_view base, const std::function<bool()>& cancelled);

}  // namespace orvenna
