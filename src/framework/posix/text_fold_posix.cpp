#include "../text_fold.h"

namespace fw {
namespace {

// Not std::tolower: a host that sets a locale must not change which names clash.
unsigned char FoldAscii(unsigned char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<unsigned char>(c - 'A' + 'a') : c;
}

}  // namespace

int CompareFoldedText(const char* a, size_t aLength, const char* b, size_t bLength) {
    const unsigned char* x = reinterpret_cast<const unsigned char*>(a);
    const unsigned char* y = reinterpret_cast<const unsigned char*>(b);
    for (size_t i = 0; i < aLength && i < bLength; ++i) {
        int d = FoldAscii(x[i]) - FoldAscii(y[i]);
        if (d != 0)
            return d < 0 ? -1 : 1;
    }
    return aLength < bLength ? -1 : (aLength > bLength ? 1 : 0);
}

}  // namespace fw
