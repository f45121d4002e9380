// Bounded copies between the records' fixed text fields and strings. Every copy
// into a field goes through here, so a field is always NUL-terminated.
#ifndef ZEVDTAPI_TEXT_COPY_H
#define ZEVDTAPI_TEXT_COPY_H

#include <cstddef>
#include <cstring>
#include <string>

#include "code_page.h"

namespace zevdtapi {

// Writes at most fieldSize-1 bytes of text and zero-fills the rest of the field.
inline void CopyToField(char* field, size_t fieldSize, const std::string& text) {
    size_t n = text.size() < fieldSize - 1 ? text.size() : fieldSize - 1;
    std::memcpy(field, text.data(), n);
    std::memset(field + n, 0, fieldSize - n);
}

// Reads a field written by the caller; false when no NUL lies inside the field.
inline bool ReadField(const char* field, size_t fieldSize, std::string* out) {
    const void* end = std::memchr(field, 0, fieldSize);
    if (!end)
        return false;
    out->assign(field, static_cast<const char*>(end));
    return true;
}

// Reads a field the caller may have filled completely: the text stops at the
// NUL or at the field's end, whichever comes first.
inline std::string ReadFieldLenient(const char* field, size_t fieldSize) {
    const void* end = std::memchr(field, 0, fieldSize);
    return std::string(field, end ? static_cast<const char*>(end) : field + fieldSize);
}

// Compares UTF-8 texts without regard to the case of their letters.
inline bool EqualNoCase(const std::string& a, const std::string& b) {
    return a == b || FoldCase(a) == FoldCase(b);
}

inline std::string Trim(const std::string& s) {
    const char* ws = " \t\r\n\f\v";
    size_t b = s.find_first_not_of(ws);
    if (b == std::string::npos)
        return std::string();
    size_t e = s.find_last_not_of(ws);
    return s.substr(b, e - b + 1);
}

}  // namespace zevdtapi

#endif
