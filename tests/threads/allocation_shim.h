// A test-only replacement of the global operator new, and on Linux of malloc,
// calloc and realloc (linked into the fault sweep's program alone): counts the
// allocations of the thread that armed it and fails the k-th one, once or from
// k on, by throwing std::bad_alloc (the nothrow forms and the C functions
// answer null), as a host short of memory would see it, the C library and
// the stand-in's SQLite included.
#pragma once

#include <cstddef>
#include <cstdint>

namespace allocshim {

enum class Mode {
    Count,  // fail nothing, only count
    Once,   // fail the k-th allocation only
    From,   // fail the k-th and every later one
};

// Starts counting on the calling thread; allocations of other threads pass.
void Arm(Mode mode, uint64_t k);
// Stops; returns how many allocations the armed thread asked for.
uint64_t Disarm();
// How many allocations were refused since the last Arm.
uint64_t Refused();

// Zeroed blocks for the interface's deliveries, under the same count.
void* ZeroAllocate(size_t bytes);

}  // namespace allocshim
