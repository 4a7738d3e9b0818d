// The number of allocations the program has made so far: a benchmark program built with
// AllocationCount.cpp has the global operator new replaced by one that counts, so that it can
// say how many allocations one operation makes.
#pragma once

#include <cstdint>

namespace orvenna {

std::uint64_t allocationCount();

}  // namespace orvenna
