#include "CheckOutput.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <nlohmann/json.hpp>

namespace tarvik::cli {

std::string SummaryLine(const ReportCheck& check) {
    return check.path + ": " + StatusText(check.status) +
           " (ошибок: " + std::to_string(check.errors) +
           ", предупреждений: " + std::to_string(check.warnings) + ")";
}

std::string ToJson(const std::vector<ReportCheck>& checks) {
    nlohmann::ordered_json reports = nlohmann::ordered_json::array();
    for (const ReportCheck& check : checks) {
        nlohmann::ordered_json report;
        report["file"] = check.path;
        report["loaded"] = check.loaded;
        if (!check.loaded) {
            report["code"] = check.loadCode;
            report["reason"] = check.reason;
            reports.push_back(std::move(report));
            continue;
        }
        report["status"] = check.status;
        report["statusText"] = StatusText(check.status);
        report["errors"] = check.errors;
        report["warnings"] = check.warnings;
        if (!check.reason.empty()) report["reason"] = check.reason;
        nlohmann::ordered_json findings = nlohmann::ordered_json::array();
        for (const Finding& f : check.findings) {
            findings.push_back({{"table", f.table},
                                {"row", f.row},
                                {"column", f.column},
                                {"kind", f.warning ? "warning" : "error"},
                                {"cellId", f.cellId},
                                {"message", f.message}});
        }
        report["findings"] = std::move(findings);
        reports.push_back(std::move(report));
    }
    // Texts that are not valid UTF-8 are replaced, never a reason to fail.
    return reports.dump(2, ' ', false, nlohmann::json::error_handler_t::replace);
}

int ExitStatus(const std::vector<ReportCheck>& checks) {
    int worst = 0;
    for (const ReportCheck& check : checks)
        worst = std::max(worst, check.loaded ? check.status : 3);
    return worst;
}

std::string WriteFileWhole(const std::string& path, const std::string& text) {
    const std::string temp = path + ".tmp" + std::to_string(getpid());
    const int fd = open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) return std::strerror(errno);
    std::size_t done = 0;
    while (done < text.size()) {
        const ssize_t n = write(fd, text.data() + done, text.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            const std::string reason = std::strerror(n < 0 ? errno : EIO);
            close(fd);
            unlink(temp.c_str());
            return reason;
        }
        done += static_cast<std::size_t>(n);
    }
    if (close(fd) != 0 || rename(temp.c_str(), path.c_str()) != 0) {
        const std::string reason = std::strerror(errno);
        unlink(temp.c_str());
        return reason;
    }
    return {};
}

std::string ProtocolFileName(const std::string& reportPath) {
    const auto slash = reportPath.rfind('/');
    std::string name = slash == std::string::npos ? reportPath : reportPath.substr(slash + 1);
    const auto dot = name.rfind('.');
    if (dot != std::string::npos && dot > 0) name.resize(dot);
    return name + ".html";
}

}  // namespace tarvik::cli
