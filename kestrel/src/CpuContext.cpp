#include "CpuContext.h"

#include <cstring>

#if !defined(__x86_64__)
#error "Kestrel writes register contexts for x86-64 only"
#endif

namespace kestrel {
namespace {

// Selectors of 64-bit user code and data on Linux.
constexpr std::uint16_t kUserCodeSelector = 0x33;
constexpr std::uint16_t kUserDataSelector = 0x2b;
// uc_flags bit telling that the ss field of the saved context is valid.
constexpr unsigned long kContextHasSs = 0x2;

}  // namespace

void FillEmptyContext(CpuContext* out) noexcept {
    std::memset(out, 0, sizeof *out);
    out->contextFlags = md::kContextAmd64;
}

void FillPointersContext(std::uint64_t sp, std::uint64_t pc, CpuContext* out) noexcept {
    FillEmptyContext(out);
    out->contextFlags = md::kContextControl;
    out->cs = kUserCodeSelector;
    out->ss = kUserDataSelector;
    out->rsp = sp;
    out->rip = pc;
}

void FillContext(const ucontext_t& context, CpuContext* out) noexcept {
    FillEmptyContext(out);
    const greg_t* g = context.uc_mcontext.gregs;
    auto reg = [g](int index) { return static_cast<std::uint64_t>(g[index]); };
    out->contextFlags = md::kContextFull;
    out->rax = reg(REG_RAX);
    out->rcx = reg(REG_RCX);
    out->rdx = reg(REG_RDX);
    out->rbx = reg(REG_RBX);
    out->rsp = reg(REG_RSP);
    out->rbp = reg(REG_RBP);
    out->rsi = reg(REG_RSI);
    out->rdi = reg(REG_RDI);
    out->r8 = reg(REG_R8);
    out->r9 = reg(REG_R9);
    out->r10 = reg(REG_R10);
    out->r11 = reg(REG_R11);
    out->r12 = reg(REG_R12);
    out->r13 = reg(REG_R13);
    out->r14 = reg(REG_R14);
    out->r15 = reg(REG_R15);
    out->rip = reg(REG_RIP);
    out->eflags = static_cast<std::uint32_t>(reg(REG_EFL));
    // cs, gs, fs and (on newer kernels) ss, 16 bits each.
    std::uint64_t segments = reg(REG_CSGSFS);
    out->cs = static_cast<std::uint16_t>(segments);
    out->gs = static_cast<std::uint16_t>(segments >> 16);
    out->fs = static_cast<std::uint16_t>(segments >> 32);
    out->ss = (context.uc_flags & kContextHasSs) != 0 ? static_cast<std::uint16_t>(segments >> 48)
                                                      : kUserDataSelector;
    if (context.uc_mcontext.fpregs != nullptr) {
        static_assert(sizeof(*context.uc_mcontext.fpregs) == sizeof out->fltSave);
        std::memcpy(out->fltSave, context.uc_mcontext.fpregs, sizeof out->fltSave);
        out->mxCsr = context.uc_mcontext.fpregs->mxcsr;
    }
}

std::uint64_t StackPointer(const ucontext_t& context) noexcept {
    return static_cast<std::uint64_t>(context.uc_mcontext.gregs[REG_RSP]);
}

std::uint64_t InstructionPointer(const ucontext_t& context) noexcept {
    return static_cast<std::uint64_t>(context.uc_mcontext.gregs[REG_RIP]);
}

}  // namespace kestrel
