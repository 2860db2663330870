// Small async-signal-safe helpers: plain system calls, no allocation, no
// stdio, no locale. Everything the crash handler touches goes through these.
#pragma once

#include <sys/types.h>

#include <cstddef>
#include <cstdint>

namespace kestrel {

pid_t CurrentThreadId() noexcept;

// Writes all `size` bytes, retrying after interruptions. False on any error.
bool WriteAll(int fd, const void* data, std::size_t size) noexcept;

// Reads the whole file (or its first `capacity` bytes) into `buffer`.
// Returns the number of bytes read, or -1 when the file cannot be opened.
long ReadWholeFile(const char* path, char* buffer, std::size_t capacity) noexcept;

// Copies `size` bytes of this process's memory at `address` without touching
// it directly, so an unmapped or unreadable address gives false instead of a
// fault.
bool ReadMemory(std::uintptr_t address, void* out, std::size_t size) noexcept;

// Appends the decimal digits of `value` at `out`, which must have room for
// 20 characters. Returns the position after the last digit.
char* AppendDecimal(char* out, std::uint64_t value) noexcept;

// Parses hexadecimal digits at `*cursor` (up to `end`), advancing the
// cursor. False when there was no digit.
bool ParseHex(const char** cursor, const char* end, std::uint64_t* value) noexcept;
bool ParseDecimal(const char** cursor, const char* end, std::uint64_t* value) noexcept;

}  // namespace kestrel
