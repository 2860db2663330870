// The page view on a page of 150 cells: filling, reading back and colouring
// them one operation per call and as one batch, a full exchange pass, and
// the time from leaving a cell to the view's cell-left notification.
#include <benchmark/benchmark.h>
#include <wx/frame.h>
#include <wx/webview.h>

#include <chrono>
#include <string>
#include <vector>

#include "RQGuiHarness.h"
#include "RQHtmlView.h"

namespace {

constexpr int kCells = 150;

class BenchView : public RQHtmlView {
public:
    using RQHtmlView::RQHtmlView;
    int cellsLeft = 0;
    double leftAtMs = 0;  // wall clock when the hook ran

protected:
    void OnCellLeft(const std::string&) override {
        leftAtMs = std::chrono::duration<double, std::milli>(
                       std::chrono::system_clock::now().time_since_epoch())
                       .count();
        ++cellsLeft;
    }
};

BenchView* view = nullptr;
std::vector<std::string> ids;

std::string PageText() {
    std::string html = "<html><body><table>";
    for (int i = 0; i < kCells; ++i) {
        if (i % 6 == 0) html += "<tr>";
        html += "<td><input id=\"" + ids[i] +
                "\" class=\"userInputCells\" cppType=\"float\" style=\"width:90px\"></td>";
    }
    return html + "</table></body></html>";
}

void FillSingle(benchmark::State& state) {
    for (auto _ : state)
        for (int i = 0; i < kCells; ++i) view->SetText(ids[i], std::to_string(i) + ",25");
}

void FillBatch(benchmark::State& state) {
    for (auto _ : state) {
        RQCellBatch batch;
        for (int i = 0; i < kCells; ++i) batch.SetText(ids[i], std::to_string(i) + ",25");
        view->RunBatch(batch);
    }
}

void ReadSingle(benchmark::State& state) {
    double value = 0;
    for (auto _ : state)
        for (int i = 0; i < kCells; ++i) view->GetFloat(ids[i], value);
}

void ReadBatch(benchmark::State& state) {
    std::vector<double> values(kCells);
    for (auto _ : state) {
        RQCellBatch batch;
        for (int i = 0; i < kCells; ++i) batch.GetFloat(ids[i], values[i]);
        view->RunBatch(batch);
    }
    if (values[149] != 149.25) state.SkipWithError("wrong value read back");
}

void ColourSingle(benchmark::State& state) {
    for (auto _ : state)
        for (int i = 0; i < kCells; ++i) view->SetCellColor(ids[i], i % 2 ? "ffed93" : "f6c1c1");
}

void ColourBatch(benchmark::State& state) {
    for (auto _ : state) {
        RQCellBatch batch;
        for (int i = 0; i < kCells; ++i) batch.SetCellColor(ids[i], i % 2 ? "ffed93" : "f6c1c1");
        view->RunBatch(batch);
    }
}

// The pass a page view makes when a cell is left: every cell exchanged with
// the from-page flag.
void ExchangePassBatch(benchmark::State& state) {
    std::vector<double> values(kCells, 1.5);
    for (auto _ : state) {
        RQCellBatch batch;
        for (int i = 0; i < kCells; ++i) batch.ExchangeFloat(ids[i], values[i], false, true);
        view->RunBatch(batch);
    }
}

// From the moment the page moves the focus out of a cell (wall clock in
// the page) to the moment the view's hook runs (wall clock here). The page
// moves the focus by itself, so that nothing holds up the event loop here
// meanwhile.
void CellLeftLatency(benchmark::State& state) {
    view->RunScript(
        "document.addEventListener('focusout', function () {"
        " window.leftAt = performance.timeOrigin + performance.now(); }, true); 1",
        nullptr);
    view->FocusCell(ids[0]);
    int next = 1;
    for (auto _ : state) {
        int before = view->cellsLeft;
        view->GetWebView()->RunScriptAsync(
            wxString::Format("document.getElementById('%s').focus()", ids[next]));
        next = (next + 1) % kCells;
        if (!RQGuiHarness::PumpUntil([&] { return view->cellsLeft > before; }, 5000)) {
            state.SkipWithError("no cell-left notification");
            break;
        }
        std::string leftAt;
        view->RunScript("String(window.leftAt)", &leftAt);
        state.SetIterationTime((view->leftAtMs - std::stod(leftAt)) / 1000.0);
    }
}

int RunAll() {
    auto* frame = new wxFrame(nullptr, wxID_ANY, "bench", wxPoint(0, 0), wxSize(1000, 760));
    view = new BenchView(frame);
    frame->Show();
    for (int i = 1; i <= kCells; ++i) ids.push_back(std::string("C").append(std::to_string(i)));
    if (!view->ResetDocument() || !view->WriteHtml(PageText())) {
        fprintf(stderr, "the page could not be written\n");
        return 1;
    }
    benchmark::RegisterBenchmark("Fill150/single", FillSingle)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("Fill150/batch", FillBatch)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("Read150/single", ReadSingle)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("Read150/batch", ReadBatch)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("Colour150/single", ColourSingle)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("Colour150/batch", ColourBatch)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("ExchangePass150/batch", ExchangePassBatch)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("CellLeft/latency", CellLeftLatency)
        ->UseManualTime()
        ->Iterations(100)
        ->Unit(benchmark::kMillisecond);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    frame->Destroy();
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    return RQGuiHarness::RunInEventLoop(argc, argv, RunAll);
}
