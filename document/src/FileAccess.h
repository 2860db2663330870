// Whole-file reads and writes for the report files.
#pragma once

#include <memory>
#include <string>
#include <string_view>

namespace tarvik::file {

// The whole content of a file, zero-terminated.
struct FileText {
    std::unique_ptr<char[]> data;
    std::size_t size = 0;
};

// Status of a file operation: 0, an errno value, or one of the library's
// codes (8 not enough memory, 30 size not available, 1627 short read).
struct FileStatus {
    int code = 0;
    std::string reason;  // in Russian, without the file name
};

// Reads a regular file whole. A directory fails with EISDIR, another kind
// of file (device, pipe) with 30; a file too large for the library's text
// length, or without memory for it, with 8.
FileStatus ReadWholeFile(const char* path, FileText& text);

// Replaces the content of path as a whole: the data is written to a new
// file in the same folder, flushed to disk and renamed over path (for a
// symbolic link, over the file it points to). An existing file keeps its
// permissions; a file without write permission is not replaced (EACCES).
// On failure path is left as it was and the errno value is returned.
int ReplaceFile(const char* path, std::string_view head, std::string_view body);

// Copies a file to target, overwriting it; 0 or an errno value.
int CopyFile(const char* source, const std::string& target);

// The part of a path after its last '/' (the whole path without one).
std::string BaseName(std::string_view path);

// The system's text for an errno value.
std::string SystemMessage(int error);

}  // namespace tarvik::file
