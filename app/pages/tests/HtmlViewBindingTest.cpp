// The binding operations on the test page in the real web view.
#include <cmath>
#include <ctime>

#include "HtmlViewFixture.h"
#include "RQCellText.h"
#include "RQGuiHarness.h"
#include "RQScriptBuilders.h"

using Bindings = HtmlViewTest;

TEST_F(Bindings, TextsComeBackUnchanged) {
    const std::string texts[] = {
        "простой текст",
        "кавычки \" и ' и `",
        "обратная \\ косая \\\\ и \\n буквально",
        "</script><script>alert(1)</script>",
        "${x} + '); throw 1; ('",
        "разделители \u2028 и \u2029",
        "",
    };
    for (const std::string& text : texts) {
        EXPECT_TRUE(view->SetText("STRING_CELL", text));
        std::string back = "unchanged?";
        EXPECT_TRUE(view->GetValue("STRING_CELL", back));
        EXPECT_EQ(back, text);
    }
    // Line breaks survive where the element keeps them.
    const std::string lines = "строка 1\nстрока 2\n\tконец";
    EXPECT_TRUE(view->SetText("MEMO", lines));
    std::string back;
    EXPECT_TRUE(view->GetValue("MEMO", back));
    EXPECT_EQ(back, lines);
    // Text of an element that is not a field is its content.
    EXPECT_TRUE(view->SetText("NOTE", "абзац"));
    std::string note;
    view->RunScript("document.getElementById('NOTE').textContent", &note);
    EXPECT_EQ(note, "абзац");
}

TEST_F(Bindings, MissingElementChangesNothingAndReadersGiveZero) {
    std::string text = "kept";
    EXPECT_FALSE(view->GetValue("NO_SUCH", text));
    EXPECT_EQ(text, "kept");
    int number = 7;
    EXPECT_FALSE(view->GetInt("NO_SUCH", number));
    EXPECT_EQ(number, 0);
    double amount = 7.5;
    EXPECT_FALSE(view->GetFloat("NO_SUCH", amount));
    EXPECT_EQ(amount, 0.0);
    int checked = 1;
    EXPECT_FALSE(view->GetChecked("NO_SUCH", checked));
    EXPECT_FALSE(view->IsCellEmpty("NO_SUCH"));
    EXPECT_FALSE(view->IsCellReadOnly("NO_SUCH"));
    EXPECT_FALSE(view->SetText("NO_SUCH", "x"));
    EXPECT_FALSE(view->SetChecked("NO_SUCH", 1));
    EXPECT_FALSE(view->SetCellColor("NO_SUCH", "ffffff"));
    EXPECT_FALSE(view->SetCellCalculated("NO_SUCH", true));
    EXPECT_TRUE(view->CheckCellFormat("NO_SUCH", 1));
    int value = 5;
    EXPECT_EQ(view->ExchangeInt("NO_SUCH", value, false, false), 0);
    EXPECT_EQ(value, 5);
    EXPECT_EQ(view->ExchangeInt("NO_SUCH", value, false, true), RQHtmlView::ExchangeFromPage);
    EXPECT_EQ(value, 0);
    EXPECT_FALSE(view->GetValue("", text));
}

TEST_F(Bindings, ReadingNumbersAndQuotes) {
    std::string quoted;
    EXPECT_TRUE(view->GetValue("QUOT_CELL", quoted));
    EXPECT_EQ(quoted, "a\"b\"");

    struct Case {
        const char* text;
        int asInt;
        double asFloat;
    } cases[] = {
        {"1,5", 1, 1.5},     {"-12,25", -12, -12.25}, {"12a", 12, 12.0},
        {"", 0, 0.0},        {"abc", 0, 0.0},         {" 42", 42, 42.0},
        {"3.75", 3, 3.75},   {"1,5,6", 1, 1.5},       {"99999999999", 2147483647, 99999999999.0},
        {"1,5e2", 1, 150.0},
    };
    for (const Case& c : cases) {
        ASSERT_TRUE(view->SetText("STRING_CELL", c.text));
        int i = -1;
        double d = -1;
        EXPECT_TRUE(view->GetInt("STRING_CELL", i));
        EXPECT_TRUE(view->GetFloat("STRING_CELL", d));
        EXPECT_EQ(i, c.asInt) << c.text;
        EXPECT_DOUBLE_EQ(d, c.asFloat) << c.text;
    }
}

