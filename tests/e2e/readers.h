// Small, strict readers of the formats zevdt writes, so that tests check an
// output by reading it back rather than by comparing it with expected text.
#ifndef ZEVDT_TESTS_READERS_H
#define ZEVDT_TESTS_READERS_H

#include <map>
#include <memory>
#include <string>
#include <vector>

namespace zevdt_test {

using Records = std::vector<std::vector<std::string>>;

// RFC 4180 with CRLF line ends required. Throws std::runtime_error on
// anything else (a bare LF or CR outside quotes, a stray quote, a missing
// final CRLF).
Records ReadCsv(const std::string& text);

// Tab-separated with \t \r \n \\ escapes and LF line ends.
Records ReadTsv(const std::string& text);

struct Json {
    enum Kind { kNull, kBool, kNumber, kString, kArray, kObject } kind = kNull;
    bool boolean = false;
    double number = 0;
    std::string text;  // UTF-8
    std::vector<Json> items;
    std::map<std::string, Json> members;

    const Json& operator[](const std::string& key) const;  // throws when missing
};

// RFC 8259; strings must be valid UTF-8 and control characters escaped.
// Throws std::runtime_error with the offset of the first fault.
Json ReadJson(const std::string& text);

}  // namespace zevdt_test

#endif
