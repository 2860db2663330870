// The per-user folder into which the pages are written for the browser.
#pragma once

#include <optional>
#include <string>

#include "PageCatalog.h"

namespace tarvik_pages {

// The folder of this version's pages: $XDG_CACHE_HOME/tarvik/pages/<version>
// when XDG_CACHE_HOME is an absolute path, else $HOME/.cache/...; the home
// folder comes from the password database when HOME is not set. Empty when
// no home folder is known.
std::string PageFolder();

// Makes sure the page's file in the folder holds exactly the page's text:
// an existing file with the same content is kept, anything else is replaced
// atomically (written to a temporary file, then renamed over it). Returns
// the file's path, or nothing when the folder or file cannot be written.
std::optional<std::string> WritePageFile(const std::string& folder, const Page& page);

// The file:// address of an absolute path, with every byte outside the
// unreserved characters and "/" percent-encoded.
std::string FileUrl(const std::string& path);

}  // namespace tarvik_pages
