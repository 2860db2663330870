// The exported functions of the library.
#include <charconv>
#include <cstring>

#include "PageCache.h"
#include "PageCatalog.h"
#include "TarvikPages.h"

using tarvik_pages::FindPage;
using tarvik_pages::Page;

int GetLocalURL(HTML_DOC id, char*& buffer, std::uint32_t capacity) {
    const Page* page = FindPage(id);
    if (!page || !buffer || capacity == 0) return 0;
    buffer[0] = '\0';

    std::string folder = tarvik_pages::PageFolder();
    if (folder.empty()) return 0;
    // Check the address fits before touching the disk.
    std::string url = tarvik_pages::FileUrl(folder + "/" + std::string(page->FileName));
    if (url.size() + 1 > capacity) return 0;
    if (!tarvik_pages::WritePageFile(folder, *page)) return 0;

    std::memcpy(buffer, url.data(), url.size());
    buffer[url.size()] = '\0';
    return 1;
}

int GetHtmlText(HTML_DOC id, char*& buffer, std::uint64_t& size) {
    const Page* page = FindPage(id);
    if (!page) return 0;
    std::uint64_t length = page->Text.size();
    if (!buffer) {
        size = length;
        return 1;
    }
    if (size < length + 1) return 0;
    std::memcpy(buffer, page->Text.data(), page->Text.size());
    buffer[page->Text.size()] = '\0';
    size = length;
    return 1;
}

TarvikPagesVersion GetPagesVersion() {
    TarvikPagesVersion version;
    unsigned* parts[] = {&version.Major, &version.Minor, &version.Build, &version.Revision};
    std::string_view text = tarvik_pages::PagesVersionText();
    const char* at = text.data();
    const char* end = text.data() + text.size();
    for (unsigned* part : parts) {
        auto [next, error] = std::from_chars(at, end, *part);
        if (error != std::errc()) break;
        at = next;
        if (at == end || *at != '.') break;
        ++at;
    }
    return version;
}
