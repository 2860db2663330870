#include "HtmlPage.h"

#include <algorithm>
#include <charconv>

std::string PageText(HTML_DOC page) {
    char* buffer = nullptr;
    std::uint64_t size = 0;
    if (GetHtmlText(page, buffer, size) != 1) return {};
    std::vector<char> text(size + 1, '\0');
    buffer = text.data();
    std::uint64_t capacity = size + 1;
    if (GetHtmlText(page, buffer, capacity) != 1) return {};
    return std::string(text.data(), capacity);
}

namespace {

void Collect(xmlNodePtr node, std::vector<xmlNodePtr>& out) {
    for (; node; node = node->next) {
        if (node->type == XML_ELEMENT_NODE) {
            out.push_back(node);
            Collect(node->children, out);
        }
    }
}

}  // namespace

HtmlPage::HtmlPage(const std::string& text)
    : Doc(htmlReadMemory(text.data(), static_cast<int>(text.size()), "page.html", "UTF-8",
                         HTML_PARSE_NONET | HTML_PARSE_NOERROR | HTML_PARSE_NOWARNING)) {
    if (Doc) Collect(xmlDocGetRootElement(Doc.get()), All);
}

std::vector<xmlNodePtr> HtmlPage::ByTag(const std::string& tag) const {
    std::vector<xmlNodePtr> out;
    for (xmlNodePtr node : All) {
        if (Name(node) == tag) out.push_back(node);
    }
    return out;
}

std::vector<xmlNodePtr> HtmlPage::ById(const std::string& id) const {
    std::vector<xmlNodePtr> out;
    for (xmlNodePtr node : All) {
        if (Attr(node, "id") == id) out.push_back(node);
    }
    return out;
}

std::optional<std::string> HtmlPage::Attr(xmlNodePtr node, const char* name) {
    xmlAttrPtr attr = xmlHasProp(node, reinterpret_cast<const xmlChar*>(name));
    if (!attr) return std::nullopt;
    xmlChar* value = xmlNodeGetContent(reinterpret_cast<xmlNodePtr>(attr));
    std::string text = value ? reinterpret_cast<const char*>(value) : "";
    xmlFree(value);
    return text;
}

std::string HtmlPage::Name(xmlNodePtr node) {
    return reinterpret_cast<const char*>(node->name);
}

std::string HtmlPage::Text(xmlNodePtr node) {
    xmlChar* value = xmlNodeGetContent(node);
    std::string text = value ? reinterpret_cast<const char*>(value) : "";
    xmlFree(value);
    return text;
}

bool HtmlPage::IsHidden(xmlNodePtr node) {
    for (; node && node->type == XML_ELEMENT_NODE; node = node->parent) {
        if (Attr(node, "hidden")) return true;
        if (Name(node) == "input" && Attr(node, "type") == "hidden") return true;
    }
    return false;
}

xmlNodePtr HtmlPage::Ancestor(xmlNodePtr node, const std::string& tag) {
    for (node = node->parent; node && node->type == XML_ELEMENT_NODE; node = node->parent) {
        if (Name(node) == tag) return node;
    }
    return nullptr;
}

std::vector<std::string> TabOrder(const HtmlPage& page) {
    struct Stop {
        int TabIndex;
        std::size_t Position;
        std::string Id;
    };
    std::vector<Stop> stops;
    std::size_t position = 0;
    for (xmlNodePtr input : page.ByTag("input")) {
        ++position;
        if (HtmlPage::IsHidden(input) || HtmlPage::Attr(input, "disabled")) continue;
        int tabindex = 0;
        if (auto text = HtmlPage::Attr(input, "tabindex")) {
            std::from_chars(text->data(), text->data() + text->size(), tabindex);
        }
        if (tabindex < 0) continue;
        stops.push_back({tabindex, position, HtmlPage::Attr(input, "id").value_or("")});
    }
    std::stable_sort(stops.begin(), stops.end(), [](const Stop& a, const Stop& b) {
        if ((a.TabIndex > 0) != (b.TabIndex > 0)) return a.TabIndex > 0;
        if (a.TabIndex > 0 && a.TabIndex != b.TabIndex) return a.TabIndex < b.TabIndex;
        return a.Position < b.Position;
    });
    std::vector<std::string> ids;
    for (const Stop& stop : stops) ids.push_back(stop.Id);
    return ids;
}
