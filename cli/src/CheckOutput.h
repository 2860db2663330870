// What tarvik-check prints and writes for the reports it checked.
#pragma once

#include <string>
#include <vector>

#include "ReportCheck.h"

namespace tarvik::cli {

// "<file>: <status> (ошибок: N, предупреждений: M)" for a checked report.
std::string SummaryLine(const ReportCheck& check);

// A JSON array, one object per report, in UTF-8.
std::string ToJson(const std::vector<ReportCheck>& checks);

// The exit status of a run: 3 when a report could not be loaded, else 2
// when any has errors, 1 when the worst has warnings, 0 when all are clean.
int ExitStatus(const std::vector<ReportCheck>& checks);

// Writes text to path whole: into a file beside it, then renamed over it.
// Returns an empty string or the reason of the failure.
std::string WriteFileWhole(const std::string& path, const std::string& text);

// The protocol's file name for a report: its file name without the
// extension, with ".html".
std::string ProtocolFileName(const std::string& reportPath);

}  // namespace tarvik::cli
