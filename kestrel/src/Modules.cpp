#include "Modules.h"

#include <elf.h>

#include <cstring>

#include "ProcMaps.h"
#include "SafeIo.h"

namespace kestrel {
namespace {

constexpr std::size_t kMaxProgramHeaders = 64;
constexpr std::size_t kMaxNoteSegment = 2048;

bool IsElfImage(std::uint64_t base) noexcept {
    unsigned char ident[EI_NIDENT];
    if (!ReadMemory(base, ident, sizeof ident)) return false;
    return std::memcmp(ident, ELFMAG, SELFMAG) == 0 && ident[EI_CLASS] == ELFCLASS64;
}

bool SameFile(const MapsLine& a, const MapsLine& b) noexcept {
    return a.inode == b.inode && a.devMajor == b.devMajor && a.devMinor == b.devMinor &&
           a.pathLength == b.pathLength && std::memcmp(a.path, b.path, a.pathLength) == 0;
}

bool IsModuleStart(const MapsLine& line) noexcept {
    if (line.offset != 0 || !line.readable || line.pathLength == 0) return false;
    if (line.path[0] == '/') return line.inode != 0;
    // The kernel's virtual shared object is an ELF image without a file.
    return line.pathLength == 6 && std::memcmp(line.path, "[vdso]", 6) == 0;
}

// Searches the notes of one PT_NOTE segment for the GNU build id.
std::size_t FindBuildIdNote(const unsigned char* notes, std::size_t size, std::size_t align,
                            std::uint8_t* out, std::size_t capacity) noexcept {
    auto roundUp = [align](std::size_t n) { return (n + align - 1) & ~(align - 1); };
    std::size_t pos = 0;
    while (size - pos >= sizeof(Elf64_Nhdr)) {
        Elf64_Nhdr header;
        std::memcpy(&header, notes + pos, sizeof header);
        pos += sizeof header;
        std::size_t nameSize = roundUp(header.n_namesz);
        std::size_t descSize = roundUp(header.n_descsz);
        if (nameSize > size - pos || descSize > size - pos - nameSize) return 0;
        const unsigned char* name = notes + pos;
        const unsigned char* desc = name + nameSize;
        if (header.n_type == NT_GNU_BUILD_ID && header.n_namesz == 4 &&
            std::memcmp(name, "GNU", 4) == 0 && header.n_descsz > 0) {
            std::size_t length = header.n_descsz < capacity ? header.n_descsz : capacity;
            std::memcpy(out, desc, length);
            return length;
        }
        pos += nameSize + descSize;
    }
    return 0;
}

}  // namespace

std::size_t ReadBuildId(std::uint64_t base, std::uint64_t end, std::uint8_t* out,
                        std::size_t capacity) noexcept {
    Elf64_Ehdr elf;
    if (!ReadMemory(base, &elf, sizeof elf)) return 0;
    if (std::memcmp(elf.e_ident, ELFMAG, SELFMAG) != 0 || elf.e_ident[EI_CLASS] != ELFCLASS64 ||
        elf.e_phentsize != sizeof(Elf64_Phdr) || elf.e_phnum == 0 || elf.e_phoff >= end - base) {
        return 0;
    }
    Elf64_Phdr headers[kMaxProgramHeaders];
    std::size_t count = elf.e_phnum < kMaxProgramHeaders ? elf.e_phnum : kMaxProgramHeaders;
    if (!ReadMemory(base + elf.e_phoff, headers, count * sizeof(Elf64_Phdr))) return 0;

    // The mapping at `base` holds file offset 0; the first loadable segment
    // tells which virtual address that offset was linked at.
    std::uint64_t bias = 0;
    bool haveBias = false;
    for (std::size_t i = 0; i < count && !haveBias; ++i) {
        if (headers[i].p_type == PT_LOAD) {
            bias = base - (headers[i].p_vaddr - headers[i].p_offset);
            haveBias = true;
        }
    }
    if (!haveBias) return 0;

    unsigned char notes[kMaxNoteSegment];
    for (std::size_t i = 0; i < count; ++i) {
        const Elf64_Phdr& ph = headers[i];
        if (ph.p_type != PT_NOTE) continue;
        std::size_t size = ph.p_filesz < sizeof notes ? ph.p_filesz : sizeof notes;
        if (!ReadMemory(bias + ph.p_vaddr, notes, size)) continue;
        std::size_t align = ph.p_align == 8 ? 8 : 4;
        std::size_t length = FindBuildIdNote(notes, size, align, out, capacity);
        if (length > 0) return length;
    }
    return 0;
}

std::size_t CollectModules(const char* maps, std::size_t size, ModuleInfo* modules,
                           std::size_t capacity) noexcept {
    std::size_t count = 0;
    MapsCursor cursor(maps, size);
    MapsLine line;
    MapsLine first;
    bool open = false;
    auto finish = [&] {
        if (!open) return;
        open = false;
        if (count >= capacity || !IsElfImage(modules[count].base)) return;
        ModuleInfo& m = modules[count];
        m.buildIdLength = ReadBuildId(m.base, m.end, m.buildId, sizeof m.buildId);
        ++count;
    };
    while (cursor.Next(&line)) {
        if (open && line.offset != 0 && SameFile(first, line)) {
            modules[count].end = line.end;
            continue;
        }
        finish();
        if (count >= capacity) break;
        if (IsModuleStart(line)) {
            first = line;
            open = true;
            ModuleInfo& m = modules[count];
            m = ModuleInfo{};
            m.base = line.start;
            m.end = line.end;
            m.path = line.path;
            m.pathLength = line.pathLength;
        }
    }
    finish();
    return count;
}

}  // namespace kestrel
