#include "DumpPath.h"

#include <cstring>

namespace kestrel {

std::size_t MakeDumpPath(const char* exe, std::size_t length, char* out,
                         std::size_t capacity) noexcept {
    static constexpr char kDeleted[] = " (deleted)";
    static constexpr std::size_t kDeletedLength = sizeof kDeleted - 1;
    static constexpr char kExtension[] = ".dmp";
    if (length > kDeletedLength &&
        std::memcmp(exe + length - kDeletedLength, kDeleted, kDeletedLength) == 0) {
        length -= kDeletedLength;
    }
    std::size_t nameStart = 0;
    for (std::size_t i = 0; i < length; ++i) {
        if (exe[i] == '/') nameStart = i + 1;
    }
    std::size_t stem = length;
    for (std::size_t i = length; i > nameStart + 1; --i) {
        if (exe[i - 1] == '.') {
            stem = i - 1;
            break;
        }
    }
    if (stem == nameStart || stem + sizeof kExtension > capacity) return 0;
    std::memcpy(out, exe, stem);
    std::memcpy(out + stem, kExtension, sizeof kExtension);
    return stem + sizeof kExtension - 1;
}

}  // namespace kestrel
