// TarvikPages: the HTML markup of the pages of form 4 of the Social
// Insurance Fund that the program shows and the user types into.
//
// The pages are compiled into the library. A page is handed out either as
// the address of a file that the library writes into the user's cache
// folder (GetLocalURL) or as its text (GetHtmlText). Texts are UTF-8.
#pragma once

#include <cstdint>

#if defined(TARVIK_PAGES_BUILD)
#define TARVIK_PAGES_API __attribute__((visibility("default")))
#else
#define TARVIK_PAGES_API
#endif

// The pages of the library.
enum HTML_DOC {
    HTML_DOC_TITLE = 0,      // title page ("Титульный лист")
    HTML_DOC_TABLE6_7 = 10,  // printed tables 1 and 2 ("Таб. 1,2")
    HTML_DOC_TABLE6_1 = 11,  // printed table 1.1 ("Таб. 1.1")
    HTML_DOC_TABLE8_9 = 12,  // printed tables 3 and 4 ("Таб. 3,4")
    HTML_DOC_TABLE10 = 13,   // printed table 5 ("Таб. 5")
    HTML_DOC_SKE_HEAD = 14,  // leading part of the SKE table, ends inside an open table
};

// Writes the null-terminated file:// address of the page into buffer, which
// holds capacity bytes (the program passes 260). The page file lives in
// $XDG_CACHE_HOME/tarvik/pages/<version>/ (else ~/.cache/tarvik/pages/...)
// and is (re)written whenever it is missing or differs from the page of
// this library. Returns 1 on success; 0 for an unknown page, a null
// buffer, an address that does not fit, or a file that cannot be written.
// Never writes past capacity bytes.
TARVIK_PAGES_API int GetLocalURL(HTML_DOC page, char*& buffer, std::uint32_t capacity);

// Hands out the text of the page in two calls:
// 1. buffer null: stores the text length (without terminator) in size and
//    returns 1.
// 2. buffer of size bytes (at least length + 1): copies the text and a
//    terminating zero into it, stores the text length in size and
//    returns 1.
// Returns 0 for an unknown page and when the buffer is too small; then the
// buffer is left untouched.
TARVIK_PAGES_API int GetHtmlText(HTML_DOC page, char*& buffer, std::uint64_t& size);

// The version of the library as four numbers.
struct TarvikPagesVersion {
    unsigned Major = 0;
    unsigned Minor = 0;
    unsigned Build = 0;
    unsigned Revision = 0;
};
TARVIK_PAGES_API TarvikPagesVersion GetPagesVersion();
