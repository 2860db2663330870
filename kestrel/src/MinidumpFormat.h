// The records of the minidump file format, laid out byte for byte as they
// appear in the file (little-endian, no padding), with the stream types that
// Linux crash tools add for /proc files.
#pragma once

#include <cstdint>

namespace kestrel::md {

constexpr std::uint32_t kSignature = 0x504d444d;  // "MDMP"
constexpr std::uint32_t kVersion = 0xa793;

enum StreamType : std::uint32_t {
    kThreadListStream = 3,
    kModuleListStream = 4,
    kMemoryListStream = 5,
    kExceptionStream = 6,
    kSystemInfoStream = 7,
    kMiscInfoStream = 15,
    kLinuxProcStatus = 0x47670004,
    kLinuxCmdLine = 0x47670006,
    kLinuxAuxv = 0x47670008,
    kLinuxMaps = 0x47670009,
};

constexpr std::uint16_t kArchitectureAmd64 = 9;
constexpr std::uint32_t kPlatformLinux = 0x8201;
constexpr std::uint32_t kMiscProcessId = 0x1;
// CodeView record holding an ELF build id: this signature, then the id bytes.
constexpr std::uint32_t kCvElfBuildId = 0x4270454c;  // "LEpB"

struct __attribute__((packed)) Location {
    std::uint32_t dataSize;
    std::uint32_t rva;
};

struct __attribute__((packed)) MemoryDescriptor {
    std::uint64_t startOfMemoryRange;
    Location memory;
};

struct __attribute__((packed)) Header {
    std::uint32_t signature;
    std::uint32_t version;
    std::uint32_t numberOfStreams;
    std::uint32_t streamDirectoryRva;
    std::uint32_t checkSum;
    std::uint32_t timeDateStamp;
    std::uint64_t flags;
};

struct __attribute__((packed)) Directory {
    std::uint32_t streamType;
    Location location;
};

struct __attribute__((packed)) SystemInfo {
    std::uint16_t processorArchitecture;
    std::uint16_t processorLevel;
    std::uint16_t processorRevision;
    std::uint8_t numberOfProcessors;
    std::uint8_t productType;
    std::uint32_t majorVersion;
    std::uint32_t minorVersion;
    std::uint32_t buildNumber;
    std::uint32_t platformId;
    std::uint32_t csdVersionRva;
    std::uint16_t suiteMask;
    std::uint16_t reserved2;
    std::uint32_t vendorId[3];
    std::uint32_t versionInformation;
    std::uint32_t featureInformation;
    std::uint32_t amdExtendedCpuFeatures;
};

struct __attribute__((packed)) MiscInfo {
    std::uint32_t sizeOfInfo;
    std::uint32_t flags1;
    std::uint32_t processId;
    std::uint32_t processCreateTime;
    std::uint32_t processUserTime;
    std::uint32_t processKernelTime;
};

struct __attribute__((packed)) Exception {
    std::uint32_t exceptionCode;
    std::uint32_t exceptionFlags;
    std::uint64_t exceptionRecord;
    std::uint64_t exceptionAddress;
    std::uint32_t numberParameters;
    std::uint32_t unusedAlignment;
    std::uint64_t exceptionInformation[15];
};

struct __attribute__((packed)) ExceptionStream {
    std::uint32_t threadId;
    std::uint32_t alignment;
    Exception exceptionRecord;
    Location threadContext;
};

struct __attribute__((packed)) Thread {
    std::uint32_t threadId;
    std::uint32_t suspendCount;
    std::uint32_t priorityClass;
    std::uint32_t priority;
    std::uint64_t teb;
    MemoryDescriptor stack;
    Location threadContext;
};

struct __attribute__((packed)) FixedFileInfo {
    std::uint32_t fields[13];
};

struct __attribute__((packed)) Module {
    std::uint64_t baseOfImage;
    std::uint32_t sizeOfImage;
    std::uint32_t checkSum;
    std::uint32_t timeDateStamp;
    std::uint32_t moduleNameRva;
    FixedFileInfo versionInfo;
    Location cvRecord;
    Location miscRecord;
    std::uint64_t reserved0;
    std::uint64_t reserved1;
};

// Register context of an x86-64 thread.
constexpr std::uint32_t kContextAmd64 = 0x00100000;
constexpr std::uint32_t kContextControl = kContextAmd64 | 0x1;
constexpr std::uint32_t kContextInteger = kContextAmd64 | 0x2;
constexpr std::uint32_t kContextFloatingPoint = kContextAmd64 | 0x8;
constexpr std::uint32_t kContextFull = kContextControl | kContextInteger | kContextFloatingPoint;

struct __attribute__((packed)) ContextAmd64 {
    std::uint64_t pHome[6];
    std::uint32_t contextFlags;
    std::uint32_t mxCsr;
    std::uint16_t cs, ds, es, fs, gs, ss;
    std::uint32_t eflags;
    std::uint64_t dr0, dr1, dr2, dr3, dr6, dr7;
    std::uint64_t rax, rcx, rdx, rbx, rsp, rbp, rsi, rdi;
    std::uint64_t r8, r9, r10, r11, r12, r13, r14, r15;
    std::uint64_t rip;
    std::uint8_t fltSave[512];  // the FXSAVE image: x87, MXCSR and XMM registers
    std::uint8_t vectorRegister[26 * 16];
    std::uint64_t vectorControl;
    std::uint64_t debugControl;
    std::uint64_t lastBranchToRip, lastBranchFromRip;
    std::uint64_t lastExceptionToRip, lastExceptionFromRip;
};

static_assert(sizeof(Header) == 32);
static_assert(sizeof(Directory) == 12);
static_assert(sizeof(SystemInfo) == 56);
static_assert(sizeof(MiscInfo) == 24);
static_assert(sizeof(ExceptionStream) == 168);
static_assert(sizeof(Thread) == 48);
static_assert(sizeof(Module) == 108);
static_assert(sizeof(MemoryDescriptor) == 16);
static_assert(sizeof(ContextAmd64) == 1232);

}  // namespace kestrel::md
