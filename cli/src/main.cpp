// tarvik-check: checks report files of form 4 of the Social Insurance Fund
// with the format-logical control, one line or one JSON object a report.
#include <CLI/CLI.hpp>
#include <clocale>
#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

#include "CheckOutput.h"
#include "ReportCheck.h"

namespace {

constexpr int kUsageError = 64;

// The help is our own text: the parser's generated one pads columns by
// bytes, which misaligns Cyrillic.
constexpr const char* kHelp =
    "Использование: tarvik-check [-o ФАЙЛ | -d ПАПКА] [--json] ОТЧЕТ...\n"
    "\n"
    "Проверяет файлы расчета по форме 4-ФСС (ФЛК отчета) и печатает по строке на отчет:\n"
    "файл, статус («Успешно», «Предупреждения», «Плохо»), число ошибок и предупреждений.\n"
    "Причина, по которой файл не удалось прочитать, выводится в стандартный поток ошибок,\n"
    "остальные отчеты при этом проверяются.\n"
    "\n"
    "Параметры:\n"
    "  -o, --output ФАЙЛ  записать HTML-протокол проверки в ФАЙЛ (только для одного отчета)\n"
    "  -d, --dir ПАПКА    записать HTML-протоколы в ПАПКУ, по файлу <имя отчета>.html\n"
    "  --json             вывести результат в JSON (UTF-8): массив, по объекту на отчет\n"
    "  -h, --help         показать эту справку\n"
    "\n"
    "Код завершения:\n"
    "  0   все отчеты без замечаний\n"
    "  1   худший результат — предупреждения\n"
    "  2   хотя бы в одном отчете есть ошибки\n"
    "  3   хотя бы один файл не удалось прочитать или записать его протокол\n"
    "  64  неверные аргументы\n";

// The parser's complaint in Russian.
std::string UsageProblem(const CLI::ParseError& e) {
    if (dynamic_cast<const CLI::RequiredError*>(&e)) return "не указан ни один отчет";
    if (dynamic_cast<const CLI::ExcludesError*>(&e)) return "-o и -d вместе не используются";
    if (dynamic_cast<const CLI::ExtrasError*>(&e) || dynamic_cast<const CLI::ArgumentMismatch*>(&e))
        return std::string("лишние или неизвестные аргументы (") + e.what() + ")";
    if (dynamic_cast<const CLI::ValidationError*>(&e)) return e.what();
    return std::string("неверные аргументы (") + e.what() + ")";
}

}  // namespace

int main(int argc, char** argv) {
    std::setlocale(LC_ALL, "");

    CLI::App app("", "tarvik-check");
    std::string outputFile, outputDir;
    bool json = false;
    std::vector<std::string> reports;
    auto* output = app.add_option("-o,--output", outputFile);
    app.add_option("-d,--dir", outputDir)->excludes(output);
    app.add_flag("--json", json);
    app.add_option("REPORT", reports)->required();

    try {
        app.parse(argc, argv);
        if (!outputFile.empty() && reports.size() != 1)
            throw CLI::ValidationError("-o записывает протокол только одного отчета");
        if (!outputDir.empty() && !std::filesystem::is_directory(outputDir))
            throw CLI::ValidationError("нет папки " + outputDir);
    } catch (const CLI::CallForHelp&) {
        std::cout << kHelp;
        return 0;
    } catch (const CLI::ParseError& e) {
        std::cerr << "tarvik-check: " << UsageProblem(e) << "\nСправка: tarvik-check --help\n";
        return kUsageError;
    }

    using namespace tarvik::cli;
    std::vector<ReportCheck> checks;
    int writeFailures = 0;
    for (const std::string& path : reports) {
        ReportCheck check = CheckReport(path);
        if (!check.loaded) {
            std::cerr << path << ": " << check.reason << "\n";
        } else {
            if (!check.reason.empty()) std::cerr << path << ": " << check.reason << "\n";
            std::string target = outputFile;
            if (!outputDir.empty()) target = outputDir + "/" + ProtocolFileName(path);
            if (!target.empty()) {
                const std::string failure = WriteFileWhole(target, check.protocol);
                if (!failure.empty()) {
                    std::cerr << target << ": не удалось записать протокол: " << failure << "\n";
                    ++writeFailures;
                }
            }
            if (!json) std::cout << SummaryLine(check) << "\n";
        }
        check.protocol.clear();
        checks.push_back(std::move(check));
    }
    if (json) std::cout << ToJson(checks) << "\n";
    const int status = ExitStatus(checks);
    return writeFailures > 0 && status < 3 ? 3 : status;
}
