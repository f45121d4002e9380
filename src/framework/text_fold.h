// Comparison of byte strings without regard to case, as names and column
// keys are compared. On Windows the platform folds the letters of the
// process's ANSI code page; the headless build folds the ASCII letters A to Z
// only, whatever the locale (docs/framework.md).
#ifndef ZEVDT_FRAMEWORK_TEXT_FOLD_H
#define ZEVDT_FRAMEWORK_TEXT_FOLD_H

#include <cstddef>

namespace fw {

// Below, equal to or above 0 as `a` sorts before, with or after `b` once
// both are folded to lower case; bytes compare unsigned.
int CompareFoldedText(const char* a, size_t aLength, const char* b, size_t bLength);

}  // namespace fw

#endif
