// How many bytes one more block may take before the machine can no longer
// back it. On a system that grants more than it has, a large block is handed
// out and the process is killed later while it fills it; asking first lets
// the caller refuse the block and report it like any failed allocation.
#ifndef ZEVDT_FRAMEWORK_MEMORY_BUDGET_H
#define ZEVDT_FRAMEWORK_MEMORY_BUDGET_H

#include <cstdint>

namespace fw {

// The bytes available for a new block: the least of the memory the system
// reports free for new use (with swap), the process's address-space and data
// limits less what it already uses, the room its memory cgroups leave (Linux),
// and ZEVDT_MEMORY_LIMIT (bytes) when set.
// UINT64_MAX when nothing is known.
uint64_t AvailableMemoryBytes();

}  // namespace fw

#endif
