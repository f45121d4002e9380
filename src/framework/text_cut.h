// Where a text may be cut without splitting a character: the platform's
// answer behind a portable name (posix/ and win32/text_cut_*.cpp).
#pragma once

#include <cstddef>

namespace fw {

// The bytes of the whole characters at the start of `text` that fit in
// `limit` bytes, by the multibyte rules of the process's code page (the ANSI
// code page on Windows, the locale's character set elsewhere). `text` runs on
// past `limit`. A byte that begins no valid character counts as one.
size_t WholeCharacterPrefix(const char* text, size_t limit);

}  // namespace fw
