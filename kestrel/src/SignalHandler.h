// Kestrel's handler of the fatal signals and what it does afterwards.
#pragma once

#include <signal.h>

#include "Kestrel.h"

namespace kestrel {

// Installs the handler for every signal of RQDump::kSignals; `previous`
// receives the actions it replaced.
void InstallHandlers(struct sigaction (&previous)[RQDump::kSignalCount]) noexcept;

// True when `action` is Kestrel's handler.
bool IsKestrelAction(const struct sigaction& action) noexcept;

// True when Kestrel's handler is installed for any of the fatal signals.
bool AnyKestrelActionInstalled() noexcept;

// Installs the default action wherever Kestrel's handler is installed.
void RemoveKestrelActions() noexcept;

// Makes the next crash write a dump again after one was handed back.
void ResetHandlerState() noexcept;

}  // namespace kestrel
