// The HTML query module on Modest: myhtml builds the HTML5 tree, mycss parses selectors and
// the Modest finder matches them. Every Modest object has one owner here, and selections and
// nodes share the parsed page, so no handle can outlive the tree it points into.
#include "draws/htmlquery/GumboQuery.h"

#include <cstddef>
#include <map>
#include <memory>
#include <new>
#include <string>
#include <string_view>
#include <unordered_set>
#include <utility>
#include <vector>

#include <modest/finder/finder.h>
#include <mycss/mycss.h>
#include <mycss/selectors/init.h>
#include <myhtml/myhtml.h>

namespace orvenna {
namespace {

struct ParserDestroyer {
    void operator()(myhtml_t* parser) const noexcept { myhtml_destroy(parser); }
};
struct TreeDestroyer {
    void operator()(myhtml_tree_t* tree) const noexcept { myhtml_tree_destroy(tree); }
};
struct CssDestroyer {
    void operator()(mycss_t* css) const noexcept { mycss_destroy(css, true); }
};
struct CssEntryDestroyer {
    void operator()(mycss_entry_t* entry) const noexcept { mycss_entry_destroy(entry, true); }
};
struct FinderDestroyer {
    void operator()(modest_finder_t* finder) const noexcept { modest_finder_destroy(finder, true); }
};
struct CollectionDestroyer {
    void operator()(myhtml_collection_t* collection) const noexcept { myhtml_collection_destroy(collection); }
};
// A parsed selector list goes back to the selector pool of the entry that parsed it.
struct SelectorListDestroyer {
    mycss_selectors_t* pool = nullptr;
    void operator()(mycss_selectors_list_t* list) const noexcept { mycss_selectors_list_destroy(pool, list, true); }
};

using Parser = std::unique_ptr<myhtml_t, ParserDestroyer>;
using Tree = std::unique_ptr<myhtml_tree_t, TreeDestroyer>;
using Css = std::unique_ptr<mycss_t, CssDestroyer>;
using CssEntry = std::unique_ptr<mycss_entry_t, CssEntryDestroyer>;
using Finder = std::unique_ptr<modest_finder_t, FinderDestroyer>;
using Collection = std::unique_ptr<myhtml_collection_t, CollectionDestroyer>;
using SelectorList = std::unique_ptr<mycss_selectors_list_t, SelectorListDestroyer>;

bool isElement(myhtml_tree_node_t* node) {
    const myhtml_tag_id_t tag = myhtml_node_tag_id(node);
    return tag != MyHTML_TAG__TEXT && tag != MyHTML_TAG__COMMENT && tag != MyHTML_TAG__DOCTYPE &&
           tag != MyHTML_TAG__UNDEF;
}

bool isText(myhtml_tree_node_t* node) {
    return myhtml_node_tag_id(node) == MyHTML_TAG__TEXT;
}

// What a caller may see as a child: elements and text, not comments or the doctype.
bool isVisibleChild(myhtml_tree_node_t* node) {
    return isElement(node) || isText(node);
}

void appendText(std::string& out, myhtml_tree_node_t* textNode) {
    std::size_t length = 0;
    if (const char* text = myhtml_node_text(textNode, &length)) out.append(text, length);
}

// The next node after `node` in document order that still lies below `scope`; null at the end.
myhtml_tree_node_t* nextInScope(myhtml_tree_node_t* node, myhtml_tree_node_t* scope) {
    if (myhtml_tree_node_t* child = myhtml_node_child(node)) return child;
    while (node != scope) {
        if (myhtml_tree_node_t* sibling = myhtml_node_next(node)) return sibling;
        node = myhtml_node_parent(node);
    }
    return nullptr;
}

// True when no selector of the list has a combinator (each is one compound selector such as
// "td.cell:nth-child(2)"), so matching an element never looks at its ancestors.
bool isOneCompound(const mycss_selectors_list_t& list) {
    for (std::size_t i = 0; i < list.entries_list_length; ++i) {
        const mycss_selectors_entry_t* entry = list.entries_list[i].entry;
        for (; entry != nullptr; entry = entry->next) {
            if (entry->combinator != MyCSS_SELECTORS_COMBINATOR_UNDEF) return false;
        }
    }
    return true;
}

bool equalsIgnoringAsciiCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; };
        if (lower(a[i]) != lower(b[i])) return false;
    }
    return true;
}

}  // namespace

