// Numbers as text, independent of the process locale.
#include "NumberText.h"

#include <algorithm>
#include <charconv>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <system_error>

namespace tarvik::numbers {
namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

std::string_view SkipBlanks(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && IsBlank(text[i])) ++i;
    return text.substr(i);
}

}  // namespace

int ReadInt(std::string_view text) {
    text = SkipBlanks(text);
    bool negative = false;
    if (!text.empty() && (text[0] == '+' || text[0] == '-')) {
        negative = text[0] == '-';
        text.remove_prefix(1);
    }
    long long value = 0;
    for (char c : text) {
        if (!IsDigit(c)) break;
        value = value * 10 + (c - '0');
        if (value > static_cast<long long>(INT_MAX) + 1) break;  // clamped below
    }
    if (negative) value = -value;
    return static_cast<int>(std::clamp<long long>(value, INT_MIN, INT_MAX));
}

double ReadAmount(std::string_view text) {
    text = SkipBlanks(text);
    std::size_t i = 0;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
    const std::size_t numberStart = i;
    while (i < text.size() && IsDigit(text[i])) ++i;
    bool digits = i > numberStart;
    if (i < text.size() && text[i] == '.') {
        const std::size_t fraction = ++i;
        while (i < text.size() && IsDigit(text[i])) ++i;
        digits = digits || i > fraction;
    }
    if (!digits) return 0.0;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        std::size_t k = i + 1;
        if (k < text.size() && (text[k] == '+' || text[k] == '-')) ++k;
        const std::size_t exponent = k;
        while (k < text.size() && IsDigit(text[k])) ++k;
        if (k > exponent) i = k;
    }
    // Up to 15 significant digits without an exponent: the digits as an
    // exact integer divided by an exact power of ten is the correctly
    // rounded value, the same that from_chars gives.
    {
        static constexpr double kPow10[] = {1e0, 1e1, 1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                            1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
        std::int64_t mantissa = 0;
        int digits = 0, decimals = 0;
        bool fraction = false, simple = true;
        for (std::size_t k = numberStart; k < i && simple; ++k) {
            const char c = text[k];
            if (c == '.') {
                fraction = true;
            } else if (IsDigit(c)) {
                mantissa = mantissa * 10 + (c - '0');
                if (mantissa != 0) ++digits;
                if (fraction) ++decimals;
                simple = digits <= 15 && decimals <= 15;
            } else {
                simple = false;  // an exponent
            }
        }
        if (simple) {
            const double value = static_cast<double>(mantissa) / kPow10[decimals];
            return text[0] == '-' ? -value : value;
        }
    }
    // from_chars takes no leading '+'.
    const std::size_t from = text[0] == '+' ? 1 : 0;
    double value = 0.0;
    const auto result = std::from_chars(text.data() + from, text.data() + i, value);
    if (result.ec != std::errc()) return 0.0;
    return value;
}

std::string IntText(int value, int width) {
    char buffer[32];
    const int n = std::snprintf(buffer, sizeof buffer, "%0*d", width, value);
    return std::string(buffer, static_cast<std::size_t>(std::max(n, 0)));
}

std::string AmountText(double value, int places) {
    char buffer[512];
    const auto result =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, places);
    if (result.ec != std::errc()) return "0";
    return std::string(buffer, result.ptr);
}

}  // namespace tarvik::numbers
