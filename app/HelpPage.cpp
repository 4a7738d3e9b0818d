#include "HelpPage.h"

#include <algorithm>
#include <cwctype>
#include <string>
#include <string_view>

#include <wx/html/htmlcell.h>
#include <wx/html/htmlproc.h>
#include <wx/html/winpars.h>

namespace orvenna {

namespace {

// Ideographs, kana and the full-width forms and punctuation of Chinese text, with the curly
// quotes it uses: what is set without spaces between words.
bool isChinese(wchar_t c) {
    return (c >= 0x2018 && c <= 0x201F) || (c >= 0x2E80 && c <= 0x2FDF) || (c >= 0x3000 && c <= 0x33FF) ||
           (c >= 0x3400 && c <= 0x4DBF) || (c >= 0x4E00 && c <= 0x9FFF) || (c >= 0xF900 && c <= 0xFAFF) ||
           (c >= 0xFE30 && c <= 0xFE4F) || (c >= 0xFF00 && c <= 0xFFEF) || (c >= 0x20000 && c <= 0x3FFFF);
}

// Punctuation that never starts a line, and punctuation that never ends one.
constexpr std::wstring_view NoBreakBefore = L"、。，．：；？！）］｝〉》」』】〕〗’”…‥・ー々〜～)]},.:;!?%";
constexpr std::wstring_view NoBreakAfter = L"（［｛〈《「『【〔〖‘“([{";

bool mayBreakBetween(wchar_t before, wchar_t after) {
    return (isChinese(before) || isChinese(after)) && NoBreakAfter.find(before) == std::wstring_view::npos &&
           NoBreakBefore.find(after) == std::wstring_view::npos;
}

bool isHtmlSpace(wchar_t c) {
    return c == L' ' || c == L'\t' || c == L'\n' || c == L'\r';
}

// The end of the tag or comment that starts at `start` (one past its ">").
size_t markupEnd(const std::wstring& html, size_t start) {
    if (html.compare(start, 4, L"<!--") == 0) {
        const size_t close = html.find(L"-->", start + 4);
        return close == std::wstring::npos ? html.size() : close + 3;
    }
    wchar_t quote = 0;
    for (size_t i = start + 1; i < html.size(); ++i) {
        const wchar_t c = html[i];
        if (quote) {
            if (c == quote) quote = 0;
        } else if (c == L'"' || c == L'\'') {
            quote = c;
        } else if (c == L'>') {
            return i + 1;
        }
    }
    return html.size();
}

// The lower-case name of a tag, with a leading "/" for a closing one.
std::wstring tagName(const std::wstring& html, size_t start, size_t end) {
    std::wstring name;
    for (size_t i = start + 1; i < end; ++i) {
        const wchar_t c = html[i];
        if (c == L'/' && name.empty()) {
            name += c;
        } else if (std::iswalnum(c) && c < 128) {
            name += static_cast<wchar_t>(std::towlower(c));
        } else {
            break;
        }
    }
    return name;
}

bool startsMarkup(const std::wstring& html, size_t i) {
    if (html[i] != L'<' || i + 1 >= html.size()) return false;
    const wchar_t next = html[i + 1];
    return next == L'/' || next == L'!' || (next < 128 && std::iswalpha(next));
}

// wx's parser breaks lines at spaces only; a <wbr> gives it an empty word, which a line may
// break before, carrying the link it stands in so a link's words stay one link.
class BreakOpportunity : public wxHtmlWinTagHandler {
public:
    wxString GetSupportedTags() override { return "WBR"; }

