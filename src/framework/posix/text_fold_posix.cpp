#include <climits>
#include <cstdlib>
#include <cwchar>
#include <cwctype>
#include <string>

#include "../text_fold.h"

namespace fw {
namespace {

unsigned char FoldAscii(unsigned char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<unsigned char>(c - 'A' + 'a') : c;
}

int Sign(int d) {
    return d < 0 ? -1 : (d > 0 ? 1 : 0);
}

// The text with each character in lower case by the locale's rules, written
// back in the locale's character set. Bytes that form no character stay as
// they are, so texts that differ there never fold alike.
std::string Folded(const char* text, size_t length) {
    std::string out;
    out.reserve(length);
    std::mbstate_t in{}, back{};
    char bytes[MB_LEN_MAX];
    for (size_t at = 0; at < length;) {
        const unsigned char c = static_cast<unsigned char>(text[at]);
        if (c < 0x80) {
            out += static_cast<char>(FoldAscii(c));
            ++at;
            continue;
        }
        wchar_t wide = 0;
        size_t size = std::mbrtowc(&wide, text + at, length - at, &in);
        if (size == static_cast<size_t>(-1) || size == static_cast<size_t>(-2) || size == 0) {
            in = std::mbstate_t{};
            out += static_cast<char>(c);
            ++at;
            continue;
        }
        size_t written =
            std::wcrtomb(bytes, static_cast<wchar_t>(std::towlower(static_cast<wint_t>(wide))), &back);
        if (written == static_cast<size_t>(-1)) {
            back = std::mbstate_t{};
            out.append(text + at, size);
        } else {
            out.append(bytes, written);
        }
        at += size;
    }
    return out;
}

}  // namespace

// The locale's letters, as the platform folds those of its code page. Names
// are mostly ASCII: the common prefix of ASCII bytes is compared as it is
// read, and only a text with other bytes left is decoded.
int CompareFoldedText(const char* a, size_t aLength, const char* b, size_t bLength) {
    const unsigned char* x = reinterpret_cast<const unsigned char*>(a);
    const unsigned char* y = reinterpret_cast<const unsigned char*>(b);
    size_t i = 0;
    for (; i < aLength && i < bLength && (x[i] | y[i]) < 0x80; ++i)
        if (int d = FoldAscii(x[i]) - FoldAscii(y[i]))
            return Sign(d);
    if (i == aLength || i == bLength)
        return aLength < bLength ? -1 : (aLength > bLength ? 1 : 0);
    // Everything before was ASCII, so both texts are at a character boundary.
    const std::string p = Folded(a + i, aLength - i);
    const std::string q = Folded(b + i, bLength - i);
    return Sign(p.compare(q));
}

}  // namespace fw
