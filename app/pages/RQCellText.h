// Text, number and date rules of the page cells, free of any GUI: the
// format checks of cell values, the numeric reading of a cell the way the
// C runtime's atoi/atof would read it (in the C locale, whatever the
// process locale), the texts written into cells, the date triple rules and
// the key table of the input filter.
#pragma once

#include <ctime>
#include <optional>
#include <string>
#include <string_view>

namespace RQCellText {

// One leading "-" is removed; the rest must be one or more digits.
bool IsIntegerText(std::string_view text);

// One leading "-" is removed; the rest passes when it is empty, all digits,
// or digits, one "," or ".", digits.
bool IsDecimalText(std::string_view text);

// Every "&quot;" becomes a double quote character.
std::string ReplaceQuotEntities(std::string text);

// Leading blanks, optional sign, the longest run of digits; 0 when there is
// none. Values beyond the int range are clamped to it.
int ParseLeadingInt(std::string_view text);

// Every "," read as "."; leading blanks, optional sign, digits with an
// optional fraction and exponent; 0 when there is none or when the number
// is beyond the range of double.
double ParseLeadingDecimal(std::string_view text);

// "%d" and "%.2f" ("." as separator), independent of the process locale.
std::string FormatInt(int value);
std::string FormatAmount(double value);

// The value check of a cell: kind 1 integer, kind 2 decimal, any other kind,
// an empty value or a missing cell (nullopt) pass.
bool CheckCellFormat(const std::optional<std::string>& value, int kind);

// The check of a date shown as three cells (nullopt: the cell is missing).
bool CheckDate(const std::optional<std::string>& day, const std::optional<std::string>& month,
               const std::optional<std::string>& year);

// Local midnight of the calendar day as calendar time; nullopt for days
// before 1 January 1970 or after 31 December 3000. Days beyond the month's
// end roll over into the next month, as mktime does.
std::optional<time_t> LocalMidnight(int day, int month, int year);

// The three cell texts of a date: "%02d", "%02d", "%04d" of the local
// calendar day; "00", "00", "0000" when the time cannot be converted;
// empty texts for time 0.
struct DateTexts {
    std::string Day, Month, Year;
};
DateTexts SplitDate(time_t time);

// The ids of the three cells of a date: "<prefix>_DAY" or, in row r >= 1,
// "<prefix>_DAY_<r>"; likewise MONTH and YEAR.
struct DateIds {
    std::string Day, Month, Year;
};
DateIds MakeDateIds(std::string_view prefix, int row);

// Keys (Windows virtual-key codes, which the web engine reports as
// keyCode) that the input filter never touches.
bool IsControlKey(int virtualKey);

// The characters that a "StrongString" cell refuses (UTF-8).
extern const char* const StrongStringForbidden;

}  // namespace RQCellText
