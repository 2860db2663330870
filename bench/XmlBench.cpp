// Loading and saving report files of 1 000, 10 000, 100 000 and 200 000 rows of
// table 1.1 and as many SKE rows, next to xmllint on the same file: a
// streaming parse (--stream --noout) and a tree build (--noout). Each
// benchmark reports the time per run and the peak memory it took (peak_MB).
#include <benchmark/benchmark.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>

#include "TarvikDocument.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;

// The folder of the generated files, removed at exit.
class BenchDir {
public:
    BenchDir() {
        char pattern[] = "/tmp/tarvik-xml-bench-XXXXXX";
        path_ = ::mkdtemp(pattern);
    }
    ~BenchDir() {
        std::error_code ec;
        fs::remove_all(path_, ec);
    }
    std::string File(const std::string& name) const { return (path_ / name).string(); }

private:
    fs::path path_;
};

BenchDir& Dir() {
    static BenchDir dir;
    return dir;
}

// A report file of `rows` rows of each table written the way other
// programs write them: windows-1251 named in capitals, the Fund's root,
// an F4INF1 element, line breaks and tabs between attributes.
const std::string& ForeignReport(int rows) {
    static std::map<int, std::string> files;
    auto it = files.find(rows);
    if (it != files.end()) return it->second;
    const std::string path = Dir().File("foreign_" + std::to_string(rows) + ".xml");
    std::ofstream out(path, std::ios::binary);
    out << "<?xml version=\"1.0\" encoding=\"WINDOWS-1251\"?>\r\n"
           "<?F4FORM version=\"0.93\" appname=\"bench\"?>\r\n"
           "<F4REPORT xsd:schemaLocation=\"http://fz122.fss.ru "
           "http://fz122.fss.ru/doc/f4form_2017_3.xsd\" xmlns=\"http://fz122.fss.ru\" "
           "xmlns:xsd=\"http://www.w3.org/2001/XMLSchema-instance\">\r\n"
           "\t<TITLE REG_NUM=\"7712345678\" INN=\"7701234567\" QUART_NUM=\"03\"\r\n"
           "\t\tYEAR_NUM=\"2017\" NAME=\"\xCE\xCE\xCE \xD0\xEE\xEC\xE0\xF8\xEA\xE0\" CEO=\"x\"\r\n"
           "\t\tCADDR=\"101000, a, b, c, d, e, 5, 12\" T1R1C2=\"100\"/>\r\n"
           "\t<F4INF1 S2R1=\"0.00\"/>\r\n"
           "\t<F4INFO NC=\"1000.00\" T1R3C2=\"50000.00\" RATE_MIS=\"0.2\" T7R1C1=\"10.00\">\r\n";
    for (int i = 0; i < 9; ++i)
        out << "\t\t<PAYM_ORDER NUM=\"" << i + 1 << "\" DT=\"2017-03-0" << i + 1
            << "\" SUM=\"1234.56\"/>\r\n";
    out << "\t</F4INFO>\r\n";
    char line[1024];
    for (int i = 0; i < rows; ++i) {
        std::snprintf(line, sizeof line,
                      "\t<F4DOGOV REG_NUM_P=\"77%08d\" INN_P=\"50%08d\" OKVED_P=\"47.11\"\r\n"
                      "\t\tWRK_P=\"%d\" FOT_P=\"%d.50\" FOTINV_P=\"%d.25\" C1=\"%d.00\" "
                      "C2=\"%d.10\" C3=\"%d.20\" I1=\"1.00\" I2=\"2.00\" I3=\"3.00\" "
                      "RATE_MIS_P=\"0.40\" MIS_ALL_P=\"0.44\"/>\r\n",
                      i, i, i % 100, 3000 + i, 100 + i, 1000 + i, 1000 + i, 1000 + i);
        out << line;
    }
    for (int i = 0; i < rows; ++i) {
        std::snprintf(line, sizeof line,
                      "\t<F4DECODE OKVED=\"41.%02d\" ID_RISC=\"%d\" RATE_MIS=\"0.%d\" RATE_DEC=\"0\" "
                      "RATE_INC=\"0\" FOT=\"%d.75\" C1=\"%d.25\" C2=\"%d.25\" C3=\"%d.25\" "
                      "FOTINV=\"55.50\" I1=\"11.10\" I2=\"22.20\" I3=\"22.20\" NC=\"7.77\" "
                      "RECKON=\"1.01\"/>\r\n",
                      i % 100, 1 + i % 32, 1 + i % 9, 9000 + i, 3000 + i, 3000 + i, 3000 + i);
        out << line;
    }
    out << "</F4REPORT>\r\n";
    return files.emplace(rows, path).first->second;
}

// Peak resident memory of this process since the last ResetPeak, in MB.
void ResetPeak() { std::ofstream("/proc/self/clear_refs") << "5"; }

