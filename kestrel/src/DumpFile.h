// Sequential writer of the dump file through a preallocated buffer, with
// plain write(2) calls. Remembers the first failure; later calls do nothing.
#pragma once

#include <cstddef>
#include <cstdint>

namespace kestrel {

class DumpFile {
public:
    DumpFile(int fd, unsigned char* buffer, std::size_t capacity) noexcept
        : fd_(fd), buffer_(buffer), capacity_(capacity) {}

    bool Ok() const noexcept { return ok_; }
    // The offset the next byte goes to.
    std::uint64_t Position() const noexcept { return position_; }
    // Position() as a 32-bit file offset; fails the file when it is larger.
    std::uint32_t Rva() noexcept;

    void Put(const void* data, std::size_t size) noexcept;
    void PutZeros(std::size_t size) noexcept;
    void PutU32(std::uint32_t value) noexcept { Put(&value, sizeof value); }
    void AlignTo(std::size_t alignment) noexcept;
    // Copies this process's memory; pages that cannot be read become zeros.
    void PutMemory(std::uint64_t address, std::size_t size) noexcept;
    // Writes UTF-8 text as a minidump string: byte length, UTF-16, zero.
    void PutString(const char* utf8, std::size_t length) noexcept;

    // Writes out what is buffered.
    bool Flush() noexcept;
    // Overwrites bytes already written (after Flush).
    bool PatchAt(std::uint64_t offset, const void* data, std::size_t size) noexcept;

private:
    unsigned char* Reserve(std::size_t size) noexcept;

    int fd_;
    unsigned char* buffer_;
    std::size_t capacity_;
    std::size_t used_ = 0;
    std::uint64_t position_ = 0;
    bool ok_ = true;
};

// The number of UTF-16 units of UTF-8 text; malformed bytes count as one
// replacement character each.
std::size_t Utf16Length(const char* utf8, std::size_t length) noexcept;

}  // namespace kestrel
