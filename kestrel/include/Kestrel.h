// Kestrel: makes a program that dies of a fatal signal leave a minidump next
// to its executable, so that the crash can be analysed later.
//
// StartExceptionHandler installs Kestrel's handler for SIGSEGV, SIGBUS,
// SIGFPE, SIGILL, SIGABRT, SIGSYS and SIGTRAP and remembers the actions it
// replaces; StopExceptionHandler puts the remembered actions back. When the
// process then dies of one of those signals, the handler writes
// "<executable without its extension>.dmp" in the executable's folder (a
// minidump: system information, the exception with the crashing thread's
// registers, the threads, the loaded ELF modules with their build ids and
// /proc/self/maps) and the process ends killed by that signal, without a core
// file. When the dump cannot be written, the previous action runs as if
// Kestrel were not there.
#pragma once

#include <csignal>
#include <cstddef>

#if defined(KESTREL_BUILD)
#define KESTREL_API __attribute__((visibility("default")))
#else
#define KESTREL_API
#endif

// Remembers the signal actions that StartExceptionHandler replaced. The
// library holds exactly one instance, `dump`; it is empty when the library is
// loaded, and when the library is unloaded (or the process exits) it restores
// whatever it still remembers.
class KESTREL_API RQDump {
public:
    // The fatal signals the handler is installed for.
    // SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT, SIGSYS and SIGTRAP.
    static constexpr std::size_t kSignalCount = 7;
    static const int kSignals[kSignalCount];

    constexpr RQDump() noexcept {}
    ~RQDump();
    RQDump(const RQDump&) = delete;
    RQDump& operator=(const RQDump&) = delete;

    // True while actions replaced by StartExceptionHandler are remembered.
    bool HasPrevious() const noexcept { return remembered_; }
    // The remembered action for `sig`, or nullptr when none is remembered.
    const struct sigaction* Previous(int sig) const noexcept;

    // Remembers `actions` (one per entry of kSignals), replacing what was
    // remembered before.
    void Remember(const struct sigaction (&actions)[kSignalCount]) noexcept;
    // Installs the remembered actions again and forgets them. Returns false
    // when nothing was remembered.
    bool Restore() noexcept;

private:
    struct sigaction previous_[kSignalCount] = {};
    bool remembered_ = false;
};

// Prepares the buffers and the alternate signal stack the handler needs,
// installs Kestrel's handler for the fatal signals and remembers the actions
// it replaces (a second call remembers Kestrel's own handler). Meant for the
// program's start-up, on the main thread.
KESTREL_API void StartExceptionHandler();

// When actions are remembered: installs them again and forgets them; the
// alternate signal stack of the calling thread is restored as well, unless
// what comes back is Kestrel's own handler (StartExceptionHandler was called
// twice), which keeps its stack.
KESTREL_API void StopExceptionHandler();

// The global RQDump object of the library.
KESTREL_API extern RQDump dump;
