// Whole-file reads and writes for the report files.
#pragma once

#include <memory>
#include <string>
#include <string_view>

namespace tarvik::file {

// Status of a file operation: 0, an errno value, or one of the library's
// codes (8 not enough memory, 30 size not available, 1627 short read).
struct FileStatus {
    int code = 0;
    std::string reason;  // in Russian, without the file name
};

// A regular file open for reading, closed with the object.
class InputFile {
public:
    InputFile() = default;
    InputFile(const InputFile&) = delete;
    InputFile& operator=(const InputFile&) = delete;
    ~InputFile();

    // Opens a regular file. A directory fails with EISDIR, another kind of
    // file (device, pipe) with 30, a file too large for the library's text
    // length with 8.
    FileStatus Open(const char* path);
    int Descriptor() const { return fd_; }
    std::size_t Size() const { return size_; }
    // Appends up to count more bytes to text; fewer only at the end of the
    // file. A failed read gives its errno, no memory 8.
    FileStatus Read(std::size_t count, std::string& text);

private:
    int fd_ = -1;
    std::size_t size_ = 0;
};

// Reads the next bytes of a descriptor into buffer (up to length): the
// count read, 0 at the end, -1 with errno set on failure.
long ReadSome(int fd, char* buffer, std::size_t length);

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
