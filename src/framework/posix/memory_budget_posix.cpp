#include "memory_budget.h"
#include "memory_limit.h"

#include "posix/cgroup_memory.h"

#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>

namespace fw {
namespace {

constexpr uint64_t kUnknown = std::numeric_limits<uint64_t>::max();

// MemAvailable plus SwapFree from /proc/meminfo, in bytes.
uint64_t SystemAvailable() {
    FILE* f = std::fopen("/proc/meminfo", "r");
    if (!f)
        return kUnknown;
    char line[256];
    uint64_t available = 0, swap = 0;
    bool found = false;
    while (std::fgets(line, sizeof line, f)) {
        unsigned long long kb = 0;
        if (std::sscanf(line, "MemAvailable: %llu kB", &kb) == 1) {
            available = kb * 1024;
            found = true;
        } else if (std::sscanf(line, "SwapFree: %llu kB", &kb) == 1) {
            swap = kb * 1024;
        }
    }
    std::fclose(f);
    return found ? available + swap : kUnknown;
}

// The address space the process already holds, in bytes.
uint64_t VirtualSize() {
    FILE* f = std::fopen("/proc/self/statm", "r");
    if (!f)
        return 0;
    unsigned long long pages = 0;
    int n = std::fscanf(f, "%llu", &pages);
    std::fclose(f);
    return n == 1 ? pages * static_cast<uint64_t>(sysconf(_SC_PAGESIZE)) : 0;
}

uint64_t LimitLeft(int resource, uint64_t used) {
    struct rlimit limit;
    if (getrlimit(resource, &limit) != 0 || limit.rlim_cur == RLIM_INFINITY)
        return kUnknown;
    uint64_t cap = static_cast<uint64_t>(limit.rlim_cur);
    return cap > used ? cap - used : 0;
}

}  // namespace

uint64_t AvailableMemoryBytes() {
    uint64_t budget = SystemAvailable();
    uint64_t used = VirtualSize();
    budget = std::min(budget, LimitLeft(RLIMIT_AS, used));
    budget = std::min(budget, LimitLeft(RLIMIT_DATA, used));
    budget = std::min(budget, CgroupMemoryLeft());
    return std::min(budget, MemoryLimitFromEnvironment());
}

}  // namespace fw
