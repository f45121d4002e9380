// ZEVDT_MEMORY_LIMIT: a bound on large blocks that a tester or a cautious
// administrator sets, read the same way on every platform.
#pragma once

#include <cstdint>

namespace fw {

// A byte count with an optional K, M or G suffix (1024, 1024^2, 1024^3):
// "1048576", "512K", "64M", "2G". False for anything else ("-1", "1e9",
// "100abc", a count past 2^64).
bool ParseMemoryLimit(const char* text, uint64_t* bytes);

// The limit ZEVDT_MEMORY_LIMIT sets; UINT64_MAX when it is unset or empty,
// and when it cannot be read, which is also reported as a diagnostic.
uint64_t MemoryLimitFromEnvironment();

}  // namespace fw
