#include "../text_fold.h"

#include <windows.h>

#include <string>

namespace fw {
namespace {

// The platform's own lower case in the process's ANSI code page, double-byte
// characters included: CharLowerBuffA works on the whole text.
std::string Folded(const char* text, size_t length) {
    std::string copy(text, length);
    if (!copy.empty())
        CharLowerBuffA(&copy[0], static_cast<DWORD>(copy.size()));
    return copy;
}

}  // namespace

int CompareFoldedText(const char* a, size_t aLength, const char* b, size_t bLength) {
    const std::string x = Folded(a, aLength);
    const std::string y = Folded(b, bLength);
    int order = x.compare(y);  // char_traits<char>::compare compares bytes unsigned
    return order < 0 ? -1 : (order > 0 ? 1 : 0);
}

}  // namespace fw
