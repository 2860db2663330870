// The name of the dump file, derived from the executable's path.
#pragma once

#include <cstddef>

namespace kestrel {

// Writes the dump file name for the executable at `exe` (`length` bytes,
// not necessarily terminated) into `out` with its terminating zero: the
// file-name part loses everything from its last "." and gets ".dmp"; a name
// without "." (or whose only "." starts it) gets ".dmp" appended. A " (deleted)"
// suffix, which the kernel adds when the file was replaced, is ignored.
// Returns the length, or 0 when it does not fit into `capacity`.
std::size_t MakeDumpPath(const char* exe, std::size_t length, char* out,
                         std::size_t capacity) noexcept;

}  // namespace kestrel
