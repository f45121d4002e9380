// Reader of compiled resource files (.res), so that the headless backend builds its windows and
// loads its strings from exactly the resources that the Windows build links into the DLL.
// Portable: no platform header.
#ifndef ZEVDT_FRAMEWORK_RESFILE_RESOURCE_FILE_H
#define ZEVDT_FRAMEWORK_RESFILE_RESOURCE_FILE_H

#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace fw {

struct ControlTemplate {
    int id = 0;
    // The predefined classes given by ordinal (0x80..0x85) read back as "Button", "Edit",
    // "Static", "ListBox", "ScrollBar", "ComboBox"; any other ordinal as "#<number>".  A class
    // given by name comes back in its usual spelling when it is a known one ("SysListView32",
    // "msctls_progress32", "Static", ...), whatever its case in the file; otherwise as written.
    std::string windowClass;
    std::string text;
    int textOrdinal = -1;  // a resource id given in place of the text (icons, bitmaps), else -1
    uint32_t style = 0, exStyle = 0;
    int x = 0, y = 0, cx = 0, cy = 0;
};

struct DialogTemplate {
    unsigned id = 0;
    bool extended = false;  // written as DLGTEMPLATEEX
    uint32_t style = 0, exStyle = 0;
    int x = 0, y = 0, cx = 0, cy = 0;
    std::string caption;
    std::string fontFace;
    int pointSize = 0;
    std::vector<ControlTemplate> controls;
};

// UTF-16 to the ANSI code page the library's texts use (Windows-1252): what Windows itself
// produces for these characters; anything the code page cannot hold becomes '?'.
std::string Utf16ToWindows1252(const std::u16string& text);

class ResourceFile {
  public:
    // Reads a whole .res image.  Resource types other than strings, dialogs and bitmaps are
    // skipped.  A truncated or malformed image gives false (with a reason in *error) and leaves
    // the object empty.
    bool Parse(const unsigned char* data, size_t size, std::string* error = nullptr);

    // Adds the resources of another image to the ones already read; an id present in both keeps
    // the first one.  Same failure rule as Parse, but what was read before stays.
    bool Merge(const unsigned char* data, size_t size, std::string* error = nullptr);

    // False when the id is absent or its text is empty, as the platform's string loading does.
    bool FindString(unsigned id, std::string* text) const;
    const DialogTemplate* FindDialog(unsigned id) const;
    // The bitmap resource as stored: a DIB (info header, palette, pixels) without file header.
    const std::vector<unsigned char>* FindBitmap(unsigned id) const;

    size_t StringCount() const { return strings_.size(); }
    size_t DialogCount() const { return dialogs_.size(); }

  private:
    std::map<unsigned, std::string> strings_;
    std::map<unsigned, DialogTemplate> dialogs_;
    std::map<unsigned, std::vector<unsigned char>> bitmaps_;
};

}  // namespace fw

#endif
