#include "FontText.h"

#include <vector>

#include <wx/settings.h>

#include "base/Text.h"

namespace orvenna {

namespace {

std::vector<std::wstring> splitFields(std::wstring_view text) {
    std::vector<std::wstring> fields;
    std::size_t start = 0;
    while (true) {
        const std::size_t comma = text.find(L',', start);
        fields.emplace_back(text.substr(start, comma == std::wstring_view::npos ? text.npos : comma - start));
        if (comma == std::wstring_view::npos) break;
        start = comma + 1;
    }
    return fields;
}

}  // namespace

std::wstring interfaceFontText() {
    return L"宋体,9,0,0,0,0,0";
}

wxFont fontFromText(std::wstring_view description) {
    wxFont font = wxSystemSettings::GetFont(wxSYS_DEFAULT_GUI_FONT);
    if (description.empty()) return font;
    const std::vector<std::wstring> fields = splitFields(description);
    const int points = fields.size() > 1 ? static_cast<int>(leadingInt(fields[1])) : 0;
    if (fields[0].empty() || points <= 0) return font;

    auto flag = [&](std::size_t index) { return fields.size() > index && leadingInt(fields[index]) != 0; };
    const auto weight = fields.size() > 2 ? leadingInt(fields[2]) : 0;
    wxFontInfo info(points);
    info.FaceName(wxString(fields[0])).Italic(flag(3)).Underlined(flag(4)).Strikethrough(flag(5));
    if (weight >= 600) info.Bold();
    wxFont wanted(info);
    return wanted.IsOk() ? wanted : font;
}

std::wstring fontText(const wxFont& font) {
    std::wstring text = font.GetFaceName().ToStdWstring();
    text += L',';
    appendDecimal(text, font.GetPointSize());
    text += font.GetWeight() >= wxFONTWEIGHT_BOLD ? L",700" : L",0";
    text += font.GetStyle() == wxFONTSTYLE_ITALIC ? L",1" : L",0";
    text += font.GetUnderlined() ? L",1" : L",0";
    text += font.GetStrikethrough() ? L",1" : L",0";
    text += L",0";
    return text;
}

}  // namespace orvenna
