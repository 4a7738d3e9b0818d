// The lottery suggestion: eight digit lists made from the base numbers of a cast.
#pragma once

#include <array>
#include <string>
#include <string_view>

#include "BaseNumbers.h"

namespace orvenna {

// Positions 1..6, then the blue-number candidates, then the likely digits; each a list
// sorted ascending and joined with ",".
using Suggestion = std::array<std::wstring, 8>;

Suggestion buildSuggestion(const BaseNumbers& base);
// The same into `suggestion`, overwriting the lists of the last cast in their own storage.
void buildSuggestion(const BaseNumbers& base, Suggestion& suggestion);

// The ten digits in the order they are first seen in the cast (zodiac, day, then the
// line digits of both hexagrams), completed with the digits the cast did not show.
std::wstring digitPool(const BaseNumbers& base);

// The line whose spirit (青龙 or 玄武) sets the direction of the blue and likely walks.
int keyLine(const std::array<std::wstring, 6>& spirits, int worldIndex, int responseIndex);

// The number of a pair of digits (row a, column b); 0 for anything but two digits.
int pairNumber(int a, int b);

// The weight of a spirit on a line of a relation, in tenths (-2..2); 0 for unknown names.
int spiritWeightTenths(std::wstring_view spirit, std::wstring_view relation);
// The same as a real number: -0.2 .. 0.2.
double spiritWeight(std::wstring_view spirit, std::wstring_view relation);

// Reads a list (single characters when it has no ",", else trimmed pieces), sorts the
// numbers ascending and joins them with ",".
std::wstring formatDigitList(std::wstring_view text);
// The same into `out`, replacing what it held.
void formatDigitList(std::wstring_view text, std::wstring& out);

}  // namespace orvenna
