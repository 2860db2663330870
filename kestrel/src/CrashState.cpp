#include "CrashState.h"

#include <sys/mman.h>
#include <unistd.h>

#include "DumpPath.h"

namespace kestrel {
namespace {

constexpr std::size_t kMapsCapacity = 8u << 20;
constexpr std::size_t kOutputCapacity = 64u << 10;
constexpr std::size_t kScratchCapacity = 64u << 10;
constexpr std::size_t kModuleCapacity = 2048;
constexpr std::size_t kThreadCapacity = 4096;

CrashState state;
bool prepared = false;

constexpr std::size_t RoundUp(std::size_t n) {
    return (n + 4095) & ~std::size_t{4095};
}

bool FindDumpPath(CrashState* s) noexcept {
    char exe[PATH_MAX];
    ssize_t length = readlink("/proc/self/exe", exe, sizeof exe);
    if (length <= 0 || static_cast<std::size_t>(length) >= sizeof exe) return false;
    s->dumpPathLength =
        MakeDumpPath(exe, static_cast<std::size_t>(length), s->dumpPath, sizeof s->dumpPath);
    return s->dumpPathLength > 0;
}

// One reservation for all buffers; pages are only backed once touched.
bool ReserveBuffers(CrashState* s) noexcept {
    const std::size_t sizes[] = {
        RoundUp(kMapsCapacity),
        RoundUp(kOutputCapacity),
        RoundUp(kScratchCapacity),
        RoundUp(kModuleCapacity * sizeof(ModuleInfo)),
        RoundUp(kThreadCapacity * sizeof(ThreadInfo)),
    };
    std::size_t total = 0;
    for (std::size_t size : sizes) total += size;
    void* area = mmap(nullptr, total, PROT_READ | PROT_WRITE,
                      MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
    if (area == MAP_FAILED) return false;
    char* p = static_cast<char*>(area);
    s->maps = p;
    s->mapsCapacity = kMapsCapacity;
    p += sizes[0];
    s->output = reinterpret_cast<unsigned char*>(p);
    s->outputCapacity = kOutputCapacity;
    p += sizes[1];
    s->scratch = p;
    s->scratchCapacity = kScratchCapacity;
    p += sizes[2];
    s->modules = reinterpret_cast<ModuleInfo*>(p);
    s->moduleCapacity = kModuleCapacity;
    p += sizes[3];
    s->threads = reinterpret_cast<ThreadInfo*>(p);
    s->threadCapacity = kThreadCapacity;
    return true;
}

}  // namespace

CrashState* PrepareCrashState() noexcept {
    if (prepared) return &state;
    if (!FindDumpPath(&state) || !ReserveBuffers(&state)) return nullptr;
    PrepareSystemInfo(&state.system);
    prepared = true;
    return &state;
}

CrashState* PreparedCrashState() noexcept {
    return prepared ? &state : nullptr;
}

}  // namespace kestrel
