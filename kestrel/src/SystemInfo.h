// The system information stream, gathered once while the handler is set up.
#pragma once

#include <cstdint>

#include "MinidumpFormat.h"

namespace kestrel {

struct PreparedSystemInfo {
    md::SystemInfo info{};
    // "<kernel name> <release> <version> <machine>" as UTF-16, the text the
    // stream's CSD version string carries.
    char16_t description[400] = {};
    std::uint32_t descriptionLength = 0;
};

void PrepareSystemInfo(PreparedSystemInfo* out) noexcept;

}  // namespace kestrel