// One parsed page and the selector machinery that queries it. The selector engine is made on
// the first find: a page that is only parsed never pays for it.
class HtmlPage {
public:
    static std::shared_ptr<HtmlPage> parse(std::string_view utf8) {
        auto page = std::make_shared<HtmlPage>();
        page->parser_.reset(myhtml_create());
        if (!page->parser_) return nullptr;
        // One thread: the program parses one page at a time and Modest's worker threads would
        // only add start-up cost for pages of a few megabytes.
        if (myhtml_init(page->parser_.get(), MyHTML_OPTIONS_PARSE_MODE_SINGLE, 1, 0) != MyHTML_STATUS_OK) {
            return nullptr;
        }
        page->tree_.reset(myhtml_tree_create());
        if (!page->tree_ || myhtml_tree_init(page->tree_.get(), page->parser_.get()) != MyHTML_STATUS_OK) {
            return nullptr;
        }
        // The text is UTF-8 whatever a meta charset in it claims: the caller decoded it.
        if (myhtml_parse(page->tree_.get(), MyENCODING_UTF_8, utf8.data(), utf8.size()) != MyHTML_STATUS_OK) {
            return nullptr;
        }
        return page;
    }

    myhtml_tree_node_t* document() const { return myhtml_tree_get_document(tree_.get()); }

    // The elements strictly below `scope` that match `selector` in the context of the whole
    // page, in document order, each once.
    std::vector<myhtml_tree_node_t*> select(myhtml_tree_node_t* scope, std::string_view selector) {
        std::vector<myhtml_tree_node_t*> result;
        myhtml_tree_node_t* html = myhtml_tree_get_node_html(tree_.get());
        if (scope == nullptr || html == nullptr || myhtml_node_child(scope) == nullptr || !ensureSelectorEngine()) {
            return result;
        }

        mystatus_t status = MyCSS_STATUS_OK;
        mycss_selectors_t* pool = mycss_entry_selectors(cssEntry_.get());
        SelectorList list(mycss_selectors_parse(pool, MyENCODING_UTF_8, selector.data(), selector.size(), &status),
                          SelectorListDestroyer{pool});
        if (!list || status != MyCSS_STATUS_OK || (list->flags & MyCSS_SELECTORS_FLAGS_SELECTOR_BAD) ||
            list->entries_list_length == 0) {
            return result;
        }

        // Ancestors outside the scope take part in a match, as in querySelectorAll, so the
        // finder starts at <html>. A selector without combinators looks at no ancestor, and
        // then the walk can stay inside the scope: a small cell of a big page is searched
        // quickly.
        myhtml_tree_node_t* start = isElement(scope) && isOneCompound(*list) ? scope : html;
        myhtml_collection_t* found = nullptr;
        const mystatus_t findStatus = modest_finder_by_selectors_list(finder_.get(), start, list.get(), &found);
        Collection collection(found);
        if (findStatus != MODEST_STATUS_OK || !collection || collection->length == 0) {
            return result;
        }

        // The finder reports matches per selector of a list and may report one element twice;
        // walking the scope puts them in document order and keeps each once.
        std::unordered_set<myhtml_tree_node_t*> matches(collection->list, collection->list + collection->length);
        result.reserve(matches.size());
        for (myhtml_tree_node_t* node = nextInScope(scope, scope); node != nullptr; node = nextInScope(node, scope)) {
            if (matches.count(node) != 0) {
                result.push_back(node);
                if (result.size() == matches.size()) break;
            }
        }
        return result;
    }

private:
    bool ensureSelectorEngine() {
        if (finder_) return true;
        Css css(mycss_create());
        if (!css || mycss_init(css.get()) != MyCSS_STATUS_OK) return false;
        CssEntry entry(mycss_entry_create());
        if (!entry || mycss_entry_init(css.get(), entry.get()) != MyCSS_STATUS_OK) return false;
        Finder finder(modest_finder_create_simple());
        if (!finder) return false;
        css_ = std::move(css);
        cssEntry_ = std::move(entry);
        finder_ = std::move(finder);
        return true;
    }

