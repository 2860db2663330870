// The input cells of every page, checked against the cells the page views
// bind: id, class, read-only state, input type and maximum length.
#include <gtest/gtest.h>

#include <regex>
#include <set>
#include <string>
#include <vector>

#include "HtmlPage.h"

namespace {

constexpr const char* U = "userInputCells";
constexpr const char* C = "calculateCells";

struct Cell {
    std::string Id;
    const char* Class;
    const char* CppType;  // null for a check box
    int MaxLength;        // 0 for a check box
};

void Add(std::vector<Cell>& cells, std::initializer_list<const char*> ids, const char* cls,
         const char* type, int length) {
    for (const char* id : ids) cells.push_back({id, cls, type, length});
}

std::vector<Cell> TitleCells() {
    std::vector<Cell> c;
    Add(c, {"REG_NUM"}, U, "DWORD", 10);
    Add(c, {"KPS_NUM"}, U, "DWORD", 5);
    Add(c, {"INN"}, U, "DWORD", 12);
    Add(c, {"KPP"}, U, "DWORD", 9);
    Add(c, {"OGRN"}, U, "DWORD", 15);
    Add(c, {"OKVED_1", "OKVED_2", "OKVED_3"}, U, "DWORD", 2);
    Add(c, {"QUART_NUM"}, C, "DWORD", 2);
    Add(c, {"YEAR_NUM"}, C, "DWORD", 4);
    Add(c, {"NAME"}, U, "string", 255);
    Add(c, {"CRE_DATE_DAY", "CRE_DATE_MONTH"}, U, "DWORD", 2);
    Add(c, {"CRE_DATE_YEAR"}, U, "DWORD", 4);
    Add(c, {"CEO", "CFO", "AUTHOR"}, C, "StrongString", 64);
    Add(c, {"PHONE"}, U, "string", 20);
    Add(c, {"NumCorr"}, U, "DWORD", 3);
    Add(c, {"NumDot"}, U, "DWORD", 2);
    Add(c, {"T1R1C2", "T1R2C2", "T1R4C2", "T1R6C2"}, C, "DWORD", 6);
    Add(c, {"BO_IF"}, U, "DWORD", 1);
    Add(c, {"POST_INDEX"}, U, "DWORD", 6);
    Add(c,
        {"ADDRESS_1", "ADDRESS_2", "ADDRESS_3", "ADDRESS_4", "ADDRESS_5", "HOUSE", "KORPUS",
         "OFFICE", "DocumentName"},
        U, "string", 64);
    Add(c, {"EmployeeType"}, U, "{1,2,3}", 1);
    Add(c, {"DopPageCount"}, U, "DWORD", 3);
    Add(c, {"SUM_PageCount", "PageCount"}, C, "DWORD", 3);
    Add(c, {"LIKV"}, C, "string", 1);
    // Validated by the view but printed on no edition of the form in force.
    Add(c, {"DOP_NUM"}, C, "DWORD", 10);
    Add(c, {"OKATO"}, C, "DWORD", 11);
    Add(c, {"OKOPF", "OKPO", "OKFS", "WRO"}, C, "DWORD", 64);
    Add(c, {"TaxType"}, C, "DWORD", 3);
    Add(c, {"TaxType2", "TaxType3"}, C, "DWORD", 2);
    return c;
}

std::vector<Cell> Tables1And2Cells() {
    std::vector<Cell> c;
    Add(c, {"IS_INV", "IS_BUDJET"}, U, nullptr, 0);
    Add(c, {"OKVED_1", "OKVED_2", "OKVED_3"}, C, "DWORD", 2);
    Add(c,
        {"T1R3C2", "T1R5C2", "NC", "C1", "I1", "NC1", "C2", "I2", "NC2", "C3", "I3", "NC3",
         "RATE_MIS"},
        U, "float", 17);
    Add(c, {"RATE_DEC", "RATE_INC", "INC_DATE_DAY", "INC_DATE_MONTH"}, U, "DWORD", 2);
    Add(c, {"INC_DATE_YEAR"}, U, "DWORD", 4);
    Add(c,
        {"T7R1C1",  "T7R3C1",  "T7R5C1",   "T7R6C1",  "T7R7C1",  "T7R9C1",  "T7R41C1", "T7R13C1",
         "T7R11C1", "T7R16C1", "T7R17C61", "T7R18C1", "T7R39C1", "T7R19C1", "T7R40C1", "T7R42C1",
         "T7R21C1", "T7R23C1", "T7R24C1",  "T7R25C1", "T7R27C1", "T7R38C1", "T7R34C1", "T7R35C1"},
        U, "float", 17);
    for (int n = 1; n <= 9; ++n) {
        std::string k = std::to_string(n);
        c.push_back({"DT_DAY_" + k, U, "DWORD", 2});
        c.push_back({"DT_MONTH_" + k, U, "DWORD", 2});
        c.push_back({"DT_YEAR_" + k, U, "DWORD", 4});
        c.push_back({"NUM" + k, U, "DWORD", 10});
        c.push_back({"PO_SUM" + k, U, "float", 17});
    }
    Add(c, {"SUM_C6",   "SUM_R1C3",    "SUM_R1C4",    "SUM_R1C5",   "SUM_R1C6", "SUM_R2C3",
            "SUM_R2C4", "SUM_R2C5",    "SUMR2C1",     "SUMR2C3",    "SUMR8C3",  "SUMR10C3",
            "SUMR13C3", "SUMR11C1",    "SUMR11C3",    "SUMR12C1",   "SUMR12C3", "SUMR14C3",
            "SUMR18C3", "SUM_T7R29C1", "SUM_T7R30C1", "SUM_T7R31C1"},
        C, "float", 17);
    return c;
}

std::vector<Cell> Table1_1Cells() {
    std::vector<Cell> c;
    Add(c, {"REG_NUM_P_1"}, U, "DWORD", 10);
    Add(c, {"INN_P_1"}, U, "DWORD", 12);
    Add(c, {"OKVED_P_1"}, U, "string", 8);
    Add(c, {"WRK_P_1"}, U, "DWORD", 9);
    Add(c,
        {"FOT_P_1", "FOTINV_P_1", "C1_1", "I1_1", "C2_1", "I2_1", "C3_1", "I3_1", "RATE_MIS_P_1",
         "MIS_ALL_P_1"},
        U, "float", 17);
    return c;
}

std::vector<Cell> Tables3And4Cells() {
    std::vector<Cell> c;
    Add(c,
        {"T6R3C1", "T6R13C1", "T6R4C1", "T6R8C1", "T6R14C1", "T6R9C1", "T6R5C1", "T6R6C1", "M1",
         "M2", "M3", "M5"},
        U, "DWORD", 6);
    Add(c,
        {"T6R3C2", "T6R13C2", "T6R4C2", "T6R8C2", "T6R14C2", "T6R9C2", "T6R5C2", "T6R6C2",
         "T6R10C2", "T6R11C2"},
        U, "float", 17);
    Add(c, {"SUM_R10C4"}, C, "float", 17);
    Add(c, {"SUM_R4C3"}, C, "DWORD", 6);
    return c;
}

std::vector<Cell> Table5Cells() {
    std::vector<Cell> c;
    Add(c, {"ATT_C1", "ATT_C2", "ATT_CL3", "ATT_CL4", "MED_C1", "MED_C2"}, U, "DWORD", 6);
    return c;
}

struct PageCase {
    const char* Name;
    HTML_DOC Page;
    const char* Title;
    std::vector<Cell> Cells;
};

std::vector<PageCase> AllPages() {
    return {{"Title", HTML_DOC_TITLE, "Титульный лист", TitleCells()},
            {"Tables1And2", HTML_DOC_TABLE6_7, "Таблицы 1 и 2", Tables1And2Cells()},
            {"Table1_1", HTML_DOC_TABLE6_1, "Таблица 1.1", Table1_1Cells()},
            {"Tables3And4", HTML_DOC_TABLE8_9, "Таблицы 3 и 4", Tables3And4Cells()},
            {"Table5", HTML_DOC_TABLE10, "Таблица 5", Table5Cells()},
            {"SkeHead", HTML_DOC_SKE_HEAD, "Таблица СКЕ", {}}};
}

void PrintTo(const PageCase& page, std::ostream* out) {
    *out << page.Name;
}

class PageCells : public testing::TestWithParam<PageCase> {};

TEST_P(PageCells, EveryBoundCellExistsOnceWithItsConventions) {
    const PageCase& param = GetParam();
    HtmlPage page(PageText(param.Page));
    ASSERT_TRUE(page.Parsed());
    for (const Cell& cell : param.Cells) {
        SCOPED_TRACE(cell.Id);
        std::vector<xmlNodePtr> found = page.ById(cell.Id);
        ASSERT_EQ(found.size(), 1u);
        xmlNodePtr input = found[0];
        EXPECT_EQ(HtmlPage::Name(input), "input");
        EXPECT_EQ(HtmlPage::Attr(input, "class"), cell.Class);
        EXPECT_EQ(HtmlPage::Attr(input, "readonly").has_value(), std::string(cell.Class) == C);
        if (cell.CppType) {
            EXPECT_EQ(HtmlPage::Attr(input, "type"), "text");
            EXPECT_EQ(HtmlPage::Attr(input, "cpptype"), cell.CppType);
            EXPECT_EQ(HtmlPage::Attr(input, "maxlength"), std::to_string(cell.MaxLength));
        } else {
            // A check box takes the space bar, so no key filter may apply.
            EXPECT_EQ(HtmlPage::Attr(input, "type"), "checkbox");
            EXPECT_FALSE(HtmlPage::Attr(input, "cpptype"));
        }
        // A cell the user fills in must be on screen.
        if (std::string(cell.Class) == U) {
            EXPECT_FALSE(HtmlPage::IsHidden(input));
        }
    }
}

TEST_P(PageCells, HoldsNoOtherInputsAndNoDuplicateIds) {
    const PageCase& param = GetParam();
    HtmlPage page(PageText(param.Page));
    ASSERT_TRUE(page.Parsed());
    std::set<std::string> expected;
    for (const Cell& cell : param.Cells) expected.insert(cell.Id);
    std::set<std::string> inputs;
    for (xmlNodePtr input : page.ByTag("input")) {
        inputs.insert(HtmlPage::Attr(input, "id").value_or("(no id)"));
    }
    EXPECT_EQ(inputs, expected);

    std::set<std::string> ids;
    for (xmlNodePtr node : page.Elements()) {
        if (auto id = HtmlPage::Attr(node, "id")) {
            EXPECT_TRUE(ids.insert(*id).second) << "duplicate id " << *id;
        }
    }
}

TEST_P(PageCells, IsSelfContainedUtf8WithoutScripts) {
    const PageCase& param = GetParam();
    std::string text = PageText(param.Page);
    HtmlPage page(text);
    ASSERT_TRUE(page.Parsed());

    bool charset = false;
    for (xmlNodePtr meta : page.ByTag("meta")) {
        if (HtmlPage::Attr(meta, "charset") == "utf-8") charset = true;
    }
    EXPECT_TRUE(charset);
    std::vector<xmlNodePtr> html = page.ByTag("html");
    ASSERT_EQ(html.size(), 1u);
    EXPECT_EQ(HtmlPage::Attr(html[0], "lang"), "ru");
    std::vector<xmlNodePtr> title = page.ByTag("title");
    ASSERT_EQ(title.size(), 1u);
    EXPECT_EQ(HtmlPage::Text(title[0]), param.Title);

    EXPECT_TRUE(page.ByTag("script").empty());
    EXPECT_TRUE(page.ByTag("iframe").empty());
    EXPECT_TRUE(page.ByTag("img").empty());
    EXPECT_TRUE(page.ByTag("link").empty());
    for (xmlNodePtr node : page.Elements()) {
        for (xmlAttrPtr attr = node->properties; attr; attr = attr->next) {
            std::string name = reinterpret_cast<const char*>(attr->name);
            EXPECT_NE(name.rfind("on", 0), 0u) << "event handler " << name;
            std::string value = HtmlPage::Attr(node, name.c_str()).value_or("");
            if (name == "href" || name == "src" || name == "action") {
                EXPECT_EQ(value.rfind("#", 0), 0u) << name << "=" << value;
            }
        }
    }
    // Style sheets load nothing either.
    EXPECT_EQ(text.find("url("), std::string::npos);
    EXPECT_EQ(text.find("@import"), std::string::npos);
}

TEST_P(PageCells, StyleSheetColoursTheTwoKindsOfCells) {
    std::string text = PageText(GetParam().Page);
    std::smatch match;
    EXPECT_TRUE(std::regex_search(
        text, match, std::regex(R"(\.userInputCells\s*\{\s*background-color:\s*#ffed93;)")));
    EXPECT_TRUE(std::regex_search(
        text, match, std::regex(R"(\.calculateCells\s*\{\s*background-color:\s*#ffffff;)")));
}

INSTANTIATE_TEST_SUITE_P(AllPages, PageCells, testing::ValuesIn(AllPages()),
                         [](const testing::TestParamInfo<PageCase>& info) {
                             return std::string(info.param.Name);
                         });

}  // namespace
