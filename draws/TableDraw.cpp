#include "TableDraw.h"

#include "HtmlQuery.h"
#include "base/Text.h"

namespace orvenna {

std::string tableCellSelector(int tableIndex, int rowIndex) {
    return ".kjtable > tbody:nth-child(" + std::to_string(tableIndex) + ") > tr:nth-child(" + std::to_string(rowIndex) +
           ") > td";
}

DrawResult parseTableDraw(int tableIndex, int rowIndex, std::wstring_view lotteryName, std::wstring_view mainClass,
                          const std::string& utf8Page) {
    DrawResult draw;
    HtmlDocument document;
    if (!document.parse(utf8Page)) {
        draw.status = DrawPageUnreadable;
        draw.errorText = L"body error";
        return draw;
    }
    const HtmlSelection cells = document.find(tableCellSelector(tableIndex, rowIndex));
    draw.lotteryName = std::wstring(lotteryName);
    draw.period = fromUtf8(cells.node(2).ownText());
    draw.drawDate = fromUtf8(cells.node(3).ownText());
    const std::string mainClassText = toUtf8(mainClass);
    const HtmlSelection spans = cells.node(4).find("span");
    for (std::size_t i = 0; i < spans.count(); ++i) {
        const HtmlNode span = spans.node(i);
        (span.attribute("class") == mainClassText ? draw.mainNumbers : draw.extraNumbers) += fromUtf8(span.ownText());
    }
    draw.errorText.clear();
    return draw;
}

}  // namespace orvenna
