// The structure the page views rely on beyond single cells: tab order, the
// table 1.1 row that new rows are copied from, the open SKE table, and
// tables whose rows all cover the same columns.
#include <gtest/gtest.h>

#include <charconv>
#include <cstdio>
#include <regex>
#include <string>
#include <vector>

#include "HtmlPage.h"

namespace {

int IntAttr(xmlNodePtr node, const char* name) {
    int value = 1;
    if (auto text = HtmlPage::Attr(node, name)) {
        std::from_chars(text->data(), text->data() + text->size(), value);
    }
    return value;
}

std::vector<xmlNodePtr> Children(xmlNodePtr node, std::initializer_list<const char*> tags) {
    std::vector<xmlNodePtr> out;
    for (xmlNodePtr child = node->children; child; child = child->next) {
        if (child->type != XML_ELEMENT_NODE) continue;
        for (const char* tag : tags) {
            if (HtmlPage::Name(child) == tag) out.push_back(child);
        }
    }
    return out;
}

// The rows of a table, not those of tables nested in it.
std::vector<xmlNodePtr> Rows(const HtmlPage& page, xmlNodePtr table) {
    std::vector<xmlNodePtr> rows;
    for (xmlNodePtr row : page.ByTag("tr")) {
        if (HtmlPage::Ancestor(row, "table") == table) rows.push_back(row);
    }
    return rows;
}

// For every row, the number of grid columns it covers (cells of its own and
// cells reaching down from rows above), or -1 when it leaves a hole.
std::vector<int> GridWidths(const HtmlPage& page, xmlNodePtr table) {
    std::vector<int> widths;
    std::vector<int> remaining;  // rows still covered by a cell above, per column
    for (xmlNodePtr row : Rows(page, table)) {
        std::size_t col = 0;
        for (xmlNodePtr cell : Children(row, {"td", "th"})) {
            while (col < remaining.size() && remaining[col] > 0) ++col;
            std::size_t span = static_cast<std::size_t>(IntAttr(cell, "colspan"));
            if (remaining.size() < col + span) remaining.resize(col + span, 0);
            for (std::size_t i = col; i < col + span; ++i) remaining[i] = IntAttr(cell, "rowspan");
            col += span;
        }
        int width = 0;
        bool hole = false;
        for (std::size_t i = 0; i < remaining.size(); ++i) {
            if (remaining[i] > 0) {
                hole = hole || static_cast<int>(i) != width;
                width = static_cast<int>(i) + 1;
            }
        }
        widths.push_back(hole ? -1 : width);
        for (int& left : remaining) left = left > 0 ? left - 1 : 0;
    }
    return widths;
}

std::vector<std::string> Table6_7Order() {
    std::vector<std::string> ids = {"OKVED_1",
                                    "OKVED_2",
                                    "OKVED_3",
                                    "T1R3C2",
                                    "T1R5C2",
                                    "NC",
                                    "C1",
                                    "I1",
                                    "NC1",
                                    "C2",
                                    "I2",
                                    "NC2",
                                    "C3",
                                    "I3",
                                    "NC3",
                                    "RATE_MIS",
                                    "RATE_DEC",
                                    "INC_DATE_DAY",
                                    "INC_DATE_MONTH",
                                    "INC_DATE_YEAR",
                                    "RATE_INC",
                                    "T7R1C1",
                                    "T7R3C1",
                                    "T7R5C1",
                                    "T7R6C1",
                                    "T7R7C1",
                                    "T7R9C1",
                                    "T7R41C1",
                                    "T7R13C1",
                                    "T7R11C1",
                                    "T7R16C1",
                                    "T7R17C61",
                                    "T7R18C1",
                                    "T7R39C1",
                                    "T7R19C1",
                                    "T7R40C1",
                                    "T7R42C1",
                                    "T7R21C1",
                                    "T7R23C1",
                                    "T7R24C1",
                                    "T7R25C1",
                                    "T7R27C1"};
    for (int n = 1; n <= 9; ++n) {
        std::string k = std::to_string(n);
        for (std::string id :
             {"DT_DAY_" + k, "DT_MONTH_" + k, "DT_YEAR_" + k, "NUM" + k, "PO_SUM" + k}) {
            ids.push_back(id);
        }
    }
    for (const char* id : {"T7R38C1", "T7R34C1", "T7R35C1"}) ids.push_back(id);
    return ids;
}

TEST(PageLayout, TablesOneAndTwoTabInTheOrderOfTheViewsCellList) {
    HtmlPage page(PageText(HTML_DOC_TABLE6_7));
    std::vector<std::string> expected;
    for (const std::string& id : Table6_7Order()) {
        // The activity code cells of earlier editions are not on screen.
        if (id.rfind("OKVED_", 0) != 0) expected.push_back(id);
    }
    ASSERT_EQ(expected.size(), 87u);
    std::vector<std::string> order = TabOrder(page);
    ASSERT_GE(order.size(), expected.size());
    order.resize(expected.size());
    EXPECT_EQ(order, expected);
}

TEST(PageLayout, TablesThreeAndFourTabInTheOrderOfTheViewsCellList) {
    HtmlPage page(PageText(HTML_DOC_TABLE8_9));
    std::vector<std::string> expected = {
        "T6R3C1",  "T6R3C2",  "T6R13C1", "T6R13C2", "T6R4C1", "T6R4C2", "T6R8C1", "T6R8C2",
        "T6R14C1", "T6R14C2", "T6R9C1",  "T6R9C2",  "T6R5C1", "T6R5C2", "T6R6C1", "T6R6C2",
        "T6R10C2", "T6R11C2", "M1",      "M2",      "M3",     "M5"};
    // The two totals are calculated and stay out of the sequence.
    EXPECT_EQ(TabOrder(page), expected);
}

TEST(PageLayout, TableOneOneEndsWithItsNumberedFirstRow) {
    std::string text = PageText(HTML_DOC_TABLE6_1);
    HtmlPage page(text);
    std::vector<xmlNodePtr> tables = page.ById("table61");
    ASSERT_EQ(tables.size(), 1u);
    ASSERT_EQ(HtmlPage::Name(tables[0]), "table");

    // New rows are appended after the last row and copy its layout: the row
    // number, then the fourteen columns in the order the view builds them.
    std::vector<xmlNodePtr> rows = Rows(page, tables[0]);
    ASSERT_FALSE(rows.empty());
    std::vector<xmlNodePtr> cells = Children(rows.back(), {"td", "th"});
    ASSERT_EQ(cells.size(), 15u);
    EXPECT_EQ(HtmlPage::Text(cells[0]), "1");
    const char* columns[] = {"REG_NUM_P", "INN_P", "OKVED_P",    "WRK_P",    "FOT_P",
                             "FOTINV_P",  "C1",    "I1",         "C2",       "I2",
                             "C3",        "I3",    "RATE_MIS_P", "MIS_ALL_P"};
    for (std::size_t i = 0; i < cells.size(); ++i) {
        EXPECT_EQ(HtmlPage::Attr(cells[i], "class"), "xl11615473");
        EXPECT_FALSE(HtmlPage::Attr(cells[i], "colspan"));
        if (i == 0) continue;
        std::vector<xmlNodePtr> inputs = Children(cells[i], {"input"});
        ASSERT_EQ(inputs.size(), 1u);
        EXPECT_EQ(HtmlPage::Attr(inputs[0], "id"), std::string(columns[i - 1]) + "_1");
    }
    for (int width : GridWidths(page, tables[0])) EXPECT_EQ(width, 15);

    std::vector<std::string> links;
    for (xmlNodePtr a : page.ByTag("a")) {
        links.push_back(HtmlPage::Attr(a, "href").value_or(""));
        EXPECT_FALSE(HtmlPage::Text(a).empty());
    }
    EXPECT_EQ(links, (std::vector<std::string>{"#add_row", "#del_row"}));
    EXPECT_TRUE(std::regex_search(text, std::regex(R"(\.xl11615473\s*\{)")));
}

// One row of the SKE table as the SKE view generates it.
std::string SkeRow(int r) {
    struct Column {
        const char* Id;
        const char* Span;
        int MaxLength;
        const char* Type;
        const char* Value;
    };
    const Column columns[] = {{"OKVED", "", 8, "string", "85.11"},
                              {"ID_RISC", "", 2, "int", "1"},
                              {"RATE_MIS", "", 4, "float", "0.20"},
                              {"RATE_DEC", "", 2, "int", "0"},
                              {"RATE_INC", "", 2, "int", "0"},
                              {"FOT", "", 17, "float", "1000.00"},
                              {"C1", "", 17, "float", "0.00"},
                              {"C2", "", 17, "float", "0.00"},
                              {"C3", "", 17, "float", "0.00"},
                              {"FOTINV", "", 17, "float", "0.00"},
                              {"I1", "colspan=10 ", 17, "float", "0.00"},
                              {"I2", "colspan=10 ", 17, "float", "0.00"},
                              {"I3", "colspan=10 ", 17, "float", "0.00"},
                              {"NC", "colspan=11 ", 17, "float", "0.00"},
                              {"RECKON", "colspan=10 ", 17, "float", "0.00"}};
    std::string row = "\n<tr height=20 style='mso-height-source:userset;height:15.0pt'>\n";
    char line[512];
    for (const Column& c : columns) {
        std::string start =
            std::string(c.Id) == "OKVED"
                ? "\t<td height=20 class=xl12324372 style='height:15.0pt;border-top:none'>"
                : "\t<td " + std::string(c.Span) +
                      "class=xl12324372 style='border-top:none;border-left:none'>";
        std::snprintf(line, sizeof line,
                      "<input type=\"text\" id=\"%s_%d\" class='userInputCells' maxlength='%d' "
                      "cppType='%s' value='%s'/></td>\n",
                      c.Id, r, c.MaxLength, c.Type, c.Value);
        row += start + line;
    }
    return row + "</tr>\n";
}

TEST(PageLayout, SkeLeadingPartEndsInsideItsOpenTable) {
    std::string lead = PageText(HTML_DOC_SKE_HEAD);
    ASSERT_FALSE(lead.empty());
    EXPECT_EQ(lead.find("</table"), std::string::npos);
    EXPECT_EQ(lead.find("</body"), std::string::npos);
    EXPECT_EQ(lead.find("</html"), std::string::npos);
    std::size_t table = lead.find("<table");
    ASSERT_NE(table, std::string::npos);
    EXPECT_EQ(lead.find("<table", table + 1), std::string::npos);
    // No row is left open for the generated ones.
    EXPECT_LT(lead.rfind("<tr"), lead.rfind("</tr>"));
    EXPECT_TRUE(std::regex_search(lead, std::regex(R"(\.xl12324372\s*\{)")));
}

TEST(PageLayout, SkeRowsLineUpWithTheHeaderColumns) {
    std::string text =
        PageText(HTML_DOC_SKE_HEAD) + SkeRow(1) + SkeRow(2) + "</table></div></body></html>";
    HtmlPage page(text);
    std::vector<xmlNodePtr> tables = page.ByTag("table");
    ASSERT_EQ(tables.size(), 1u);
    // The closing text ends the table and one division right in the body.
    xmlNodePtr div = tables[0]->parent;
    ASSERT_EQ(HtmlPage::Name(div), "div");
    EXPECT_EQ(HtmlPage::Name(div->parent), "body");

    std::vector<xmlNodePtr> inputs = page.ByTag("input");
    ASSERT_EQ(inputs.size(), 30u);
    for (xmlNodePtr input : inputs) EXPECT_EQ(HtmlPage::Ancestor(input, "table"), tables[0]);

    std::vector<xmlNodePtr> rows = Rows(page, tables[0]);
    ASSERT_GE(rows.size(), 3u);
    std::vector<xmlNodePtr> header = Children(rows[rows.size() - 3], {"td", "th"});
    std::vector<xmlNodePtr> generated = Children(rows.back(), {"td", "th"});
    ASSERT_EQ(header.size(), 15u);
    ASSERT_EQ(generated.size(), header.size());
    for (std::size_t i = 0; i < header.size(); ++i) {
        EXPECT_EQ(IntAttr(header[i], "colspan"), IntAttr(generated[i], "colspan")) << i;
        EXPECT_EQ(HtmlPage::Text(header[i]), std::to_string(i + 1));
    }
    std::vector<int> widths = GridWidths(page, tables[0]);
    for (int width : widths) EXPECT_EQ(width, widths.front());
}

class PageTables : public testing::TestWithParam<HTML_DOC> {};

TEST_P(PageTables, EveryRowCoversAllColumnsOfItsTable) {
    std::string text = PageText(GetParam());
    if (GetParam() == HTML_DOC_SKE_HEAD) text += SkeRow(1) + "</table></div></body></html>";
    HtmlPage page(text);
    for (xmlNodePtr table : page.ByTag("table")) {
        SCOPED_TRACE(HtmlPage::Attr(table, "id").value_or("table without id"));
        std::vector<int> widths = GridWidths(page, table);
        ASSERT_FALSE(widths.empty());
        for (std::size_t i = 0; i < widths.size(); ++i) {
            EXPECT_EQ(widths[i], widths.front()) << "row " << i;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(AllPages, PageTables,
                         testing::Values(HTML_DOC_TITLE, HTML_DOC_TABLE6_7, HTML_DOC_TABLE6_1,
                                         HTML_DOC_TABLE8_9, HTML_DOC_TABLE10, HTML_DOC_SKE_HEAD));

}  // namespace