TEST_F(Bindings, CheckBoxesAndEmptiness) {
    int checked = -1;
    EXPECT_TRUE(view->GetChecked("LIKV_FLAG", checked));
    EXPECT_EQ(checked, 0);
    EXPECT_TRUE(view->SetChecked("LIKV_FLAG", 1));
    EXPECT_TRUE(view->GetChecked("LIKV_FLAG", checked));
    EXPECT_EQ(checked, 1);
    EXPECT_TRUE(view->SetChecked("LIKV_FLAG", 2));  // only 1 checks
    EXPECT_TRUE(view->GetChecked("LIKV_FLAG", checked));
    EXPECT_EQ(checked, 0);

    EXPECT_TRUE(view->IsCellEmpty("DWORD_CELL"));
    view->SetText("DWORD_CELL", "1");
    EXPECT_FALSE(view->IsCellEmpty("DWORD_CELL"));
}

TEST_F(Bindings, ExchangeWritesOrReadsByTheCellKind) {
    int value = 0;
    EXPECT_EQ(view->ExchangeInt("DWORD_CELL", value, false, false), 1);
    EXPECT_EQ(Value("DWORD_CELL"), "");
    EXPECT_EQ(view->ExchangeInt("DWORD_CELL", value, true, false), 1);
    EXPECT_EQ(Value("DWORD_CELL"), "0");
    value = -35;
    EXPECT_EQ(view->ExchangeInt("DWORD_CELL", value, false, false), 1);
    EXPECT_EQ(Value("DWORD_CELL"), "-35");

    // From the page: a cell the user fills in is read ...
    view->SetText("FLOAT_CELL", "12,5");
    double amount = 99;
    EXPECT_EQ(view->ExchangeFloat("FLOAT_CELL", amount, false, true), RQHtmlView::ExchangeFromPage);
    EXPECT_DOUBLE_EQ(amount, 12.5);
    // ... a calculated one is written.
    amount = 1234.5;
    EXPECT_EQ(view->ExchangeFloat("T7R1C1", amount, false, true), 1);
    EXPECT_EQ(Value("T7R1C1"), "1234.50");
    amount = 0;
    EXPECT_EQ(view->ExchangeFloat("T7R1C1", amount, false, true), 1);
    EXPECT_EQ(Value("T7R1C1"), "");
    EXPECT_EQ(view->ExchangeFloat("T7R1C1", amount, true, false), 1);
    EXPECT_EQ(Value("T7R1C1"), "0.00");
    amount = -0.005;
    view->ExchangeFloat("T7R1C1", amount, false, false);
    EXPECT_EQ(Value("T7R1C1"), RQCellText::FormatAmount(-0.005));
}

TEST_F(Bindings, CalculatedCellsAndColours) {
    EXPECT_TRUE(view->IsCellReadOnly("SUM_TOTAL"));
    EXPECT_TRUE(view->SetCellCalculated("SUM_TOTAL", false));
    EXPECT_FALSE(view->IsCellReadOnly("SUM_TOTAL"));
    std::string colour, className;
    EXPECT_TRUE(view->GetCellColor("SUM_TOTAL", colour));
    EXPECT_EQ(colour, "ffed93");
    view->RunScript("document.getElementById('SUM_TOTAL').className", &className);
    EXPECT_EQ(className, "userInputCells");
    EXPECT_TRUE(view->SetCellCalculated("SUM_TOTAL", true));
    EXPECT_TRUE(view->IsCellReadOnly("SUM_TOTAL"));
    view->GetCellColor("SUM_TOTAL", colour);
    EXPECT_EQ(colour, "ffffff");
    view->RunScript("document.getElementById('SUM_TOTAL').className", &className);
    EXPECT_EQ(className, "calculateCells");

    EXPECT_TRUE(view->SetCellColor("DWORD_CELL", "f6c1c1"));
    EXPECT_FALSE(view->SetCellColor("DWORD_CELL", "zzzzzz"));
    EXPECT_FALSE(view->SetCellColor("DWORD_CELL", ""));
    view->GetCellColor("DWORD_CELL", colour);
    EXPECT_EQ(colour, "f6c1c1");  // a refused colour leaves the old one
}

