// A page view in a real frame with the test page loaded, and the simulated
// user that drives it.
#pragma once

#include <gtest/gtest.h>
#include <wx/frame.h>
#include <wx/uiaction.h>

#include <string>
#include <vector>

#include "RQHtmlView.h"

// The view with every notification recorded.
class TestView : public RQHtmlView {
public:
    using RQHtmlView::RQHtmlView;

    struct Left {
        std::string id;
        std::string value;  // read inside the hook
    };
    std::vector<std::string> navigations;
    std::vector<Left> left;
    std::vector<std::string> doubleClicks;
    std::vector<std::string> rejected;
    std::vector<std::string> failures;

    void ClearRecords();

protected:
    void OnNavigateComplete2(const std::string& url) override;
    void OnPageLoadFailed(const std::string& url, const std::string& reason) override;
    void OnCellLeft(const std::string& id) override;
    void OnCellDoubleClick(const std::string& id, bool isInput) override;
    void OnKeyRejected(const std::string& id) override;
};

class HtmlViewTest : public ::testing::Test {
public:
    static void CloseWindow();

protected:
    static TestView* view;

    void SetUp() override;

    static std::string TestPageUrl();
    // Loads the address and waits for the page.
    static bool LoadPage(const std::string& url);

    // The simulated user. Every action waits for its effect, bounded.
    // Clicks (twice: double-click) at a screen point and waits until the
    // page has seen every button release.
    bool ClickAt(const wxPoint& point, int clicks = 1);
    int MouseUps();
    bool Click(const std::string& id);
    bool DoubleClick(const std::string& id);
    void Type(const std::string& ascii);
    void Key(int keyCode, int modifiers = 0);
    // Presses Tab in the cell and waits until the view heard that the cell
    // was left: every key before it has then been handled by the page.
    bool LeaveWithTab(const std::string& id);
    // Waits until the cell shows the value.
    bool WaitForValue(const std::string& id, const std::string& value);
    std::string Value(const std::string& id);
    std::string ActiveId();
    // A screenshot of the screen as <name>.png in the folder that
    // TARVIK_SCREENSHOTS names; nothing when it names none.
    static void Screenshot(const std::string& name);

    wxUIActionSimulator sim;

private:
    static wxFrame* frame;
};
