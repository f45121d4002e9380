// What runs when a thread ends, for objects a thread owns (see per_thread.h).
#pragma once

namespace fw {

// Calls fn(arg) when the calling thread ends, after its own code returned;
// the calls of one thread run in the reverse order of their registration.
// False when the thread is already ending and runs no more such calls.
bool AtThreadExit(void (*fn)(void*), void* arg);

// Keeps an object reachable for the rest of the process (never destroyed).
void KeepForProcess(const void* object);

}  // namespace fw
