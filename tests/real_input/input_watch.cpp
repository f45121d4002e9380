// The test host's eyes, in plain Win32: what the user's keys and clicks
// changed (the window worked in, the focus, the button Enter presses, the
// selection of the focused list, button presses) and a host window beneath
// the dialogs that notes every click it receives.
#include "input_watch.h"

#include <windows.h>
#include <commctrl.h>
#include <prsht.h>

#include <cstdio>

namespace {

FILE* g_out = nullptr;

}  // namespace

void Write(const std::string& line) {
    if (!g_out)
        return;
    std::fputs(line.c_str(), g_out);
    std::fputc('\n', g_out);
    std::fflush(g_out);
}

bool OpenTranscript(const char* path) {
    g_out = std::fopen(path, "wb");
    return g_out != nullptr;
}

void CloseTranscript() {
    if (g_out)
        std::fclose(g_out);
    g_out = nullptr;
}

namespace {

std::string WindowText(HWND h) {
    std::string text(static_cast<size_t>(::GetWindowTextLengthA(h)) + 1, '\0');
    text.resize(static_cast<size_t>(::GetWindowTextA(h, &text[0], static_cast<int>(text.size()))));
    return text;
}

std::string Caption(HWND h) {
    return "\"" + WindowText(h) + "\"";
}

std::string ClassOf(HWND h) {
    char name[64] = {};
    ::GetClassNameA(h, name, sizeof name);
    return name;
}

BOOL CALLBACK ReportPosition(HWND child, LPARAM) {
    int id = ::GetDlgCtrlID(child);
    if (id <= 0 || id == 0xFFFF || !::IsWindowVisible(child))
        return TRUE;
    RECT r{};
    ::GetWindowRect(child, &r);
    Write("at " + std::to_string(id) + " " + std::to_string((r.left + r.right) / 2) + " " +
          std::to_string((r.top + r.bottom) / 2));
    Write("top " + std::to_string(id) + " " + std::to_string(r.left) + " " + std::to_string(r.top));
    // A list view's rows on the screen: a point on the start of each shown row's text.
    if (ClassOf(child) == "SysListView32") {
        int top = static_cast<int>(::SendMessageA(child, LVM_GETTOPINDEX, 0, 0));
        int shown = static_cast<int>(::SendMessageA(child, LVM_GETCOUNTPERPAGE, 0, 0));
        int count = static_cast<int>(::SendMessageA(child, LVM_GETITEMCOUNT, 0, 0));
        for (int row = top; row < count && row < top + shown; ++row) {
            RECT label{};
            label.left = LVIR_LABEL;
            if (!::SendMessageA(child, LVM_GETITEMRECT, row, reinterpret_cast<LPARAM>(&label)))
                continue;
            POINT at{label.left + 8, (label.top + label.bottom) / 2};
            ::ClientToScreen(child, &at);
            Write("row " + std::to_string(id) + " " + std::to_string(row) + " " + std::to_string(at.x) + " " +
                  std::to_string(at.y));
        }
    }
    return TRUE;
}

// What Enter would press: a focused push button, else the window's default.
int DefaultButton(HWND root, HWND focus) {
    if (focus && ClassOf(focus) == "Button") {
        LONG type = ::GetWindowLongA(focus, GWL_STYLE) & BS_TYPEMASK;
        if (type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON)
            return ::GetDlgCtrlID(focus);
    }
    LRESULT dw = ::SendMessageA(root, DM_GETDEFID, 0, 0);
    return HIWORD(dw) == DC_HASDEFID ? LOWORD(dw) : 0;
}

std::string SelectedRows(HWND list) {
    std::string cls = ClassOf(list), rows;
    auto add = [&](int i) { rows += (rows.empty() ? "" : ",") + std::to_string(i); };
    if (cls == "SysListView32") {
        for (int i = -1;
             (i = static_cast<int>(::SendMessageA(list, LVM_GETNEXTITEM, i, LVNI_SELECTED))) >= 0;)
            add(i);
    } else if (cls == "ListBox") {
        int n = static_cast<int>(::SendMessageA(list, LB_GETCOUNT, 0, 0));
        for (int i = 0; i < n; ++i)
            if (::SendMessageA(list, LB_GETSEL, i, 0) > 0)
                add(i);
    } else if (cls == "ComboBox") {
        int i = static_cast<int>(::SendMessageA(list, CB_GETCURSEL, 0, 0));
        if (i >= 0)
            add(i);
    } else {
        return std::string();
    }
    return rows.empty() ? "-" : rows;
}

// Printable ASCII as it is, every other byte as \xNN.
std::string Escaped(const std::string& bytes) {
    static const char digits[] = "0123456789abcdef";
    std::string out;
    for (unsigned char c : bytes) {
        if (c >= 0x20 && c < 0x7f && c != '\\' && c != '"') {
            out += static_cast<char>(c);
        } else {
            out += "\\x";
            out += digits[c >> 4];
            out += digits[c & 15];
        }
    }
    return out;
}

bool g_held = false;

struct Seen {
    HWND root = nullptr, page = nullptr;
    std::string state, rows;
} g_seen;

// Runs inside every modal loop: the state a user's input may have changed.
void CALLBACK Watch(HWND, UINT, UINT_PTR, DWORD) {
    if (g_held)
        return;
    HWND focus = ::GetFocus();
    HWND root = focus ? ::GetAncestor(focus, GA_ROOT) : ::GetActiveWindow();
    if (!root || !::IsWindowVisible(root))
        return;
    // A wizard: its page changes while the window stays.
    HWND page = ::GetDlgItem(root, 0x3024)
                    ? reinterpret_cast<HWND>(::SendMessageA(root, PSM_GETCURRENTPAGEHWND, 0, 0))
                    : nullptr;
    if (root != g_seen.root || page != g_seen.page) {
        g_seen = Seen{root, page, "", ""};
        Write("active " + Caption(root));
        ::EnumChildWindows(root, ReportPosition, 0);
    }
    int focusId = focus && focus != root ? ::GetDlgCtrlID(focus) : 0;
    std::string state =
        "state focus=" + std::to_string(focusId) + " default=" + std::to_string(DefaultButton(root, focus));
    if (state != g_seen.state) {
        g_seen.state = state;
        g_seen.rows.clear();
        Write(state);
    }
    std::string rows = focus ? SelectedRows(focus) : std::string();
    if (!rows.empty() && rows != g_seen.rows) {
        g_seen.rows = rows;
        Write("rows " + std::to_string(focusId) + " " + rows);
    }
}

// Every button press reaches its window as a command, whatever pressed it: a
// click, Enter, Space or an accelerator.
LRESULT CALLBACK SeeCommands(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HC_ACTION) {
        const CWPSTRUCT* m = reinterpret_cast<const CWPSTRUCT*>(lParam);
        if (m->message == WM_COMMAND && HIWORD(m->wParam) == BN_CLICKED && m->lParam)
            Write("clicked " + std::to_string(LOWORD(m->wParam)));
        // An edit's text in the code page's bytes, as the dialog reads it.
        if (m->message == WM_COMMAND && HIWORD(m->wParam) == EN_CHANGE && m->lParam)
            Write("text " + std::to_string(LOWORD(m->wParam)) + " \"" +
                  Escaped(WindowText(reinterpret_cast<HWND>(m->lParam))) + "\"");
    }
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

// ---- the host window beneath the login dialog ------------------------------------------

bool g_loginDone = false;
int (*g_open)() = nullptr;
int g_loginResult = -1;

LRESULT CALLBACK HostProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        case WM_APP:
            g_loginResult = g_open();
            g_loginDone = true;
            return 0;
        case WM_LBUTTONDOWN:
            Write("host-click " + std::to_string(static_cast<short>(LOWORD(lParam))) + " " +
                  std::to_string(static_cast<short>(HIWORD(lParam))));
            // The click that proves the window takes clicks again ends the run.
            if (g_loginDone)
                ::DestroyWindow(hwnd);
            return 0;
        case WM_DESTROY:
            ::PostQuitMessage(0);
            return 0;
    }
    return ::DefWindowProcA(hwnd, msg, wParam, lParam);
}

}  // namespace

