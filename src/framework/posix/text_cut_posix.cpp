#include <cstdlib>
#include <cstring>
#include <cwchar>

#include "../text_cut.h"

namespace fw {

// Forward from the start, since only there is a character boundary known in
// every character set; ASCII bytes are whole characters in all of glibc's.
size_t WholeCharacterPrefix(const char* text, size_t limit) {
    const size_t most = MB_CUR_MAX;
    if (most == 1)
        return limit;
    std::mbstate_t state{};
    size_t at = 0;
    while (at < limit) {
        if (static_cast<unsigned char>(text[at]) < 0x80) {
            ++at;
            continue;
        }
        size_t size = std::mbrlen(text + at, strnlen(text + at, most), &state);
        if (size == static_cast<size_t>(-1) || size == 0) {
            // Not a character: a byte of its own.
            state = std::mbstate_t{};
            size = 1;
        } else if (size == static_cast<size_t>(-2)) {
            // A character the text ends inside of: kept only if it all fits.
            state = std::mbstate_t{};
            size = strnlen(text + at, most);
        }
        if (at + size > limit)
            break;
        at += size;
    }
    return at;
}

}  // namespace fw
