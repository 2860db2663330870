// The input handling of the view, driven as a person would: real mouse and
// key events through the X server.
#include <wx/clipbrd.h>
#include <wx/dataobj.h>

#include "HtmlViewFixture.h"
#include "RQGuiHarness.h"

using RQGuiHarness::PumpUntil;
using Input = HtmlViewTest;

namespace {

// How the caret is placed before typing: at the end (after a click), at
// the start, after the first character, or with the whole value selected
// (the cell entered with Tab from the cell before it).
enum class Caret { End, Start, AfterFirst, Selected };

struct KeyCase {
    const char* cell;
    const char* initial;
    Caret caret;
    const char* keys;
    const char* expected;
    size_t rejected;
};

}  // namespace

TEST_F(Input, KeyFilterFollowsTheCellType) {
    const KeyCase cases[] = {
        {"TYPE123", "", Caret::End, "1243", "123", 1},
        {"TYPE12", "", Caret::End, "1230", "12", 2},
        {"DWORD_CELL", "", Caret::End, "12a 3.", "123", 3},
        {"INT_CELL", "12", Caret::Start, "-", "-12", 0},
        {"INT_CELL", "-12", Caret::Start, "-", "-12", 1},
        {"INT_CELL", "12", Caret::AfterFirst, "-", "12", 1},
        {"INT_CELL", "12", Caret::Selected, "-", "12", 1},
        {"INT_CELL", "", Caret::End, "-4,x", "-4", 2},
        {"FLOAT_CELL", "", Caret::Start, ",", "", 1},
        {"FLOAT_CELL", "", Caret::End, "12,5.", "12,5", 1},
        {"FLOAT_CELL", "", Caret::End, "7.2,", "7.2", 1},
        {"FLOAT_CELL", "3", Caret::Start, "-", "-3", 0},
        {"STRONG_CELL", "", Caret::End, "Ab c@1;d", "Ab cd", 3},
        {"STRING_CELL", "", Caret::End, "a1@ -;", "a1@ -;", 0},
        {"SIMPLE_CELL", "", Caret::End, "x9(", "x9(", 0},
        {"PLAIN_CELL", "", Caret::End, "q-7%", "q-7%", 0},
    };
    for (const KeyCase& c : cases) {
        SCOPED_TRACE(std::string(c.cell) + " keys " + c.keys);
        ASSERT_TRUE(view->SetText(c.cell, c.initial));
        if (c.caret == Caret::Selected) {
            // Tab from the cell before it selects the whole value.
            ASSERT_TRUE(Click("DWORD_CELL"));
            Key(WXK_TAB);
            ASSERT_TRUE(PumpUntil([&] { return ActiveId() == c.cell; }));
        } else {
            ASSERT_TRUE(Click(c.cell));
            if (c.caret != Caret::End) Key(WXK_HOME);
            if (c.caret == Caret::AfterFirst) Key(WXK_RIGHT);
        }
        view->ClearRecords();
        Type(c.keys);
        ASSERT_TRUE(LeaveWithTab(c.cell));
        EXPECT_EQ(Value(c.cell), c.expected);
        EXPECT_EQ(view->rejected.size(), c.rejected);
        for (const std::string& id : view->rejected) EXPECT_EQ(id, c.cell);
    }
}

TEST_F(Input, CaretPositionCountsToTheEndOfTheSelection) {
    int position = -1;
    ASSERT_TRUE(view->RunScript("document.activeElement.blur(); 1", nullptr));
    EXPECT_FALSE(view->GetCaretPosition(position));  // no cell has the focus
    EXPECT_EQ(position, 0);

    ASSERT_TRUE(view->SetText("INT_CELL", "123"));
    ASSERT_TRUE(Click("INT_CELL"));
    EXPECT_TRUE(view->GetCaretPosition(position));
    EXPECT_EQ(position, 3);
    Key(WXK_HOME);
    EXPECT_TRUE(PumpUntil([&] { return view->GetCaretPosition(position) && position == 0; }));
    // Entered with Tab, the whole value is selected.
    ASSERT_TRUE(Click("DWORD_CELL"));
    Key(WXK_TAB);
    ASSERT_TRUE(PumpUntil([&] { return ActiveId() == "INT_CELL"; }));
    EXPECT_TRUE(view->GetCaretPosition(position));
    EXPECT_EQ(position, 3);
}