TEST_F(Bindings, HighlightErrorCellsPaintsOnlyErrorsOfTheTable) {
    RQTarvikDocument document;
    RQErrorCellDescription finding;
    finding.Set(RQErrorCellDescription::ID_TABLE7, RQErrorCellDescription::RECORD_ERROR, 1, 3,
                "INT_CELL", "ошибка");
    finding.CellId2 = "FLOAT_CELL";
    document.AppendErrorCell(&finding);
    finding.Set(RQErrorCellDescription::ID_TABLE7, RQErrorCellDescription::RECORD_WARNING, 1, 3,
                "DWORD_CELL", "предупреждение");
    document.AppendErrorCell(&finding);
    finding.Set(RQErrorCellDescription::ID_TABLE6, RQErrorCellDescription::RECORD_ERROR, 1, 3,
                "STRING_CELL", "другая таблица");
    document.AppendErrorCell(&finding);

    view->HighlightErrorCells(document, RQErrorCellDescription::ID_TABLE7);
    for (auto [id, expected] : {std::pair{"INT_CELL", "f6c1c1"},
                                {"FLOAT_CELL", "f6c1c1"},
                                {"DWORD_CELL", "ffed93"},
                                {"STRING_CELL", "ffed93"}}) {
        std::string colour;
        view->GetCellColor(id, colour);
        EXPECT_EQ(colour, expected) << id;
    }
}

TEST_F(Bindings, CellFormatAndPayOrders) {
    struct Case {
        const char* text;
        int kind;
        bool ok;
    } cases[] = {
        {"", 1, true},    {"12", 1, true},  {"-12", 1, true}, {"12a", 1, false}, {"1,5", 1, false},
        {"1,5", 2, true}, {"1,", 2, false}, {"abc", 0, true}, {"abc", 3, true},
    };
    for (const Case& c : cases) {
        view->SetText("STRING_CELL", c.text);
        EXPECT_EQ(view->CheckCellFormat("STRING_CELL", c.kind), c.ok) << c.text << " " << c.kind;
    }

    EXPECT_TRUE(view->IsPayOrderEmpty("PO_SUM3", 3));
    view->SetText("DT_MONTH_3", "05");
    EXPECT_FALSE(view->IsPayOrderEmpty("PO_SUM3", 3));
    view->SetText("DT_MONTH_3", "");
    EXPECT_FALSE(view->IsPayOrderEmpty("PO_SUM9", 3));  // a missing cell is not empty
}

