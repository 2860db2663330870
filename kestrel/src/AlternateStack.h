// The alternate signal stack the handler runs on, so that a stack overflow
// still gets its dump.
#pragma once

namespace kestrel {

// Gives the calling thread Kestrel's alternate stack, remembering the one it
// had. Does nothing when it already has Kestrel's. False when no stack could
// be reserved.
bool InstallAlternateStack() noexcept;

// Gives the calling thread its remembered alternate stack back, when it
// currently has Kestrel's.
void RestoreAlternateStack() noexcept;

}  // namespace kestrel
