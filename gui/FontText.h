// The interface font as a description text ("宋体,9,0,0,0,0,0": face, points and five style
// fields).
#pragma once

#include <string>
#include <string_view>

#include <wx/font.h>
#include <wx/gdicmn.h>

namespace orvenna {

// "宋体,13,0,0,0,0,0" with every "13" replaced by "9": the font of the whole interface.
std::wstring interfaceFontText();

// The font a description names; an empty (or unreadable) description gives the system's
// default GUI font. The five style fields are weight, italic, underline, strike-out and
// charset; 0 means the normal style.
wxFont fontFromText(std::wstring_view description);

// The description of a font, in the same form.
std::wstring fontText(const wxFont& font);

}  // namespace orvenna
