#include "Kestrel.h"

#include "AlternateStack.h"
#include "CrashState.h"
#include "SignalHandler.h"

// Defined here rather than inline in the header: an inline variable would be
// a unique symbol, which keeps the library from ever being unloaded.
const int RQDump::kSignals[kSignalCount] = {SIGSEGV, SIGBUS, SIGFPE, SIGILL,
                                            SIGABRT, SIGSYS, SIGTRAP};

constinit RQDump dump;

const struct sigaction* RQDump::Previous(int sig) const noexcept {
    if (!remembered_) return nullptr;
    for (std::size_t i = 0; i < kSignalCount; ++i) {
        if (kSignals[i] == sig) return &previous_[i];
    }
    return nullptr;
}

void RQDump::Remember(const struct sigaction (&actions)[kSignalCount]) noexcept {
    for (std::size_t i = 0; i < kSignalCount; ++i) previous_[i] = actions[i];
    remembered_ = true;
}

bool RQDump::Restore() noexcept {
    if (!remembered_) return false;
    for (std::size_t i = 0; i < kSignalCount; ++i) sigaction(kSignals[i], &previous_[i], nullptr);
    remembered_ = false;
    return true;
}

RQDump::~RQDump() {
    if (this != &dump) {
        Restore();
        return;
    }
    // The library goes away: its handler must not stay installed even where
    // it was remembered as the previous action (StartExceptionHandler called
    // twice), nor its stack remain in use.
    Restore();
    kestrel::RemoveKestrelActions();
    kestrel::RestoreAlternateStack();
}

void StartExceptionHandler() {
    if (kestrel::PrepareCrashState() == nullptr) return;
    kestrel::InstallAlternateStack();
    kestrel::ResetHandlerState();
    struct sigaction previous[RQDump::kSignalCount];
    kestrel::InstallHandlers(previous);
    dump.Remember(previous);
}

void StopExceptionHandler() {
    if (!dump.Restore()) return;
    // Kestrel's handler may be what was remembered; it keeps its stack then.
    if (!kestrel::AnyKestrelActionInstalled()) kestrel::RestoreAlternateStack();
}
