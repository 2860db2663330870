// Walks the lines of a /proc/<pid>/maps text held in memory.
#pragma once

#include <cstddef>
#include <cstdint>

namespace kestrel {

struct MapsLine {
    std::uint64_t start = 0;
    std::uint64_t end = 0;
    bool readable = false;
    std::uint64_t offset = 0;
    std::uint64_t devMajor = 0;
    std::uint64_t devMinor = 0;
    std::uint64_t inode = 0;
    const char* path = nullptr;  // not terminated; empty for anonymous memory
    std::size_t pathLength = 0;
};

class MapsCursor {
public:
    MapsCursor(const char* text, std::size_t size) noexcept : p_(text), end_(text + size) {}
    // Parses the next complete line; lines that do not parse are skipped.
    bool Next(MapsLine* line) noexcept;

private:
    const char* p_;
    const char* end_;
};

// The mapping containing `address`, or false.
bool FindMapping(const char* maps, std::size_t size, std::uint64_t address,
                 MapsLine* found) noexcept;

}  // namespace kestrel
