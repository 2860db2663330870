// tarvik-check run as a program: its lines, JSON, protocols and exit status.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>

namespace fs = std::filesystem;

namespace {

struct Outcome {
    int status = -1;
    std::string out;
    std::string err;
};

std::string ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

class CheckProgram : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/tarvik-check-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        dir_ = pattern;
        example_ = ReadFile(TARVIK_EXAMPLE);
        ASSERT_FALSE(example_.empty());
    }
    void TearDown() override { fs::remove_all(dir_); }

    // A report file in the test folder: the example with one text replaced.
    std::string Report(const std::string& name, const std::string& from = "",
                       const std::string& to = "") {
        std::string text = example_;
        if (!from.empty()) {
            const auto at = text.find(from);
            EXPECT_NE(at, std::string::npos) << from;
            if (at != std::string::npos) text.replace(at, from.size(), to);
        }
        const fs::path path = dir_ / name;
        std::ofstream(path, std::ios::binary) << text;
        return path.string();
    }

    Outcome Check(const std::string& arguments) {
        const fs::path out = dir_ / "stdout", err = dir_ / "stderr";
        const std::string command = std::string(TARVIK_CHECK) + " " + arguments + " >" +
                                    out.string() + " 2>" + err.string();
        const int raw = std::system(command.c_str());
        Outcome run;
        run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
        run.out = ReadFile(out);
        run.err = ReadFile(err);
        return run;
    }

    fs::path dir_;
    std::string example_;
};

const char kCleanName[] = "7701234567_2017_03.xml";
// A pay order dated outside the quarter: a warning of table 2.
const char kLateOrder[] = "DT=\"2017-03-10\"";
const char kLateOrderTo[] = "DT=\"2017-06-10\"";
// Debt at the end of the period that does not add up: errors of table 2.
const char kBadDebt[] = "T7R18C1=\"4728.00\"";
const char kBadDebtTo[] = "T7R18C1=\"9999.00\"";

}  // namespace

TEST_F(CheckProgram, ExitStatusIsTheWorstResult) {
    const std::string clean = Report(kCleanName);
    const std::string warned = Report("7701234567_2017_02.xml", kLateOrder, kLateOrderTo);
    const std::string failed = Report("7701234567_2017_01.xml", kBadDebt, kBadDebtTo);
    const std::string broken = Report("7701234567_2016_04.xml", "</F4REPORT>", "");
    const std::string badName = Report("report.xml");
    struct Case {
        std::string arguments;
        int status;
    } cases[] = {
        {clean, 0},
        {badName, 0},  // the file-name warning does not change the status
        {clean + " " + warned, 1},
        {warned + " " + failed + " " + clean, 2},
        {clean + " " + broken + " " + failed, 3},
        {(dir_ / "missing.xml").string(), 3},
    };
    for (const Case& c : cases) EXPECT_EQ(Check(c.arguments).status, c.status) << c.arguments;
}

TEST_F(CheckProgram, PrintsOneLinePerReportAndReasonsOnStderr) {
    const std::string clean = Report(kCleanName);
    const std::string badName = Report("report.xml");
    const std::string broken = Report("7701234567_2016_04.xml", "</F4REPORT>", "");
    const Outcome run = Check(clean + " " + broken + " " + badName);
    EXPECT_EQ(run.out, clean + ": Успешно (ошибок: 0, предупреждений: 0)\n" + badName +
                           ": Успешно (ошибок: 0, предупреждений: 1)\n");
    EXPECT_NE(run.err.find(broken + ": "), std::string::npos) << run.err;
    EXPECT_GT(run.err.size(), broken.size() + 10) << "the loader's reason follows the name";
}

TEST_F(CheckProgram, JsonForAGoodAndABrokenReport) {
    const std::string failed = Report(kCleanName, kBadDebt, kBadDebtTo);
    const std::string broken = Report("7701234567_2016_04.xml", "<F4INFO", "<F4INFO <");
    const Outcome run = Check("--json " + failed + " " + broken);
    EXPECT_EQ(run.status, 3);
    const auto json = nlohmann::json::parse(run.out);
    ASSERT_TRUE(json.is_array());
    ASSERT_EQ(json.size(), 2u);

    const auto& first = json[0];
    EXPECT_EQ(first["file"], failed);
    EXPECT_EQ(first["loaded"], true);
    EXPECT_EQ(first["status"], 2);
    EXPECT_EQ(first["statusText"], "Плохо");
    ASSERT_GT(first["errors"].get<int>(), 0);
    EXPECT_EQ(first["warnings"], 0);
    ASSERT_EQ(first["findings"].size(), first["errors"].get<std::size_t>());
    const auto& finding = first["findings"][1];
    EXPECT_EQ(finding["table"], "Таблица 2");
    EXPECT_EQ(finding["row"], 9);
    EXPECT_EQ(finding["column"], 3);
    EXPECT_EQ(finding["kind"], "error");
    EXPECT_EQ(finding["cellId"], "T7R18C1");
    EXPECT_FALSE(finding["message"].get<std::string>().empty());

    const auto& second = json[1];
    EXPECT_EQ(second["file"], broken);
    EXPECT_EQ(second["loaded"], false);
    EXPECT_NE(second["code"], 0);
    EXPECT_FALSE(second["reason"].get<std::string>().empty());
}

TEST_F(CheckProgram, WritesProtocols) {
    const std::string clean = Report(kCleanName);
    const std::string warned = Report("7701234567_2017_02.xml", kLateOrder, kLateOrderTo);

    const fs::path single = dir_ / "protocol.html";
    EXPECT_EQ(Check("-o " + single.string() + " " + clean).status, 0);
    const std::string page = ReadFile(single);
    EXPECT_NE(page.find("charset=windows-1251"), std::string::npos);
    EXPECT_NE(page.find("7701234567_2017_03.xml"), std::string::npos);

    const fs::path folder = dir_ / "protocols";
    fs::create_directory(folder);
    EXPECT_EQ(Check("-d " + folder.string() + " " + clean + " " + warned).status, 1);
    EXPECT_TRUE(fs::exists(folder / "7701234567_2017_03.html"));
    EXPECT_TRUE(fs::exists(folder / "7701234567_2017_02.html"));

    // A protocol that cannot be written is reported, not passed over.
    const Outcome run = Check("-o " + (dir_ / "no-such-folder" / "p.html").string() + " " + clean);
    EXPECT_EQ(run.status, 3);
    EXPECT_NE(run.err.find("не удалось записать протокол"), std::string::npos) << run.err;
}

TEST_F(CheckProgram, ArgumentsAndHelp) {
    const std::string clean = Report(kCleanName);
    const Outcome help = Check("--help");
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.out.find("Использование"), std::string::npos) << help.out;
    EXPECT_NE(help.out.find("--json"), std::string::npos);

    struct Case {
        std::string arguments;
    } usage[] = {
        {""},                                                // no report
        {"-o a.html " + clean + " " + clean},                // -o with two reports
        {"-o a.html -d " + dir_.string() + " " + clean},     // both targets
        {"-d " + (dir_ / "absent").string() + " " + clean},  // no such folder
        {"--frobnicate " + clean},
    };
    for (const Case& c : usage) {
        const Outcome run = Check(c.arguments);
        EXPECT_EQ(run.status, 64) << c.arguments;
        EXPECT_NE(run.err.find("tarvik-check --help"), std::string::npos) << run.err;
    }
}
