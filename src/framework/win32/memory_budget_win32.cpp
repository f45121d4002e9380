#include "memory_budget.h"
#include "memory_limit.h"

#include <cstdlib>
#include <limits>

namespace fw {

// Windows commits memory when it grants a block, so a failed allocation is
// reported there and then; only the test limit applies.
uint64_t AvailableMemoryBytes() {
    return MemoryLimitFromEnvironment();
}

}  // namespace fw
