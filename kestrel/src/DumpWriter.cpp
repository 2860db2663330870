#include "DumpWriter.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>

#include "DumpFile.h"
#include "MinidumpFormat.h"
#include "ProcMaps.h"
#include "SafeIo.h"

namespace kestrel {
namespace {

// How much stack is saved: from the stack pointer upwards, bounded.
constexpr std::uint64_t kCrashingStackLimit = 256u << 10;
constexpr std::uint64_t kOtherStackLimit = 64u << 10;
constexpr std::uint64_t kAllStacksLimit = 32u << 20;
// A stack pointer this far below its stack mapping (a stack overflow into
// the guard gap) still counts as pointing into it.
constexpr std::uint64_t kStackGapTolerance = 64u << 10;
constexpr std::size_t kMaxStreams = 10;

struct Crash {
    int sig;
    const siginfo_t* info;
    const ucontext_t* context;
    pid_t pid;
    pid_t tid;
};

class Writer {
public:
    Writer(CrashState& state, DumpFile& file, const Crash& crash)
        : s_(state), file_(file), crash_(crash) {}

    bool Write() noexcept;

private:
    void Gather() noexcept;
    void FindStack(ThreadInfo* thread, std::uint64_t limit) noexcept;
    void BeginStream(std::uint32_t type) noexcept;
    void EndStream() noexcept;
    void WriteSystemInfo() noexcept;
    void WriteMiscInfo() noexcept;
    void WriteThreadData() noexcept;
    void WriteException() noexcept;
    void WriteThreadList() noexcept;
    void WriteMemoryList() noexcept;
    void WriteModuleList() noexcept;
    void WriteBytes(std::uint32_t type, const void* data, std::size_t size) noexcept;
    void WriteProcFile(std::uint32_t type, const char* path) noexcept;
    std::uint64_t ExceptionAddress() const noexcept;

