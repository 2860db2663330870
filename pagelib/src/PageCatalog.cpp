#include "PageCatalog.h"

#include <array>
#include <cstddef>
#include <string>

// Byte arrays made from pagelib/pages/*.html and the shared style sheet
// pagelib/pages/form.css at build time.
#define TARVIK_EMBEDDED_PAGE(stem)             \
    extern const unsigned char pages_##stem[]; \
    extern const std::size_t pages_##stem##_size;
TARVIK_EMBEDDED_PAGE(title)
TARVIK_EMBEDDED_PAGE(tables1_2)
TARVIK_EMBEDDED_PAGE(table1_1)
TARVIK_EMBEDDED_PAGE(tables3_4)
TARVIK_EMBEDDED_PAGE(table5)
TARVIK_EMBEDDED_PAGE(ske_head)
TARVIK_EMBEDDED_PAGE(form)
#undef TARVIK_EMBEDDED_PAGE

namespace tarvik_pages {
namespace {

std::string_view Bytes(const unsigned char* data, std::size_t size) {
    return {reinterpret_cast<const char*>(data), size};
}

// The line in a page's style element that stands for the shared style.
constexpr std::string_view kFormStyleMarker = "/*FORM_CSS*/\n";

// The complete page: its markup with the shared style put in place of the
// marker.
std::string Assemble(std::string_view markup) {
    std::string_view style = Bytes(pages_form, pages_form_size);
    std::string text(markup);
    std::size_t at = text.find(kFormStyleMarker);
    if (at != std::string::npos) text.replace(at, kFormStyleMarker.size(), style);
    return text;
}

// Assembled once, on first use; the texts live as long as the library.
const std::array<Page, 6>& Catalog() {
    static const std::array<Page, 6> pages = {{
        {HTML_DOC_TITLE, "title.html", Assemble(Bytes(pages_title, pages_title_size))},
        {HTML_DOC_TABLE6_7, "tables1_2.html",
         Assemble(Bytes(pages_tables1_2, pages_tables1_2_size))},
        {HTML_DOC_TABLE6_1, "table1_1.html", Assemble(Bytes(pages_table1_1, pages_table1_1_size))},
        {HTML_DOC_TABLE8_9, "tables3_4.html",
         Assemble(Bytes(pages_tables3_4, pages_tables3_4_size))},
        {HTML_DOC_TABLE10, "table5.html", Assemble(Bytes(pages_table5, pages_table5_size))},
        {HTML_DOC_SKE_HEAD, "ske_head.html", Assemble(Bytes(pages_ske_head, pages_ske_head_size))},
    }};
    return pages;
}

}  // namespace

const Page* FindPage(HTML_DOC id) {
    for (const Page& page : Catalog()) {
        if (page.Id == id) return &page;
    }
    return nullptr;
}

std::string_view PagesVersionText() {
    return TARVIK_PAGES_VERSION;
}

}  // namespace tarvik_pages
