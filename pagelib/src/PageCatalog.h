// The pages compiled into the library.
#pragma once

#include <string>
#include <string_view>

#include "TarvikPages.h"

namespace tarvik_pages {

struct Page {
    HTML_DOC Id;
    std::string_view FileName;  // name of the page file in the cache folder
    std::string Text;           // UTF-8 markup, complete with its style
};

// The page with that id, or null when the library has no such page.
const Page* FindPage(HTML_DOC id);

// The library's version "a.b.c.d".
std::string_view PagesVersionText();

}  // namespace tarvik_pages
