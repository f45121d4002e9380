#include <cstdlib>
#include <cstring>
#include <cwchar>

#include <langinfo.h>

#include "../text_cut.h"

namespace fw {

namespace {

// A host that never chose a locale runs in the plain C locale, where the
// data-transfer library passes its UTF-8 through: the cut keeps UTF-8 whole
// there too, stepping back over a well-formed sequence the limit would split.
size_t Utf8Prefix(const char* text, size_t limit) {
    auto continuation = [&](size_t i) { return (static_cast<unsigned char>(text[i]) & 0xC0) == 0x80; };
    if (!continuation(limit))
        return limit;
    size_t lead = limit;
    while (lead > 0 && limit - lead < 3 && continuation(lead - 1)) --lead;
    if (lead == 0)
        return limit;
    --lead;
    const unsigned char b = static_cast<unsigned char>(text[lead]);
    const size_t size = b >= 0xF0 && b <= 0xF4 ? 4 : b >= 0xE0 ? 3 : b >= 0xC2 && b < 0xE0 ? 2 : 0;
    if (size == 0 || lead + size <= limit)
        return limit;
    for (size_t i = limit; i < lead + size; ++i)
        if (!continuation(i))
            return limit;
    return lead;
}

}  // namespace

// Forward from the start, since only there is a character boundary known in
// every character set; ASCII bytes are whole characters in all of glibc's.
size_t WholeCharacterPrefix(const char* text, size_t limit) {
    const size_t most = MB_CUR_MAX;
    if (most == 1)
        return std::strcmp(nl_langinfo(CODESET), "ANSI_X3.4-1968") == 0 ? Utf8Prefix(text, limit) : limit;
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
