#include <windows.h>

#include "../text_cut.h"

namespace fw {
namespace {

bool IsUtf8Continuation(unsigned char c) {
    return (c & 0xC0) == 0x80;
}

// The code page UTF-8 (a process may run with it as its ANSI code page), where
// lead bytes are no DBCS lead bytes: back from the cut over the continuation
// bytes, then keep that character only if it ends before the cut.
size_t Utf8Prefix(const unsigned char* text, size_t limit) {
    size_t start = limit;
    while (start > 0 && limit - start < 4 && IsUtf8Continuation(text[start])) --start;
    if (start == limit)
        return limit;
    const unsigned char lead = text[start];
    const size_t size = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
    return start + size <= limit ? limit : start;
}

}  // namespace

// Forward from the start by the ANSI code page's lead bytes: a trail byte of
// a double-byte code page can look like any other byte, so only a walk from
// a known boundary finds where the characters begin.
size_t WholeCharacterPrefix(const char* text, size_t limit) {
    const UINT codePage = GetACP();
    if (codePage == CP_UTF8)
        return Utf8Prefix(reinterpret_cast<const unsigned char*>(text), limit);
    CPINFO info;
    if (!GetCPInfo(codePage, &info) || info.MaxCharSize < 2)
        return limit;
    size_t at = 0;
    while (at < limit) {
        const unsigned char c = static_cast<unsigned char>(text[at]);
        // A lead byte followed by the text's end is a byte of its own.
        const size_t size = c >= 0x80 && IsDBCSLeadByteEx(codePage, c) && text[at + 1] != '\0' ? 2 : 1;
        if (at + size > limit)
            break;
        at += size;
    }
    return at;
}

}  // namespace fw
