// Register contexts of the minidump, taken from a signal's ucontext.
#pragma once

#include <ucontext.h>

#include <cstdint>

#include "MinidumpFormat.h"

namespace kestrel {

using CpuContext = md::ContextAmd64;

// The full register context (general, control, segment and x87/SSE state).
void FillContext(const ucontext_t& context, CpuContext* out) noexcept;

// A context holding only the stack and instruction pointers, for a thread
// whose other registers are not known.
void FillPointersContext(std::uint64_t sp, std::uint64_t pc, CpuContext* out) noexcept;

// A context that marks no register as known.
void FillEmptyContext(CpuContext* out) noexcept;

std::uint64_t StackPointer(const ucontext_t& context) noexcept;
std::uint64_t InstructionPointer(const ucontext_t& context) noexcept;

}  // namespace kestrel
