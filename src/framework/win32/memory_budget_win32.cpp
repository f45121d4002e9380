#include "memory_budget.h"

#include <cstdlib>
#include <limits>

namespace fw {

// Windows commits memory when it grants a block, so a failed allocation is
// reported there and then; only the test limit applies.
uint64_t AvailableMemoryBytes() {
    uint64_t budget = std::numeric_limits<uint64_t>::max();
    if (const char* text = std::getenv("ZEVDT_MEMORY_LIMIT")) {
        char* end = nullptr;
        unsigned long long limit = std::strtoull(text, &end, 10);
        if (end != text && *end == '\0')
            budget = limit;
    }
    return budget;
}

}  // namespace fw
