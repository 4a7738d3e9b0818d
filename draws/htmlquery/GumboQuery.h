/* The HTML query module: an HTML5 parser with CSS-selector queries behind a small C interface,
 * so that the program (and anything else) can read web pages through a stable ABI.
 *
 * Text: every text that goes in or comes out is UTF-8 and null-terminated.
 *
 * Handles: every handle a function returns is released with the matching delete function
 * (a string with Gumbo_Query_String_Delete, a node with Gumbo_Query_Node_Delete, a selection
 * with Gumbo_Query_Delete, a document with Gumbo_Query_Document_Delete). Selections and nodes
 * keep the parsed page they came from alive, so they stay valid after their document is
 * deleted or given another page. A document and everything taken from it are used from one
 * thread at a time.
 *
 * Null: every function accepts null for any handle or text argument. It then behaves as for
 * an empty selection or an empty node: counts are 0, texts are "", finds give an empty
 * selection. A text result is never null.
 *
 * Empty node: Gumbo_Query_GetNode with an index at or past the count (so every index of an
 * empty selection), or Gumbo_Query_Node_childAt past the child count, returns a node that
 * stands for nothing: its texts and attributes are "", it has no children and finds nothing.
 *
 * Selectors: CSS selectors as Modest understands them: type, universal, .class, #id,
 * attribute selectors ([a], [a=v], [a~=v], [a^=v], [a$=v], [a*=v], [a|=v]), the combinators
 * " ", ">", "+", "~", selector lists with ",", and structural pseudo-classes such as
 * :nth-child(an+b), :first-child, :last-child, :nth-of-type(). A selector that does not parse
 * selects nothing. Results are in document order, each element once. :nth-child counts the
 * element siblings before each candidate, so it is slow only on lists of many thousand
 * siblings.
 */
#ifndef ORVENNA_DRAWS_HTMLQUERY_GUMBOQUERY_H
#define ORVENNA_DRAWS_HTMLQUERY_GUMBOQUERY_H

#include <stddef.h>

#if defined(_WIN32)
#if defined(ORVENNA_HTMLQUERY_BUILD)
#define GUMBO_QUERY_API __declspec(dllexport)
#else
#define GUMBO_QUERY_API __declspec(dllimport)
#endif
#else
#define GUMBO_QUERY_API __attribute__((visibility("default")))
#endif

#ifdef __cplusplus
extern "C" {
#endif

typedef struct GumboQueryDocument GumboQueryDocument;
typedef struct GumboQuerySelection GumboQuerySelection;
typedef struct GumboQueryNode GumboQueryNode;
typedef struct GumboQueryString GumboQueryString;

/* A new document without a page; finds on it select nothing. Null only when out of memory. */
GUMBO_QUERY_API GumboQueryDocument* Gumbo_Query_Document_new(void);

/* Parses a UTF-8 page as HTML5 (missing html, head, body and tbody elements are implied, as a
 * browser does) and replaces the page the document held. The low byte of the result is 1 when
 * the page was parsed and 0 when it was not (null arguments, a parser failure); after a
 * failure the document holds no page. An empty text parses to an empty page. A meta charset
 * in the page is ignored: the bytes are always read as UTF-8. */
GUMBO_QUERY_API int Gumbo_Query_Document_parse(GumboQueryDocument* document, const char* utf8Page);

/* The elements of the whole page that match the selector, in document order. */
GUMBO_QUERY_API GumboQuerySelection* Gumbo_Query_Document_Find(GumboQueryDocument* document, const char* utf8Selector);

/* The number of elements in the selection. */
GUMBO_QUERY_API size_t Gumbo_Query_GetCount(GumboQuerySelection* selection);

/* Element `index` (from 0) of the selection; the empty node past the end. */
GUMBO_QUERY_API GumboQueryNode* Gumbo_Query_GetNode(GumboQuerySelection* selection, size_t index);

/* The descendants of the node (never the node itself) that match the selector, in document
 * order. As with querySelectorAll, the selector is matched against the whole page, so
 * "table td span" finds the spans of a cell although the table lies outside the cell. */
GUMBO_QUERY_API GumboQuerySelection* Gumbo_Query_Node_find(GumboQueryNode* node, const char* utf8Selector);

/* The value of the attribute (ASCII letters of the name match either case); "" when the node
 * has no such attribute or the attribute has no value. The text belongs to the node handle
 * and stays valid until the node is deleted. */
GUMBO_QUERY_API const char* Gumbo_Query_Node_attribute(GumboQueryNode* node, const char* utf8Name);

/* All text of the node and its descendants in document order (comments left out), with
 * character references decoded. The text of a text node (see Gumbo_Query_Node_childAt) is
 * its own text. */
GUMBO_QUERY_API GumboQueryString* Gumbo_Query_Node_text(GumboQueryNode* node);

/* The text of the node's direct text children only; for a text node, its own text. */
GUMBO_QUERY_API GumboQueryString* Gumbo_Query_Node_ownText(GumboQueryNode* node);

/* The text a string handle holds; valid until the string is deleted. */
GUMBO_QUERY_API const char* Gumbo_Query_String_GetText(GumboQueryString* text);

/* The number of children that are elements or text; comments are not counted. */
GUMBO_QUERY_API size_t Gumbo_Query_Node_childNum(GumboQueryNode* node);

/* Child `index` (from 0) of those counted by Gumbo_Query_Node_childNum; the empty node past
 * the end. */
GUMBO_QUERY_API GumboQueryNode* Gumbo_Query_Node_childAt(GumboQueryNode* node, size_t index);

GUMBO_QUERY_API void Gumbo_Query_String_Delete(GumboQueryString* text);
GUMBO_QUERY_API void Gumbo_Query_Node_Delete(GumboQueryNode* node);
GUMBO_QUERY_API void Gumbo_Query_Delete(GumboQuerySelection* selection);
GUMBO_QUERY_API void Gumbo_Query_Document_Delete(GumboQueryDocument* document);

#ifdef __cplusplus
} /* extern "C" */
#endif

#endif /* ORVENNA_DRAWS_HTMLQUERY_GUMBOQUERY_H */
