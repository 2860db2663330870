#include "SystemInfo.h"

#include <cpuid.h>
#include <sys/utsname.h>
#include <unistd.h>

#include <cstring>

#include "SafeIo.h"

namespace kestrel {
namespace {

void FillProcessor(md::SystemInfo* info) noexcept {
    unsigned eax = 0, ebx = 0, ecx = 0, edx = 0;
    if (__get_cpuid(0, &eax, &ebx, &ecx, &edx) == 0) return;
    info->vendorId[0] = ebx;
    info->vendorId[1] = edx;
    info->vendorId[2] = ecx;
    if (__get_cpuid(1, &eax, &ebx, &ecx, &edx) == 0) return;
    info->versionInformation = eax;
    info->featureInformation = edx;
    unsigned family = (eax >> 8) & 0xf;
    unsigned model = (eax >> 4) & 0xf;
    if (family == 0xf) family += (eax >> 20) & 0xff;
    if (family >= 6) model += ((eax >> 16) & 0xf) << 4;
    info->processorLevel = static_cast<std::uint16_t>(family);
    info->processorRevision = static_cast<std::uint16_t>((model << 8) | (eax & 0xf));
    unsigned extEax = 0, extEbx = 0, extEcx = 0, extEdx = 0;
    if (__get_cpuid(0x80000001, &extEax, &extEbx, &extEcx, &extEdx) != 0) {
        info->amdExtendedCpuFeatures = extEcx;
    }
}

// "6.1.0-18-amd64" gives 6, 1 and 0.
void FillKernelVersion(const char* release, md::SystemInfo* info) noexcept {
    const char* p = release;
    const char* end = release + std::strlen(release);
    std::uint32_t parts[3] = {};
    for (std::uint32_t& part : parts) {
        std::uint64_t value = 0;
        if (!ParseDecimal(&p, end, &value)) break;
        part = static_cast<std::uint32_t>(value);
        if (p == end || *p != '.') break;
        ++p;
    }
    info->majorVersion = parts[0];
    info->minorVersion = parts[1];
    info->buildNumber = parts[2];
}

void AppendAscii(PreparedSystemInfo* out, const char* text) noexcept {
    constexpr std::uint32_t capacity = sizeof out->description / sizeof out->description[0] - 1;
    if (out->descriptionLength > 0 && out->descriptionLength < capacity) {
        out->description[out->descriptionLength++] = u' ';
    }
    for (const char* c = text; *c != '\0' && out->descriptionLength < capacity; ++c) {
        unsigned char byte = static_cast<unsigned char>(*c);
        out->description[out->descriptionLength++] = byte < 0x80 ? byte : u'?';
    }
}

}  // namespace

void PrepareSystemInfo(PreparedSystemInfo* out) noexcept {
    *out = PreparedSystemInfo{};
    md::SystemInfo& info = out->info;
    info.processorArchitecture = md::kArchitectureAmd64;
    long processors = sysconf(_SC_NPROCESSORS_CONF);
    info.numberOfProcessors =
        static_cast<std::uint8_t>(processors < 1 ? 1 : (processors > 255 ? 255 : processors));
    info.platformId = md::kPlatformLinux;
    FillProcessor(&info);
    utsname names;
    if (uname(&names) == 0) {
        FillKernelVersion(names.release, &info);
        AppendAscii(out, names.sysname);
        AppendAscii(out, names.release);
        AppendAscii(out, names.version);
        AppendAscii(out, names.machine);
    }
}

}  // namespace kestrel
