#include "HtmlViewFixture.h"

#include <cstdlib>

#include "RQGuiHarness.h"

using RQGuiHarness::PumpUntil;

TestView* HtmlViewTest::view = nullptr;
wxFrame* HtmlViewTest::frame = nullptr;

void TestView::ClearRecords() {
    navigations.clear();
    left.clear();
    doubleClicks.clear();
    rejected.clear();
    failures.clear();
}

void TestView::OnNavigateComplete2(const std::string& url) {
    navigations.push_back(url);
}

void TestView::OnPageLoadFailed(const std::string& url, const std::string& reason) {
    failures.push_back(url + " " + reason);
}

void TestView::OnCellLeft(const std::string& id) {
    std::string value;
    GetValue(id, value);
    left.push_back({id, value});
}

void TestView::OnCellDoubleClick(const std::string& id, bool) {
    doubleClicks.push_back(id);
}

void TestView::OnKeyRejected(const std::string& id) {
    rejected.push_back(id);
    RQHtmlView::OnKeyRejected(id);
}

void HtmlViewTest::CloseWindow() {
    if (frame) frame->Destroy();
    frame = nullptr;
    view = nullptr;
}

void HtmlViewTest::SetUp() {
    if (!frame) {
        frame = new wxFrame(nullptr, wxID_ANY, wxString::FromUTF8("Тарвик"), wxPoint(0, 0),
                            wxSize(1000, 760));
        view = new TestView(frame);
        frame->Show();
        frame->Raise();
    }
    ASSERT_TRUE(LoadPage(TestPageUrl()));
}

std::string HtmlViewTest::TestPageUrl() {
    return RQGuiHarness::FileUrl(TARVIK_PAGES_TEST_DATA "/testpage.html");
}

bool HtmlViewTest::LoadPage(const std::string& url) {
    view->ClearRecords();
    if (!view->Navigate(url)) return false;
    bool loaded = PumpUntil([] { return !view->navigations.empty() || !view->failures.empty(); },
                            RQHtmlView::PageLoadTimeoutMs + 1000);
    bool ok = loaded && view->failures.empty();
    view->ClearRecords();
    return ok;
}

// The number of mouse button releases the page has seen; counting starts
// with the first call on a page.
int HtmlViewTest::MouseUps() {
    std::string count;
    view->RunScript(
        "(function () { var root = document.documentElement;"
        " if (!root.mouseUps) { root.mouseUps = {n: 0};"
        "  document.addEventListener('mouseup', function () { root.mouseUps.n++; }, true); }"
        " return String(root.mouseUps.n); })()",
        &count);
    return count.empty() ? -1 : std::stoi(count);
}

bool HtmlViewTest::ClickAt(const wxPoint& point, int clicks) {
    int before = MouseUps();
    sim.MouseMove(point);
    if (clicks == 2)
        sim.MouseDblClick();
    else
        sim.MouseClick();
    return PumpUntil([&] { return MouseUps() >= before + clicks; });
}

bool HtmlViewTest::Click(const std::string& id) {
    auto centre = RQGuiHarness::ElementCentre(*view, id);
    return centre && ClickAt(*centre, 1) && PumpUntil([&] { return ActiveId() == id; });
}

bool HtmlViewTest::DoubleClick(const std::string& id) {
    auto centre = RQGuiHarness::ElementCentre(*view, id);
    if (!centre) return false;
    size_t before = view->doubleClicks.size();
    // Away from where Click aims, so that the two clicks are not taken
    // together with an earlier one.
    return ClickAt(*centre - wxPoint(20, 0), 2) &&
           PumpUntil([&] { return view->doubleClicks.size() > before; });
}

void HtmlViewTest::Type(const std::string& ascii) {
    sim.Text(ascii.c_str());
}

void HtmlViewTest::Key(int keyCode, int modifiers) {
    sim.Char(keyCode, modifiers);
}

bool HtmlViewTest::LeaveWithTab(const std::string& id) {
    size_t before = view->left.size();
    Key(WXK_TAB);
    return PumpUntil([&] {
        for (size_t i = before; i < view->left.size(); ++i)
            if (view->left[i].id == id) return true;
        return false;
    });
}

bool HtmlViewTest::WaitForValue(const std::string& id, const std::string& value) {
    return PumpUntil([&] { return Value(id) == value; });
}

std::string HtmlViewTest::Value(const std::string& id) {
    std::string value;
    view->GetValue(id, value);
    return value;
}

std::string HtmlViewTest::ActiveId() {
    std::string id;
    view->RunScript("document.activeElement ? document.activeElement.id : ''", &id);
    return id;
}

void HtmlViewTest::Screenshot(const std::string& name) {
    const char* folder = std::getenv("TARVIK_SCREENSHOTS");
    if (!folder || !*folder) return;
    // The screen shows the page some frames after the page drew them: let
    // it draw ten.
    view->RunScript(
        "window.framesDrawn = 0; (function next() { if (++window.framesDrawn < 10)"
        " requestAnimationFrame(next); })(); 1",
        nullptr);
    RQGuiHarness::PumpUntil([] {
        std::string drawn;
        view->RunScript("String(window.framesDrawn)", &drawn);
        return drawn == "10";
    });
    std::string command = "import -window root '" + std::string(folder) + "/" + name + ".png'";
    if (std::system(command.c_str()) != 0) ADD_FAILURE() << "screenshot failed: " << command;
}
