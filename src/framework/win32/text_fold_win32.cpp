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

int Sign(int d) {
    return d < 0 ? -1 : (d > 0 ? 1 : 0);
}

// Each byte's lower case when the ANSI code page has one byte per character
// (then the platform folds every character on its own), null for a code page
// with double-byte characters. Taken from the platform once: sorting a long
// list compares often, and each comparison would otherwise copy and convert
// both texts.
const unsigned char* SingleByteLowerCase() {
    struct Table {
        bool singleByte = false;
        unsigned char lower[256] = {};
    };
    static const Table table = [] {
        Table t;
        CPINFO info{};
        t.singleByte = GetCPInfo(CP_ACP, &info) && info.MaxCharSize == 1;
        for (int c = 0; c < 256; ++c) {
            char ch = static_cast<char>(c);
            if (c != 0)
                CharLowerBuffA(&ch, 1);
            t.lower[c] = static_cast<unsigned char>(ch);
        }
        return t;
    }();
    return table.singleByte ? table.lower : nullptr;
}

}  // namespace

int CompareFoldedText(const char* a, size_t aLength, const char* b, size_t bLength) {
    const unsigned char* x = reinterpret_cast<const unsigned char*>(a);
    const unsigned char* y = reinterpret_cast<const unsigned char*>(b);
    const size_t common = aLength < bLength ? aLength : bLength;
    if (const unsigned char* lower = SingleByteLowerCase()) {
        for (size_t i = 0; i < common; ++i)
            if (int d = lower[x[i]] - lower[y[i]])
                return Sign(d);
        return aLength < bLength ? -1 : (aLength > bLength ? 1 : 0);
    }
    // Double-byte code page: the common prefix of ASCII characters is
    // compared as it is read (no byte below 0x80 there is half a character),
    // and only what follows is folded by the platform.
    size_t i = 0;
    for (; i < common && (x[i] | y[i]) < 0x80; ++i) {
        int cx = x[i] >= 'A' && x[i] <= 'Z' ? x[i] - 'A' + 'a' : x[i];
        int cy = y[i] >= 'A' && y[i] <= 'Z' ? y[i] - 'A' + 'a' : y[i];
        if (int d = cx - cy)
            return Sign(d);
    }
    const std::string fx = Folded(a + i, aLength - i);
    const std::string fy = Folded(b + i, bLength - i);
    int order = fx.compare(fy);  // char_traits<char>::compare compares bytes unsigned
    return order < 0 ? -1 : (order > 0 ? 1 : 0);
}

}  // namespace fw
