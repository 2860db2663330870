// Everything the crash handler needs, prepared before any crash: the dump
// file name, the system information and the buffers the dump is assembled
// in. The handler itself never allocates.
#pragma once

#include <limits.h>
#include <sys/types.h>

#include <cstddef>
#include <cstdint>

#include "CpuContext.h"
#include "Modules.h"
#include "SystemInfo.h"
#include "Threads.h"

namespace kestrel {

struct CrashState {
    char dumpPath[PATH_MAX] = {};
    std::size_t dumpPathLength = 0;
    PreparedSystemInfo system;

    char* maps = nullptr;  // the text of /proc/self/maps
    std::size_t mapsCapacity = 0;
    unsigned char* output = nullptr;  // the dump file's write buffer
    std::size_t outputCapacity = 0;
    char* scratch = nullptr;  // directory entries and small /proc files
    std::size_t scratchCapacity = 0;
    ModuleInfo* modules = nullptr;
    std::size_t moduleCapacity = 0;
    ThreadInfo* threads = nullptr;
    std::size_t threadCapacity = 0;
    CpuContext context{};  // the crashing thread's registers
};

// Prepares the state on the first call; later calls keep it. Null when the
// executable's path cannot be found or the buffers cannot be reserved.
CrashState* PrepareCrashState() noexcept;

// The prepared state, or null.
CrashState* PreparedCrashState() noexcept;

}  // namespace kestrel
