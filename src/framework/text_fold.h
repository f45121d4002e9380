// Comparison of byte strings without regard to case, as names and column
// keys are compared: the letters of the process's code page fold, multibyte
// characters included. On Windows the platform folds its ANSI code page; the
// headless build folds by the locale's character set and letters (LC_CTYPE),
// so that "\xC9T\xC9" and "\xE9t\xE9" are one name under a Latin-1 locale as
// they are under code page 1252 (docs/framework.md).
#ifndef ZEVDT_FRAMEWORK_TEXT_FOLD_H
#define ZEVDT_FRAMEWORK_TEXT_FOLD_H

#include <cstddef>
#include <cstring>

namespace fw {

// Below, equal to or above 0 as `a` sorts before, with or after `b` once
// both are folded to lower case; bytes compare unsigned.
int CompareFoldedText(const char* a, size_t aLength, const char* b, size_t bLength);

// The order a sorted list view keeps its rows in: without regard to case,
// and of two texts that differ in case only, the one with the lower-case
// letter at the first difference first ("x" before "X"), as the platform's
// list view does whichever came first. (Its list and combo boxes sort
// without regard to case only.)
inline int CompareListText(const char* a, size_t aLength, const char* b, size_t bLength) {
    if (int folded = CompareFoldedText(a, aLength, b, bLength))
        return folded;
    // Folded alike: at the first differing byte stands a letter in its two
    // cases, and the lower-case one mostly has the higher code. (A letter
    // may fold to a character of another length; then the shorter text goes
    // first if it is the start of the longer.)
    int bytes = std::memcmp(a, b, aLength < bLength ? aLength : bLength);
    if (bytes == 0)
        return aLength < bLength ? -1 : (aLength > bLength ? 1 : 0);
    return bytes < 0 ? 1 : -1;
}

}  // namespace fw

#endif
