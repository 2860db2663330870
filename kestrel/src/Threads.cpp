#include "Threads.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cstring>

#include "SafeIo.h"

namespace kestrel {
namespace {

// Layout of the records returned by getdents64.
struct LinuxDirent64 {
    std::uint64_t inode;
    std::int64_t offset;
    unsigned short recordLength;
    unsigned char type;
    char name[1];
};

}  // namespace

std::size_t ListThreads(ThreadInfo* threads, std::size_t capacity, char* scratch,
                        std::size_t scratchSize) noexcept {
    int fd = open("/proc/self/task", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return 0;
    std::size_t count = 0;
    for (;;) {
        long n = syscall(SYS_getdents64, fd, scratch, scratchSize);
        if (n <= 0) break;
        for (long pos = 0; pos < n;) {
            LinuxDirent64 entry;
            std::memcpy(&entry, scratch + pos, offsetof(LinuxDirent64, name));
            const char* name = scratch + pos + offsetof(LinuxDirent64, name);
            const char* nameEnd = name + std::strlen(name);
            std::uint64_t tid = 0;
            if (ParseDecimal(&name, nameEnd, &tid) && name == nameEnd && count < capacity) {
                threads[count] = ThreadInfo{};
                threads[count++].tid = static_cast<pid_t>(tid);
            }
            pos += entry.recordLength;
        }
    }
    close(fd);
    return count;
}

bool ReadBlockedThreadPointers(pid_t tid, std::uint64_t* sp, std::uint64_t* pc) noexcept {
    char path[64] = "/proc/self/task/";
    char* p = AppendDecimal(path + std::strlen(path), static_cast<std::uint64_t>(tid));
    std::memcpy(p, "/syscall", sizeof "/syscall");
    char text[256];
    long n = ReadWholeFile(path, text, sizeof text);
    if (n <= 0) return false;
    // "<nr> <six arguments> <sp> <pc>" or "-1 <sp> <pc>" while blocked;
    // "running" otherwise. The last two fields are the ones needed.
    const char* end = text + n;
    const char* tokens[10];
    std::size_t tokenCount = 0;
    for (const char* c = text; c < end && tokenCount < 10;) {
        while (c < end && (*c == ' ' || *c == '\n')) ++c;
        if (c == end) break;
        tokens[tokenCount++] = c;
        while (c < end && *c != ' ' && *c != '\n') ++c;
    }
    if (tokenCount != 3 && tokenCount != 9) return false;
    std::uint64_t values[2];
    for (std::size_t i = 0; i < 2; ++i) {
        const char* f = tokens[tokenCount - 2 + i];
        if (end - f < 3 || f[0] != '0' || f[1] != 'x') return false;
        f += 2;
        if (!ParseHex(&f, end, &values[i])) return false;
    }
    *sp = values[0];
    *pc = values[1];
    return true;
}

}  // namespace kestrel
