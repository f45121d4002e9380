#include "text_cache_pin.h"

#ifdef _WIN32
#include <windows.h>
#include <usp10.h>

#include <cstring>
#include <vector>

namespace drilltest {
namespace {

// A hidden dialog with the font statement of every dialog of the library
// (8 point "MS Sans Serif", which the dialog manager turns into the same
// font for DIALOG and DIALOGEX templates) and one edit control.
std::vector<WORD> PinTemplate() {
    std::vector<WORD> t(sizeof(DLGTEMPLATE) / sizeof(WORD), 0);
    DLGTEMPLATE head{};
    head.style = DS_SETFONT | WS_POPUP;  // never shown
    head.cdit = 1;
    head.cx = 100;
    head.cy = 20;
    std::memcpy(t.data(), &head, sizeof head);
    t.push_back(0);  // no menu
    t.push_back(0);  // the dialog class
    t.push_back(0);  // no caption
    t.push_back(8);  // point size
    for (const char* c = "MS Sans Serif"; *c; ++c) t.push_back(static_cast<WORD>(*c));
    t.push_back(0);
    if (t.size() % 2) t.push_back(0);  // items start on a DWORD boundary
    DLGITEMTEMPLATE item{};
    item.style = WS_CHILD | ES_AUTOHSCROLL;
    item.x = 2;
    item.y = 2;
    item.cx = 90;
    item.cy = 12;
    item.id = 100;
    size_t at = t.size();
    t.resize(at + sizeof item / sizeof(WORD));
    std::memcpy(t.data() + at, &item, sizeof item);
    t.push_back(0xFFFF);
    t.push_back(0x0081);  // the edit class
    t.push_back(0);       // no text
    t.push_back(0);       // no creation data
    return t;
}

INT_PTR CALLBACK PinProc(HWND, UINT message, WPARAM, LPARAM) { return message == WM_INITDIALOG; }

}  // namespace

// An edit control lays its text out in the system font when it is made and
// in the dialog's font once it has it, and lets go of each layout soon after:
// the pin holds an entry of each font itself. The entry keeps a copy of the
// font's description, so the dialog it came from may go.
TextCachePin::TextCachePin() {
    std::vector<WORD> t = PinTemplate();
    HWND dialog = CreateDialogIndirectParamA(GetModuleHandleA(nullptr), reinterpret_cast<LPCDLGTEMPLATEA>(t.data()),
                                             nullptr, &PinProc, 0);
    HWND edit = dialog ? GetDlgItem(dialog, 100) : nullptr;
    HDC dc = edit ? GetDC(edit) : nullptr;
    const HGDIOBJ fonts[] = {reinterpret_cast<HGDIOBJ>(SendMessageA(edit, WM_GETFONT, 0, 0)),
                             GetStockObject(SYSTEM_FONT)};
    held_ = dc != nullptr;
    for (HGDIOBJ font : fonts) {
        SCRIPT_CACHE cache = nullptr;
        long height = 0;
        HGDIOBJ was = dc && font ? SelectObject(dc, font) : nullptr;
        if (!was || ScriptCacheGetHeight(dc, &cache, &height) != S_OK) {
            held_ = false;
            continue;
        }
        SelectObject(dc, was);
        caches_.push_back(cache);
    }
    if (dc)
        ReleaseDC(edit, dc);
    if (dialog)
        DestroyWindow(dialog);
}

TextCachePin::~TextCachePin() {
    for (void*& cache : caches_) ScriptFreeCache(&cache);
}

}  // namespace drilltest

#else

namespace drilltest {
TextCachePin::TextCachePin() = default;
TextCachePin::~TextCachePin() = default;
}  // namespace drilltest

#endif