double PeakMegabytes(const char* field = "VmHWM:") {
    std::ifstream status("/proc/self/status");
    std::string key;
    long kb = 0;
    while (status >> key) {
        if (key == field) {
            status >> kb;
            break;
        }
        status.ignore(4096, '\n');
    }
    return kb / 1024.0;
}

void Load(benchmark::State& state, bool reload) {
    const int rows = static_cast<int>(state.range(0));
    std::string path = ForeignReport(rows);
    if (reload) {
        RQTarvikDocument doc;
        doc.LoadXML(RQTarvikDocument::XML_EXCHANGE, path.c_str());
        path = Dir().File("saved_" + std::to_string(rows) + ".xml");
        if (doc.SaveXML(RQTarvikDocument::XML_EXCHANGE, path.c_str()) != 0)
            state.SkipWithError("the report cannot be saved");
    }
    double peak = 0;
    for (auto _ : state) {
        const double before = PeakMegabytes("VmRSS:");
        ResetPeak();
        RQTarvikDocument doc;
        if (doc.LoadXML(RQTarvikDocument::XML_EXCHANGE, path.c_str()) != 0 ||
            doc.GetForm4Struct()->SKECount != rows)
            state.SkipWithError("the report does not load");
        peak = std::max(peak, PeakMegabytes() - before);
    }
    state.counters["peak_MB"] = peak;
    state.counters["file_MB"] = static_cast<double>(fs::file_size(path)) / (1 << 20);
}

void BM_XmlLoad(benchmark::State& state) { Load(state, false); }
void BM_XmlReload(benchmark::State& state) { Load(state, true); }

void BM_XmlSave(benchmark::State& state) {
    const int rows = static_cast<int>(state.range(0));
    RQTarvikDocument doc;
    doc.LoadXML(RQTarvikDocument::XML_EXCHANGE, ForeignReport(rows).c_str());
    const std::string path = Dir().File("saved_" + std::to_string(rows) + ".xml");
    double peak = 0;
    for (auto _ : state) {
        const double before = PeakMegabytes("VmRSS:");
        ResetPeak();
        if (doc.SaveXML(RQTarvikDocument::XML_EXCHANGE, path.c_str()) != 0)
            state.SkipWithError("the report cannot be saved");
        peak = std::max(peak, PeakMegabytes() - before);
    }
    state.counters["peak_MB"] = peak;
    state.counters["file_MB"] = static_cast<double>(fs::file_size(path)) / (1 << 20);
}

// Runs xmllint on the file. Its peak memory (polled from /proc while it
// runs) goes to peak_MB, the processor time it used to cpu_ms.
void Xmllint(benchmark::State& state, bool stream) {
    const std::string& path = ForeignReport(static_cast<int>(state.range(0)));
    std::vector<std::string> args = {"xmllint", "--noout"};
    if (stream) args.push_back("--stream");
    args.push_back(path);
    std::vector<char*> argv;
    for (auto& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    double peak = 0, cpu = 0;
    for (auto _ : state) {
        pid_t pid = 0;
        if (posix_spawnp(&pid, "xmllint", nullptr, nullptr, argv.data(), environ) != 0) {
            state.SkipWithError("xmllint is not installed (package libxml2-utils)");
            break;
        }
        const std::string status = "/proc/" + std::to_string(pid) + "/status";
        int result = 0;
        rusage usage{};
        while (wait4(pid, &result, WNOHANG, &usage) == 0) {
            std::ifstream in(status);
            std::string key;
            long kb = 0;
            while (in >> key) {
                if (key == "VmHWM:") {
                    in >> kb;
                    peak = std::max(peak, kb / 1024.0);
                    break;
                }
                in.ignore(4096, '\n');
            }
            ::usleep(500);
        }
        if (!WIFEXITED(result) || WEXITSTATUS(result) != 0) state.SkipWithError("xmllint failed");
        cpu = (usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1e3 +
              (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e3;
    }
    state.counters["peak_MB"] = peak;
    state.counters["cpu_ms"] = cpu;
}

void BM_XmllintStream(benchmark::State& state) { Xmllint(state, true); }
void BM_XmllintTree(benchmark::State& state) { Xmllint(state, false); }

void Sizes(benchmark::internal::Benchmark* b) {
    b->Arg(1000)->Arg(10000)->Arg(100000)->Arg(200000)->Unit(benchmark::kMillisecond)->UseRealTime();
}

}  // namespace

BENCHMARK(BM_XmlLoad)->Apply(Sizes);
BENCHMARK(BM_XmlSave)->Apply(Sizes);
BENCHMARK(BM_XmlReload)->Apply(Sizes);
BENCHMARK(BM_XmllintStream)->Apply(Sizes);
BENCHMARK(BM_XmllintTree)->Apply(Sizes);
