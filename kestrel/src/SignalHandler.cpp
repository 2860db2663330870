#include "SignalHandler.h"

#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <ctime>

#include "CrashState.h"
#include "DumpWriter.h"
#include "SafeIo.h"

namespace kestrel {
namespace {

// The thread writing the dump (0: none yet), and whether the crash was
// handed back to the previous actions because no dump could be written.
std::atomic<pid_t> writingThread{0};
std::atomic<bool> handedBack{false};

void SetAction(int sig, const struct sigaction* action) noexcept {
    struct sigaction defaultAction {};
    if (action == nullptr || IsKestrelAction(*action)) {
        sigemptyset(&defaultAction.sa_mask);
        defaultAction.sa_handler = SIG_DFL;
        action = &defaultAction;
    }
    sigaction(sig, action, nullptr);
}

// Puts back the actions installed before Kestrel (the default action where
// none is known), so that the crash goes on as if Kestrel were not there.
void HandBack() noexcept {
    for (int sig : RQDump::kSignals) SetAction(sig, dump.Previous(sig));
}

// Ends the process killed by `sig`, without a core file: the dump replaces it.
[[noreturn]] void DieBySignal(int sig) noexcept {
    prctl(PR_SET_DUMPABLE, 0, 0, 0, 0);
    rlimit noCore{0, 0};
    setrlimit(RLIMIT_CORE, &noCore);
    SetAction(sig, nullptr);
    syscall(SYS_tgkill, getpid(), CurrentThreadId(), sig);
    sigset_t unblock;
    sigemptyset(&unblock);
    sigaddset(&unblock, sig);
    pthread_sigmask(SIG_UNBLOCK, &unblock, nullptr);
    _exit(128 + sig);  // not reached: the signal's default action ends the process
}

// Makes the signal arrive again once the handler returns. A fault detected
// by the kernel repeats by itself when the faulting instruction runs again;
// any other signal is queued again with its original information.
void Redeliver(int sig, const siginfo_t* info) noexcept {
    bool repeats = info != nullptr && info->si_code > 0 &&
                   (sig == SIGSEGV || sig == SIGBUS || sig == SIGILL || sig == SIGFPE);
    if (repeats) return;
    pid_t pid = getpid();
    pid_t tid = CurrentThreadId();
    if (info == nullptr || syscall(SYS_rt_tgsigqueueinfo, pid, tid, sig, info) != 0) {
        syscall(SYS_tgkill, pid, tid, sig);
    }
}

void HandleFatalSignal(int sig, siginfo_t* info, void* context) {
    const int savedErrno = errno;
    const pid_t self = CurrentThreadId();
    pid_t writer = 0;
    if (writingThread.compare_exchange_strong(writer, self)) {
        CrashState* state = PreparedCrashState();
        if (state != nullptr &&
            WriteDump(*state, sig, info, static_cast<const ucontext_t*>(context))) {
            DieBySignal(sig);
        }
        HandBack();
        handedBack.store(true);
    } else if (writer != self) {
        // Another thread crashed first and is writing the dump: it either
        // ends the process or hands the signals back, and then this one
        // follows the previous action too.
        timespec pause{0, 10'000'000};
        while (!handedBack.load()) nanosleep(&pause, nullptr);
    } else {
        HandBack();  // a fault while writing the dump
    }
    Redeliver(sig, info);
    errno = savedErrno;
}

}  // namespace

bool IsKestrelAction(const struct sigaction& action) noexcept {
    return (action.sa_flags & SA_SIGINFO) != 0 && action.sa_sigaction == HandleFatalSignal;
}

void InstallHandlers(struct sigaction (&previous)[RQDump::kSignalCount]) noexcept {
    struct sigaction action {};
    sigemptyset(&action.sa_mask);
    action.sa_sigaction = HandleFatalSignal;
    action.sa_flags = SA_SIGINFO | SA_ONSTACK;
    for (std::size_t i = 0; i < RQDump::kSignalCount; ++i) {
        sigaction(RQDump::kSignals[i], &action, &previous[i]);
    }
}

bool AnyKestrelActionInstalled() noexcept {
    for (int sig : RQDump::kSignals) {
        struct sigaction current {};
        if (sigaction(sig, nullptr, &current) == 0 && IsKestrelAction(current)) return true;
    }
    return false;
}

void RemoveKestrelActions() noexcept {
    for (int sig : RQDump::kSignals) {
        struct sigaction current {};
        if (sigaction(sig, nullptr, &current) == 0 && IsKestrelAction(current)) {
            SetAction(sig, nullptr);
        }
    }
}

void ResetHandlerState() noexcept {
    handedBack.store(false);
    writingThread.store(0);
}

}  // namespace kestrel
