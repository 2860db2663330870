// Values of the report XML as text: the lenient readings of numbers and
// dates, their written forms, and attribute text in windows-1251.
// Everything here is independent of the process locale.
#pragma once

#include <ctime>
#include <string>
#include <string_view>

#include "NumberText.h"

namespace tarvik::xml {

using tarvik::numbers::AmountText;
using tarvik::numbers::IntText;
using tarvik::numbers::ReadAmount;
using tarvik::numbers::ReadInt;

// YYYY-MM-DD by character positions: year 1-4, month 6-7, day 9-10, each
// read with ReadInt. When the year is 1900..3000, the month 1..12 and the
// day 1..31, stores local midnight of that day (mktime rolls a day beyond
// the month's end into the next month) and returns true; otherwise false.
bool ReadDate(std::string_view text, time_t& date);

// "YYYY-MM-DD" of the local day of date; empty for 0.
std::string DateText(time_t date);

// The first maxChars characters (code points) of a UTF-8 text.
std::string_view FirstChars(std::string_view utf8, std::size_t maxChars);

// Appends a UTF-8 text to windows-1251 output, escaped for an attribute
// value in double quotes. Characters that windows-1251 lacks become
// character references; characters that XML 1.0 cannot carry (control
// characters other than tab, line feed and carriage return) are left out;
// a byte that is not part of valid UTF-8 becomes "?".
void AppendAttributeText(std::string& out, std::string_view utf8);
// Appends a UTF-8 text to windows-1251 output as it is, markup included;
// characters that windows-1251 lacks become character references.
void AppendWindows1251(std::string& out, std::string_view utf8);

}  // namespace tarvik::xml
