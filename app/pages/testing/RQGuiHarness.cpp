#include "RQGuiHarness.h"

#include <glib.h>
#include <wx/app.h>
#include <wx/log.h>
#include <wx/timer.h>
#include <wx/webview.h>

#include <chrono>
#include <nlohmann/json.hpp>

#include "RQHtmlView.h"

namespace RQGuiHarness {

namespace {

class HarnessApp : public wxApp {
public:
    explicit HarnessApp(std::function<int()> body) : body_(std::move(body)) {}

    bool OnInit() override {
        delete wxLog::SetActiveTarget(new wxLogStderr);
        // The body runs from a timer rather than from idle processing, so
        // that its waits can run idle processing themselves.
        timer_.Bind(wxEVT_TIMER, [this](wxTimerEvent&) {
            result_ = body_();
            ExitMainLoop();
        });
        timer_.StartOnce(1);
        return true;
    }

    int OnRun() override {
        wxApp::OnRun();
        return result_;
    }

private:
    std::function<int()> body_;
    wxTimer timer_;
    int result_ = 1;
};

}  // namespace

int RunInEventLoop(int argc, char** argv, std::function<int()> body) {
    // wx sees the program name only: the other arguments belong to the
    // caller.
    (void)argc;
    int wxArgc = 1;
    char* wxArgv[] = {argv[0], nullptr};
    wxApp::SetInstance(new HarnessApp(std::move(body)));
    return wxEntry(wxArgc, wxArgv);
}

bool PumpUntil(const std::function<bool()>& done, int timeoutMs) {
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    // A ticking source bounds each blocking iteration.
    guint tick = g_timeout_add(
        5, [](gpointer) -> gboolean { return G_SOURCE_CONTINUE; }, nullptr);
    bool held = done();
    while (!held && std::chrono::steady_clock::now() < deadline) {
        g_main_context_iteration(nullptr, TRUE);
        held = done();
    }
    g_source_remove(tick);
    return held;
}

std::optional<wxPoint> ElementCentre(RQHtmlView& view, const std::string& id) {
    std::string script = "(function () { var e = document.getElementById(" +
                         nlohmann::json(id).dump() +
                         "); if (!e) return ''; e.scrollIntoView({block: 'center'});"
                         " var r = e.getBoundingClientRect();"
                         " return JSON.stringify([Math.round(r.left + r.width / 2),"
                         " Math.round(r.top + r.height / 2)]); })()";
    std::string output;
    if (!view.RunScript(script, &output)) return std::nullopt;
    auto xy = nlohmann::json::parse(output, nullptr, false);
    if (!xy.is_array() || xy.size() != 2) return std::nullopt;
    return view.GetWebView()->ClientToScreen(wxPoint(xy[0].get<int>(), xy[1].get<int>()));
}

std::string FileUrl(const std::string& path) {
    return "file://" + path;
}

}  // namespace RQGuiHarness
