// Dates as the report record stores them.
#pragma once

#include <ctime>

namespace testsupport {

// Local midnight of a calendar day.
inline time_t Date(int year, int month, int day) {
    std::tm tm{};
    tm.tm_year = year - 1900;
    tm.tm_mon = month - 1;
    tm.tm_mday = day;
    tm.tm_isdst = -1;
    return std::mktime(&tm);
}

}  // namespace testsupport
