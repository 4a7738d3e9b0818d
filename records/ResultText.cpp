#include "ResultText.h"

namespace orvenna {

// One pass over the template: the entries never hold braces, so replacing every key in
// a single sweep gives the same text as replacing the keys one after another.
std::wstring fillSuggestion(const Suggestion& texts) {
    std::wstring text;
    fillSuggestion(texts, text);
    return text;
}

void fillSuggestion(const Suggestion& texts, std::wstring& text) {
    text.clear();
    text.reserve(SuggestionTemplate.size() + 80);
    const std::wstring_view t = SuggestionTemplate;
    for (std::size_t i = 0; i < t.size(); ++i) {
        if (t[i] == L'{' && i + 2 < t.size() && t[i + 2] == L'}' && t[i + 1] >= L'1' &&
            t[i + 1] < static_cast<wchar_t>(L'1' + texts.size())) {
            text += texts[static_cast<std::size_t>(t[i + 1] - L'1')];
            i += 2;
        } else {
            text += t[i];
        }
    }
}

}  // namespace orvenna
