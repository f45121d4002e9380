#include "framework/resfile/resource_file.h"

#include <utility>

namespace fw {

namespace {

constexpr unsigned kTypeBitmap = 2;
constexpr unsigned kTypeDialog = 5;
constexpr unsigned kTypeString = 6;

constexpr uint32_t kDsSetFont = 0x40;
constexpr uint32_t kDsShellFont = 0x48;

// A bounds-checked cursor over a byte range.  Every read fails instead of running past the
// end, so a hostile file can only make parsing stop.
class Cursor {
  public:
    Cursor(const unsigned char* data, size_t size, size_t pos = 0) : data_(data), size_(size), pos_(pos) {}

    size_t pos() const { return pos_; }
    size_t remaining() const { return pos_ <= size_ ? size_ - pos_ : 0; }

    bool Skip(size_t n) {
        if (n > remaining())
            return false;
        pos_ += n;
        return true;
    }
    // Aligns relative to the start of the range, as templates align relative to their start.
    bool Align4() {
        size_t pad = (4 - (pos_ & 3)) & 3;
        return Skip(pad);
    }
    bool Word(uint16_t* v) {
        if (remaining() < 2)
            return false;
        *v = static_cast<uint16_t>(data_[pos_] | (data_[pos_ + 1] << 8));
        pos_ += 2;
        return true;
    }
    bool Short(int* v) {
        uint16_t w;
        if (!Word(&w))
            return false;
        *v = static_cast<int16_t>(w);
        return true;
    }
    bool Dword(uint32_t* v) {
        uint16_t lo, hi;
        if (!Word(&lo) || !Word(&hi))
            return false;
        *v = static_cast<uint32_t>(lo) | (static_cast<uint32_t>(hi) << 16);
        return true;
    }
    bool Byte(uint8_t* v) {
        if (remaining() < 1)
            return false;
        *v = data_[pos_++];
        return true;
    }
    // A NUL-terminated UTF-16 string.
    bool Sz(std::u16string* s) {
        s->clear();
        for (;;) {
            uint16_t c;
            if (!Word(&c))
                return false;
            if (c == 0)
                return true;
            s->push_back(static_cast<char16_t>(c));
        }
    }
    // Either nothing (0x0000), an ordinal (0xFFFF, value) or a NUL-terminated string.
    bool SzOrOrd(std::u16string* s, int* ordinal) {
        *ordinal = -1;
        s->clear();
        uint16_t first;
        if (remaining() < 2)
            return false;
        size_t at = pos_;
        Word(&first);
        if (first == 0)
            return true;
        if (first == 0xFFFF) {
            uint16_t ord;
            if (!Word(&ord))
                return false;
            *ordinal = ord;
            return true;
        }
        pos_ = at;
        return Sz(s);
    }

