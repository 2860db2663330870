#include "RQHtmlView.h"

#include <gtk/gtk.h>
#include <wx/log.h>
#include <wx/sizer.h>
#include <wx/utils.h>
#include <wx/webview.h>

#include <cctype>
#include <functional>
#include <nlohmann/json.hpp>
#include <string_view>

#include "RQPageResources.h"

namespace {

constexpr const char* kMessageHandler = "tarvik";

std::string ToUtf8(const wxString& text) {
    wxScopedCharBuffer utf8 = text.utf8_str();
    return std::string(utf8.data(), utf8.length());
}

void ReplaceOnce(std::string& text, std::string_view marker, const std::string& value) {
    auto at = text.find(marker);
    if (at != std::string::npos) text.replace(at, marker.size(), value);
}

// The text as a JavaScript string literal; bytes that are not UTF-8 become
// U+FFFD.
std::string ScriptLiteral(const std::string& text) {
    return nlohmann::json(text).dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
}

// The page script with the key tables of the filter filled in.
std::string PageScript() {
    std::string script(EmbeddedText(tarvik_pages_pagescript, tarvik_pages_pagescript_size));
    nlohmann::json keys = nlohmann::json::array();
    for (int key = 0; key < 256; ++key)
        if (RQCellText::IsControlKey(key)) keys.push_back(key);
    ReplaceOnce(script, "/*CONTROL_KEYS*/[]", keys.dump());
    ReplaceOnce(script, "/*STRONG_FORBIDDEN*/''",
                nlohmann::json(RQCellText::StrongStringForbidden).dump());
    ReplaceOnce(script, "/*HANDLER*/'tarvik'", nlohmann::json(kMessageHandler).dump());
    return script;
}

// Runs the main loop until done() holds or timeoutMs has passed; true when
// done() held.
bool RunLoopUntil(const std::function<bool()>& done, int timeoutMs) {
    bool timedOut = false;
    guint timer = g_timeout_add(
        timeoutMs,
        [](gpointer flag) -> gboolean {
            *static_cast<bool*>(flag) = true;
            return G_SOURCE_REMOVE;
        },
        &timedOut);
    bool held;
    while (!(held = done()) && !timedOut) g_main_context_iteration(nullptr, TRUE);
    if (!timedOut) g_source_remove(timer);
    return held;
}

bool IsJavaScript(std::string language) {
    for (char& c : language) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return language == "javascript" || language == "jscript" || language == "ecmascript";
}

}  // namespace

RQHtmlView::RQHtmlView(wxWindow* parent, wxWindowID id) : wxPanel(parent, id), loadTimer_(this) {
    webView_ = wxWebView::New(this, wxID_ANY);
    auto* sizer = new wxBoxSizer(wxVERTICAL);
    sizer->Add(webView_, 1, wxEXPAND);
    SetSizer(sizer);

    webView_->AddScriptMessageHandler(kMessageHandler);
    webView_->AddUserScript(wxString::FromUTF8(PageScript()), wxWEBVIEW_INJECT_AT_DOCUMENT_START);

    webView_->Bind(wxEVT_WEBVIEW_LOADED, &RQHtmlView::OnLoaded, this);
    webView_->Bind(wxEVT_WEBVIEW_ERROR, &RQHtmlView::OnError, this);
    webView_->Bind(wxEVT_WEBVIEW_SCRIPT_MESSAGE_RECEIVED, &RQHtmlView::OnScriptMessage, this);
    webView_->Bind(wxEVT_WEBVIEW_SCRIPT_RESULT, &RQHtmlView::OnScriptResult, this);
    Bind(wxEVT_TIMER, &RQHtmlView::OnLoadTimeout, this, loadTimer_.GetId());
}

RQHtmlView::~RQHtmlView() {
    *alive_ = false;
    loadTimer_.Stop();
    // The web view delivers a script's answer through itself, so it must not
    // go away while a script is running: a window closed while one of its
    // views waited for the page ends up here with the script pending.
    auto pending = [this] {
        for (const auto& [token, script] : scripts_)
            if (!script->done) return true;
        return false;
    };
    RunLoopUntil([&] { return !pending(); }, ScriptTimeoutMs);
    if (webView_) webView_->RemoveScriptMessageHandler(kMessageHandler);
}

