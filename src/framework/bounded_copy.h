// Every copy of a text into a fixed-size field of a record or an item goes
// through here, so that no text can run into the next field or item; and
// every read of such a field, so that none is read past its end.
#pragma once

#include <cstddef>
#include <cstring>

#include "afxstr.h"
#include "text_cut.h"

namespace fw {

enum class Padding {
    // NUL bytes after the text up to the limit: the whole field is written.
    ToLimit,
    // Only the text and its NUL: for fields of arrays that were zeroed when
    // they were allocated, where padding would touch every page twice.
    None,
};

// Where a cut at `length` leaves a decimal character reference ("&#328;")
// whole: before its "&" when the reference runs on past the cut. Such a
// reference stands for one character the code page cannot hold (the data
// library hands those over that way), so a cut inside it would leave half a
// character as surely as one inside a multibyte sequence. ASCII bytes below
// 0x40 are never the second byte of a double-byte character, so this never
// splits one.
inline size_t BeforeCutReference(const char* text, size_t length) {
    auto digit = [](char c) { return c >= '0' && c <= '9'; };
    size_t start = length;  // the digits before the cut
    while (start > 0 && length - start < 10 && digit(text[start - 1])) --start;
    size_t amp;
    if (start >= 2 && text[start - 1] == '#' && text[start - 2] == '&')
        amp = start - 2;
    else if (start == length && length >= 1 && text[length - 1] == '&' && text[length] == '#')
        amp = length - 1, start = length + 1;
    else
        return length;
    size_t end = length > start ? length : start;  // the digits after the cut
    while (end - start < 10 && digit(text[end])) ++end;
    return end > start && text[end] == ';' ? amp : length;
}

// Copies at most `limit` bytes of `text` (a null text counts as empty) to
// `field`, and never half a character: a multibyte character or a character
// reference that would reach past the limit is left out whole. Bytes from `limit` on are never
// written: a field of limit+1 bytes whose last byte is zero therefore always
// stays NUL-terminated. Returns the bytes of text copied.
inline size_t BoundedCopy(char* field, size_t limit, const char* text, Padding padding = Padding::ToLimit) {
    size_t length = 0;
    if (text) {
        length = strnlen(text, limit);
        // Only a text that goes on past the limit is cut, and only a cut
        // needs to know where characters begin.
        if (length == limit && text[limit] != '\0')
            length = BeforeCutReference(text, WholeCharacterPrefix(text, limit));
        std::memcpy(field, text, length);
    }
    if (length < limit) {
        if (padding == Padding::ToLimit)
            std::memset(field + length, 0, limit - length);
        else
            field[length] = '\0';
    }
    return length;
}

// The text of a fixed field as the library filled it: up to its first NUL,
// and never beyond the field, even when the library left no NUL in it.
template <size_t N>
CString FieldText(const char (&field)[N]) {
    size_t length = strnlen(field, N);
    return CString(field, static_cast<int>(length));
}

}  // namespace fw
