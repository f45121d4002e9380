// The one dialog procedure of dialogs and pages: it hands every message to
// the window's sink and returns results the way a dialog procedure must.
#pragma once

#include "win32_backend.h"
#include "win32_platform.h"

namespace fw {
namespace win32 {

// What a dialog's WM_INITDIALOG brings (DialogBoxParam / CreateDialogParam).
struct DialogContext {
    WindowSink* sink;
    unsigned templateId;
    bool modal;
};

// What a page's PROPSHEETPAGE lParam points to.
struct PageContext {
    WindowSink* sink;
    unsigned templateId;
};

INT_PTR CALLBACK DialogProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK PageProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

HINSTANCE Module();
// The backend that the procedures, hooks and timers serve.
void SetBackend(Win32Backend* backend);
Win32Backend* GetBackend();

}  // namespace win32
}  // namespace fw
