// The ELF objects mapped into the process, found from its maps text, with
// the GNU build id each one carries.
#pragma once

#include <cstddef>
#include <cstdint>

namespace kestrel {

struct ModuleInfo {
    std::uint64_t base = 0;  // start of the mapping at file offset 0
    std::uint64_t end = 0;   // end of the last consecutive mapping of the same file
    const char* path = nullptr;
    std::size_t pathLength = 0;
    std::uint8_t buildId[64] = {};
    std::size_t buildIdLength = 0;  // 0 when the object has no build id note
    std::uint32_t nameRva = 0;      // where the dump holds the name and the build id
    std::uint32_t cvRva = 0;
};

// Fills `modules` with the ELF objects of `maps`, in address order, at most
// `capacity`. Returns how many were found.
std::size_t CollectModules(const char* maps, std::size_t size, ModuleInfo* modules,
                           std::size_t capacity) noexcept;

// Reads the GNU build id of the ELF image loaded at `base` from memory.
std::size_t ReadBuildId(std::uint64_t base, std::uint64_t end, std::uint8_t* out,
                        std::size_t capacity) noexcept;

}  // namespace kestrel
