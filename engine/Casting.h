// The three casting methods: which trigrams and which moving lines a chart starts from.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "Hexagram.h"

namespace orvenna {

enum class LineHalf { Lower, Upper };

// Number and time casting. Any text is accepted: characters that are not digits count as
// 0, and a piece read as a whole that comes out negative ("-5") is cast by its absolute
// value, so the trigrams are always 1..8 and the moving line 1..6. Returns false, leaving
// the record untouched, only for an empty text.
bool castFromNumber(Hexagram& hexagram, std::wstring_view numberText, std::wstring_view dayPillar, int hourNumber);

// Manual casting from the codes and moving flags of six lines cast offline.
void castFromLines(Hexagram& hexagram, std::wstring_view upperCode, std::wstring_view lowerCode,
                   std::wstring_view dayPillar, const std::vector<int>& movingFlags);

// The trigram code with line k (1..6, counted over the whole hexagram) inverted; k = 0
// returns the code unchanged.
std::wstring flipLine(std::wstring_view code, int k);

// The trigram code with every line whose flag (of the given half) is non-zero inverted.
std::wstring applyMovingFlags(std::wstring_view code, const std::vector<int>& flags, LineHalf half);

}  // namespace orvenna