TEST_F(Input, StrongStringRefusesNumeroSignAndTakesCyrillic) {
    ASSERT_TRUE(Click("STRONG_CELL"));
    view->ClearRecords();
    // Keys of a Russian layout, as the page receives them.
    std::string prevented;
    ASSERT_TRUE(view->RunScript(
        "(function () { var r = [];"
        " ['№', 'ж', 'Ё', ' ', '5'].forEach(function (k) {"
        "  var e = new KeyboardEvent('keydown', {key: k, bubbles: true, cancelable: true});"
        "  document.activeElement.dispatchEvent(e); r.push(e.defaultPrevented ? 1 : 0); });"
        " return r.join(''); })()",
        &prevented));
    EXPECT_EQ(prevented, "10001");
    ASSERT_TRUE(PumpUntil([] { return view->rejected.size() == 2; }));

    // Cyrillic goes in as an input method would put it.
    ASSERT_TRUE(
        view->RunScript("document.execCommand('insertText', false, 'Иванов И.И.')", nullptr));
    EXPECT_EQ(Value("STRONG_CELL"), "Иванов И.И.");
    Type("x");
    EXPECT_TRUE(WaitForValue("STRONG_CELL", "Иванов И.И.x"));
}

TEST_F(Input, PasteBypassesTheFilter) {
    ASSERT_TRUE(wxTheClipboard->Open());
    wxTheClipboard->SetData(new wxTextDataObject(wxString::FromUTF8("ab-1,5")));
    wxTheClipboard->Close();
    ASSERT_TRUE(Click("DWORD_CELL"));
    view->ClearRecords();
    Key('V', wxMOD_CONTROL);
    EXPECT_TRUE(WaitForValue("DWORD_CELL", "ab-1,5"));
    ASSERT_TRUE(LeaveWithTab("DWORD_CELL"));
    EXPECT_TRUE(view->rejected.empty());
}

TEST_F(Input, F5DoesNothing) {
    ASSERT_TRUE(view->RunScript("window.pageMark = 'still here'; 1", nullptr));
    ASSERT_TRUE(Click("DWORD_CELL"));
    view->ClearRecords();
    Type("1");
    Key(WXK_F5);
    Type("2");
    ASSERT_TRUE(LeaveWithTab("DWORD_CELL"));
    EXPECT_EQ(Value("DWORD_CELL"), "12");
    std::string mark;
    view->RunScript("window.pageMark", &mark);
    EXPECT_EQ(mark, "still here");
    EXPECT_TRUE(view->navigations.empty());
    EXPECT_TRUE(view->rejected.empty());  // swallowed without a beep
}

TEST_F(Input, DoubleClickSwitchesATotalCellAndBack) {
    ASSERT_TRUE(DoubleClick("SUM_TOTAL"));
    ASSERT_TRUE(PumpUntil([] { return !view->IsCellReadOnly("SUM_TOTAL"); }));
    std::string colour, className;
    view->GetCellColor("SUM_TOTAL", colour);
    view->RunScript("document.getElementById('SUM_TOTAL').className", &className);
    EXPECT_EQ(colour, "ffed93");
    EXPECT_EQ(className, "userInputCells");
    EXPECT_EQ(view->doubleClicks.back(), "SUM_TOTAL");

    // Now the user may type into it.
    ASSERT_TRUE(Click("SUM_TOTAL"));
    Key(WXK_END);
    Type("5");
    EXPECT_TRUE(WaitForValue("SUM_TOTAL", "10.005"))
        << Value("SUM_TOTAL") << " rejected " << view->rejected.size() << " active " << ActiveId();

    ASSERT_TRUE(DoubleClick("SUM_TOTAL"));
    ASSERT_TRUE(PumpUntil([] { return view->IsCellReadOnly("SUM_TOTAL"); }));
    view->GetCellColor("SUM_TOTAL", colour);
    view->RunScript("document.getElementById('SUM_TOTAL').className", &className);
    EXPECT_EQ(colour, "ffffff");
    EXPECT_EQ(className, "calculateCells");

    // Other cells are not switched.
    ASSERT_TRUE(DoubleClick("T7R1C1"));
    EXPECT_TRUE(view->IsCellReadOnly("T7R1C1"));
    EXPECT_EQ(view->doubleClicks.back(), "T7R1C1");
}

