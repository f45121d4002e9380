// The library's texts are bytes in the process's code page (the ANSI code page
// on Windows, the locale's character set on Linux). What zevdt writes as UTF-8
// (JSON, --encoding utf-8, the Windows console) is converted here.
#ifndef ZEVDT_HOST_TEXT_H
#define ZEVDT_HOST_TEXT_H

#include <string>
#include <string_view>

namespace zevdt {

// The code page's bytes as UTF-8. A numeric character reference ("&#328;")
// to a character the code page cannot hold, which is how the data-transfer
// library hands out such a character, becomes that character. Bytes that are
// not text of the code page are read as Windows-1252 (see Utf8FromAnsi).
std::string HostToUtf8(std::string_view text);

// Writes UTF-8 text to standard output with the console's own wide-character
// call when standard output is a Windows console, whose code page is not the
// ANSI one; false (nothing written) anywhere else.
bool WriteToConsole(const std::string& utf8);

}  // namespace zevdt

#endif
