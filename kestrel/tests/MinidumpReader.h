// A small reader of minidump files, written from the file format alone, so
// that the tests check the dump as another tool would see it.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace kestrel::test {

struct DumpContext {
    std::uint32_t size = 0;
    std::uint32_t flags = 0;
    std::uint64_t rsp = 0;
    std::uint64_t rbp = 0;
    std::uint64_t rip = 0;
};

struct DumpStream {
    std::uint32_t type = 0;
    std::uint32_t rva = 0;
    std::uint32_t size = 0;
};

struct DumpThread {
    std::uint32_t id = 0;
    std::uint64_t stackStart = 0;
    std::vector<std::uint8_t> stack;
    DumpContext context;
};

struct DumpModule {
    std::uint64_t base = 0;
    std::uint32_t size = 0;
    std::string name;
    std::uint32_t cvSignature = 0;  // 0 when the module has no CodeView record
    std::vector<std::uint8_t> buildId;
};

struct DumpMemoryRange {
    std::uint64_t start = 0;
    std::uint32_t size = 0;
    std::uint32_t rva = 0;
};

struct Minidump {
    std::uint32_t version = 0;
    std::uint64_t fileSize = 0;
    std::vector<DumpStream> streams;

    std::uint16_t architecture = 0;
    std::uint32_t platform = 0;
    std::uint8_t processors = 0;
    std::string systemDescription;

    std::uint32_t processId = 0;

    std::uint32_t exceptionThread = 0;
    std::uint32_t exceptionCode = 0;
    std::uint32_t exceptionFlags = 0;
    std::uint64_t exceptionAddress = 0;
    DumpContext exceptionContext;

    std::vector<DumpThread> threads;
    std::vector<DumpModule> modules;
    std::vector<DumpMemoryRange> memory;
    std::string maps;
    std::optional<std::string> procStatus;

    const DumpStream* Find(std::uint32_t type) const;
    const DumpThread* Thread(std::uint32_t id) const;
    // The module whose name is `path`, or the one containing `address`.
    const DumpModule* ModuleNamed(const std::string& path) const;
    const DumpModule* ModuleAt(std::uint64_t address) const;
};

constexpr std::uint32_t kCvPdb70 = 0x53445352;       // "RSDS"
constexpr std::uint32_t kCvElfBuildId = 0x4270454c;  // "LEpB"
constexpr std::uint32_t kContextAmd64 = 0x00100000;

// Parses the whole file; throws std::runtime_error with the reason when the
// file is not a consistent minidump (any location outside the file, a
// missing or malformed stream, a wrong signature).
Minidump ReadMinidump(const std::vector<std::uint8_t>& bytes);

std::vector<std::uint8_t> ReadFileBytes(const std::string& path);

// The GNU build id of an ELF file, read from the file's note segments.
std::vector<std::uint8_t> ReadElfBuildId(const std::string& path);

}  // namespace kestrel::test
