#include "draws/HtmlQuery.h"

#include <new>

namespace orvenna {
namespace {

// The module takes null-terminated text; a string_view need not be.
std::string terminated(std::string_view text) {
    return std::string(text);
}

// The module promises text, never null, but a missing string handle (out of memory) must not
// turn into undefined behaviour here.
std::string takeText(GumboQueryString* handle) {
    std::string text = Gumbo_Query_String_GetText(handle);
    Gumbo_Query_String_Delete(handle);
    return text;
}

}  // namespace

void HtmlDocumentRelease::operator()(GumboQueryDocument* document) const noexcept {
    Gumbo_Query_Document_Delete(document);
}
void HtmlSelectionRelease::operator()(GumboQuerySelection* selection) const noexcept {
    Gumbo_Query_Delete(selection);
}
void HtmlNodeRelease::operator()(GumboQueryNode* node) const noexcept {
    Gumbo_Query_Node_Delete(node);
}

HtmlSelection HtmlNode::find(std::string_view selector) const {
    return HtmlSelection(Gumbo_Query_Node_find(handle_.get(), terminated(selector).c_str()));
}

std::string HtmlNode::attribute(std::string_view name) const {
    return Gumbo_Query_Node_attribute(handle_.get(), terminated(name).c_str());
}

std::string HtmlNode::text() const {
    return takeText(Gumbo_Query_Node_text(handle_.get()));
}

std::string HtmlNode::ownText() const {
    return takeText(Gumbo_Query_Node_ownText(handle_.get()));
}

std::size_t HtmlNode::childCount() const {
    return Gumbo_Query_Node_childNum(handle_.get());
}

HtmlNode HtmlNode::child(std::size_t index) const {
    return HtmlNode(Gumbo_Query_Node_childAt(handle_.get(), index));
}

std::size_t HtmlSelection::count() const {
    return Gumbo_Query_GetCount(handle_.get());
}

HtmlNode HtmlSelection::node(std::size_t index) const {
    if (index >= count()) index = 0;
    return HtmlNode(Gumbo_Query_GetNode(handle_.get(), index));
}

HtmlDocument::HtmlDocument() : handle_(Gumbo_Query_Document_new()) {
    if (!handle_) throw std::bad_alloc();
}

bool HtmlDocument::parse(const std::string& utf8) {
    return (Gumbo_Query_Document_parse(handle_.get(), utf8.c_str()) & 0xff) != 0;
}

HtmlSelection HtmlDocument::find(std::string_view selector) const {
    return HtmlSelection(Gumbo_Query_Document_Find(handle_.get(), terminated(selector).c_str()));
}

}  // namespace orvenna
