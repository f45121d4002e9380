#include "win32_dialog_proc.h"

#include <string>

#include "../transcript_lines.h"

namespace fw {
namespace win32 {

namespace {

// The calling thread's backend: window procedures run on the thread that
// owns the window.
thread_local Win32Backend* g_backend = nullptr;

Hwnd H(HWND h) {
    return reinterpret_cast<Hwnd>(h);
}

std::string Caption(HWND hwnd) {
    return g_backend ? g_backend->GetWindowText(H(hwnd)) : std::string();
}

// Messages whose result is the procedure's return value itself; every other
// result travels in DWLP_MSGRESULT.
bool ReturnsDirectly(UINT msg) {
    switch (msg) {
        case WM_CTLCOLORMSGBOX:
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORLISTBOX:
        case WM_CTLCOLORBTN:
        case WM_CTLCOLORDLG:
        case WM_CTLCOLORSCROLLBAR:
        case WM_CTLCOLORSTATIC:
        case WM_COMPAREITEM:
        case WM_VKEYTOITEM:
        case WM_CHARTOITEM:
        case WM_QUERYDRAGICON:
        case WM_INITDIALOG:
            return true;
        default:
            return false;
    }
}

INT_PTR Forward(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (!g_backend)
        return FALSE;
    const Win32Backend::Known* known = g_backend->Find(H(hwnd));
    WindowSink* sink = known ? known->sink : nullptr;
    // A run being abandoned: its windows close with the system's own
    // answers (a sheet's Cancel is not refused), and only their destruction
    // still reaches the handlers, which free what they hold there.
    if (g_backend->Abandoning() && msg != WM_DESTROY && msg != WM_NCDESTROY)
        return FALSE;
    if (msg == WM_NCDESTROY) {
        if (sink) {
            bool handled = false;
            sink->HandleMessage(msg, wParam, lParam, &handled);
        }
        g_backend->Forget(H(hwnd));
        if (sink)
            sink->DetachWindow();
        return FALSE;
    }
    if (!sink)
        return FALSE;
    // An owner-data list view asks for the row a typed text starts in wide
    // characters, also of a parent that speaks ANSI: the dialog hears it in
    // the code page's bytes, as it hears every other notification.
    NMLVFINDITEMA narrow{};
    std::string typed;
    if (msg == WM_NOTIFY && lParam && reinterpret_cast<const NMHDR*>(lParam)->code == LVN_ODFINDITEMW) {
        const NMLVFINDITEMW* wide = reinterpret_cast<const NMLVFINDITEMW*>(lParam);
        narrow.hdr = wide->hdr;
        narrow.hdr.code = LVN_ODFINDITEMA;
        narrow.iStart = wide->iStart;
        narrow.lvfi.flags = wide->lvfi.flags;
        narrow.lvfi.lParam = wide->lvfi.lParam;
        narrow.lvfi.pt = wide->lvfi.pt;
        narrow.lvfi.vkDirection = wide->lvfi.vkDirection;
        if (wide->lvfi.psz) {
            int bytes = ::WideCharToMultiByte(CP_ACP, 0, wide->lvfi.psz, -1, nullptr, 0, nullptr, nullptr);
            if (bytes > 0) {
                typed.assign(static_cast<size_t>(bytes), '\0');
                ::WideCharToMultiByte(CP_ACP, 0, wide->lvfi.psz, -1, &typed[0], bytes, nullptr, nullptr);
                typed.resize(static_cast<size_t>(bytes - 1));
            }
            narrow.lvfi.psz = typed.c_str();
        }
        lParam = reinterpret_cast<LPARAM>(&narrow);
    }
    bool handled = false;
    intptr_t result = sink->HandleMessage(msg, wParam, lParam, &handled);
    if (msg == WM_INITDIALOG)
        return handled ? result : TRUE;
    if (!handled)
        return FALSE;
    if (ReturnsDirectly(msg))
        return result;
    // The window may be gone already (a handler destroyed it); then there is
    // nobody to read the result.
    if (::IsWindow(hwnd))
        ::SetWindowLongPtrA(hwnd, DWLP_MSGRESULT, result);
    return TRUE;
}

// The outermost frame of every window procedure: nothing thrown in a handler
// crosses into the system.
template <typename Body>
INT_PTR Guarded(Body&& body) {
    try {
        return body();
    } catch (...) {
        if (g_backend)
            g_backend->AbandonRun(std::current_exception());
        return FALSE;
    }
}

}  // namespace

void SetBackend(Win32Backend* backend) {
    g_backend = backend;
}
Win32Backend* GetBackend() {
    return g_backend;
}

namespace {
INT_PTR DialogMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
INT_PTR PageMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
}  // namespace

INT_PTR CALLBACK DialogProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    return Guarded([&] { return DialogMessage(hwnd, msg, wParam, lParam); });
}

INT_PTR CALLBACK PageProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    return Guarded([&] { return PageMessage(hwnd, msg, wParam, lParam); });
}

namespace {
INT_PTR DialogMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_INITDIALOG && g_backend) {
        const DialogContext* context = reinterpret_cast<const DialogContext*>(lParam);
        if (context->modal) {
            // The innermost frame is this run's: DialogBoxParam creates the window before its loop.
            // It knows the window before anything that may fail, so that a failed run can be ended.
            auto& frames = g_backend->Frames();
            if (!frames.empty() && frames.back().kind == WindowKind::Dialog && !frames.back().hwnd)
                frames.back().hwnd = H(hwnd);
            g_backend->EndAbandonedRun();
        }
        g_backend->Register(H(hwnd), {context->templateId, WindowKind::Dialog, context->sink});
        g_backend->Note(transcript::WindowOpened(context->templateId, Caption(hwnd)));
        if (context->sink)
            context->sink->AttachWindow(H(hwnd));
        // The sink sees the run's own argument, not our bookkeeping.
        return Forward(hwnd, msg, wParam, 0);
    }
    return Forward(hwnd, msg, wParam, lParam);
}

INT_PTR PageMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_INITDIALOG && g_backend) {
        // lParam is the page's copy of its PROPSHEETPAGE; ours sits in its lParam.
        const PROPSHEETPAGEA* page = reinterpret_cast<const PROPSHEETPAGEA*>(lParam);
        const PageContext* context = reinterpret_cast<const PageContext*>(page->lParam);
        g_backend->SheetStarted(H(::GetParent(hwnd)));
        g_backend->Register(H(hwnd), {context->templateId, WindowKind::Page, context->sink});
        g_backend->Note(transcript::PageShown(context->templateId, Caption(hwnd)));
        if (context->sink)
            context->sink->AttachWindow(H(hwnd));
        return Forward(hwnd, msg, wParam, 0);
    }
    return Forward(hwnd, msg, wParam, lParam);
}

}  // namespace

}  // namespace win32
}  // namespace fw
