// The format-logical control of a large report: totals, mandatory fields and
// every rule, as the check command runs them.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>

#include "TarvikDocument.h"

namespace {

constexpr int kRows = 100000;

// A report with kRows rows of table 1.1 and kRows classification units that
// passes the whole control: every unit at 0.2 % with 100 roubles a month,
// table 1 their sum, table 2 charged and paid in full.
void FillLargeReport(RQForm4& f, int rows) {
    f.Clear();
    RQForm4TitleList& t = f.TitleList;
    t.REG_NUM = "7701234567";
    t.KPS_NUM = "77011";
    t.INN = "7701234567";
    t.KPP = 770101001;
    t.OKVED = "01.11";
    t.QUART_NUM = 3;
    t.YEAR_NUM = 2017;
    t.NAME = "ООО \"Большая компания\"";
    t.CEO = "Иванов Иван Иванович";
    t.Upoln = 1;

    f.SKECount = rows;
    f.AllocTableSKE();
    char code[16];
    for (int i = 0; i < rows; ++i) {
        RQForm4TableSKE& u = f.SKERows[i];
        std::snprintf(code, sizeof code, "%02d.%02d.%02d", 10 + i / 10000, i / 100 % 100, i % 100);
        u.OKVED = i == 0 ? "01.11" : code;
        u.ID_RISC = 1;
        u.RATE_MIS = 0.2;
        u.FOT = 300;
        u.C1 = u.C2 = u.C3 = 100;
    }

    RQForm4Chapter2& c = f.Chapter2;
    c.Table6.RATE_MIS = 0.2;
    c.Table6.T1R3C2 = 300.0 * rows;
    c.Table6.C1 = c.Table6.C2 = c.Table6.C3 = 100.0 * rows;
    const double monthly = 0.2 * rows;
    c.Table7.T7R5C1 = c.Table7.T7R6C1 = c.Table7.T7R7C1 = monthly;
    c.Table7.T7R29C1 = c.Table7.T7R30C1 = c.Table7.T7R31C1 = monthly;

    c.Table6_1Count = rows;
    c.AllocTable6_1();
    for (int i = 0; i < rows; ++i) {
        RQForm4Table6_1& r = c.Table6_1Rows[i];
        r.REG_NUM_P = std::to_string(7700000000LL + i);
        r.INN_P = std::to_string(7800000000LL + i);
        r.OKVED_P = "62.01";
        r.WRK_P = 1;
        r.FOT_P = 300;
        r.C1 = r.C2 = r.C3 = 100;
        r.RATE_MIS_P = 0.2;
        r.MIS_ALL_P = 0.2;
    }
}

// What the check command does after the pages were saved into the document.
bool RunControl(RQTarvikDocument& doc) {
    doc.GetErrorCells()->Clear();
    doc.CalculateReport();
    return doc.CheckRequiredField() && doc.CheckReportCalculate();
}

void BM_ControlOfCleanReport(benchmark::State& state) {
    RQTarvikDocument doc;
    FillLargeReport(*doc.GetForm4Struct(), kRows);
    if (!RunControl(doc) || doc.GetErrorCells()->Size() != 0) {
        state.SkipWithError("the report does not pass the control");
        return;
    }
    for (auto _ : state) {
        benchmark::DoNotOptimize(RunControl(doc));
    }
    state.counters["rows"] = 2.0 * kRows;
}
BENCHMARK(BM_ControlOfCleanReport)->Unit(benchmark::kMillisecond);

// The same report with one finding on every row of both tables.
void BM_ControlWithFindingOnEveryRow(benchmark::State& state) {
    RQTarvikDocument doc;
    RQForm4& f = *doc.GetForm4Struct();
    FillLargeReport(f, kRows);
    for (int i = 1; i < kRows; ++i) f.SKERows[i].RATE_DEC = 10;
    for (int i = 0; i < kRows; ++i) f.Chapter2.Table6_1Rows[i].WRK_P = 0;
    RunControl(doc);
    if (doc.GetErrorCells()->Size() != 2 * kRows - 1) {
        state.SkipWithError("unexpected number of findings");
        return;
    }
    for (auto _ : state) {
        benchmark::DoNotOptimize(RunControl(doc));
    }
    state.counters["findings"] = doc.GetErrorCells()->Size();
}
BENCHMARK(BM_ControlWithFindingOnEveryRow)->Unit(benchmark::kMillisecond);

// The check protocol of that report: the control again, then a page with
// one row per finding.
void BM_ProtocolWithFindingOnEveryRow(benchmark::State& state) {
    RQTarvikDocument doc;
    RQForm4& f = *doc.GetForm4Struct();
    FillLargeReport(f, kRows);
    for (int i = 1; i < kRows; ++i) f.SKERows[i].RATE_DEC = 10;
    for (int i = 0; i < kRows; ++i) f.Chapter2.Table6_1Rows[i].WRK_P = 0;
    int length = 0;
    for (auto _ : state) {
        char* text = nullptr;
        int status = 0;
        if (doc.CreateCheckProtocol(text, length, status) != 0) {
            state.SkipWithError("no protocol");
            return;
        }
        Form4Document_Delete(text);
    }
    state.counters["bytes"] = length;
}
BENCHMARK(BM_ProtocolWithFindingOnEveryRow)->Unit(benchmark::kMillisecond);

}  // namespace