TEST_F(Bindings, Dates) {
    struct Case {
        const char *day, *month, *year;
        bool ok;
    } cases[] = {
        {"", "", "", true},          {"31", "02", "2010", true},  {"01", "01", "1900", false},
        {"", "05", "", false},       {"12", "", "", false},       {"0", "05", "2010", false},
        {"32", "05", "2010", false}, {"10", "13", "2010", false}, {"1a", "05", "2010", false},
        {"15", "06", "2024", true},
    };
    for (const Case& c : cases) {
        view->SetText("CRE_DATE_DAY", c.day);
        view->SetText("CRE_DATE_MONTH", c.month);
        view->SetText("CRE_DATE_YEAR", c.year);
        EXPECT_EQ(view->CheckDate("CRE_DATE_DAY", "CRE_DATE_MONTH", "CRE_DATE_YEAR"), c.ok)
            << c.day << "." << c.month << "." << c.year;
        time_t t = 123;
        EXPECT_EQ(view->GetDate("CRE_DATE", t), c.ok);
        if (!c.ok || !*c.year) {
            EXPECT_EQ(t, 0);
        }
    }
    EXPECT_FALSE(view->CheckDate("CRE_DATE_DAY", "CRE_DATE_MONTH", "NO_YEAR"));

    // Written and read back in a numbered row.
    time_t day = *RQCellText::LocalMidnight(5, 3, 2023);
    EXPECT_TRUE(view->SetDate("DT", day, 3));
    EXPECT_EQ(Value("DT_DAY_3"), "05");
    EXPECT_EQ(Value("DT_MONTH_3"), "03");
    EXPECT_EQ(Value("DT_YEAR_3"), "2023");
    time_t back = 0;
    EXPECT_TRUE(view->GetDate("DT", back, 3));
    EXPECT_EQ(back, day);
    // Time 0 empties the three cells.
    EXPECT_TRUE(view->SetDate("DT", 0, 3));
    EXPECT_TRUE(view->IsCellEmpty("DT_DAY_3"));
    EXPECT_TRUE(view->IsCellEmpty("DT_MONTH_3"));
    EXPECT_TRUE(view->IsCellEmpty("DT_YEAR_3"));
    // The first missing cell stops the write.
    EXPECT_FALSE(view->SetDate("NUM", day, 3));
}

TEST_F(Bindings, BatchGivesTheSameResultsAsSingleOperations) {
    RQCellBatch batch;
    int number = 0;
    double amount = 0;
    std::string text;
    auto set = batch.SetText("INT_CELL", "-17");
    auto readInt = batch.GetInt("INT_CELL", number);
    auto exchange = batch.ExchangeFloat("FLOAT_CELL", amount, false, true);
    auto missing = batch.GetValue("NO_SUCH", text);
    auto readOnly = batch.IsCellReadOnly("SUM_TOTAL");
    view->SetText("FLOAT_CELL", "2,25");
    ASSERT_TRUE(view->RunBatch(batch));
    EXPECT_TRUE(batch.Succeeded(set));
    EXPECT_EQ(number, -17);
    EXPECT_TRUE(batch.Succeeded(readInt));
    EXPECT_EQ(batch.Status(exchange), RQHtmlView::ExchangeFromPage);
    EXPECT_DOUBLE_EQ(amount, 2.25);
    EXPECT_FALSE(batch.Succeeded(missing));
    EXPECT_TRUE(batch.Succeeded(readOnly));
}

TEST_F(Bindings, ScriptErrorsAndLoadFailuresAreReportedNotWaitedFor) {
    EXPECT_NE(view->ExecScript("throw new Error('сбой');", "javascript"), 0);
    EXPECT_NE(view->ExecScript("this is not javascript", "javascript"), 0);
    EXPECT_NE(view->ExecScript("1", "vbscript"), 0);
    EXPECT_NE(view->ExecScript("", "javascript"), 0);
    EXPECT_EQ(view->ExecScript("document.getElementById('NOTE').title = 'x';", "JavaScript"), 0);
    // The view still works.
    EXPECT_TRUE(view->SetText("DWORD_CELL", "5"));
    EXPECT_EQ(Value("DWORD_CELL"), "5");

    ASSERT_TRUE(view->Navigate(RQGuiHarness::FileUrl(TARVIK_PAGES_TEST_DATA "/no-such-page.html")));
    ASSERT_TRUE(RQGuiHarness::PumpUntil([] { return !view->failures.empty(); },
                                        RQHtmlView::PageLoadTimeoutMs + 1000));
    EXPECT_NE(view->failures[0].find("no-such-page.html"), std::string::npos);
}

TEST_F(Bindings, ScriptsRunInThePageWindow) {
    // What one script declares, a later one uses; the value of the last
    // statement does not matter, even when it cannot be passed back.
    ASSERT_EQ(
        view->ExecScript("var probeRow = 7;\r\nfunction probeText() { return 'ряд ' + probeRow; }",
                         "javascript"),
        0);
    EXPECT_EQ(view->ExecScript("document.getElementById('NOTE').textContent = probeText();\r\n"
                               "window",
                               "javascript"),
              0);
    std::string note;
    view->RunScript("document.getElementById('NOTE').textContent", &note);
    EXPECT_EQ(note, "ряд 7");
    EXPECT_NE(view->ExecScript("probeText(", "javascript"), 0);
}

