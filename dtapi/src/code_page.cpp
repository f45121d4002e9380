#include "code_page.h"

#include <cerrno>
#include <cstring>

#include "errors.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <iconv.h>
#include <langinfo.h>
#endif

namespace zevdtapi {

size_t Utf8Sequence(const std::string& s, size_t i, unsigned long* codePoint) {
    unsigned char c = static_cast<unsigned char>(s[i]);
    size_t n;
    unsigned long cp, min;
    if (c < 0x80) {
        *codePoint = c;
        return 1;
    } else if ((c & 0xE0) == 0xC0) {
        n = 2, cp = c & 0x1F, min = 0x80;
    } else if ((c & 0xF0) == 0xE0) {
        n = 3, cp = c & 0x0F, min = 0x800;
    } else if ((c & 0xF8) == 0xF0) {
        n = 4, cp = c & 0x07, min = 0x10000;
    } else {
        return 0;
    }
    if (i + n > s.size())
        return 0;
    for (size_t k = 1; k < n; ++k) {
        unsigned char t = static_cast<unsigned char>(s[i + k]);
        if ((t & 0xC0) != 0x80)
            return 0;
        cp = (cp << 6) | (t & 0x3F);
    }
    if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
        return 0;
    *codePoint = cp;
    return n;
}

void AppendUtf8(unsigned long cp, std::string* out) {
    if (cp < 0x80) {
        out->push_back(char(cp));
    } else if (cp < 0x800) {
        out->push_back(char(0xC0 | (cp >> 6)));
        out->push_back(char(0x80 | (cp & 0x3F)));
    } else if (cp < 0x10000) {
        out->push_back(char(0xE0 | (cp >> 12)));
        out->push_back(char(0x80 | ((cp >> 6) & 0x3F)));
        out->push_back(char(0x80 | (cp & 0x3F)));
    } else {
        out->push_back(char(0xF0 | (cp >> 18)));
        out->push_back(char(0x80 | ((cp >> 12) & 0x3F)));
        out->push_back(char(0x80 | ((cp >> 6) & 0x3F)));
        out->push_back(char(0x80 | (cp & 0x3F)));
    }
}

namespace {

unsigned long FoldCodePoint(unsigned long c) {
    if ((c >= 'A' && c <= 'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7))
        return c + 0x20;
    if (c >= 0x100 && c <= 0x137)
        return c | 1;  // pairs: even upper, odd lower
    if ((c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E))
        return (c & 1) ? c + 1 : c;  // pairs: odd upper, even lower
    if (c >= 0x14A && c <= 0x177)
        return c | 1;
    if (c == 0x178)
        return 0xFF;
    if ((c >= 0x391 && c <= 0x3A9 && c != 0x3A2) || (c >= 0x410 && c <= 0x42F))
        return c + 0x20;
    if (c >= 0x400 && c <= 0x40F)
        return c + 0x50;
    if (c >= 0xFF21 && c <= 0xFF3A)
        return c + 0x20;
    return c;
}

void AppendReference(unsigned long cp, std::string* out) {
    *out += "&#" + std::to_string(cp) + ";";
}

}  // namespace

std::string FoldCase(const std::string& s) {
    std::string out;
    out.reserve(s.size());
    for (size_t i = 0; i < s.size();) {
        unsigned long cp;
        size_t n = Utf8Sequence(s, i, &cp);
        if (n == 0) {
            out.push_back(s[i++]);
            continue;
        }
        AppendUtf8(FoldCodePoint(cp), &out);
        i += n;
    }
    return out;
}

#ifdef _WIN32

HostText::HostText() : codePage_(GetACP()) {
    converts_ = codePage_ != CP_UTF8;
}

HostText::~HostText() = default;

// Converts well-formed UTF-8 as a whole; false when a character has no byte
// sequence of its own in the code page (no best-fit look-alikes).
bool HostText::OutRaw(const char* utf8, size_t size, std::string* out) const {
    out->clear();
    if (size == 0)
        return true;
    int wide = MultiByteToWideChar(CP_UTF8, 0, utf8, int(size), nullptr, 0);
    std::wstring w(size_t(wide), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8, int(size), &w[0], wide);
    BOOL usedDefault = FALSE;
    int bytes = WideCharToMultiByte(codePage_, WC_NO_BEST_FIT_CHARS, w.data(), wide, nullptr, 0, nullptr,
                                    &usedDefault);
    if (bytes <= 0 || usedDefault)
        return false;
    out->resize(size_t(bytes));
    WideCharToMultiByte(codePage_, WC_NO_BEST_FIT_CHARS, w.data(), wide, &(*out)[0], bytes, nullptr,
                        &usedDefault);
    return !usedDefault;
}

std::string HostText::In(const std::string& host, const char* what) const {
    std::string out;
    if (!host.empty()) {
        int wide =
            MultiByteToWideChar(codePage_, MB_ERR_INVALID_CHARS, host.data(), int(host.size()), nullptr, 0);
        if (wide <= 0)
            Fail(kBadArgument, std::string(what) + " holds bytes that are not text of code page " +
                                   std::to_string(codePage_) + ".");
        std::wstring w(size_t(wide), L'\0');
        MultiByteToWideChar(codePage_, 0, host.data(), int(host.size()), &w[0], wide);
        int bytes = WideCharToMultiByte(CP_UTF8, 0, w.data(), wide, nullptr, 0, nullptr, nullptr);
        out.resize(size_t(bytes));
        WideCharToMultiByte(CP_UTF8, 0, w.data(), wide, &out[0], bytes, nullptr, nullptr);
    }
    return DecodeReferences(out);
}

#else

namespace {

bool IsUtf8OrPlain(const char* set) {
    // The "C" locale's ASCII is what a host gets when it never chose a locale:
    // its bytes pass through, as every tool in that locale passes them.
    return !strcmp(set, "UTF-8") || !strcmp(set, "utf8") || !strcmp(set, "ANSI_X3.4-1968") ||
           !strcmp(set, "ASCII") || !strcmp(set, "US-ASCII");
}

// Runs one iconv conversion of size bytes; stops at the first byte sequence
// that cannot be converted and returns how many input bytes were converted.
size_t Convert(iconv_t cd, const char* in, size_t size, std::string* out, bool* stopped) {
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    char* src = const_cast<char*>(in);
    size_t left = size;
    *stopped = false;
    char buffer[1024];
    while (left > 0) {
        char* dst = buffer;
        size_t room = sizeof(buffer);
        size_t r = iconv(cd, &src, &left, &dst, &room);
        out->append(buffer, size_t(dst - buffer));
        if (r == size_t(-1) && errno != E2BIG) {
            *stopped = true;
            break;
        }
    }
    char* dst = buffer;
    size_t room = sizeof(buffer);
    iconv(cd, nullptr, nullptr, &dst, &room);
    out->append(buffer, size_t(dst - buffer));
    return size - left;
}

}  // namespace

HostText::HostText() {
    const char* set = nl_langinfo(CODESET);
    if (!set || IsUtf8OrPlain(set))
        return;
    iconv_t to = iconv_open(set, "UTF-8");
    iconv_t from = iconv_open("UTF-8", set);
    if (to == iconv_t(-1) || from == iconv_t(-1)) {
        if (to != iconv_t(-1))
            iconv_close(to);
        if (from != iconv_t(-1))
            iconv_close(from);
        Fail(kInternal, std::string("The locale's character set ") + set + " cannot be converted.");
    }
    toHost_ = to;
    fromHost_ = from;
    converts_ = true;
}

HostText::~HostText() {
    if (toHost_)
        iconv_close(static_cast<iconv_t>(toHost_));
    if (fromHost_)
        iconv_close(static_cast<iconv_t>(fromHost_));
}

bool HostText::OutRaw(const char* utf8, size_t size, std::string* out) const {
    out->clear();
    bool stopped = false;
    Convert(static_cast<iconv_t>(toHost_), utf8, size, out, &stopped);
    return !stopped;
}

std::string HostText::In(const std::string& host, const char* what) const {
    std::string out;
    if (converts_) {
        bool stopped = false;
        Convert(static_cast<iconv_t>(fromHost_), host.data(), host.size(), &out, &stopped);
        if (stopped)
            Fail(kBadArgument, std::string(what) +
                                   " holds bytes that are not text of the locale's character set " +
                                   nl_langinfo(CODESET) + ".");
    } else {
        out = host;
    }
    return DecodeReferences(out);
}

#endif

// References to characters the code page cannot hold become those characters again.
std::string HostText::DecodeReferences(const std::string& out) const {
    if (!converts_ || out.find("&#") == std::string::npos)
        return out;
    std::string decoded;
    decoded.reserve(out.size());
    for (size_t i = 0; i < out.size();) {
        if (out.compare(i, 2, "&#") == 0) {
            size_t j = i + 2;
            unsigned long cp = 0;
            while (j < out.size() && j < i + 10 && out[j] >= '0' && out[j] <= '9')
                cp = cp * 10 + (out[j++] - '0');
            if (j > i + 2 && j < out.size() && out[j] == ';' && cp > 0 && cp <= 0x10FFFF &&
                !(cp >= 0xD800 && cp <= 0xDFFF) && !Holds(cp)) {
                AppendUtf8(cp, &decoded);
                i = j + 1;
                continue;
            }
        }
        decoded.push_back(out[i++]);
    }
    return decoded;
}

bool HostText::Holds(unsigned long cp) const {
    std::string utf8, host;
    AppendUtf8(cp, &utf8);
    return OutRaw(utf8.data(), utf8.size(), &host);
}

std::string HostText::Out(const std::string& utf8) const {
    if (!converts_)
        return utf8;
    std::string out;
    if (OutRaw(utf8.data(), utf8.size(), &out))
        return out;
    // Some character has no place in the code page: one character at a time.
    out.clear();
    std::string piece;
    for (size_t i = 0; i < utf8.size();) {
        unsigned long cp;
        size_t n = Utf8Sequence(utf8, i, &cp);
        if (n == 0) {
            out.push_back('?');  // not UTF-8 in the database: no character to name
            ++i;
        } else if (OutRaw(utf8.data() + i, n, &piece)) {
            out += piece;
            i += n;
        } else {
            AppendReference(cp, &out);
            i += n;
        }
    }
    return out;
}

std::string HostText::OutBounded(const std::string& utf8, size_t maxBytes) const {
    std::string out;
    if (!converts_) {
        size_t n = utf8.size() < maxBytes ? utf8.size() : maxBytes;
        if (n < utf8.size()) {
            while (n > 0 && (static_cast<unsigned char>(utf8[n]) & 0xC0) == 0x80) --n;
        }
        return utf8.substr(0, n);
    }
    out = Out(utf8);
    if (out.size() <= maxBytes)
        return out;
    out.clear();
    for (size_t i = 0; i < utf8.size();) {
        unsigned long cp;
        size_t n = Utf8Sequence(utf8, i, &cp);
        std::string piece = Out(utf8.substr(i, n ? n : 1));
        if (out.size() + piece.size() > maxBytes)
            break;
        out += piece;
        i += n ? n : 1;
    }
    return out;
}

}  // namespace zevdtapi
