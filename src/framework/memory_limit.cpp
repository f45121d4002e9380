#include "memory_limit.h"

#include <cstdlib>
#include <limits>
#include <string>

#include "diagnostics.h"

namespace fw {

bool ParseMemoryLimit(const char* text, uint64_t* bytes) {
    const uint64_t kMax = std::numeric_limits<uint64_t>::max();
    uint64_t value = 0;
    const char* p = text;
    for (; *p >= '0' && *p <= '9'; ++p) {
        const uint64_t digit = static_cast<uint64_t>(*p - '0');
        if (value > (kMax - digit) / 10)
            return false;
        value = value * 10 + digit;
    }
    if (p == text)
        return false;
    int shift = 0;
    switch (*p) {
        case '\0':
            break;
        case 'K':
        case 'k':
            shift = 10;
            break;
        case 'M':
        case 'm':
            shift = 20;
            break;
        case 'G':
        case 'g':
            shift = 30;
            break;
        default:
            return false;
    }
    if (shift && (*++p != '\0' || value > (kMax >> shift)))
        return false;
    *bytes = value << shift;
    return true;
}

uint64_t MemoryLimitFromEnvironment() {
    const char* text = std::getenv("ZEVDT_MEMORY_LIMIT");
    uint64_t limit = 0;
    if (!text || !*text)
        return std::numeric_limits<uint64_t>::max();
    if (ParseMemoryLimit(text, &limit))
        return limit;
    // Read each time the limit is asked for, so reported each time too: a
    // limit that silently does nothing would mislead its setter.
    ReportDiagnostic("ZEVDT_MEMORY_LIMIT \"" + std::string(text) +
                     "\" is not a byte count (digits, then K, M or G if wanted); no limit is set.");
    return std::numeric_limits<uint64_t>::max();
}

}  // namespace fw