TEST_F(Bindings, WrittenPageWorksLikeALoadedOne) {
    ASSERT_TRUE(view->ResetDocument());
    std::string old;
    EXPECT_FALSE(view->GetValue("DWORD_CELL", old));  // the old page is gone
    ASSERT_TRUE(view->WriteHtml("<html><body><table id=\"t\"><tr id=\"r\"></tr></table>"));
    ASSERT_TRUE(view->WriteHtml("<input id=\"W1\" cppType=\"DWORD\" value=\"Ёж\"></body></html>"));
    EXPECT_EQ(Value("W1"), "Ёж");

    // Rows built by the script builders.
    RQNewCellDescription column{
        1,     RQTarvikDocument::CELL_TYPE_FLOAT, "INPUT", "text", "FOT_P", "userInputCells", 17,
        "100%"};
    std::string script = "var Row = document.getElementById('r');\r\n" +
                         BuildInsertCellScript("Row", "xl1", 1, 0) +
                         BuildCreateElementScript(column, 1, 2) + BuildAppendChildScript(1, 1);
    ASSERT_EQ(view->ExecScript(script, "javascript"), 0);
    std::string type;
    view->RunScript("document.getElementById('FOT_P_2').getAttribute('cppType')", &type);
    EXPECT_EQ(type, "float");

    // The page script works in the written page.
    ASSERT_TRUE(Click("FOT_P_2"));
    Type("1a");
    ASSERT_TRUE(LeaveWithTab("FOT_P_2"));
    EXPECT_EQ(Value("FOT_P_2"), "1");
    EXPECT_EQ(view->rejected.size(), 1u);
}

namespace {

// A second page view in a window of its own, which it closes when a cell
// is left, reading the page while the window goes away.
class ClosingView : public TestView {
public:
    using TestView::TestView;
    bool* destroyed = nullptr;
    ~ClosingView() override {
        if (destroyed) *destroyed = true;
    }

protected:
    void OnCellLeft(const std::string& id) override {
        GetParent()->Destroy();  // deleted by the event loop, within the read below
        std::string value;
        GetValue(id, value);
    }
};

}  // namespace

TEST_F(Bindings, ViewsKeepTheirPagesAndNotificationsApartAndMayCloseInAHook) {
    auto* frame = new wxFrame(nullptr, wxID_ANY, "second", wxPoint(0, 0), wxSize(600, 400));
    auto* second = new ClosingView(frame);
    bool destroyed = false;
    second->destroyed = &destroyed;
    frame->Show();
    ASSERT_TRUE(second->Navigate(TestPageUrl()));
    ASSERT_TRUE(RQGuiHarness::PumpUntil([&] { return !second->navigations.empty(); },
                                        RQHtmlView::PageLoadTimeoutMs + 1000));

    ASSERT_TRUE(second->SetText("DWORD_CELL", "2"));
    ASSERT_TRUE(view->SetText("DWORD_CELL", "1"));
    EXPECT_EQ(Value("DWORD_CELL"), "1");
    std::string other;
    second->GetValue("DWORD_CELL", other);
    EXPECT_EQ(other, "2");

    // A cell left in the second view reaches the second view only; its hook
    // closes its window while it reads the page.
    ASSERT_TRUE(
        second->RunScript("document.getElementById('DWORD_CELL').focus();"
                          " document.getElementById('INT_CELL').focus(); 1",
                          nullptr));
    EXPECT_TRUE(RQGuiHarness::PumpUntil([&] { return destroyed; }));
    EXPECT_TRUE(view->left.empty());
    EXPECT_TRUE(view->SetText("INT_CELL", "3"));  // the first view is unharmed
    EXPECT_EQ(Value("INT_CELL"), "3");
}
