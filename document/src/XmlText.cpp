// Values of the report XML as text, independent of the process locale.
#include "XmlText.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>

namespace tarvik::xml {

namespace {

// Unicode code points of the bytes 0x80..0xFF of windows-1251 (0: none).
constexpr std::array<std::uint16_t, 128> kCp1251High = {
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021, 0x20AC, 0x2030, 0x0409, 0x2039,
    0x040A, 0x040C, 0x040B, 0x040F, 0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x0000, 0x2122, 0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F, 0x00A0, 0x040E, 0x045E, 0x0408,
    0x00A4, 0x0490, 0x00A6, 0x00A7, 0x0401, 0x00A9, 0x0404, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x0407,
    0x00B0, 0x00B1, 0x0406, 0x0456, 0x0491, 0x00B5, 0x00B6, 0x00B7, 0x0451, 0x2116, 0x0454, 0x00BB,
    0x0458, 0x0405, 0x0455, 0x0457, 0x0410, 0x0411, 0x0412, 0x0413, 0x0414, 0x0415, 0x0416, 0x0417,
    0x0418, 0x0419, 0x041A, 0x041B, 0x041C, 0x041D, 0x041E, 0x041F, 0x0420, 0x0421, 0x0422, 0x0423,
    0x0424, 0x0425, 0x0426, 0x0427, 0x0428, 0x0429, 0x042A, 0x042B, 0x042C, 0x042D, 0x042E, 0x042F,
    0x0430, 0x0431, 0x0432, 0x0433, 0x0434, 0x0435, 0x0436, 0x0437, 0x0438, 0x0439, 0x043A, 0x043B,
    0x043C, 0x043D, 0x043E, 0x043F, 0x0440, 0x0441, 0x0442, 0x0443, 0x0444, 0x0445, 0x0446, 0x0447,
    0x0448, 0x0449, 0x044A, 0x044B, 0x044C, 0x044D, 0x044E, 0x044F,
};

struct Cp1251Entry {
    std::uint16_t codePoint;
    unsigned char byte;
};

// The same table sorted by code point, for the way back.
const std::array<Cp1251Entry, 127>& Cp1251Reverse() {
    static const std::array<Cp1251Entry, 127> table = [] {
        std::array<Cp1251Entry, 127> t{};
        std::size_t n = 0;
        for (std::size_t i = 0; i < kCp1251High.size(); ++i) {
            if (kCp1251High[i] != 0)
                t[n++] = {kCp1251High[i], static_cast<unsigned char>(0x80 + i)};
        }
        std::sort(t.begin(), t.end(), [](const Cp1251Entry& a, const Cp1251Entry& b) {
            return a.codePoint < b.codePoint;
        });
        return t;
    }();
    return table;
}

// Decodes one UTF-8 sequence at text[i]; returns its length, 0 when invalid.
std::size_t DecodeUtf8(std::string_view text, std::size_t i, char32_t& cp) {
    const auto b0 = static_cast<unsigned char>(text[i]);
    std::size_t len;
    char32_t min;
    if (b0 >= 0xC2 && b0 <= 0xDF) {
        len = 2, cp = b0 & 0x1F, min = 0x80;
    } else if (b0 >= 0xE0 && b0 <= 0xEF) {
        len = 3, cp = b0 & 0x0F, min = 0x800;
    } else if (b0 >= 0xF0 && b0 <= 0xF4) {
        len = 4, cp = b0 & 0x07, min = 0x10000;
    } else {
        return 0;
    }
    if (i + len > text.size()) return 0;
    for (std::size_t k = 1; k < len; ++k) {
        const auto b = static_cast<unsigned char>(text[i + k]);
        if ((b & 0xC0) != 0x80) return 0;
        cp = (cp << 6) | (b & 0x3F);
    }
    if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return 0;
    return len;
}

}  // namespace

bool ReadDate(std::string_view text, time_t& date) {
    auto part = [&](std::size_t pos, std::size_t len) {
        return pos < text.size() ? ReadInt(text.substr(pos, len)) : 0;
    };
    const int year = part(0, 4), month = part(5, 2), day = part(8, 2);
    if (year < 1900 || year > 3000 || month < 1 || month > 12 || day < 1 || day > 31) return false;
    std::tm tm{};
    tm.tm_year = year - 1900;
    tm.tm_mon = month - 1;
    tm.tm_mday = day;
    tm.tm_isdst = -1;
    const time_t t = std::mktime(&tm);
    if (t == static_cast<time_t>(-1)) return false;
    date = t;
    return true;
}

std::string DateText(time_t date) {
    if (date == 0) return {};
    std::tm tm{};
    if (!localtime_r(&date, &tm)) return {};
    char buffer[48];
    std::snprintf(buffer, sizeof buffer, "%04d-%02d-%02d", tm.tm_year + 1900, tm.tm_mon + 1,
                  tm.tm_mday);
    return buffer;
}

std::string_view FirstChars(std::string_view utf8, std::size_t maxChars) {
    std::size_t chars = 0;
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        if ((static_cast<unsigned char>(utf8[i]) & 0xC0) != 0x80) {
            if (chars == maxChars) return utf8.substr(0, i);
            ++chars;
        }
    }
    return utf8;
}

namespace {

// UTF-8 to windows-1251; with escape, also escaped for an attribute value.
void AppendCp1251(std::string& out, std::string_view utf8, bool escape) {
    const auto& reverse = Cp1251Reverse();
    std::size_t i = 0;
    while (i < utf8.size()) {
        // A run of characters that go out as they are.
        std::size_t run = i;
        while (run < utf8.size()) {
            const auto b = static_cast<unsigned char>(utf8[run]);
            if (b >= 0x80 || (escape && (b < 0x20 || b == '&' || b == '<' || b == '>' || b == '"')))
                break;
            ++run;
        }
        if (run > i) {
            out.append(utf8.data() + i, run - i);
            i = run;
            continue;
        }
        const char c = utf8[i];
        if (static_cast<unsigned char>(c) < 0x80) {
            switch (c) {
                case '&':
                    out += "&amp;";
                    break;
                case '<':
                    out += "&lt;";
                    break;
                case '>':
                    out += "&gt;";
                    break;
                case '"':
                    out += "&quot;";
                    break;
                case '\t':
                    out += "&#9;";
                    break;
                case '\n':
                    out += "&#10;";
                    break;
                case '\r':
                    out += "&#13;";
                    break;
                default:
                    if (static_cast<unsigned char>(c) >= 0x20) out += c;
                    break;
            }
            ++i;
            continue;
        }
        char32_t cp = 0;
        const std::size_t len = DecodeUtf8(utf8, i, cp);
        if (len == 0) {
            out += '?';
            ++i;
            continue;
        }
        i += len;
        if (cp == 0xFFFE || cp == 0xFFFF) continue;
        const auto it = std::lower_bound(
            reverse.begin(), reverse.end(), cp,
            [](const Cp1251Entry& e, char32_t value) { return e.codePoint < value; });
        if (it != reverse.end() && it->codePoint == cp) {
            out += static_cast<char>(it->byte);
        } else {
            char ref[16];
            const int n = std::snprintf(ref, sizeof ref, "&#%u;", static_cast<unsigned>(cp));
            out.append(ref, static_cast<std::size_t>(n));
        }
    }
}

}  // namespace

void AppendAttributeText(std::string& out, std::string_view utf8) {
    AppendCp1251(out, utf8, true);
}

void AppendWindows1251(std::string& out, std::string_view utf8) {
    AppendCp1251(out, utf8, false);
}

}  // namespace tarvik::xml
