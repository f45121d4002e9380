// Lower case as SQL folds identifiers and keywords: A to Z only. Every other
// byte stays as it is, so the letters of a UTF-8 name beyond ASCII are never
// touched, whatever the locale.
#ifndef ZEVDTAPI_ASCII_LOWER_H
#define ZEVDTAPI_ASCII_LOWER_H

#include <string>

namespace zevdtapi {

inline char AsciiLower(char c) {
    return c >= 'A' && c <= 'Z' ? char(c + ('a' - 'A')) : c;
}

inline std::string AsciiLower(std::string s) {
    for (char& c : s) c = AsciiLower(c);
    return s;
}

}  // namespace zevdtapi

#endif
