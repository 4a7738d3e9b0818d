// Results pages as the lottery site serves them, for the tests and benchmarks of the draw
// fetch: a ".kjtable" whose second table body holds the draws, row 6 being 七星彩.
#pragma once

#include <string>

#ifdef _WIN32
#include <windows.h>
#else
#include <iconv.h>
#endif

namespace orvenna {

// The page's bytes as the site sends them (GB18030). On Windows without code page 54936 the
// text comes back unconverted; the tests that read such pages skip there.
inline std::string toGb18030(const std::string& utf8) {
#ifdef _WIN32
    const int size = static_cast<int>(utf8.size());
    std::wstring wide(utf8.size(), L'\0');
    wide.resize(static_cast<std::size_t>(MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, wide.data(), size)));
    std::string out(utf8.size() * 2 + 16, '\0');
    const int written = WideCharToMultiByte(54936, 0, wide.data(), static_cast<int>(wide.size()), out.data(),
                                            static_cast<int>(out.size()), nullptr, nullptr);
    if (written <= 0) return utf8;
    out.resize(static_cast<std::size_t>(written));
    return out;
#else
    iconv_t codec = iconv_open("GB18030", "UTF-8");
    std::string in = utf8, out(utf8.size() * 2 + 16, '\0');
    char* from = in.data();
    char* to = out.data();
    std::size_t left = in.size(), room = out.size();
    iconv(codec, &from, &left, &to, &room);
    iconv_close(codec);
    out.resize(out.size() - room);
    return out;
#endif
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