    // Declaration order is destruction order reversed: the tree before its parser, the
    // selector entry before its mycss instance.
    Parser parser_;
    Tree tree_;
    Css css_;
    CssEntry cssEntry_;
    Finder finder_;
};

}  // namespace orvenna

using orvenna::appendText;
using orvenna::equalsIgnoringAsciiCase;
using orvenna::HtmlPage;
using orvenna::isText;
using orvenna::isVisibleChild;
using orvenna::nextInScope;

struct GumboQueryDocument {
    std::shared_ptr<HtmlPage> page;
};

struct GumboQuerySelection {
    std::shared_ptr<HtmlPage> page;
    std::vector<myhtml_tree_node_t*> nodes;
};

struct GumboQueryNode {
    std::shared_ptr<HtmlPage> page;  // null for the empty node
    myhtml_tree_node_t* node = nullptr;
    // Attribute values handed out; a map keeps each string in place while others are added.
    std::map<std::string, std::string, std::less<>> attributes;
};

struct GumboQueryString {
    std::string text;
};

namespace {

constexpr const char* EmptyText = "";

GumboQuerySelection* newSelection(const std::shared_ptr<HtmlPage>& page, myhtml_tree_node_t* scope,
                                  const char* selector) {
    auto* selection = new (std::nothrow) GumboQuerySelection;
    if (selection == nullptr || !page || scope == nullptr || selector == nullptr) return selection;
    try {
        selection->page = page;
        selection->nodes = page->select(scope, selector);
    } catch (const std::bad_alloc&) {
        selection->nodes.clear();
    }
    return selection;
}

GumboQueryNode* newNode(const std::shared_ptr<HtmlPage>& page, myhtml_tree_node_t* node) {
    auto* handle = new (std::nothrow) GumboQueryNode;
    if (handle != nullptr && node != nullptr) {
        handle->page = page;
        handle->node = node;
    }
    return handle;
}

GumboQueryString* newString(std::string text) {
    auto* handle = new (std::nothrow) GumboQueryString;
    if (handle != nullptr) handle->text = std::move(text);
    return handle;
}

bool refersToNode(const GumboQueryNode* node) {
    return node != nullptr && node->node != nullptr;
}

}  // namespace

