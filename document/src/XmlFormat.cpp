// The naming rule of report files.
#include <strings.h>

#include <cctype>
#include <cstring>

#include "TarvikDocument.h"

namespace {

bool DigitsAt(const char* name, std::size_t from, std::size_t count, bool allowPercent) {
    for (std::size_t i = from; i < from + count; ++i) {
        const char c = name[i];
        if (!(c >= '0' && c <= '9') && !(allowPercent && c == '%')) return false;
    }
    return true;
}

}  // namespace

bool IsValidReportFileName(const char* fileName) {
    if (!fileName) return false;
    const std::size_t length = std::strlen(fileName);
    // 10 digits, "_", 4 digits or "%", "_", 2 digits, "." : 19 characters.
    if (length < 19) return false;
    if (!DigitsAt(fileName, 0, 10, false) || fileName[10] != '_' ||
        !DigitsAt(fileName, 11, 4, true) || fileName[15] != '_' ||
        !DigitsAt(fileName, 16, 2, false) || fileName[18] != '.')
        return false;
    const char* extension = fileName + 19;
    return strcasecmp(extension, "xml") == 0 || strcasecmp(extension, "ef4") == 0;
}
