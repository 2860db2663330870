#include "DumpFile.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "SafeIo.h"

namespace kestrel {
namespace {

constexpr std::size_t kPage = 4096;

// Decodes one code point; malformed input gives U+FFFD and consumes a byte.
char32_t DecodeUtf8(const unsigned char** cursor, const unsigned char* end) noexcept {
    const unsigned char* p = *cursor;
    unsigned char lead = *p;
    *cursor = p + 1;
    int extra;
    if (lead < 0x80) {
        return lead;
    } else if (lead >= 0xc2 && lead < 0xe0) {
        extra = 1;
    } else if (lead >= 0xe0 && lead < 0xf0) {
        extra = 2;
    } else if (lead >= 0xf0 && lead < 0xf5) {
        extra = 3;
    } else {
        return 0xfffd;
    }
    if (end - p <= extra) return 0xfffd;
    char32_t value = lead & (0x3f >> extra);
    for (int i = 1; i <= extra; ++i) {
        if ((p[i] & 0xc0) != 0x80) return 0xfffd;
        value = (value << 6) | (p[i] & 0x3f);
    }
    static constexpr char32_t kMinimum[] = {0, 0x80, 0x800, 0x10000};
    if (value < kMinimum[extra] || value > 0x10ffff || (value >= 0xd800 && value < 0xe000)) {
        return 0xfffd;
    }
    *cursor = p + 1 + extra;
    return value;
}

}  // namespace

std::size_t Utf16Length(const char* utf8, std::size_t length) noexcept {
    auto p = reinterpret_cast<const unsigned char*>(utf8);
    const unsigned char* end = p + length;
    std::size_t units = 0;
    while (p < end) units += DecodeUtf8(&p, end) >= 0x10000 ? 2 : 1;
    return units;
}

std::uint32_t DumpFile::Rva() noexcept {
    if (position_ > 0xffffffffu) ok_ = false;
    return static_cast<std::uint32_t>(position_);
}

unsigned char* DumpFile::Reserve(std::size_t size) noexcept {
    if (!ok_) return nullptr;
    if (capacity_ - used_ < size && !Flush()) return nullptr;
    unsigned char* p = buffer_ + used_;
    used_ += size;
    position_ += size;
    return p;
}

void DumpFile::Put(const void* data, std::size_t size) noexcept {
    auto bytes = static_cast<const unsigned char*>(data);
    while (size > 0 && ok_) {
        std::size_t piece = size < capacity_ ? size : capacity_;
        unsigned char* p = Reserve(piece);
        if (p == nullptr) return;
        std::memcpy(p, bytes, piece);
        bytes += piece;
        size -= piece;
    }
}

void DumpFile::PutZeros(std::size_t size) noexcept {
    while (size > 0 && ok_) {
        std::size_t piece = size < capacity_ ? size : capacity_;
        unsigned char* p = Reserve(piece);
        if (p == nullptr) return;
        std::memset(p, 0, piece);
        size -= piece;
    }
}

void DumpFile::AlignTo(std::size_t alignment) noexcept {
    std::size_t rest = static_cast<std::size_t>(position_ % alignment);
    if (rest != 0) PutZeros(alignment - rest);
}

void DumpFile::PutMemory(std::uint64_t address, std::size_t size) noexcept {
    while (size > 0 && ok_) {
        // Page by page, so one unreadable page does not lose its neighbours.
        std::size_t piece = kPage - static_cast<std::size_t>(address % kPage);
        if (piece > size) piece = size;
        unsigned char* p = Reserve(piece);
        if (p == nullptr) return;
        if (!ReadMemory(address, p, piece)) std::memset(p, 0, piece);
        address += piece;
        size -= piece;
    }
}

void DumpFile::PutString(const char* utf8, std::size_t length) noexcept {
    PutU32(static_cast<std::uint32_t>(Utf16Length(utf8, length) * 2));
    auto p = reinterpret_cast<const unsigned char*>(utf8);
    const unsigned char* end = p + length;
    while (p < end && ok_) {
        char32_t c = DecodeUtf8(&p, end);
        char16_t units[2];
        std::size_t count = 1;
        if (c >= 0x10000) {
            c -= 0x10000;
            units[0] = static_cast<char16_t>(0xd800 + (c >> 10));
            units[1] = static_cast<char16_t>(0xdc00 + (c & 0x3ff));
            count = 2;
        } else {
            units[0] = static_cast<char16_t>(c);
        }
        Put(units, count * sizeof(char16_t));
    }
    PutZeros(sizeof(char16_t));
}

bool DumpFile::Flush() noexcept {
    if (!ok_) return false;
    if (used_ > 0 && !WriteAll(fd_, buffer_, used_)) ok_ = false;
    used_ = 0;
    return ok_;
}

bool DumpFile::PatchAt(std::uint64_t offset, const void* data, std::size_t size) noexcept {
    if (!Flush()) return false;
    auto bytes = static_cast<const unsigned char*>(data);
    while (size > 0) {
        ssize_t n = pwrite(fd_, bytes, size, static_cast<off_t>(offset));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return ok_ = false;
        bytes += n;
        offset += static_cast<std::uint64_t>(n);
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

}  // namespace kestrel