int RunHostWindow(int (*openDialog)()) {
    g_open = openDialog;
    WNDCLASSA wc{};
    wc.lpfnWndProc = HostProc;
    wc.hInstance = ::GetModuleHandleA(nullptr);
    wc.hCursor = ::LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszClassName = "RealInputHost";
    ::RegisterClassA(&wc);
    HWND host = ::CreateWindowA("RealInputHost", "Real Input Host", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0,
                                1000, 740, nullptr, nullptr, wc.hInstance, nullptr);
    if (!host)
        return 2;
    ::SetForegroundWindow(host);
    POINT corner{20, 20};
    ::ClientToScreen(host, &corner);
    Write("host-window " + std::to_string(corner.x) + " " + std::to_string(corner.y));
    ::PostMessageA(host, WM_APP, 0, 0);
    MSG msg;
    while (::GetMessageA(&msg, nullptr, 0, 0) > 0) {
        ::TranslateMessage(&msg);
        ::DispatchMessageA(&msg);
    }
    return g_loginResult;
}

void HoldWatching(bool held) {
    g_held = held;
}

void StartWatching() {
    ::SetTimer(nullptr, 0, 25, &Watch);
    ::SetWindowsHookExA(WH_CALLWNDPROC, &SeeCommands, nullptr, ::GetCurrentThreadId());
}
