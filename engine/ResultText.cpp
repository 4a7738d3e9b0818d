#include "ResultText.h"

#include <array>
#include <tuple>

namespace orvenna {

namespace {

// Where the template holds "{k}", for k = 1..8: found once, when compiled.
struct Placeholder {
    std::size_t at = 0;     // the position of "{"
    std::size_t entry = 0;  // k - 1
};

constexpr std::size_t PlaceholderCount = std::tuple_size_v<Suggestion>;

constexpr std::array<Placeholder, PlaceholderCount> Placeholders = [] {
    std::array<Placeholder, PlaceholderCount> found{};
    std::size_t count = 0;
    const std::wstring_view t = SuggestionTemplate;
    for (std::size_t i = 0; i + 2 < t.size(); ++i) {
        if (t[i] == L'{' && t[i + 2] == L'}' && t[i + 1] >= L'1' &&
            static_cast<std::size_t>(t[i + 1] - L'1') < PlaceholderCount) {
            found[count++] = {i, static_cast<std::size_t>(t[i + 1] - L'1')};
        }
    }
    // Every key once: a template changed otherwise must change this too.
    if (count != PlaceholderCount) throw "the suggestion template must hold {1} to {8}";
    return found;
}();

}  // namespace

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
    std::size_t copied = 0;  // the template up to here is in `text`
    for (const Placeholder& key : Placeholders) {
        text.append(t.substr(copied, key.at - copied));
        text += texts[key.entry];
        copied = key.at + 3;
    }
    text.append(t.substr(copied));
}

}  // namespace orvenna
