// Texts at the contract's boundary. The databases hold UTF-8; the caller
// speaks the process's code page: the ANSI code page on Windows, the
// character set of the current locale (LC_CTYPE) on Linux. Every text handed
// out goes through Out, every text taken in through In.
//
// A character the code page cannot hold is handed out as a decimal numeric
// character reference ("&#328;" for U+0148). On the way in a reference turns
// back into its character only when the code page cannot hold that character,
// so typed text such as "&#65;" stays as it is, and a value or saved filter
// handed back unchanged reaches the database as the UTF-8 it came from.
#ifndef ZEVDTAPI_CODE_PAGE_H
#define ZEVDTAPI_CODE_PAGE_H

#include <cstddef>
#include <string>

namespace zevdtapi {

class HostText {
  public:
    // The code page of the process as it is now. A locale whose set is UTF-8,
    // or the plain "C" locale that a host never changed, converts nothing.
    HostText();
    ~HostText();
    HostText(const HostText&) = delete;
    HostText& operator=(const HostText&) = delete;

    bool converts() const { return converts_; }

    // UTF-8 to the code page.
    std::string Out(const std::string& utf8) const;
    // The same, cut to at most maxBytes bytes without splitting a character or a reference.
    std::string OutBounded(const std::string& utf8, size_t maxBytes) const;
    // The code page to UTF-8; what names the text in an error ("The condition").
    // Fails with kBadArgument when the bytes are not text of the code page.
    std::string In(const std::string& host, const char* what) const;

  private:
    bool Holds(unsigned long codePoint) const;
    std::string DecodeReferences(const std::string& text) const;
    bool OutRaw(const char* utf8, size_t size, std::string* out) const;

    bool converts_ = false;
#ifdef _WIN32
    unsigned codePage_ = 0;
#else
    void* toHost_ = nullptr;
    void* fromHost_ = nullptr;
#endif
};

// Length of the UTF-8 sequence starting at s[i] and its code point; 0 when the
// bytes there are not a well-formed sequence.
size_t Utf8Sequence(const std::string& s, size_t i, unsigned long* codePoint);
void AppendUtf8(unsigned long codePoint, std::string* out);

// Folds letters to lower case for comparisons: ASCII, Latin-1, Latin
// Extended-A, Greek, Cyrillic and the full-width Latin letters.
std::string FoldCase(const std::string& utf8);

}  // namespace zevdtapi

#endif