// --- Loading

bool RQHtmlView::Navigate(const std::string& url) {
    if (url.empty()) return false;
    loadingUrl_ = url;
    loadTimer_.StartOnce(PageLoadTimeoutMs);
    webView_->LoadURL(wxString::FromUTF8(url));
    return true;
}

bool RQHtmlView::ResetDocument() {
    if (!loadingUrl_.empty()) {
        loadTimer_.Stop();
        loadingUrl_.clear();
        webView_->Stop();
    }
    // Opening the document drops its listeners: the page script goes in
    // again.
    std::string output;
    if (!RunScript("document.open('text/html'); " + PageScript() + "; 'opened'", &output) ||
        output != "opened")
        return false;
    hasDocument_ = true;
    return true;
}

bool RQHtmlView::WriteHtml(const std::string& text) {
    if (!hasDocument_) return false;
    std::string output;
    return RunScript("document.write(" + ScriptLiteral(text) + "); 'written'", &output) &&
           output == "written";
}

int RQHtmlView::ExecScript(const std::string& script, const std::string& language) {
    if (script.empty() || !IsJavaScript(language) || !hasDocument_) return 1;
    // Run by the window itself (an indirect eval): its declarations become
    // globals of the page, as in a script element, and the value of its last
    // statement, which nobody reads, cannot fail the call.
    std::string output;
    const bool ran = RunScript("(0, eval)(" + ScriptLiteral(script) + "); 'done'", &output);
    return ran && output == "done" ? 0 : 1;
}

// --- Binding operations: each is a batch of one.

#define RQ_SINGLE(call)       \
    RQCellBatch batch;        \
    auto handle = batch.call; \
    RunBatch(batch);

bool RQHtmlView::GetValue(const std::string& id, std::string& text) {
    RQ_SINGLE(GetValue(id, text));
    return batch.Succeeded(handle);
}

bool RQHtmlView::GetInt(const std::string& id, int& value) {
    RQ_SINGLE(GetInt(id, value));
    return batch.Succeeded(handle);
}

bool RQHtmlView::GetFloat(const std::string& id, double& value) {
    RQ_SINGLE(GetFloat(id, value));
    return batch.Succeeded(handle);
}

bool RQHtmlView::GetChecked(const std::string& id, int& value) {
    RQ_SINGLE(GetChecked(id, value));
    return batch.Succeeded(handle);
}

bool RQHtmlView::IsCellEmpty(const std::string& id) {
    RQ_SINGLE(IsCellEmpty(id));
    return batch.Succeeded(handle);
}

bool RQHtmlView::IsCellReadOnly(const std::string& id) {
    RQ_SINGLE(IsCellReadOnly(id));
    return batch.Succeeded(handle);
}

bool RQHtmlView::GetDate(const std::string& prefix, time_t& time, int row) {
    RQ_SINGLE(GetDate(prefix, time, row));
    return batch.Succeeded(handle);
}

bool RQHtmlView::GetCaretPosition(int& position) {
    RQ_SINGLE(GetCaretPosition(position));
    return batch.Succeeded(handle);
}

bool RQHtmlView::GetCellColor(const std::string& id, std::string& colour) {
    RQ_SINGLE(GetCellColor(id, colour));
    return batch.Succeeded(handle);
}

bool RQHtmlView::SetText(const std::string& id, const std::string& text) {
    RQ_SINGLE(SetText(id, text));
    return batch.Succeeded(handle);
}

bool RQHtmlView::SetChecked(const std::string& id, int flag) {
    RQ_SINGLE(SetChecked(id, flag));
    return batch.Succeeded(handle);
}

bool RQHtmlView::SetCellColor(const std::string& id, const std::string& colour) {
    RQ_SINGLE(SetCellColor(id, colour));
    return batch.Succeeded(handle);
}

