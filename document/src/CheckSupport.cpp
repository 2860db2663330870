// Helpers shared by the calculations and the rules of the control.
#include "CheckSupport.h"

#include <utility>

namespace tarvik::check {

namespace {

// A byte that continues a UTF-8 sequence (10xxxxxx).
bool IsContinuation(char c) {
    return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

}  // namespace

std::size_t CharCount(std::string_view text) {
    std::size_t count = 0;
    for (char c : text) {
        if (!IsContinuation(c)) ++count;
    }
    return count;
}

std::string_view NthChar(std::string_view text, std::size_t n) {
    std::size_t index = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (IsContinuation(text[i])) continue;
        if (++index == n) {
            std::size_t end = i + 1;
            while (end < text.size() && IsContinuation(text[end])) ++end;
            return text.substr(i, end - i);
        }
    }
    return {};
}

bool LocalDate(time_t date, std::tm& out) {
    if (date <= 0) return false;
    return localtime_r(&date, &out) != nullptr;
}

std::string RowCellId(std::string_view prefix, int n) {
    std::string id(prefix);
    id += '_';
    id += std::to_string(n);
    return id;
}

void Append(RQForm4ErrorCells& list, Finding::FORM4_TABLE_ID table, Finding::RECORD_TYPE type,
            int row, int column, const std::string& cell, const char* message,
            const std::string& cell2, const std::string& cell3) {
    Finding finding;
    finding.Set(table, type, row, column, cell.c_str(), "%s", message);
    finding.CellId2 = cell2;
    finding.CellId3 = cell3;
    list.Append(std::move(finding));
}

}  // namespace tarvik::check
