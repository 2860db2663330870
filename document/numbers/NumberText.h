// Numbers as text the way the C runtime reads and writes them in the C
// locale, whatever the process locale: the lenient readings of atoi and
// atof and the "%d" and "%.Nf" forms. Shared by the report library and the
// page views.
#pragma once

#include <string>
#include <string_view>

namespace tarvik::numbers {

// atoi semantics: leading blanks skipped, optional sign, the digits up to
// the first other character; 0 without digits. Clamped to the int range.
int ReadInt(std::string_view text);

// atof semantics with a decimal point: leading blanks skipped, optional
// sign, the longest decimal number prefix (with fraction and exponent);
// 0.0 without one. A number beyond the range of double reads as 0.0.
double ReadAmount(std::string_view text);

// "%d", "%02d", "%03d" of an integer.
std::string IntText(int value, int width = 0);
// Fixed point with exactly `places` decimals and "." ("%.2f").
std::string AmountText(double value, int places);
}  // namespace tarvik::numbers
