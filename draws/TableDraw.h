// Reading a draw out of the results table of the front results page.
#pragma once

#include <string>
#include <string_view>

#include "DrawResult.h"

namespace orvenna {

// The row `rowIndex` of the table body `tableIndex` of ".kjtable": its cells 2 and 3 give
// period and date, the spans of cell 4 the numbers (class exactly `mainClass`: main, any
// other: extra). A row with fewer cells reads cell 0 in place of a missing one.
DrawResult parseTableDraw(int tableIndex, int rowIndex, std::wstring_view lotteryName, std::wstring_view mainClass,
                          const std::string& utf8Page);

// The CSS selector of the row's cells: ".kjtable > tbody:nth-child(2) > tr:nth-child(6) > td".
std::string tableCellSelector(int tableIndex, int rowIndex);

}  // namespace orvenna
