// Helpers for programs that drive the page view under a real event loop:
// the GUI tests and the GUI benchmarks.
#pragma once

#include <wx/gdicmn.h>

#include <functional>
#include <optional>
#include <string>

class RQHtmlView;

namespace RQGuiHarness {

// Starts a wx application whose main loop runs body once and then ends;
// returns body's result. Logging goes to stderr, never to a dialog.
int RunInEventLoop(int argc, char** argv, std::function<int()> body);

// Runs the event loop until done() holds or timeoutMs has passed; true when
// done() held.
bool PumpUntil(const std::function<bool()>& done, int timeoutMs = 5000);

// The screen position of the centre of the element (scrolled into view).
std::optional<wxPoint> ElementCentre(RQHtmlView& view, const std::string& id);

// file:// address of a local file.
std::string FileUrl(const std::string& path);

}  // namespace RQGuiHarness
