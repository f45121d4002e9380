// The program the real-input tests type into: it opens one of the library's
// dialogs (as the preview does) and reports on standard output, one line per
// event, what a driver outside the process needs to act and to judge:
//
//   active "CAPTION"         a top-level window became active
//   ctl ID X Y               ...and its control ID has its centre at screen X,Y
//   focus ID                 control ID took the keyboard focus (0: a window itself)
//   command ID               button ID was pressed (by a click, a key, an accelerator)
//   reports R selected N customise C    the report dialog's outcome
//   result R                 the dialog's result, as the program ends
//
//   zevdt-input-host [hosted] DIALOG [ARGS...]
//
// "hosted" first opens a window of the host's own, with a button (id 100), and
// runs the dialog from it without naming a parent, as a host calls the library;
// after the dialog it waits for that button to be pressed.
#include <windows.h>

#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <cstring>

#include "preview_dialogs.h"

namespace {

constexpr int kHostButton = 100;

void Print(const char* format, ...) {
    va_list args;
    va_start(args, format);
    std::vprintf(format, args);
    va_end(args);
    std::fflush(stdout);
}

BOOL CALLBACK PrintControl(HWND child, LPARAM) {
    // Its own style: the window it is in is not shown yet when it activates.
    if (!(GetWindowLongA(child, GWL_STYLE) & WS_VISIBLE))
        return TRUE;
    RECT r;
    GetWindowRect(child, &r);
    Print("ctl %d %ld %ld\n", GetDlgCtrlID(child), (r.left + r.right) / 2, (r.top + r.bottom) / 2);
    return TRUE;
}

LRESULT CALLBACK Watch(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HC_ACTION) {
        const CWPSTRUCT* m = reinterpret_cast<const CWPSTRUCT*>(lParam);
        const bool child = (GetWindowLongA(m->hwnd, GWL_STYLE) & WS_CHILD) != 0;
        if (m->message == WM_SETFOCUS) {
            Print("focus %d\n", child ? GetDlgCtrlID(m->hwnd) : 0);
        } else if (m->message == WM_COMMAND && HIWORD(m->wParam) == BN_CLICKED && m->lParam != 0) {
            Print("command %d\n", LOWORD(m->wParam));
        } else if (m->message == WM_ACTIVATE && LOWORD(m->wParam) != WA_INACTIVE && !child) {
            char caption[256] = "";
            GetWindowTextA(m->hwnd, caption, sizeof caption);
            Print("active \"%s\"\n", caption);
            EnumChildWindows(m->hwnd, PrintControl, 0);
        }
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

LRESULT CALLBACK HostProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_COMMAND && LOWORD(wParam) == kHostButton) {
        DestroyWindow(hwnd);
        return 0;
    }
    if (msg == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

HWND OpenHostWindow() {
    WNDCLASSA wc{};
    wc.lpfnWndProc = HostProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.hCursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));
    wc.lpszClassName = "ZevdtInputHost";
    RegisterClassA(&wc);
    // Large enough to stick out beside every dialog, which opens over it.
    HWND host = CreateWindowA("ZevdtInputHost", "Input Host", WS_OVERLAPPED | WS_CAPTION | WS_VISIBLE, 0, 0, 1000,
                              700, nullptr, nullptr, wc.hInstance, nullptr);
    CreateWindowA("BUTTON", "Host", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, 20, 20, 120, 40, host,
                  reinterpret_cast<HMENU>(static_cast<INT_PTR>(kHostButton)), wc.hInstance, nullptr);
    SetForegroundWindow(host);
    SetActiveWindow(host);
    return host;
}

}  // namespace

int main(int argc, char** argv) {
    _setmode(_fileno(stdout), _O_BINARY);  // lines end in \n alone, as the driver reads them
    SetWindowsHookExA(WH_CALLWNDPROC, Watch, nullptr, GetCurrentThreadId());
    bool hosted = argc > 1 && std::strcmp(argv[1], "hosted") == 0;
    if (hosted) {
        --argc;
        ++argv;
        OpenHostWindow();
        // The host is showing and active before the dialog opens above it.
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
    }
    int result = ShowPreviewDialog(argc, argv, stdout);
    Print("result %d\n", result);
    if (hosted) {
        MSG msg;
        while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        Print("host closed\n");
    }
    return result;
}
