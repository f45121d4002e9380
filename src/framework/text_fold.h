// Comparison of byte strings without regard to case, as names and column
// keys are compared. On Windows the platform folds the letters of the
// process's ANSI code page; the headless build folds the ASCII letters A to Z
// only, whatever the locale (docs/framework.md).
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
    // Folded alike, so as long: the first differing byte is a letter in its
    // two cases, and the lower-case one has the higher code.
    int bytes = std::memcmp(a, b, aLength);
    return bytes < 0 ? 1 : (bytes > 0 ? -1 : 0);
}

}  // namespace fw

#endif