bool RQHtmlView::SetDate(const std::string& prefix, time_t time, int row) {
    RQ_SINGLE(SetDate(prefix, time, row));
    return batch.Succeeded(handle);
}

int RQHtmlView::ExchangeInt(const std::string& id, int& value, bool showZero, bool fromPage) {
    RQ_SINGLE(ExchangeInt(id, value, showZero, fromPage));
    return batch.Status(handle);
}

int RQHtmlView::ExchangeFloat(const std::string& id, double& value, bool showZero, bool fromPage) {
    RQ_SINGLE(ExchangeFloat(id, value, showZero, fromPage));
    return batch.Status(handle);
}

bool RQHtmlView::SetCellCalculated(const std::string& id, bool calculated) {
    RQ_SINGLE(SetCellCalculated(id, calculated));
    return batch.Succeeded(handle);
}

void RQHtmlView::FocusCell(const std::string& id) {
    // The page only takes keyboard focus through its native widget.
    if (auto* widget = static_cast<GtkWidget*>(webView_->GetNativeBackend()))
        gtk_widget_grab_focus(widget);
    RQ_SINGLE(FocusElement(id));
    (void)handle;
}

bool RQHtmlView::CheckCellFormat(const std::string& id, int kind) {
    RQ_SINGLE(CheckCellFormat(id, kind));
    return batch.Succeeded(handle);
}

bool RQHtmlView::CheckDate(const std::string& dayId, const std::string& monthId,
                           const std::string& yearId) {
    RQ_SINGLE(CheckDate(dayId, monthId, yearId));
    return batch.Succeeded(handle);
}

bool RQHtmlView::IsPayOrderEmpty(const std::string& sumId, int n) {
    RQ_SINGLE(IsPayOrderEmpty(sumId, n));
    return batch.Succeeded(handle);
}

#undef RQ_SINGLE

void RQHtmlView::HighlightErrorCells(const RQTarvikDocument& document,
                                     RQErrorCellDescription::FORM4_TABLE_ID table) {
    RQCellBatch batch;
    batch.HighlightErrorCells(*document.GetErrorCells(), table);
    if (!batch.Empty()) RunBatch(batch);
}

bool RQHtmlView::RunBatch(RQCellBatch& batch) {
    std::string answer;
    bool ok = RunScript(batch.Script(), &answer);
    return batch.Apply(ok, answer);
}

// --- Scripts

// Runs the script and waits for its answer, at most ScriptTimeoutMs. The
// wait runs the main loop; notices that arrive meanwhile are kept until the
// outermost script has finished, so no hook runs inside an operation.
bool RQHtmlView::RunScript(const std::string& script, std::string* output) {
    wxString text = wxString::FromUTF8(script);
    if (!webView_ || (text.empty() && !script.empty())) return false;

    std::uintptr_t token = ++nextScript_;
    auto pending = std::make_shared<PendingScript>();
    scripts_[token] = pending;
    ++scriptDepth_;
    webView_->RunScriptAsync(text, reinterpret_cast<void*>(token));

    std::shared_ptr<bool> alive = alive_;
    RunLoopUntil([&] { return !*alive || pending->done; }, ScriptTimeoutMs);
    if (!*alive) return false;  // the view went away meanwhile

    scripts_.erase(token);
    if (--scriptDepth_ == 0 && !notices_.empty()) QueueDelivery();

    if (!pending->done) wxLogDebug("Page script timed out");
    if (output) *output = std::move(pending->output);
    return pending->done && pending->ok;
}

void RQHtmlView::OnScriptResult(wxWebViewEvent& event) {
    auto token = reinterpret_cast<std::uintptr_t>(event.GetClientData());
    auto it = scripts_.find(token);
    if (it == scripts_.end()) return;  // answered after its wait gave up
    it->second->done = true;
    it->second->ok = !event.IsError();
    it->second->output = ToUtf8(event.GetString());
}

// --- Notices from the page

void RQHtmlView::OnLoaded(wxWebViewEvent& event) {
    std::string url = ToUtf8(event.GetURL());
    // The empty page the web view starts with is not a page of the form.
    if (loadingUrl_.empty() && (url.empty() || url == "about:blank")) return;
    loadTimer_.Stop();
    loadingUrl_.clear();
    Post({Notice::Loaded, url});
}

