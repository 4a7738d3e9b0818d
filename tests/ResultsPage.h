// Results pages as the lottery site serves them, for the tests and benchmarks of the draw
// fetch: a ".kjtable" whose second table body holds the draws, row 6 being 七星彩.
#pragma once

#include <string>

#include <iconv.h>

namespace orvenna {

// The page's bytes as the site sends them (GB18030).
inline std::string toGb18030(const std::string& utf8) {
    iconv_t codec = iconv_open("GB18030", "UTF-8");
    std::string in = utf8, out(utf8.size() * 2 + 16, '\0');
    char* from = in.data();
    char* to = out.data();
    std::size_t left = in.size(), room = out.size();
    iconv(codec, &from, &left, &to, &room);
    iconv_close(codec);
    out.resize(out.size() - room);
    return out;
}

// Six "yellow" spans with 1 to 6 and one other with 7.
inline std::string sevenDigits() {
    std::string spans;
    for (int digit = 1; digit <= 6; ++digit) spans += "<span class=\"yellow\">" + std::to_string(digit) + "</span>";
    return spans + "<span class=\"blue\">7</span>";
}

inline std::string drawRow(const std::string& spans, const std::string& period = "24037",
                           const std::string& date = "2024-04-02") {
    return "<tr><td>七星彩</td><td>二</td><td>" + period + "</td><td>" + date + "</td><td>" + spans + "</td></tr>";
}

// A UTF-8 front page with `row` as row 6 of the draws, after `padding`.
inline std::string resultsPage(const std::string& row, const std::string& padding = "") {
    std::string rows;
    for (int i = 1; i <= 5; ++i)
        rows += "<tr><td>排列" + std::to_string(i) + "</td><td>a</td><td>b</td><td>c</td><td>d</td></tr>";
    return "<html><head><title>开奖</title></head><body>" + padding +
           "<table class=\"kjtable\"><tbody><tr><th>彩种</th><th>期号</th></tr></tbody><tbody>" + rows + row +
           "</tbody></table></body></html>";
}

}  // namespace orvenna