  private:
    const unsigned char* data_;
    size_t size_;
    size_t pos_;
};

const char* PredefinedClass(int ordinal) {
    switch (ordinal) {
        case 0x80:
            return "Button";
        case 0x81:
            return "Edit";
        case 0x82:
            return "Static";
        case 0x83:
            return "ListBox";
        case 0x84:
            return "ScrollBar";
        case 0x85:
            return "ComboBox";
        default:
            return nullptr;
    }
}

// Window class names are case-insensitive, and the resource compiler writes them in capitals.
// Known classes come back in one spelling so that a backend can compare them plainly.
std::string CanonicalClass(const std::string& name) {
    static const char* const kKnown[] = {"Button",
                                         "Edit",
                                         "Static",
                                         "ListBox",
                                         "ScrollBar",
                                         "ComboBox",
                                         "SysListView32",
                                         "SysTreeView32",
                                         "SysHeader32",
                                         "SysTabControl32",
                                         "ComboBoxEx32",
                                         "msctls_progress32",
                                         "msctls_updown32",
                                         "msctls_trackbar32",
                                         "SysDateTimePick32",
                                         "SysMonthCal32",
                                         "SysIPAddress32",
                                         "SysLink",
                                         "RichEdit20A",
                                         "RichEdit20W"};
    for (const char* known : kKnown) {
        size_t i = 0;
        for (; known[i] && i < name.size(); ++i) {
            char a = known[i], b = name[i];
            if (a >= 'A' && a <= 'Z')
                a = static_cast<char>(a - 'A' + 'a');
            if (b >= 'A' && b <= 'Z')
                b = static_cast<char>(b - 'A' + 'a');
            if (a != b)
                break;
        }
        if (known[i] == 0 && i == name.size())
            return known;
    }
    return name;
}

bool ParseDialog(const unsigned char* data, size_t size, DialogTemplate* dlg) {
    Cursor c(data, size);
    uint16_t ver = 0, sig = 0;
    if (size >= 4) {
        Cursor peek(data, size);
        peek.Word(&ver);
        peek.Word(&sig);
    }
    dlg->extended = ver == 1 && sig == 0xFFFF;
    uint16_t count = 0;
    if (dlg->extended) {
        uint32_t helpId;
        if (!c.Skip(4) || !c.Dword(&helpId) || !c.Dword(&dlg->exStyle) || !c.Dword(&dlg->style))
            return false;
    } else {
        if (!c.Dword(&dlg->style) || !c.Dword(&dlg->exStyle))
            return false;
    }
    if (!c.Word(&count) || !c.Short(&dlg->x) || !c.Short(&dlg->y) || !c.Short(&dlg->cx) || !c.Short(&dlg->cy))
        return false;

    std::u16string s;
    int ord;
    if (!c.SzOrOrd(&s, &ord))
        return false;  // menu
    if (!c.SzOrOrd(&s, &ord))
        return false;  // window class
    if (!c.SzOrOrd(&s, &ord))
        return false;  // caption
    dlg->caption = Utf16ToWindows1252(s);

    if ((dlg->style & kDsSetFont) || (dlg->extended && (dlg->style & kDsShellFont) == kDsShellFont)) {
        uint16_t points;
        if (!c.Word(&points))
            return false;
        dlg->pointSize = points;
        if (dlg->extended) {
            uint16_t weight;
            uint8_t italic, charset;
            if (!c.Word(&weight) || !c.Byte(&italic) || !c.Byte(&charset))
                return false;
        }
        if (!c.Sz(&s))
            return false;
        dlg->fontFace = Utf16ToWindows1252(s);
    }

    dlg->controls.clear();
    dlg->controls.reserve(count);
    for (uint16_t i = 0; i < count; ++i) {
        ControlTemplate ctl;
        if (!c.Align4())
            return false;
        if (dlg->extended) {
            uint32_t helpId, id;
            if (!c.Dword(&helpId) || !c.Dword(&ctl.exStyle) || !c.Dword(&ctl.style))
                return false;
            if (!c.Short(&ctl.x) || !c.Short(&ctl.y) || !c.Short(&ctl.cx) || !c.Short(&ctl.cy))
                return false;
            if (!c.Dword(&id))
                return false;
            ctl.id = static_cast<int>(id);
        } else {
            uint16_t id;
            if (!c.Dword(&ctl.style) || !c.Dword(&ctl.exStyle))
                return false;
            if (!c.Short(&ctl.x) || !c.Short(&ctl.y) || !c.Short(&ctl.cx) || !c.Short(&ctl.cy))
                return false;
            if (!c.Word(&id))
                return false;
            ctl.id = id;
        }
        if (!c.SzOrOrd(&s, &ord))
            return false;
        if (ord >= 0) {
            const char* name = PredefinedClass(ord);
            ctl.windowClass = name ? name : "#" + std::to_string(ord);
        } else {
            ctl.windowClass = CanonicalClass(Utf16ToWindows1252(s));
        }
        if (!c.SzOrOrd(&s, &ord))
            return false;
        ctl.text = Utf16ToWindows1252(s);
        ctl.textOrdinal = ord;
        // Creation data: a byte count, then that many bytes (the count word not included, which
        // is how the dialog manager steps over it).
        uint16_t extra;
        if (!c.Word(&extra) || !c.Skip(extra))
            return false;
        dlg->controls.push_back(std::move(ctl));
    }
    return true;
}

bool ParseStringBlock(const unsigned char* data, size_t size, unsigned block,
                      std::map<unsigned, std::string>* strings) {
    if (block == 0)
        return false;
    Cursor c(data, size);
    for (unsigned i = 0; i < 16; ++i) {
        uint16_t len;
        if (!c.Word(&len)) {
            // windres writes whole blocks; a shorter block simply has no further strings.
            return c.remaining() == 0;
        }
        if (static_cast<size_t>(len) * 2 > c.remaining())
            return false;
        std::u16string s;
        s.reserve(len);
        for (uint16_t k = 0; k < len; ++k) {
            uint16_t ch = 0;
            c.Word(&ch);
            s.push_back(static_cast<char16_t>(ch));
        }
        if (len > 0)
            strings->emplace((block - 1) * 16 + i, Utf16ToWindows1252(s));
    }
    return true;
}

bool Fail(std::string* error, std::string why) {
    if (error)
        *error = std::move(why);
    return false;
}

}  // namespace

std::string Utf16ToWindows1252(const std::u16string& text) {
    // Windows-1252 bytes 0x80..0x9F; 0 marks a byte with no character.
    static const char16_t kHigh[32] = {0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                       0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
                                       0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                       0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};
    std::string out;
    out.reserve(text.size());
    for (char16_t ch : text) {
        if (ch < 0x80 || (ch >= 0xA0 && ch <= 0xFF)) {
            out.push_back(static_cast<char>(ch));
            continue;
        }
        char byte = '?';
        if (ch >= 0x80 && ch <= 0x9F) {
            // The five unassigned bytes round-trip through their C1 code points; other C1 controls
            // have no place in the code page.
            if (kHigh[ch - 0x80] == 0)
                byte = static_cast<char>(ch);
        } else {
            for (int i = 0; i < 32; ++i) {
                if (kHigh[i] == ch) {
                    byte = static_cast<char>(0x80 + i);
                    break;
                }
            }
        }
        out.push_back(byte);
    }
    return out;
}

bool ResourceFile::Parse(const unsigned char* data, size_t size, std::string* error) {
    strings_.clear();
    dialogs_.clear();
    bitmaps_.clear();
    if (!Merge(data, size, error)) {
        strings_.clear();
        dialogs_.clear();
        bitmaps_.clear();
        return false;
    }
    return true;
}

bool ResourceFile::Merge(const unsigned char* data, size_t size, std::string* error) {
    if (data == nullptr && size != 0)
        return Fail(error, "no data");
    std::map<unsigned, std::string> strings;
    std::map<unsigned, DialogTemplate> dialogs;
    std::map<unsigned, std::vector<unsigned char>> bitmaps;

    size_t pos = 0;
    while (pos < size) {
        Cursor c(data, size, pos);
        uint32_t dataSize, headerSize;
        if (!c.Dword(&dataSize) || !c.Dword(&headerSize))
            return Fail(error, "truncated entry header at " + std::to_string(pos));
        if (headerSize < 16 || headerSize > size - pos)
            return Fail(error, "bad header size at " + std::to_string(pos));
        const size_t dataStart = pos + headerSize;
        if (dataSize > size - dataStart)
            return Fail(error, "truncated data at " + std::to_string(pos));

        // Type and name are read inside the header only.
        Cursor h(data, dataStart, pos + 8);
        std::u16string typeName, name;
        int type, id;
        if (!h.SzOrOrd(&typeName, &type) || !h.SzOrOrd(&name, &id))
            return Fail(error, "bad type or name at " + std::to_string(pos));
        // The rest of the header (versions, flags, language) is not needed, but must fit.
        size_t fixedAt = (h.pos() + 3) & ~static_cast<size_t>(3);
        if (fixedAt > dataStart || dataStart - fixedAt < 16)
            return Fail(error, "short header at " + std::to_string(pos));

        const unsigned char* body = data + dataStart;
        if (id >= 0) {
            const unsigned uid = static_cast<unsigned>(id);
            if (type == static_cast<int>(kTypeString)) {
                if (!ParseStringBlock(body, dataSize, uid, &strings))
                    return Fail(error, "bad string block " + std::to_string(uid));
            } else if (type == static_cast<int>(kTypeDialog)) {
                DialogTemplate dlg;
                dlg.id = uid;
                if (!ParseDialog(body, dataSize, &dlg))
                    return Fail(error, "bad dialog template " + std::to_string(uid));
                dialogs.emplace(uid, std::move(dlg));
            } else if (type == static_cast<int>(kTypeBitmap)) {
                bitmaps.emplace(uid, std::vector<unsigned char>(body, body + dataSize));
            }
        }
        size_t next = dataStart + dataSize;
        next = next + ((4 - (next & 3)) & 3);
        pos = next;  // may step past size only through padding, which ends the loop
    }

    strings_.insert(strings.begin(), strings.end());
    for (auto& d : dialogs) dialogs_.insert(std::move(d));
    for (auto& b : bitmaps) bitmaps_.insert(std::move(b));
    return true;
}

bool ResourceFile::FindString(unsigned id, std::string* text) const {
    auto it = strings_.find(id);
    if (it == strings_.end())
        return false;
    if (text)
        *text = it->second;
    return true;
}

const DialogTemplate* ResourceFile::FindDialog(unsigned id) const {
    auto it = dialogs_.find(id);
    return it == dialogs_.end() ? nullptr : &it->second;
}

const std::vector<unsigned char>* ResourceFile::FindBitmap(unsigned id) const {
    auto it = bitmaps_.find(id);
    return it == bitmaps_.end() ? nullptr : &it->second;
}

}  // namespace fw