TEST_F(Input, LeavingACellNotifiesTheView) {
    ASSERT_TRUE(Click("DWORD_CELL"));
    Type("42");
    ASSERT_TRUE(LeaveWithTab("DWORD_CELL"));
    ASSERT_FALSE(view->left.empty());
    EXPECT_EQ(view->left.back().value, "42");  // read inside the hook

    // Leaving by a click elsewhere.
    Type("7");
    size_t before = view->left.size();
    ASSERT_TRUE(Click("STRING_CELL"));
    ASSERT_TRUE(PumpUntil([&] { return view->left.size() > before; }));
    EXPECT_EQ(view->left[before].id, "INT_CELL");
    EXPECT_EQ(view->left[before].value, "7");
}

TEST_F(Input, FocusCellGivesTheKeyboardToTheCell) {
    ASSERT_TRUE(Click("STRING_CELL"));
    view->FocusCell("FLOAT_CELL");
    ASSERT_TRUE(PumpUntil([&] { return ActiveId() == "FLOAT_CELL"; }));
    Type("3,5");
    EXPECT_TRUE(WaitForValue("FLOAT_CELL", "3,5"));
    Screenshot("input");
}

TEST_F(Input, MenusAndSelectionOnlyInsideCells) {
    // Decided by where the focus is, as the page sees the event.
    const char* probe =
        "(function (type, target) {"
        " var e = new MouseEvent(type, {bubbles: true, cancelable: true});"
        " document.getElementById(target).dispatchEvent(e); return e.defaultPrevented ? 1 : 0; })";
    std::string result;
    ASSERT_TRUE(view->RunScript("document.activeElement.blur(); 1", nullptr));
    view->RunScript(std::string(probe) + "('contextmenu', 'NOTE')", &result);
    EXPECT_EQ(result, "1");
    view->RunScript(std::string(probe) + "('selectstart', 'NOTE')", &result);
    EXPECT_EQ(result, "1");
    ASSERT_TRUE(Click("STRING_CELL"));
    view->RunScript(std::string(probe) + "('contextmenu', 'STRING_CELL')", &result);
    EXPECT_EQ(result, "0");

    // Dragging over the page text selects nothing.
    auto from = RQGuiHarness::ElementCentre(*view, "NOTE");
    ASSERT_TRUE(from);
    ASSERT_TRUE(ClickAt(*from));
    sim.MouseMove(*from - wxPoint(150, 0));
    sim.MouseDown();
    sim.MouseMove(*from + wxPoint(150, 0));
    sim.MouseUp();
    ASSERT_TRUE(Click("DWORD_CELL"));  // a later event: the drag was handled
    std::string selected;
    view->RunScript("String(window.getSelection())", &selected);
    EXPECT_EQ(selected, "");
}

TEST_F(Input, FragmentLinkIsReportedAsANavigation) {
    auto link = RQGuiHarness::ElementCentre(*view, "ADD_ROW");
    ASSERT_TRUE(link);
    ASSERT_TRUE(ClickAt(*link));
    ASSERT_TRUE(PumpUntil([] { return !view->navigations.empty(); }));
    EXPECT_NE(view->navigations[0].find("#add_row"), std::string::npos);
    // Clicked again, though the address does not change.
    ASSERT_TRUE(ClickAt(*link));
    ASSERT_TRUE(PumpUntil([] { return view->navigations.size() >= 2; }));
    // A cell still works after it, and no load was reported besides.
    ASSERT_TRUE(Click("DWORD_CELL"));
    EXPECT_EQ(view->navigations.size(), 2u);
}