void RQHtmlView::OnError(wxWebViewEvent& event) {
    if (loadingUrl_.empty() || event.GetInt() == wxWEBVIEW_NAV_ERR_USER_CANCELLED) return;
    loadTimer_.Stop();
    std::string url = loadingUrl_;
    loadingUrl_.clear();
    Post({Notice::LoadFailed, url, ToUtf8(event.GetString())});
}

void RQHtmlView::OnLoadTimeout(wxTimerEvent&) {
    if (loadingUrl_.empty()) return;
    std::string url = loadingUrl_;
    loadingUrl_.clear();
    webView_->Stop();
    Post({Notice::LoadFailed, url, "timeout"});
}

void RQHtmlView::OnScriptMessage(wxWebViewEvent& event) {
    auto message = nlohmann::json::parse(ToUtf8(event.GetString()), nullptr, false);
    if (!message.is_object()) return;
    auto field = [&message](const char* key) {
        auto it = message.find(key);
        return it != message.end() && it->is_string() ? it->get<std::string>() : std::string();
    };
    std::string kind = field("event");
    std::string id = field("id");
    auto input = message.find("input");
    bool isInput = input != message.end() && input->is_boolean() && input->get<bool>();
    if (kind == "reject")
        Post({Notice::Rejected, id});
    else if (kind == "left")
        Post({Notice::Left, id});
    else if (kind == "dblclick")
        Post({Notice::DoubleClick, id, {}, isInput});
    else if (kind == "fragment")
        Post({Notice::Fragment, field("url")});
}

void RQHtmlView::Post(Notice notice) {
    if (!*alive_) return;
    notices_.push_back(std::move(notice));
    QueueDelivery();
}

// Has the event loop deliver the queued notices.
void RQHtmlView::QueueDelivery() {
    if (!deliveryQueued_) {
        deliveryQueued_ = true;
        CallAfter(&RQHtmlView::DeliverNotices);
    }
}

void RQHtmlView::DeliverNotices() {
    deliveryQueued_ = false;
    if (!*alive_ || delivering_ || scriptDepth_ > 0) return;  // delivered later
    delivering_ = true;
    std::shared_ptr<bool> alive = alive_;
    while (!notices_.empty()) {
        Notice notice = std::move(notices_.front());
        notices_.pop_front();
        Deliver(notice);
        if (!*alive) return;  // a hook closed the window
    }
    delivering_ = false;
}

void RQHtmlView::Deliver(const Notice& notice) {
    switch (notice.kind) {
        case Notice::Loaded:
            hasDocument_ = true;
            OnNavigateComplete2(notice.text);
            break;
        case Notice::Fragment:
            OnNavigateComplete2(notice.text);
            break;
        case Notice::LoadFailed:
            OnPageLoadFailed(notice.text, notice.reason);
            break;
        case Notice::Left:
            OnCellLeft(notice.text);
            break;
        case Notice::DoubleClick:
            if (notice.isInput && notice.text.compare(0, 3, "SUM") == 0) {
                std::shared_ptr<bool> alive = alive_;
                SwitchTotalCell(notice.text);
                if (!*alive) return;
            }
            OnCellDoubleClick(notice.text, notice.isInput);
            break;
        case Notice::Rejected:
            OnKeyRejected(notice.text);
            break;
    }
}

void RQHtmlView::SwitchTotalCell(const std::string& id) {
    RQCellBatch batch;
    auto readOnly = batch.IsCellReadOnly(id);
    std::shared_ptr<bool> alive = alive_;
    RunBatch(batch);
    if (*alive) SetCellCalculated(id, !batch.Succeeded(readOnly));
}

void RQHtmlView::OnPageLoadFailed(const std::string& url, const std::string& reason) {
    wxLogError("%s",
               wxString::FromUTF8("Страница формы не загружена: " + url + " (" + reason + ")"));
}

void RQHtmlView::OnKeyRejected(const std::string&) {
    wxBell();
}
