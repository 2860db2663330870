#include "RQCellText.h"

#include <algorithm>
#include <cstdio>

#include "NumberText.h"

namespace RQCellText {

namespace {

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

std::size_t CountDigits(std::string_view text, std::size_t from) {
    std::size_t n = 0;
    while (from + n < text.size() && IsDigit(text[from + n])) ++n;
    return n;
}

std::string_view WithoutMinus(std::string_view text) {
    if (!text.empty() && text.front() == '-') text.remove_prefix(1);
    return text;
}

bool IsEmptyCell(const std::optional<std::string>& value) {
    return value && value->empty();
}

}  // namespace

const char* const StrongStringForbidden = "0123456789!№;%:?*()+=~@#$%^&*()<>|\\;:/`{}[]";

bool IsIntegerText(std::string_view text) {
    text = WithoutMinus(text);
    return !text.empty() && CountDigits(text, 0) == text.size();
}

bool IsDecimalText(std::string_view text) {
    text = WithoutMinus(text);
    std::size_t whole = CountDigits(text, 0);
    if (whole == text.size()) return true;  // empty or all digits
    if (whole == 0 || (text[whole] != ',' && text[whole] != '.')) return false;
    std::size_t fraction = CountDigits(text, whole + 1);
    return fraction > 0 && whole + 1 + fraction == text.size();
}

std::string ReplaceQuotEntities(std::string text) {
    static constexpr std::string_view entity = "&quot;";
    std::size_t at = text.find(entity);
    if (at == std::string::npos) return text;
    std::string result;
    std::size_t from = 0;
    for (; at != std::string::npos; at = text.find(entity, from)) {
        result.append(text, from, at - from);
        result += '"';
        from = at + entity.size();
    }
    result.append(text, from, std::string::npos);
    return result;
}

int ParseLeadingInt(std::string_view text) {
    return tarvik::numbers::ReadInt(text);
}

double ParseLeadingDecimal(std::string_view text) {
    std::string pointed(text);
    std::replace(pointed.begin(), pointed.end(), ',', '.');
    return tarvik::numbers::ReadAmount(pointed);
}

std::string FormatInt(int value) {
    return tarvik::numbers::IntText(value);
}

std::string FormatAmount(double value) {
    return tarvik::numbers::AmountText(value, 2);
}

bool CheckCellFormat(const std::optional<std::string>& value, int kind) {
    if (!value || value->empty()) return true;
    if (kind == 1) return IsIntegerText(*value);
    if (kind == 2) return IsDecimalText(*value);
    return true;
}

bool CheckDate(const std::optional<std::string>& day, const std::optional<std::string>& month,
               const std::optional<std::string>& year) {
    int empty = IsEmptyCell(day) + IsEmptyCell(month) + IsEmptyCell(year);
    if (empty == 3) return true;
    if (empty > 0) return false;
    for (const auto* part : {&day, &month, &year})
        if (!CheckCellFormat(*part, 1)) return false;
    int d = day ? ParseLeadingInt(*day) : 0;
    int m = month ? ParseLeadingInt(*month) : 0;
    int y = year ? ParseLeadingInt(*year) : 0;
    return y > 1900 && m >= 1 && m <= 12 && d >= 1 && d <= 31;
}

std::optional<time_t> LocalMidnight(int day, int month, int year) {
    if (year < 1970 || year > 3000) return std::nullopt;
    std::tm fields{};
    fields.tm_mday = day;
    fields.tm_mon = month - 1;
    fields.tm_year = year - 1900;
    fields.tm_isdst = -1;
    time_t result = std::mktime(&fields);
    if (result == static_cast<time_t>(-1) || fields.tm_year + 1900 < 1970 ||
        fields.tm_year + 1900 > 3000)
        return std::nullopt;
    return result;
}

DateTexts SplitDate(time_t time) {
    if (time == 0) return {};
    std::tm fields{};
    if (!localtime_r(&time, &fields)) return {"00", "00", "0000"};
    char day[16], month[16], year[16];
    std::snprintf(day, sizeof day, "%02d", fields.tm_mday);
    std::snprintf(month, sizeof month, "%02d", fields.tm_mon + 1);
    std::snprintf(year, sizeof year, "%04d", fields.tm_year + 1900);
    return {day, month, year};
}

DateIds MakeDateIds(std::string_view prefix, int row) {
    std::string suffix;
    if (row >= 1) {
        suffix = "_";
        suffix += std::to_string(row);
    }
    DateIds ids{std::string(prefix), std::string(prefix), std::string(prefix)};
    ids.Day.append("_DAY").append(suffix);
    ids.Month.append("_MONTH").append(suffix);
    ids.Year.append("_YEAR").append(suffix);
    return ids;
}

bool IsControlKey(int key) {
    return key == 8 || key == 9 || key == 12 || key == 13 || (key >= 16 && key <= 20) ||
           (key >= 27 && key <= 31) || (key >= 33 && key <= 47) || (key >= 91 && key <= 93) ||
           key == 95 || (key >= 112 && key <= 135) || key == 144 || key == 145 ||
           (key >= 160 && key <= 183);
}

}  // namespace RQCellText
