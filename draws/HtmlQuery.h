// The program's view of the HTML query module: owners of its C handles, with UTF-8 std::string
// in and out (the caller converts from and to its UTF-16 text).
//
// Each class owns exactly one handle and is move-only. A selection or node keeps its page alive
// inside the module, so it stays usable after the HtmlDocument it came from is gone.
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

#include "draws/htmlquery/GumboQuery.h"

namespace orvenna {

struct HtmlDocumentRelease {
    void operator()(GumboQueryDocument* document) const noexcept;
};
struct HtmlSelectionRelease {
    void operator()(GumboQuerySelection* selection) const noexcept;
};
struct HtmlNodeRelease {
    void operator()(GumboQueryNode* node) const noexcept;
};

class HtmlSelection;

// One element of a page, or the empty node that stands for nothing (empty texts, no children,
// finds nothing).
class HtmlNode {
public:
    explicit HtmlNode(GumboQueryNode* handle) : handle_(handle) {}

    // Matching descendants (never this node) in document order.
    HtmlSelection find(std::string_view selector) const;
    // The attribute's value; empty when absent.
    std::string attribute(std::string_view name) const;
    // All text of the node and its descendants.
    std::string text() const;
    // The text of the node's direct text children.
    std::string ownText() const;
    // Element and text children; comments are not counted.
    std::size_t childCount() const;
    // The child at `index` of those counted, or the empty node.
    HtmlNode child(std::size_t index) const;

private:
    std::unique_ptr<GumboQueryNode, HtmlNodeRelease> handle_;
};

// Elements matched by a selector, in document order.
class HtmlSelection {
public:
    explicit HtmlSelection(GumboQuerySelection* handle) : handle_(handle) {}

    std::size_t count() const;
    // Element `index`; an index at or past the count takes element 0 instead, so a short table
    // row yields its first cell rather than nothing (and an empty selection the empty node).
    HtmlNode node(std::size_t index) const;

private:
    std::unique_ptr<GumboQuerySelection, HtmlSelectionRelease> handle_;
};

class HtmlDocument {
public:
    // Throws std::bad_alloc when the module cannot make a document.
    HtmlDocument();

    // Parses a UTF-8 page, replacing the previous one; false when it could not be parsed, and
    // the document then finds nothing.
    bool parse(const std::string& utf8);
    // Matching elements of the whole page in document order.
    HtmlSelection find(std::string_view selector) const;

private:
    std::unique_ptr<GumboQueryDocument, HtmlDocumentRelease> handle_;
};

}  // namespace orvenna
