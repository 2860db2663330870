// RQHtmlView: the common base of the page views. A panel holding a web view
// (WebKit) that shows one form page, with
//  - the binding operations that read and write the page's cells by id
//    (each a single script call; RunBatch sends many of them as one),
//  - the input handling of a form: the page script injected into every page
//    filters the keys by the cell's cppType attribute, keeps text selection,
//    the context menu and F5 out of the form and reports back here, where a
//    refused key beeps, a double-click on a "SUM..." total cell switches it
//    between calculated and entered by hand, and the page view hears of the
//    cell the user left.
//
// Page views derive from it and override the hooks. Hooks run from the
// event loop, never inside a binding operation, one at a time.
#pragma once

#include <wx/panel.h>
#include <wx/timer.h>

#include <cstdint>
#include <ctime>
#include <deque>
#include <map>
#include <memory>
#include <string>

#include "RQCellBatch.h"
#include "RQCellText.h"
#include "TarvikDocument.h"

class wxWebView;
class wxWebViewEvent;

class RQHtmlView : public wxPanel {
public:
    static constexpr int ExchangeFromPage = RQCellBatch::ExchangeFromPage;
    // How long a page may take to load, and a script to answer.
    static constexpr int PageLoadTimeoutMs = 15000;
    static constexpr int ScriptTimeoutMs = 10000;

    RQHtmlView(wxWindow* parent, wxWindowID id = wxID_ANY);
    ~RQHtmlView() override;

    RQHtmlView(const RQHtmlView&) = delete;
    RQHtmlView& operator=(const RQHtmlView&) = delete;

    // Called once by the owner after creation; page views load their page
    // here. The base does nothing.
    virtual void OnInitialUpdate() {}

    // --- Loading a page

    // Starts loading the address; OnNavigateComplete2 follows when it has
    // loaded, OnPageLoadFailed when it fails or takes longer than
    // PageLoadTimeoutMs. False when the address is empty.
    bool Navigate(const std::string& url);
    // True once a page has loaded or been written into the view.
    bool HasPageDocument() const { return hasDocument_; }
    // Empties the page and opens it for writing (loads an empty page first
    // when the view has none). True when the page was opened.
    bool ResetDocument();
    // Writes HTML text into the page opened by ResetDocument; the page stays
    // open for further writes.
    bool WriteHtml(const std::string& text);
    // Runs a script in the page's window (its declarations stay as globals
    // of the page); 0 on success, otherwise a non-zero status (no script, a
    // language other than JavaScript, no page, a script error or no answer).
    int ExecScript(const std::string& script, const std::string& language);

    // --- Reading the page (false / 0 when there is no such element)

    bool GetValue(const std::string& id, std::string& text);
    bool GetInt(const std::string& id, int& value);
    bool GetFloat(const std::string& id, double& value);
    bool GetChecked(const std::string& id, int& value);
    bool IsCellEmpty(const std::string& id);
    bool IsCellReadOnly(const std::string& id);
    bool GetDate(const std::string& prefix, time_t& time, int row = 0);
    bool GetCaretPosition(int& position);
    bool GetCellColor(const std::string& id, std::string& colour);

    // --- Writing the page

    bool SetText(const std::string& id, const std::string& text);
    bool SetChecked(const std::string& id, int flag);
    bool SetCellColor(const std::string& id, const std::string& colour);
    bool SetDate(const std::string& prefix, time_t time, int row = 0);
    int ExchangeInt(const std::string& id, int& value, bool showZero, bool fromPage);
    int ExchangeFloat(const std::string& id, double& value, bool showZero, bool fromPage);
    bool SetCellCalculated(const std::string& id, bool calculated);
    // Gives the keyboard focus to the page and to the element.
    void FocusCell(const std::string& id);

    // --- Checks and findings

    bool CheckCellFormat(const std::string& id, int kind);
    bool CheckDate(const std::string& dayId, const std::string& monthId, const std::string& yearId);
    bool IsPayOrderEmpty(const std::string& sumId, int n);
    void HighlightErrorCells(const RQTarvikDocument& document,
                             RQErrorCellDescription::FORM4_TABLE_ID table);
    static bool IsIntegerText(std::string_view text) { return RQCellText::IsIntegerText(text); }
    static bool IsDecimalText(std::string_view text) { return RQCellText::IsDecimalText(text); }
    static bool IsControlKey(int virtualKey) { return RQCellText::IsControlKey(virtualKey); }

    // Runs every operation of the batch in one script call. False when the
    // page did not answer (then every operation failed).
    bool RunBatch(RQCellBatch& batch);

    // Runs a script in the page and waits for its value (as text; objects
    // as JSON), at most ScriptTimeoutMs. False on a script error, no answer
    // or text that is not UTF-8; never shows a dialog.
    bool RunScript(const std::string& script, std::string* output);

    wxWebView* GetWebView() const { return webView_; }

protected:
    // A page has loaded (address) or a link to a fragment of the page was
    // followed (the full address with the fragment).
    virtual void OnNavigateComplete2(const std::string& url) { (void)url; }
    // The page did not load; the base logs the error.
    virtual void OnPageLoadFailed(const std::string& url, const std::string& reason);
    // The input cell with this id lost the focus.
    virtual void OnCellLeft(const std::string& id) { (void)id; }
    // A double-click in the page; id of the focused element, whether it is
    // an input. A "SUM..." total cell has already been switched.
    virtual void OnCellDoubleClick(const std::string& id, bool isInput) {
        (void)id;
        (void)isInput;
    }
    // A key that the cell's type refuses; the base beeps.
    virtual void OnKeyRejected(const std::string& id);

private:
    struct Notice {
        enum Kind { Loaded, Fragment, LoadFailed, Left, DoubleClick, Rejected };
        Notice(Kind k, std::string t = {}, std::string r = {}, bool input = false)
            : kind(k), text(std::move(t)), reason(std::move(r)), isInput(input) {}
        Kind kind;
        std::string text;    // address, cell id
        std::string reason;  // why a load failed
        bool isInput;
    };
    struct PendingScript {
        bool done = false;
        bool ok = false;
        std::string output;
    };

    void Post(Notice notice);
    void QueueDelivery();
    void DeliverNotices();
    void Deliver(const Notice& notice);
    void SwitchTotalCell(const std::string& id);

    void OnLoaded(wxWebViewEvent& event);
    void OnError(wxWebViewEvent& event);
    void OnScriptMessage(wxWebViewEvent& event);
    void OnScriptResult(wxWebViewEvent& event);
    void OnLoadTimeout(wxTimerEvent& event);

    wxWebView* webView_ = nullptr;
    wxTimer loadTimer_;
    std::string loadingUrl_;
    bool hasDocument_ = false;

    // False once the view is destroyed: a wait that runs the event loop may
    // outlive the view.
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
    std::uintptr_t nextScript_ = 0;
    std::map<std::uintptr_t, std::shared_ptr<PendingScript>> scripts_;
    int scriptDepth_ = 0;

    std::deque<Notice> notices_;
    bool delivering_ = false;
    bool deliveryQueued_ = false;
};
