#include "text_cache_pin.h"

#ifdef _WIN32
#include <windows.h>
#include <usp10.h>

#include "resources/resource.h"

namespace drilltest {
namespace {

INT_PTR CALLBACK PinProc(HWND, UINT message, WPARAM, LPARAM) {
    return message == WM_INITDIALOG;
}

}  // namespace

// An edit control lays its text out in the system font when it is made and
// in the dialog's font once it has it, and lets go of each layout soon after:
// the pin holds an entry of each font itself. The entry keeps a copy of the
// font's description, so the dialog it came from may go.
TextCachePin::TextCachePin() {
    // The login template, never shown: its font is the one every dialog of
    // the library names.
    HWND dialog =
        CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_LOGIN), nullptr, &PinProc, 0);
    HWND edit = dialog ? GetDlgItem(dialog, IDC_LOGIN_USER) : nullptr;
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
