// Splits the one-line registration address of the title page into its
// nine parts when a file carries only the line.
#include <array>
#include <string>

#include "TarvikDocument.h"

namespace {

// Removes the text up to and including position `comma`, and one space
// right after it.
void DropThrough(std::string& rest, std::size_t comma) {
    std::size_t end = comma + 1;
    if (end < rest.size() && rest[end] == ' ') ++end;
    rest.erase(0, end);
}

}  // namespace

void RQTarvikDocument::ParseAddressString(RQForm4* form) {
    RQForm4TitleList& t = form->TitleList;
    std::string rest = t.CADDR;
    while (!rest.empty() && rest.back() == ' ') rest.pop_back();
    if (rest.empty()) return;

    std::string collapsed;
    collapsed.reserve(rest.size());
    for (char c : rest) {
        if (c == ' ' && !collapsed.empty() && collapsed.back() == ' ') continue;
        collapsed += c;
    }
    rest.swap(collapsed);

    std::size_t commas = 0;
    for (char c : rest) commas += c == ',';
    if (commas == 9) DropThrough(rest, rest.find(','));

    const std::array<std::string*, 9> parts = {&t.POST_INDEX, &t.ADDRESS_1, &t.ADDRESS_2,
                                               &t.ADDRESS_3,  &t.ADDRESS_4, &t.ADDRESS_5,
                                               &t.HOUSE,      &t.KORPUS,    &t.OFFICE};
    auto clearAll = [&] {
        for (std::string* part : parts) part->clear();
    };
    for (std::size_t i = 0; i < 7; ++i) {
        const auto comma = rest.find(',');
        if (comma == std::string::npos) return clearAll();
        *parts[i] = rest.substr(0, comma);
        DropThrough(rest, comma);
    }
    if (const auto comma = rest.find(','); comma != std::string::npos) {
        t.KORPUS = rest.substr(0, comma);
        DropThrough(rest, comma);
        if (!rest.empty()) t.OFFICE = rest;
    } else if (!rest.empty()) {
        t.OFFICE = rest;
        t.KORPUS.clear();
    } else {
        clearAll();
    }
}
