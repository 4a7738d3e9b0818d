// The HTML query module and its owners, on pages shaped like the lottery front page.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "draws/HtmlQuery.h"

namespace orvenna {
namespace {

// A front page shaped like the real one: a heading tbody before the lottery rows, whitespace
// between the tags, a decoy table with the same shape, and a meta charset that must not
// change how the UTF-8 text is read.
std::string resultsPage() {
    std::string rows;
    const char* names[] = {"双色球", "大乐透", "福彩3D", "排列三", "排列五", "七星彩"};
    for (int row = 1; row <= 6; ++row) {
        const std::string n = std::to_string(row);
        std::string numbers = "<span class=\"red\">0" + n + "</span>";
        if (row == 6) {
            numbers.clear();
            for (int digit = 1; digit <= 6; ++digit) {
                numbers += "<span class=\"yellow\">" + std::to_string(digit) + "</span>\n";
            }
            numbers += "<span class=\"blue\">7</span>";
        }
        rows += "  <tr>\n    <td>" + std::string(names[row - 1]) + "</td><td><a href=\"/" + n +
                "\">详情</a></td>\n    <td>2413" + n + "</td><td>2024-12-0" + n + "</td>\n    <td>" + numbers +
                "</td><td>更多</td>\n  </tr>\n";
    }
    return "<!DOCTYPE html><html><head><meta charset=\"gb2312\"><title>开奖</title></head><body>\n"
           "<table class=\"other\"><tbody></tbody><tbody>" +
           rows +
           "</tbody></table>\n"
           "<table class=\"kjtable\">\n <tbody><tr><th>彩种</th><th>期号</th></tr></tbody>\n"
           " <tbody>\n" +
           rows + " </tbody>\n</table>\n</body></html>";
}

const char* const DrawCells = ".kjtable > tbody:nth-child(2) > tr:nth-child(6) > td";

HtmlDocument parsed(const std::string& page) {
    HtmlDocument document;
    EXPECT_TRUE(document.parse(page));
    return document;
}

TEST(HtmlQueryResultsPageTest, theDrawSelectorReadsTheSevenStarRow) {
    const HtmlDocument document = parsed(resultsPage());
    const HtmlSelection cells = document.find(DrawCells);
    ASSERT_EQ(cells.count(), 6u);
    EXPECT_EQ(cells.node(0).ownText(), "七星彩");
    EXPECT_EQ(cells.node(2).ownText(), "24136");
    EXPECT_EQ(cells.node(3).ownText(), "2024-12-06");

    const HtmlSelection spans = cells.node(4).find("span");
    ASSERT_EQ(spans.count(), 7u);
    std::string main;
    std::string extra;
    for (std::size_t i = 0; i < spans.count(); ++i) {
        const HtmlNode span = spans.node(i);
        (span.attribute("class") == "yellow" ? main : extra) += span.ownText();
    }
    EXPECT_EQ(main, "123456");
    EXPECT_EQ(extra, "7");
}

TEST(HtmlQueryResultsPageTest, nthChildCountsElementSiblingsOfAnyType) {
    const HtmlDocument document = parsed(
        "<table class=kjtable><thead><tr><td>h</td></tr></thead>"
        "<tbody><tr><td>first</td></tr></tbody><tbody><tr><td>second</td></tr></tbody></table>");
    EXPECT_EQ(document.find(".kjtable > tbody:nth-child(2) td").node(0).text(), "first");
    EXPECT_EQ(document.find(".kjtable > tbody:nth-child(3) td").node(0).text(), "second");
    EXPECT_EQ(document.find(".kjtable > tbody:nth-child(4) td").count(), 0u);
}

TEST(HtmlQueryResultsPageTest, rowsWithoutTbodyGetAnImpliedOne) {
    const HtmlDocument document =
        parsed("<table class=kjtable><tr><td>a</td></tr><tr><td>b</td><td>c</td></tr></table>");
    EXPECT_EQ(document.find(".kjtable > tr").count(), 0u);
    const HtmlSelection cells = document.find(".kjtable > tbody:nth-child(1) > tr:nth-child(2) > td");
    ASSERT_EQ(cells.count(), 2u);
    EXPECT_EQ(cells.node(1).text(), "c");
}

TEST(HtmlQueryResultsPageTest, malformedMarkupStillParsesLikeABrowser) {
    const HtmlDocument document =
        parsed("<table class=kjtable><tr><td>1<td><span class=yellow>2</b></table><div><p>x<p>y</div");
    const HtmlSelection cells = document.find(".kjtable td");
    ASSERT_EQ(cells.count(), 2u);
    EXPECT_EQ(cells.node(1).find("span").node(0).attribute("class"), "yellow");
    EXPECT_EQ(document.find("p").count(), 2u);
}

TEST(HtmlQueryResultsPageTest, theTableIsFoundInAPageOfSeveralMegabytes) {
    std::string news;
    for (int item = 0; news.size() < 2 * 1024 * 1024; ++item) {
        news += "<div class=\"news\"><a href=\"/n/" + std::to_string(item) + "\">开奖公告</a><p>第" +
                std::to_string(item) + "期 <span>详情</span></p></div>\n";
    }
    const std::string page = resultsPage();
    const std::size_t bodyEnd = page.rfind("</body>");
    const HtmlDocument document = parsed(page.substr(0, bodyEnd) + news + page.substr(bodyEnd));
    const HtmlSelection cells = document.find(DrawCells);
    ASSERT_EQ(cells.count(), 6u);
    EXPECT_EQ(cells.node(4).find("span").count(), 7u);
    EXPECT_EQ(cells.node(4).find("td > span.blue").node(0).text(), "7");
}

TEST(HtmlQueryAccessTest, anIndexPastTheCountTakesTheFirstElement) {
    const HtmlDocument document = parsed("<table><tr><td>七星彩</td><td>x</td></tr></table>");
    const HtmlSelection cells = document.find("td");
    EXPECT_EQ(cells.node(4).ownText(), "七星彩");
    EXPECT_EQ(cells.node(2).ownText(), "七星彩");
    EXPECT_EQ(cells.node(1).ownText(), "x");
}

TEST(HtmlQueryAccessTest, theNodeOfAnEmptySelectionIsEmpty) {
    const HtmlDocument document = parsed("<p class=a>text<b>b</b></p>");
    for (const char* selector : {"table", "td >", ":nth-child(", ""}) {
        const HtmlSelection none = document.find(selector);
        EXPECT_EQ(none.count(), 0u) << selector;
        const HtmlNode node = none.node(0);
        EXPECT_EQ(node.text(), "");
        EXPECT_EQ(node.ownText(), "");
        EXPECT_EQ(node.attribute("class"), "");
        EXPECT_EQ(node.childCount(), 0u);
        EXPECT_EQ(node.child(0).text(), "");
        EXPECT_EQ(node.find("b").count(), 0u);
    }
}

TEST(HtmlQueryAccessTest, aDocumentWithoutAPageFindsNothing) {
    HtmlDocument document;
    EXPECT_EQ(document.find("p").count(), 0u);
    EXPECT_TRUE(document.parse(""));  // an empty response body is still a page
    EXPECT_EQ(document.find("td").node(3).text(), "");
}

TEST(HtmlQueryAccessTest, everyFunctionToleratesNull) {
    EXPECT_EQ(Gumbo_Query_Document_parse(nullptr, "<p>"), 0);
    GumboQueryDocument* document = Gumbo_Query_Document_new();
    EXPECT_EQ(Gumbo_Query_Document_parse(document, nullptr) & 0xff, 0);
    GumboQuerySelection* selections[] = {Gumbo_Query_Document_Find(nullptr, "p"),
                                         Gumbo_Query_Document_Find(document, nullptr),
                                         Gumbo_Query_Node_find(nullptr, "p")};
    for (GumboQuerySelection* selection : selections) {
        ASSERT_NE(selection, nullptr);
        EXPECT_EQ(Gumbo_Query_GetCount(selection), 0u);
        Gumbo_Query_Delete(selection);
    }
    EXPECT_EQ(Gumbo_Query_GetCount(nullptr), 0u);
    GumboQueryNode* node = Gumbo_Query_GetNode(nullptr, 0);
    EXPECT_STREQ(Gumbo_Query_Node_attribute(node, "id"), "");
    EXPECT_STREQ(Gumbo_Query_Node_attribute(nullptr, nullptr), "");
    EXPECT_STREQ(Gumbo_Query_String_GetText(nullptr), "");
    GumboQueryString* text = Gumbo_Query_Node_text(nullptr);
    EXPECT_STREQ(Gumbo_Query_String_GetText(text), "");
    EXPECT_EQ(Gumbo_Query_Node_childNum(nullptr), 0u);
    GumboQueryNode* child = Gumbo_Query_Node_childAt(nullptr, 3);
    EXPECT_EQ(Gumbo_Query_Node_childNum(child), 0u);
    Gumbo_Query_Node_Delete(child);
    Gumbo_Query_String_Delete(text);
    Gumbo_Query_Node_Delete(node);
    Gumbo_Query_Document_Delete(document);
    Gumbo_Query_String_Delete(nullptr);
    Gumbo_Query_Node_Delete(nullptr);
    Gumbo_Query_Delete(nullptr);
    Gumbo_Query_Document_Delete(nullptr);
}

TEST(HtmlQueryTextTest, ownTextLeavesOutDescendants) {
    const HtmlDocument document = parsed("<table><tr><td>12<b>3</b></td><td>4<!-- 5 -->6</td></tr></table>");
    const HtmlSelection cells = document.find("td");
    EXPECT_EQ(cells.node(0).ownText(), "12");
    EXPECT_EQ(cells.node(0).text(), "123");
    EXPECT_EQ(cells.node(1).text(), "46");
}

TEST(HtmlQueryTextTest, chineseAndReferencesComeBackAsUtf8) {
    const HtmlDocument document = parsed("<p title=\"开奖号码\">七星彩&nbsp;第&#x31;期 &amp; 更多&lt;</p>");
    const HtmlNode p = document.find("[title=\"开奖号码\"]").node(0);
    EXPECT_EQ(p.attribute("title"), "开奖号码");
    EXPECT_EQ(p.text(), "七星彩\u00a0第1期 & 更多<");
}

TEST(HtmlQueryTextTest, attributesAreReadExactly) {
    const HtmlDocument document = parsed("<span class=\"yellow \" data-n=\"七\" NOWRAP>1</span><span>2</span>");
    const HtmlSelection spans = document.find("span");
    const HtmlNode first = spans.node(0);
    EXPECT_EQ(first.attribute("class"), "yellow ");
    EXPECT_EQ(first.attribute("CLASS"), "yellow ");
    EXPECT_EQ(first.attribute("data-n"), "七");
    EXPECT_EQ(first.attribute("nowrap"), "");
    EXPECT_EQ(spans.node(1).attribute("class"), "");
    EXPECT_EQ(document.find("span.yellow").count(), 1u);
    EXPECT_EQ(document.find("span[class=yellow]").count(), 0u);

    // The module owns the attribute text for the life of the node handle, across other reads.
    GumboQueryDocument* raw = Gumbo_Query_Document_new();
    ASSERT_EQ(Gumbo_Query_Document_parse(raw, "<a id=\"x\" href=\"/y\">a</a>") & 0xff, 1);
    GumboQuerySelection* links = Gumbo_Query_Document_Find(raw, "a");
    GumboQueryNode* link = Gumbo_Query_GetNode(links, 0);
    const char* id = Gumbo_Query_Node_attribute(link, "id");
    const char* href = Gumbo_Query_Node_attribute(link, "href");
    EXPECT_STREQ(id, "x");
    EXPECT_STREQ(href, "/y");
    Gumbo_Query_Node_Delete(link);
    Gumbo_Query_Delete(links);
    Gumbo_Query_Document_Delete(raw);
}

TEST(HtmlQuerySelectorsTest, nodeFindSelectsDescendantsInPageContext) {
    const HtmlDocument document = parsed("<div class=x id=outer><div class=x><span>a</span></div><span>b</span></div>");
    const HtmlNode outer = document.find("#outer").node(0);
    EXPECT_EQ(outer.find(".x").count(), 1u);  // not the node itself
    EXPECT_EQ(outer.find("span").count(), 2u);
    const HtmlNode inner = outer.find(".x").node(0);
    EXPECT_EQ(inner.find("#outer .x > span").node(0).text(), "a");
    EXPECT_EQ(inner.find("body span").count(), 1u);
}

TEST(HtmlQuerySelectorsTest, resultsComeInDocumentOrderEachOnce) {
    const HtmlDocument document =
        parsed("<ul><li class=a>1</li><li class=b>2</li><li class='a b'>3</li><li>4</li></ul>");
    const HtmlSelection items = document.find(".b, .a, li:last-child");
    ASSERT_EQ(items.count(), 4u);
    for (std::size_t i = 0; i < items.count(); ++i) {
        EXPECT_EQ(items.node(i).text(), std::to_string(i + 1));
    }
    EXPECT_EQ(document.find("li:nth-child(2n+1)").node(1).text(), "3");
    EXPECT_EQ(document.find(".a + li").node(0).text(), "2");
    EXPECT_EQ(document.find("li[class~=b]").count(), 2u);
    EXPECT_EQ(document.find("li[class^=a]").count(), 2u);
}

TEST(HtmlQueryTreeTest, childrenAreElementsAndTextWithoutComments) {
    const HtmlDocument document = parsed("<div>12<b>3</b><!-- c --><i>4</i></div>");
    const HtmlNode div = document.find("div").node(0);
    ASSERT_EQ(div.childCount(), 3u);
    EXPECT_EQ(div.child(0).text(), "12");
    EXPECT_EQ(div.child(0).childCount(), 0u);
    EXPECT_EQ(div.child(1).text(), "3");
    EXPECT_EQ(div.child(2).ownText(), "4");
    EXPECT_EQ(div.child(3).text(), "");
    EXPECT_EQ(div.child(0).find("*").count(), 0u);
}

TEST(HtmlQueryLifetimeTest, handlesOutliveTheirDocumentAndItsNextPage) {
    std::vector<HtmlNode> kept;
    {
        HtmlDocument document = parsed("<p>first</p>");
        kept.push_back(document.find("p").node(0));
        ASSERT_TRUE(document.parse("<p>second</p><p>third</p>"));
        EXPECT_EQ(document.find("p").count(), 2u);
        kept.push_back(document.find("p").node(1));
    }
    EXPECT_EQ(kept[0].text(), "first");
    EXPECT_EQ(kept[1].text(), "third");
    HtmlDocument moved = parsed("<p>x</p>");
    HtmlDocument target = std::move(moved);
    EXPECT_EQ(target.find("p").count(), 1u);
}

}  // namespace
}  // namespace orvenna
