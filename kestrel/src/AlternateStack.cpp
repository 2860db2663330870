#include "AlternateStack.h"

#include <signal.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cstddef>

namespace kestrel {
namespace {

// Room for the dump writer, with the larger frames of instrumented builds.
constexpr std::size_t kStackSize = 256u << 10;
constexpr std::size_t kGuardSize = 4096;

void* stackBase = nullptr;  // the usable stack, above its guard page
stack_t previousStack{};

bool IsKestrelStack(const stack_t& stack) noexcept {
    return stackBase != nullptr && (stack.ss_flags & SS_DISABLE) == 0 && stack.ss_sp == stackBase;
}

}  // namespace

bool InstallAlternateStack() noexcept {
    if (stackBase == nullptr) {
        // Never released: a thread may keep the stack after the library is gone.
        void* area = mmap(nullptr, kGuardSize + kStackSize, PROT_READ | PROT_WRITE,
                          MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
        if (area == MAP_FAILED) return false;
        mprotect(area, kGuardSize, PROT_NONE);  // an overflow of this stack faults
        stackBase = static_cast<char*>(area) + kGuardSize;
    }
    stack_t current{};
    if (sigaltstack(nullptr, &current) != 0) return false;
    if (IsKestrelStack(current)) return true;
    stack_t stack{};
    stack.ss_sp = stackBase;
    stack.ss_size = kStackSize;
    if (sigaltstack(&stack, nullptr) != 0) return false;
    previousStack = current;
    return true;
}

void RestoreAlternateStack() noexcept {
    stack_t current{};
    if (sigaltstack(nullptr, &current) != 0 || !IsKestrelStack(current)) return;
    stack_t previous = previousStack;
    previous.ss_flags = (previous.ss_flags & SS_DISABLE) != 0 ? SS_DISABLE : 0;
    sigaltstack(&previous, nullptr);
}

}  // namespace kestrel
