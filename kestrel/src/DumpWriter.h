// Writes the minidump of the crashing process. Async-signal-safe: uses the
// prepared CrashState and plain system calls only.
#pragma once

#include <signal.h>
#include <ucontext.h>

#include "CrashState.h"

namespace kestrel {

// Writes the dump of type 0 (thread stacks and modules, no heap) for signal
// `sig` into the prepared file name, replacing an existing file only once the
// new one is complete. False when the file could not be created or written;
// nothing is left behind then.
bool WriteDump(CrashState& state, int sig, const siginfo_t* info,
               const ucontext_t* context) noexcept;

}  // namespace kestrel
