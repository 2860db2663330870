// The form pages of the page library, loaded from their local addresses into
// the real web view: each shows its page, and the view's input handling works
// on it as on any page.
#include <TarvikPages.h>

#include "HtmlViewFixture.h"
#include "RQGuiHarness.h"

namespace {

struct FormPage {
    HTML_DOC page;
    const char* shot;   // screenshot name
    const char* title;  // the page's title element
    const char* cell;   // an input cell of the page ("" when it has none)
    const char* typed;  // what the user types into it
    const char* shown;  // what the cell then holds
};

// Letters never reach a number cell; digits and the separator of a "float"
// cell do.
const FormPage kFormPages[] = {
    {HTML_DOC_TITLE, "page-title", "Титульный лист", "REG_NUM", "77a01", "7701"},
    {HTML_DOC_TABLE6_7, "page-tables1_2", "Таблицы 1 и 2", "NC", "1x2,5", "12,5"},
    {HTML_DOC_TABLE6_1, "page-table1_1", "Таблица 1.1", "FOT_P_1", "300q,25", "300,25"},
    {HTML_DOC_TABLE8_9, "page-tables3_4", "Таблицы 3 и 4", "T6R3C2", "-4b", "-4"},
    {HTML_DOC_TABLE10, "page-table5", "Таблица 5", "ATT_C1", "1 5", "15"},
    {HTML_DOC_SKE_HEAD, "page-ske_head", "Таблица СКЕ", "", "", ""},
};

std::string LocalUrl(HTML_DOC page) {
    char text[260] = {};
    char* buffer = text;
    return GetLocalURL(page, buffer, sizeof text) == 1 ? std::string(text) : std::string();
}

}  // namespace

using FormPages = HtmlViewTest;

TEST_F(FormPages, EveryPageLoadsAndTakesInputThroughTheKeyFilter) {
    for (const FormPage& c : kFormPages) {
        SCOPED_TRACE(c.title);
        const std::string url = LocalUrl(c.page);
        ASSERT_FALSE(url.empty());
        ASSERT_TRUE(LoadPage(url));
        std::string title;
        view->RunScript("document.title", &title);
        EXPECT_EQ(title, c.title);
        // No style from the network and none missing: the input cells carry
        // the colours of the shared style sheet.
        std::string colour;
        view->RunScript(
            "(function () { var e = document.querySelector('input.userInputCells');"
            " return e ? getComputedStyle(e).backgroundColor : 'none'; })()",
            &colour);
        if (*c.cell == '\0') {
            EXPECT_EQ(colour, "none");
            Screenshot(c.shot);
            continue;
        }
        EXPECT_EQ(colour, "rgb(255, 237, 147)");
        view->FocusCell(c.cell);
        ASSERT_TRUE(RQGuiHarness::PumpUntil([&] { return ActiveId() == c.cell; }));
        Type(c.typed);
        EXPECT_TRUE(WaitForValue(c.cell, c.shown)) << Value(c.cell);
        EXPECT_TRUE(LeaveWithTab(c.cell));
        Screenshot(c.shot);
    }
}
