// One report file through the format-logical control: the result the
// command-line checker prints and the HTML protocol it may write.
#pragma once

#include <string>
#include <vector>

namespace tarvik::cli {

struct Finding {
    std::string table;
    int row = 0;
    int column = 0;
    bool warning = false;
    std::string cellId;
    std::string message;
};

struct ReportCheck {
    std::string path;
    bool loaded = false;  // false: the file could not be read at all
    int loadCode = 0;     // the loader's status code
    std::string reason;   // why the file could not be read, or is broken
    int status = 0;       // 0 clean, 1 warnings only, 2 errors
    int errors = 0;
    int warnings = 0;  // the file-name warning included, as on the page
    std::vector<Finding> findings;
    std::string protocol;  // the HTML page, windows-1251
};

// Loads the report at path, runs the control and builds its protocol.
ReportCheck CheckReport(const std::string& path);

// "Успешно", "Предупреждения" or "Плохо".
const char* StatusText(int status);

}  // namespace tarvik::cli