extern "C" {

GumboQueryDocument* Gumbo_Query_Document_new(void) {
    return new (std::nothrow) GumboQueryDocument;
}

int Gumbo_Query_Document_parse(GumboQueryDocument* document, const char* utf8Page) {
    if (document == nullptr) return 0;
    document->page.reset();
    if (utf8Page == nullptr) return 0;
    try {
        document->page = HtmlPage::parse(utf8Page);
    } catch (const std::bad_alloc&) {
        document->page.reset();
    }
    return document->page ? 1 : 0;
}

GumboQuerySelection* Gumbo_Query_Document_Find(GumboQueryDocument* document, const char* utf8Selector) {
    if (document == nullptr || !document->page) return newSelection(nullptr, nullptr, nullptr);
    return newSelection(document->page, document->page->document(), utf8Selector);
}

size_t Gumbo_Query_GetCount(GumboQuerySelection* selection) {
    return selection == nullptr ? 0 : selection->nodes.size();
}

GumboQueryNode* Gumbo_Query_GetNode(GumboQuerySelection* selection, size_t index) {
    if (selection == nullptr || index >= selection->nodes.size()) return newNode(nullptr, nullptr);
    return newNode(selection->page, selection->nodes[index]);
}

GumboQuerySelection* Gumbo_Query_Node_find(GumboQueryNode* node, const char* utf8Selector) {
    if (!refersToNode(node)) return newSelection(nullptr, nullptr, nullptr);
    return newSelection(node->page, node->node, utf8Selector);
}

const char* Gumbo_Query_Node_attribute(GumboQueryNode* node, const char* utf8Name) {
    if (!refersToNode(node) || utf8Name == nullptr) return EmptyText;
    const std::string_view name(utf8Name);
    try {
        if (auto cached = node->attributes.find(name); cached != node->attributes.end()) {
            return cached->second.c_str();
        }
        std::string value;
        // HTML attribute names are ASCII case-insensitive; the parser stores them lower-case
        // but foreign (SVG) ones keep their case, so compare rather than lower the name.
        for (myhtml_tree_attr_t* attr = myhtml_node_attribute_first(node->node); attr != nullptr;
             attr = myhtml_attribute_next(attr)) {
            std::size_t keyLength = 0;
            const char* key = myhtml_attribute_key(attr, &keyLength);
            if (key == nullptr || !equalsIgnoringAsciiCase({key, keyLength}, name)) continue;
            std::size_t valueLength = 0;
            if (const char* text = myhtml_attribute_value(attr, &valueLength)) {
                value.assign(text, valueLength);
            }
            break;
        }
        return node->attributes.emplace(std::string(name), std::move(value)).first->second.c_str();
    } catch (const std::bad_alloc&) {
        return EmptyText;
    }
}

GumboQueryString* Gumbo_Query_Node_text(GumboQueryNode* node) {
    std::string text;
    if (refersToNode(node)) {
        try {
            if (isText(node->node)) appendText(text, node->node);
            for (myhtml_tree_node_t* each = nextInScope(node->node, node->node); each != nullptr;
                 each = nextInScope(each, node->node)) {
                if (isText(each)) appendText(text, each);
            }
        } catch (const std::bad_alloc&) {
            text.clear();
        }
    }
    return newString(std::move(text));
}

GumboQueryString* Gumbo_Query_Node_ownText(GumboQueryNode* node) {
    std::string text;
    if (refersToNode(node)) {
        try {
            // A text child's own text is itself.
            if (isText(node->node)) appendText(text, node->node);
            for (myhtml_tree_node_t* child = myhtml_node_child(node->node); child != nullptr;
                 child = myhtml_node_next(child)) {
                if (isText(child)) appendText(text, child);
            }
        } catch (const std::bad_alloc&) {
            text.clear();
        }
    }
    return newString(std::move(text));
}

const char* Gumbo_Query_String_GetText(GumboQueryString* text) {
    return text == nullptr ? EmptyText : text->text.c_str();
}

size_t Gumbo_Query_Node_childNum(GumboQueryNode* node) {
    if (!refersToNode(node)) return 0;
    std::size_t count = 0;
    for (myhtml_tree_node_t* child = myhtml_node_child(node->node); child != nullptr; child = myhtml_node_next(child)) {
        if (isVisibleChild(child)) ++count;
    }
    return count;
}

GumboQueryNode* Gumbo_Query_Node_childAt(GumboQueryNode* node, size_t index) {
    if (!refersToNode(node)) return newNode(nullptr, nullptr);
    for (myhtml_tree_node_t* child = myhtml_node_child(node->node); child != nullptr; child = myhtml_node_next(child)) {
        if (isVisibleChild(child) && index-- == 0) return newNode(node->page, child);
    }
    return newNode(nullptr, nullptr);
}

void Gumbo_Query_String_Delete(GumboQueryString* text) {
    delete text;
}
void Gumbo_Query_Node_Delete(GumboQueryNode* node) {
    delete node;
}
void Gumbo_Query_Delete(GumboQuerySelection* selection) {
    delete selection;
}
void Gumbo_Query_Document_Delete(GumboQueryDocument* document) {
    delete document;
}

}  // extern "C"
