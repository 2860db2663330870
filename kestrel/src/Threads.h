// The threads of the process, read from /proc/self/task.
#pragma once

#include <sys/types.h>

#include <cstddef>
#include <cstdint>

namespace kestrel {

struct ThreadInfo {
    pid_t tid = 0;
    bool pointersKnown = false;  // sp and pc below are valid
    std::uint64_t sp = 0;
    std::uint64_t pc = 0;
    std::uint64_t stackStart = 0;  // the stack memory saved in the dump
    std::uint64_t stackSize = 0;
    std::uint32_t stackRva = 0;  // where the dump holds that memory
    std::uint32_t contextRva = 0;
};

// Lists the thread ids of the process into `threads` (at most `capacity`),
// using `scratch` for the directory entries. Returns how many were listed.
std::size_t ListThreads(ThreadInfo* threads, std::size_t capacity, char* scratch,
                        std::size_t scratchSize) noexcept;

// The stack pointer and instruction pointer of another thread of this process
// while it is blocked in the kernel, from /proc/self/task/<tid>/syscall.
// False when the thread is running or the file cannot be read.
bool ReadBlockedThreadPointers(pid_t tid, std::uint64_t* sp, std::uint64_t* pc) noexcept;

}  // namespace kestrel
