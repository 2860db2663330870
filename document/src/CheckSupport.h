// Helpers shared by the calculations and the rules of the format-logical
// control: amount comparisons at two decimals, character counts of UTF-8
// texts, local calendar dates and the building of findings.
#pragma once

#include <cstddef>
#include <ctime>
#include <string>
#include <string_view>

#include "TarvikDocument.h"

namespace tarvik::check {

using Finding = RQErrorCellDescription;
constexpr Finding::RECORD_TYPE kError = Finding::RECORD_ERROR;
constexpr Finding::RECORD_TYPE kWarning = Finding::RECORD_WARNING;

// Comparisons of amounts through CompareRounded.
inline bool Less(double a, double b) {
    return CompareRounded(a, b) == 1;
}
inline bool Greater(double a, double b) {
    return CompareRounded(a, b) == -1;
}
inline bool Equal(double a, double b) {
    return CompareRounded(a, b) == 0;
}
inline bool IsZero(double a) {
    return Equal(a, 0.0);
}
// a < e - 1 or a > e + 1: more than one rouble away from the expectation.
inline bool OutsideRouble(double a, double e) {
    return Less(a, e - 1) || Greater(a, e + 1);
}

// Number of characters (code points) of a UTF-8 text.
std::size_t CharCount(std::string_view text);
// The n-th character (1-based) of a UTF-8 text, empty when there is none.
std::string_view NthChar(std::string_view text, std::size_t n);

// Local calendar date of a stored date. Only a value greater than 0 that
// localtime converts is a date; false otherwise.
bool LocalDate(time_t date, std::tm& out);

// "<prefix>_<n>", the id of a cell of a numbered row.
std::string RowCellId(std::string_view prefix, int n);

// Appends a finding with a fixed message (taken as it is, never as a
// format) and up to three cells to colour.
void Append(RQForm4ErrorCells& list, Finding::FORM4_TABLE_ID table, Finding::RECORD_TYPE type,
            int row, int column, const std::string& cell, const char* message,
            const std::string& cell2 = {}, const std::string& cell3 = {});

}  // namespace tarvik::check
