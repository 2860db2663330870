// A page of the library parsed with libxml2's HTML parser, for the tests.
#pragma once

#include <libxml/HTMLparser.h>

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "TarvikPages.h"

// The text of a page through the library's two-call protocol.
std::string PageText(HTML_DOC page);

class HtmlPage {
public:
    explicit HtmlPage(const std::string& text);

    bool Parsed() const { return Doc != nullptr; }
    // Every element in document order.
    const std::vector<xmlNodePtr>& Elements() const { return All; }
    // Elements with that tag name (lower case).
    std::vector<xmlNodePtr> ByTag(const std::string& tag) const;
    // The elements whose id attribute is id (a valid page has at most one).
    std::vector<xmlNodePtr> ById(const std::string& id) const;

    static std::optional<std::string> Attr(xmlNodePtr node, const char* name);
    static std::string Name(xmlNodePtr node);
    static std::string Text(xmlNodePtr node);
    // True when the node or an ancestor carries the hidden attribute.
    static bool IsHidden(xmlNodePtr node);
    // The nearest ancestor with that tag name, or null.
    static xmlNodePtr Ancestor(xmlNodePtr node, const std::string& tag);

private:
    struct Free {
        void operator()(xmlDoc* doc) const { xmlFreeDoc(doc); }
    };
    std::unique_ptr<xmlDoc, Free> Doc;
    std::vector<xmlNodePtr> All;
};

// The cells of a page in the order a user reaches them with the Tab key:
// focusable inputs with a positive tabindex by ascending tabindex, then
// those with tabindex 0 or none in document order. Inputs that are hidden
// or have a negative tabindex are left out.
std::vector<std::string> TabOrder(const HtmlPage& page);