    CrashState& s_;
    DumpFile& file_;
    const Crash& crash_;
    std::size_t mapsSize_ = 0;
    std::size_t moduleCount_ = 0;
    std::size_t threadCount_ = 0;
    std::uint32_t crashContextRva_ = 0;
    md::Directory directory_[kMaxStreams] = {};
    std::size_t streamCount_ = 0;
};

void Writer::FindStack(ThreadInfo* thread, std::uint64_t limit) noexcept {
    MapsLine line;
    std::uint64_t start = thread->sp;
    if (!FindMapping(s_.maps, mapsSize_, thread->sp, &line)) {
        // Overflowed past its lowest page: take the mapping just above.
        if (!FindMapping(s_.maps, mapsSize_, thread->sp + kStackGapTolerance, &line) ||
            line.start <= thread->sp) {
            return;
        }
        start = line.start;
    }
    if (!line.readable) return;
    std::uint64_t size = line.end - start;
    thread->stackStart = start;
    thread->stackSize = size < limit ? size : limit;
}

void Writer::Gather() noexcept {
    long maps = ReadWholeFile("/proc/self/maps", s_.maps, s_.mapsCapacity);
    mapsSize_ = maps > 0 ? static_cast<std::size_t>(maps) : 0;
    moduleCount_ = CollectModules(s_.maps, mapsSize_, s_.modules, s_.moduleCapacity);

    if (crash_.context != nullptr) {
        FillContext(*crash_.context, &s_.context);
    } else {
        FillEmptyContext(&s_.context);
    }
    threadCount_ = ListThreads(s_.threads, s_.threadCapacity, s_.scratch, s_.scratchCapacity);
    bool listed = false;
    for (std::size_t i = 0; i < threadCount_; ++i)
        listed = listed || s_.threads[i].tid == crash_.tid;
    if (!listed) {
        if (threadCount_ == s_.threadCapacity) --threadCount_;
        s_.threads[threadCount_] = ThreadInfo{};
        s_.threads[threadCount_++].tid = crash_.tid;
    }

    std::uint64_t stackBytes = 0;
    for (std::size_t i = 0; i < threadCount_; ++i) {
        ThreadInfo& t = s_.threads[i];
        bool crashing = t.tid == crash_.tid;
        if (crashing && crash_.context != nullptr) {
            t.sp = StackPointer(*crash_.context);
            t.pc = InstructionPointer(*crash_.context);
            t.pointersKnown = true;
        } else if (!crashing) {
            t.pointersKnown = ReadBlockedThreadPointers(t.tid, &t.sp, &t.pc);
        }
        if (!t.pointersKnown || stackBytes >= kAllStacksLimit) continue;
        FindStack(&t, crashing ? kCrashingStackLimit : kOtherStackLimit);
        stackBytes += t.stackSize;
    }
}

void Writer::BeginStream(std::uint32_t type) noexcept {
    file_.AlignTo(8);
    md::Directory& entry = directory_[streamCount_];
    entry.streamType = type;
    entry.location.rva = file_.Rva();
}

void Writer::EndStream() noexcept {
    md::Directory& entry = directory_[streamCount_++];
    entry.location.dataSize = static_cast<std::uint32_t>(file_.Position() - entry.location.rva);
}

void Writer::WriteSystemInfo() noexcept {
    // The stream is the record; the description string follows it.
    BeginStream(md::kSystemInfoStream);
    md::SystemInfo info = s_.system.info;
    info.csdVersionRva = file_.Rva() + static_cast<std::uint32_t>(sizeof info);
    file_.Put(&info, sizeof info);
    EndStream();
    file_.PutU32(s_.system.descriptionLength * 2);
    file_.Put(s_.system.description, s_.system.descriptionLength * sizeof(char16_t));
    file_.PutZeros(sizeof(char16_t));
}

void Writer::WriteMiscInfo() noexcept {
    BeginStream(md::kMiscInfoStream);
    md::MiscInfo misc{};
    misc.sizeOfInfo = sizeof misc;
    misc.flags1 = md::kMiscProcessId;
    misc.processId = static_cast<std::uint32_t>(crash_.pid);
    file_.Put(&misc, sizeof misc);
    EndStream();
}

// Register contexts and stack memory of every thread, referred to by the
// thread list, the exception and the memory list written afterwards.
void Writer::WriteThreadData() noexcept {
    file_.AlignTo(8);
    crashContextRva_ = file_.Rva();
    file_.Put(&s_.context, sizeof s_.context);
    std::uint32_t emptyContextRva = 0;
    for (std::size_t i = 0; i < threadCount_; ++i) {
        ThreadInfo& t = s_.threads[i];
        if (t.tid == crash_.tid) {
            t.contextRva = crashContextRva_;
        } else if (t.pointersKnown) {
            CpuContext context;
            FillPointersContext(t.sp, t.pc, &context);
            t.contextRva = file_.Rva();
            file_.Put(&context, sizeof context);
        } else {
            if (emptyContextRva == 0) {
                CpuContext context;
                FillEmptyContext(&context);
                emptyContextRva = file_.Rva();
                file_.Put(&context, sizeof context);
            }
            t.contextRva = emptyContextRva;
        }
    }
    for (std::size_t i = 0; i < threadCount_; ++i) {
        ThreadInfo& t = s_.threads[i];
        if (t.stackSize == 0) continue;
        file_.AlignTo(16);
        t.stackRva = file_.Rva();
        file_.PutMemory(t.stackStart, t.stackSize);
    }
}

std::uint64_t Writer::ExceptionAddress() const noexcept {
    // Faults the kernel detected carry the address concerned; for signals
    // sent by a process (abort, kill) the instruction pointer is the place.
    const siginfo_t* info = crash_.info;
    bool kernelFault =
        info != nullptr && info->si_code > 0 && info->si_code != SI_KERNEL && crash_.sig != SIGABRT;
    if (kernelFault) return reinterpret_cast<std::uintptr_t>(info->si_addr);
    return crash_.context != nullptr ? InstructionPointer(*crash_.context) : 0;
}

void Writer::WriteException() noexcept {
    BeginStream(md::kExceptionStream);
    md::ExceptionStream stream{};
    stream.threadId = static_cast<std::uint32_t>(crash_.tid);
    stream.exceptionRecord.exceptionCode = static_cast<std::uint32_t>(crash_.sig);
    stream.exceptionRecord.exceptionFlags =
        crash_.info != nullptr ? static_cast<std::uint32_t>(crash_.info->si_code) : 0;
    stream.exceptionRecord.exceptionAddress = ExceptionAddress();
    stream.threadContext = {static_cast<std::uint32_t>(sizeof s_.context), crashContextRva_};
    file_.Put(&stream, sizeof stream);
    EndStream();
}

void Writer::WriteThreadList() noexcept {
    BeginStream(md::kThreadListStream);
    file_.PutU32(static_cast<std::uint32_t>(threadCount_));
    for (std::size_t i = 0; i < threadCount_; ++i) {
        const ThreadInfo& t = s_.threads[i];
        md::Thread thread{};
        thread.threadId = static_cast<std::uint32_t>(t.tid);
        thread.stack.startOfMemoryRange = t.stackStart;
        thread.stack.memory = {static_cast<std::uint32_t>(t.stackSize), t.stackRva};
        thread.threadContext = {static_cast<std::uint32_t>(sizeof(CpuContext)), t.contextRva};
        file_.Put(&thread, sizeof thread);
    }
    EndStream();
}

void Writer::WriteMemoryList() noexcept {
    std::uint32_t count = 0;
    for (std::size_t i = 0; i < threadCount_; ++i) count += s_.threads[i].stackSize > 0;
    BeginStream(md::kMemoryListStream);
    file_.PutU32(count);
    for (std::size_t i = 0; i < threadCount_; ++i) {
        const ThreadInfo& t = s_.threads[i];
        if (t.stackSize == 0) continue;
        md::MemoryDescriptor range{t.stackStart,
                                   {static_cast<std::uint32_t>(t.stackSize), t.stackRva}};
        file_.Put(&range, sizeof range);
    }
    EndStream();
}

void Writer::WriteModuleList() noexcept {
    // Names and build ids first, so the records can point at them.
    for (std::size_t i = 0; i < moduleCount_; ++i) {
        ModuleInfo& m = s_.modules[i];
        file_.AlignTo(4);
        m.nameRva = file_.Rva();
        file_.PutString(m.path, m.pathLength);
        if (m.buildIdLength > 0) {
            file_.AlignTo(4);
            m.cvRva = file_.Rva();
            file_.PutU32(md::kCvElfBuildId);
            file_.Put(m.buildId, m.buildIdLength);
        }
    }
    BeginStream(md::kModuleListStream);
    file_.PutU32(static_cast<std::uint32_t>(moduleCount_));
    for (std::size_t i = 0; i < moduleCount_; ++i) {
        const ModuleInfo& m = s_.modules[i];
        md::Module module{};
        module.baseOfImage = m.base;
        std::uint64_t size = m.end - m.base;
        module.sizeOfImage = size > 0xffffffffu ? 0xffffffffu : static_cast<std::uint32_t>(size);
        module.moduleNameRva = m.nameRva;
        if (m.buildIdLength > 0) {
            module.cvRecord = {static_cast<std::uint32_t>(4 + m.buildIdLength), m.cvRva};
        }
        file_.Put(&module, sizeof module);
    }
    EndStream();
}

void Writer::WriteBytes(std::uint32_t type, const void* data, std::size_t size) noexcept {
    BeginStream(type);
    file_.Put(data, size);
    EndStream();
}

void Writer::WriteProcFile(std::uint32_t type, const char* path) noexcept {
    long size = ReadWholeFile(path, s_.scratch, s_.scratchCapacity);
    if (size >= 0) WriteBytes(type, s_.scratch, static_cast<std::size_t>(size));
}

bool Writer::Write() noexcept {
    Gather();
    // Header and directory are written last, into the room kept here.
    const std::size_t headerSize = sizeof(md::Header) + kMaxStreams * sizeof(md::Directory);
    file_.PutZeros(headerSize);
    WriteSystemInfo();
    WriteMiscInfo();
    WriteThreadData();
    WriteException();
    WriteThreadList();
    WriteMemoryList();
    WriteModuleList();
    WriteBytes(md::kLinuxMaps, s_.maps, mapsSize_);
    WriteProcFile(md::kLinuxProcStatus, "/proc/self/status");
    WriteProcFile(md::kLinuxCmdLine, "/proc/self/cmdline");
    WriteProcFile(md::kLinuxAuxv, "/proc/self/auxv");

    md::Header header{};
    header.signature = md::kSignature;
    header.version = md::kVersion;
    header.numberOfStreams = static_cast<std::uint32_t>(streamCount_);
    header.streamDirectoryRva = sizeof header;
    header.timeDateStamp = static_cast<std::uint32_t>(time(nullptr));
    if (!file_.Flush()) return false;
    return file_.PatchAt(0, &header, sizeof header) &&
           file_.PatchAt(sizeof header, directory_, streamCount_ * sizeof(md::Directory));
}

// "<dump path>.<pid>.tmp": the file is assembled under this name and renamed
// over the dump path once complete.
bool MakeTemporaryPath(const CrashState& state, pid_t pid, char* out, std::size_t capacity) {
    static constexpr char kSuffix[] = ".tmp";
    if (state.dumpPathLength + 1 + 20 + sizeof kSuffix > capacity) return false;
    std::memcpy(out, state.dumpPath, state.dumpPathLength);
    char* p = out + state.dumpPathLength;
    *p++ = '.';
    p = AppendDecimal(p, static_cast<std::uint64_t>(pid));
    std::memcpy(p, kSuffix, sizeof kSuffix);
    return true;
}

}  // namespace

bool WriteDump(CrashState& state, int sig, const siginfo_t* info,
               const ucontext_t* context) noexcept {
    Crash crash{sig, info, context, getpid(), CurrentThreadId()};
    char temporary[PATH_MAX + 32];
    if (!MakeTemporaryPath(state, crash.pid, temporary, sizeof temporary)) return false;
    const int flags = O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC;
    int fd = open(temporary, flags, 0600);
    if (fd < 0 && errno == EEXIST && unlink(temporary) == 0) fd = open(temporary, flags, 0600);
    if (fd < 0) return false;

    DumpFile file(fd, state.output, state.outputCapacity);
    Writer writer(state, file, crash);
    bool written = writer.Write();
    if (close(fd) != 0) written = false;
    if (written && rename(temporary, state.dumpPath) != 0) written = false;
    if (!written) unlink(temporary);
    return written;
}

}  // namespace kestrel