    bool HandleTag(const wxHtmlTag&) override {
        auto* cell = new wxHtmlWordCell(wxString(), *m_WParser->GetDC());
        m_WParser->ApplyStateToCell(cell);
        m_WParser->GetContainer()->InsertCell(cell);
        return false;
    }
};

// Every page, the first one and those its links lead to, passes through this before wx
// parses it.
class ChineseLineBreaks : public wxHtmlProcessor {
public:
    wxString Process(const wxString& text) const override { return withChineseLineBreaks(text); }
};

// Calls `visit` on each cell of `cell`'s chain that shows something, in reading order, and
// `paragraph` where one container of cells ends and another begins.
template <class Visit, class Paragraph>
void walkCells(const wxHtmlCell* cell, Visit& visit, Paragraph& paragraph) {
    for (; cell; cell = cell->GetNext()) {
        if (cell->IsTerminalCell()) {
            visit(cell);
        } else {
            paragraph();
            walkCells(cell->GetFirstChild(), visit, paragraph);
            paragraph();
        }
    }
}

}  // namespace

wxString withChineseLineBreaks(const wxString& source) {
    const std::wstring html = source.ToStdWstring();
    std::wstring out;
    out.reserve(html.size() + html.size() / 2);
    // Text wx takes as it stands: the window's title, preformatted text, code.
    static const std::wstring_view verbatimTags[] = {L"title", L"pre", L"script", L"style"};
    std::wstring verbatimUntil;  // the closing tag that ends such a text
    wchar_t previous = 0;        // the text character just written; 0 after a space or a tag
    size_t i = 0;
    while (i < html.size()) {
        const wchar_t c = html[i];
        if (startsMarkup(html, i)) {
            const size_t end = markupEnd(html, i);
            const std::wstring name = tagName(html, i, end);
            if (verbatimUntil.empty()) {
                if (std::find(std::begin(verbatimTags), std::end(verbatimTags), name) != std::end(verbatimTags))
                    verbatimUntil = L"/" + name;
            } else if (name == verbatimUntil) {
                verbatimUntil.clear();
            }
            out.append(html, i, end - i);
            previous = 0;
            i = end;
        } else if (!verbatimUntil.empty()) {
            out += c;
            ++i;
        } else if (isHtmlSpace(c)) {
            size_t end = i;
            bool newLine = false;
            for (; end < html.size() && isHtmlSpace(html[end]); ++end) newLine = newLine || html[end] == L'\n';
            // A source line that breaks inside a Chinese sentence is no space in it.
            const bool joins = newLine && isChinese(previous) && end < html.size() && isChinese(html[end]);
            if (!joins) {
                out.append(html, i, end - i);
                previous = 0;
            }
            i = end;
        } else {
            if (previous && mayBreakBetween(previous, c)) out += L"<wbr>";
            out += c;
            previous = c;
            ++i;
        }
    }
    return wxString(out);
}

HelpPage::HelpPage(wxWindow* parent) : wxHtmlWindow(parent) {
    GetParser()->AddTagHandler(new BreakOpportunity);
    AddProcessor(new ChineseLineBreaks);
}

std::vector<HelpPage::LinkRun> HelpPage::linkRuns() const {
    std::vector<LinkRun> runs;
    bool open = false;  // whether the next cell of the same link continues the last run
    auto visit = [&](const wxHtmlCell* cell) {
        if (const wxHtmlLinkInfo* link = cell->GetLink()) {
            if (open && runs.back().first->GetLink()->GetHref() == link->GetHref())
                runs.back().last = cell;
            else
                runs.push_back({cell, cell});
            open = true;
        } else if (!cell->IsFormattingCell()) {
            open = false;  // text between two links to one place
        }
    };
    auto paragraph = [&] { open = false; };
    walkCells(GetInternalRepresentation(), visit, paragraph);
    return runs;
}

int HelpPage::markedRun(const std::vector<LinkRun>& runs) const {
    if (!m_selection) return -1;
    for (size_t i = 0; i < runs.size(); ++i)
        if (runs[i].first == m_selection->GetFromCell() && runs[i].last == m_selection->GetToCell())
            return static_cast<int>(i);
    return -1;
}

bool HelpPage::markNextLink(bool forward) {
    const std::vector<LinkRun> runs = linkRuns();
    if (runs.empty()) return false;
    const int count = static_cast<int>(runs.size());
    int next = markedRun(runs);
    if (next >= 0) {
        next = (next + (forward ? 1 : count - 1)) % count;
    } else {
        // From where the reader is: the view's top going down, its bottom going up.
        const wxRect view(CalcUnscrolledPosition(wxPoint(0, 0)), GetClientSize());
        next = forward ? 0 : count - 1;
        for (int i = 0; i < count; ++i) {
            const int candidate = forward ? i : count - 1 - i;
            const int top = runs[candidate].first->GetAbsPos().y;
            if (forward ? top >= view.y : top + runs[candidate].first->GetHeight() <= view.GetBottom() + 1) {
                next = candidate;
                break;
            }
        }
    }
    mark(runs[next]);
    return true;
}

void HelpPage::mark(const LinkRun& run) {
    delete m_selection;
    m_selection = new wxHtmlSelection;
    m_selection->Set(run.first, run.last);

    int unitX = 0, unitY = 0;
    GetScrollPixelsPerUnit(&unitX, &unitY);
    const int top = run.first->GetAbsPos().y;
    const int bottom = run.last->GetAbsPos().y + run.last->GetHeight();
    const wxRect view(CalcUnscrolledPosition(wxPoint(0, 0)), GetClientSize());
    if (unitY > 0 && top < view.y) Scroll(-1, top / unitY);
    if (unitY > 0 && bottom > view.GetBottom() + 1) Scroll(-1, (bottom - view.height + unitY - 1) / unitY);
    Refresh();
}

bool HelpPage::followMarkedLink() {
    const std::vector<LinkRun> runs = linkRuns();
    const int marked = markedRun(runs);
    if (marked < 0) return false;
    wxHtmlLinkInfo link(*runs[marked].first->GetLink());
    link.SetHtmlCell(runs[marked].first);
    // The mark goes: the next Tab starts from where the link led.
    wxDELETE(m_selection);
    Refresh();
    OnLinkClicked(link);
    return true;
}

}  // namespace orvenna
