#include <climits>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <cwctype>

#include "../text_fold.h"

namespace fw {
namespace {

unsigned char FoldAscii(unsigned char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<unsigned char>(c - 'A' + 'a') : c;
}

int Sign(int d) {
    return d < 0 ? -1 : (d > 0 ? 1 : 0);
}

// The bytes of a text with each character in lower case by the locale's
// rules, written back in the locale's character set, one at a time (sorting
// a long list compares often; nothing is allocated). Bytes that form no
// character stay as they are, so texts that differ there never fold alike.
class FoldedBytes {
  public:
    FoldedBytes(const char* text, size_t length) : text_(text), length_(length) {}

    // The next byte, or -1 at the end.
    int Next() {
        if (pendingAt_ < pending_)
            return static_cast<unsigned char>(bytes_[pendingAt_++]);
        if (at_ >= length_)
            return -1;
        const unsigned char c = static_cast<unsigned char>(text_[at_]);
        if (c < 0x80) {
            ++at_;
            return FoldAscii(c);
        }
        wchar_t wide = 0;
        const size_t size = std::mbrtowc(&wide, text_ + at_, length_ - at_, &in_);
        if (size == static_cast<size_t>(-1) || size == static_cast<size_t>(-2) || size == 0) {
            in_ = std::mbstate_t{};
            ++at_;
            return c;
        }
        size_t written =
            std::wcrtomb(bytes_, static_cast<wchar_t>(std::towlower(static_cast<wint_t>(wide))), &out_);
        if (written == static_cast<size_t>(-1) || written == 0) {
            out_ = std::mbstate_t{};
            std::memcpy(bytes_, text_ + at_, size);
            written = size;
        }
        at_ += size;
        pending_ = written;
        pendingAt_ = 1;
        return static_cast<unsigned char>(bytes_[0]);
    }

  private:
    const char* text_;
    size_t length_;
    size_t at_ = 0;
    std::mbstate_t in_{}, out_{};
    char bytes_[MB_LEN_MAX];
    size_t pending_ = 0, pendingAt_ = 0;
};

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
    FoldedBytes p(a + i, aLength - i), q(b + i, bLength - i);
    for (;;) {
        const int c = p.Next(), d = q.Next();
        if (c != d)
            return c < d ? -1 : 1;
        if (c < 0)
            return 0;
    }
}

}  // namespace fw
