// The page of the help window on Linux: wx's HTML view, taught two things a reader of Chinese
// help needs of it: lines that break between Chinese characters, and links reached with the
// keyboard.
#pragma once

#include <vector>

#include <wx/html/htmlwin.h>

namespace orvenna {

// `html` with a <wbr> wherever a line may break inside a run of Chinese text: between two
// characters of which one is Chinese, unless punctuation must stay with its neighbour (no
// line starts with "，" or ends with "（"). A line break of the source between two Chinese
// characters becomes such a break rather than a space. Tags, comments, the title and
// preformatted text are left as they are; a text given twice gets no second break.
wxString withChineseLineBreaks(const wxString& html);

class HelpPage : public wxHtmlWindow {
public:
    explicit HelpPage(wxWindow* parent);

    // Marks the next link of the page (the previous one when `forward` is false), shown
    // selected and scrolled into view; with none marked, the first one from the top of the
    // view (or the last one above its bottom). False when the page has no link.
    bool markNextLink(bool forward);
    // Follows the marked link as a click on it would; false when none is marked.
    bool followMarkedLink();

private:
    // One link as the page shows it: the words between its first and last cell.
    struct LinkRun {
        const wxHtmlCell* first;
        const wxHtmlCell* last;
    };
    std::vector<LinkRun> linkRuns() const;
    int markedRun(const std::vector<LinkRun>& runs) const;
    void mark(const LinkRun& run);
};

}  // namespace orvenna
