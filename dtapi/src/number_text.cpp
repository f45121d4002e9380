#include "number_text.h"

#include <cstring>

namespace zevdtapi {
namespace {

bool Digit(char c) {
    return c >= '0' && c <= '9';
}

}  // namespace

bool IsNumberText(const std::string& s) {
    size_t i = 0, n = s.size();
    if (i < n && (s[i] == '+' || s[i] == '-'))
        ++i;
    size_t digits = 0;
    while (i < n && Digit(s[i])) ++i, ++digits;
    if (i < n && s[i] == '.') {
        ++i;
        while (i < n && Digit(s[i])) ++i, ++digits;
    }
    if (digits == 0)
        return false;
    if (i < n && (s[i] == 'e' || s[i] == 'E')) {
        ++i;
        if (i < n && (s[i] == '+' || s[i] == '-'))
            ++i;
        size_t exp = 0;
        while (i < n && Digit(s[i])) ++i, ++exp;
        if (exp == 0)
            return false;
    }
    return i == n;
}

size_t NormaliseDecimal(const char* text, size_t n, char* out) {
    size_t i = 0;
    if (i < n && text[i] == '-')
        ++i;
    size_t intStart = i;
    while (i < n && Digit(text[i])) ++i;
    size_t point = i;
    bool plain = i > intStart;
    if (plain && i < n) {
        if (text[i] != '.') {
            plain = false;
        } else {
            ++i;
            size_t fracStart = i;
            while (i < n && Digit(text[i])) ++i;
            plain = i == n && i > fracStart;
        }
    }
    if (!plain) {
        std::memcpy(out, text, n);
        return n;
    }
    if (point == n) {  // no fraction at all
        std::memcpy(out, text, n);
        out[n] = '.';
        out[n + 1] = '0';
        return n + 2;
    }
    size_t end = n;
    while (end > point + 2 && text[end - 1] == '0') --end;
    std::memcpy(out, text, end);
    return end;
}

}  // namespace zevdtapi
