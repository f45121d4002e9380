#include "host_text.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "formats.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <iconv.h>
#include <langinfo.h>
#endif

namespace zevdt {
namespace {

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

#ifdef _WIN32

bool Converts() {
    return GetACP() != CP_UTF8;
}

// The code page's bytes as UTF-8; bytes that are not text of it become U+FFFD.
void Decode(std::string_view text, std::string* out) {
    out->clear();
    if (text.empty())
        return;
    int wide = MultiByteToWideChar(CP_ACP, 0, text.data(), int(text.size()), nullptr, 0);
    std::wstring w(size_t(wide), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text.data(), int(text.size()), &w[0], wide);
    int bytes = WideCharToMultiByte(CP_UTF8, 0, w.data(), wide, nullptr, 0, nullptr, nullptr);
    out->resize(size_t(bytes));
    WideCharToMultiByte(CP_UTF8, 0, w.data(), wide, &(*out)[0], bytes, nullptr, nullptr);
}

bool Holds(unsigned long cp) {
    wchar_t w[2];
    int n = 1;
    if (cp >= 0x10000) {
        w[0] = wchar_t(0xD800 + ((cp - 0x10000) >> 10));
        w[1] = wchar_t(0xDC00 + ((cp - 0x10000) & 0x3FF));
        n = 2;
    } else {
        w[0] = wchar_t(cp);
    }
    char bytes[8];
    BOOL usedDefault = FALSE;
    int r =
        WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, w, n, bytes, sizeof(bytes), nullptr, &usedDefault);
    return r > 0 && !usedDefault;
}

#else

const char* CodeSet() {
    const char* set = nl_langinfo(CODESET);
    return set ? set : "UTF-8";
}

bool Converts() {
    const char* set = CodeSet();
    // The plain C locale's ASCII passes bytes through, as the library does.
    return strcmp(set, "UTF-8") != 0 && strcmp(set, "ANSI_X3.4-1968") != 0 && strcmp(set, "ASCII") != 0;
}

// Converts with iconv; a byte that cannot be converted becomes the replacement
// (nothing when it is empty: false comes back instead).
bool Run(const char* to, const char* from, std::string_view text, std::string* out, const char* replacement) {
    out->clear();
    iconv_t cd = iconv_open(to, from);
    if (cd == iconv_t(-1)) {
        *out = std::string(text);
        return false;
    }
    char* src = const_cast<char*>(text.data());
    size_t left = text.size();
    bool ok = true;
    char buffer[1024];
    while (left > 0) {
        char* dst = buffer;
        size_t room = sizeof(buffer);
        size_t r = iconv(cd, &src, &left, &dst, &room);
        out->append(buffer, size_t(dst - buffer));
        if (r == size_t(-1) && errno != E2BIG) {
            ok = false;
            if (!*replacement)
                break;
            *out += replacement;
            ++src;
            --left;
        }
    }
    iconv_close(cd);
    return ok;
}

void Decode(std::string_view text, std::string* out) {
    Run("UTF-8", CodeSet(), text, out, "\xEF\xBF\xBD");
}

bool Holds(unsigned long cp) {
    std::string utf8, bytes;
    AppendUtf8(cp, &utf8);
    return Run(CodeSet(), "UTF-8", utf8, &bytes, "");
}

#endif

}  // namespace

std::string HostToUtf8(std::string_view text) {
    bool ascii = std::all_of(text.begin(), text.end(), [](char c) { return (c & 0x80) == 0; });
    if (ascii && text.find("&#") == std::string_view::npos)
        return std::string(text);
    if (!Converts())
        return Utf8FromAnsi(std::string(text));
    std::string utf8;
    Decode(text, &utf8);
    if (utf8.find("&#") == std::string::npos)
        return utf8;
    std::string out;
    for (size_t i = 0; i < utf8.size();) {
        if (utf8.compare(i, 2, "&#") == 0) {
            size_t j = i + 2;
            unsigned long cp = 0;
            while (j < utf8.size() && j < i + 10 && utf8[j] >= '0' && utf8[j] <= '9')
                cp = cp * 10 + (utf8[j++] - '0');
            if (j > i + 2 && j < utf8.size() && utf8[j] == ';' && cp > 0 && cp <= 0x10FFFF &&
                !(cp >= 0xD800 && cp <= 0xDFFF) && !Holds(cp)) {
                AppendUtf8(cp, &out);
                i = j + 1;
                continue;
            }
        }
        out.push_back(utf8[i++]);
    }
    return out;
}

bool WriteToConsole(const std::string& utf8) {
#ifdef _WIN32
    HANDLE console = GetStdHandle(STD_OUTPUT_HANDLE);
    DWORD mode = 0;
    if (console == INVALID_HANDLE_VALUE || !GetConsoleMode(console, &mode))
        return false;
    int wide = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), int(utf8.size()), nullptr, 0);
    std::wstring w(size_t(wide), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), int(utf8.size()), &w[0], wide);
    for (size_t at = 0; at < w.size();) {
        DWORD written = 0;
        DWORD chunk = DWORD(std::min<size_t>(w.size() - at, 8192));
        if (!WriteConsoleW(console, w.data() + at, chunk, &written, nullptr) || written == 0)
            return at > 0;
        at += written;
    }
    return true;
#else
    (void)utf8;
    return false;
#endif
}

}  // namespace zevdt
