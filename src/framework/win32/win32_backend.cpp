#include "win32_backend.h"

#include <algorithm>
#include <atomic>
#include <cstdlib>

#include "../scope_exit.h"
#include "../shell_hook.h"
#include "../transcript_lines.h"
#include "win32_api.h"
#include "win32_dialog_proc.h"
#include "win32_platform.h"

namespace fw {

namespace {

// Set once when the module is loaded; any thread may read it.
std::atomic<HINSTANCE> g_resourceModule{nullptr};
// The calling thread's backend's busy-cursor depth.
thread_local int* g_waitDepth = nullptr;

HINSTANCE ModuleOfThisCode() {
    HMODULE module = nullptr;
    ::GetModuleHandleExA(
        GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
        reinterpret_cast<LPCSTR>(&ModuleOfThisCode), &module);
    return module;
}

HWND W(Hwnd h) {
    return reinterpret_cast<HWND>(h);
}
Hwnd H(HWND h) {
    return reinterpret_cast<Hwnd>(h);
}

// The message box being shown on this thread, innermost first: its callback
// is given nothing but the help request.
struct BoxHelp {
    Win32Backend* backend;
    Hwnd owner;
    unsigned helpId;
    BoxHelp* outer;
};
thread_local BoxHelp* g_boxHelp = nullptr;

void CALLBACK OnMessageBoxHelp(LPHELPINFO info) {
    if (BoxHelp* box = g_boxHelp; box && info) {
        try {
            box->backend->MessageBoxHelp(box->owner, box->helpId);
        } catch (...) {
            box->backend->AbandonRun(std::current_exception());
        }
    }
}

}  // namespace

void SetResourceModule(void* hinstance) {
    g_resourceModule = static_cast<HINSTANCE>(hinstance);
}

void* ResourceModule() {
    if (!g_resourceModule.load())
        g_resourceModule.store(ModuleOfThisCode());
    return g_resourceModule.load();
}

int Win32WaitCursorDepth() {
    return g_waitDepth ? *g_waitDepth : 0;
}

namespace {
BOOL CALLBACK CountThreadWindow(HWND, LPARAM count) {
    ++*reinterpret_cast<unsigned*>(count);
    return TRUE;
}
}  // namespace

unsigned Win32ThreadWindowCount() {
    unsigned count = 0;
    ::EnumThreadWindows(::GetCurrentThreadId(), &CountThreadWindow, reinterpret_cast<LPARAM>(&count));
    return count;
}

namespace win32 {
HINSTANCE Module() {
    return static_cast<HINSTANCE>(ResourceModule());
}
}  // namespace win32

Win32Backend::Win32Backend() {
    INITCOMMONCONTROLSEX icc{};
    icc.dwSize = sizeof(icc);
    icc.dwICC = ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES;
    ::InitCommonControlsEx(&icc);
    g_waitDepth = &waitDepth_;
    win32::SetBackend(this);
    if (const char* s = std::getenv("ZEVDT_UI_WATCHDOG_SECONDS"); s && *s) {
        watchdogSeconds_ = std::max(0, std::atoi(s));
        watchdogFromEnvironment_ = true;
    }
    UpdateTimer();
}

Win32Backend::~Win32Backend() {
    if (timer_)
        ::KillTimer(nullptr, timer_);
    HookMessageBoxes(false);
    win32::SetBackend(nullptr);
    g_waitDepth = nullptr;
}

void Win32Backend::Note(const std::string& line) {
    if (transcript_)
        transcript_->Line(line);
}

void Win32Backend::Forget(Hwnd hwnd) {
    known_.erase(hwnd);
    modeless_.erase(hwnd);
}

const Win32Backend::Known* Win32Backend::Find(Hwnd hwnd) const {
    auto it = known_.find(hwnd);
    return it == known_.end() ? nullptr : &it->second;
}

bool Win32Backend::LoadString(unsigned id, std::string* text) {
    // With a zero size LoadStringW hands out the resource's own text and its
    // length, so a string of any length comes out whole. (LoadStringA has no
    // such form.)
    const wchar_t* raw = nullptr;
    int length = ::LoadStringW(win32::Module(), id, reinterpret_cast<LPWSTR>(&raw), 0);
    std::string found;
    if (length > 0 && raw) {
        int bytes = ::WideCharToMultiByte(CP_ACP, 0, raw, length, nullptr, 0, nullptr, nullptr);
        found.resize(static_cast<size_t>(std::max(bytes, 0)));
        if (bytes > 0)
            ::WideCharToMultiByte(CP_ACP, 0, raw, length, &found[0], bytes, nullptr, nullptr);
    }
    if (text)
        *text = found;
    return length > 0;
}

void Win32Backend::AbandonRun(std::exception_ptr error) {
    // The first exception is what went wrong; what the closing windows throw
    // after it adds nothing.
    if (pending_)
        return;
    pending_ = error;
    EndAbandonedRun();
}

void Win32Backend::EndAbandonedRun() {
    // Outside every modal run (a modeless window in our own pump), the pump
    // rethrows it.
    if (!pending_ || frames_.empty())
        return;
    // A window not up yet is ended as soon as it is known.
    const Frame& inner = frames_.back();
    if (!inner.hwnd || !::IsWindow(W(inner.hwnd)))
        return;
    if (inner.kind == WindowKind::Sheet)
        ::PostMessageA(W(inner.hwnd), PSM_PRESSBUTTON, PSBTN_CANCEL, 0);
    else
        ::EndDialog(W(inner.hwnd), -1);
}

void Win32Backend::RethrowPending() {
    if (std::exception_ptr error = TakePending())
        std::rethrow_exception(error);
}

intptr_t Win32Backend::RunModalDialog(unsigned templateId, Hwnd parent, WindowSink* sink) {
    RethrowPending();
    win32::DialogContext context{sink, templateId, true};
    frames_.push_back({WindowKind::Dialog, nullptr, templateId, ::GetTickCount64()});
    // The run's frame goes whatever way the run is left.
    ScopeExit unstack([&] { frames_.pop_back(); });
    // The dialog manager disables the owner for the run.
    INT_PTR result = ::DialogBoxParamA(win32::Module(), MAKEINTRESOURCEA(templateId), W(OwnerFor(parent)),
                                       &win32::DialogProc, reinterpret_cast<LPARAM>(&context));
    std::exception_ptr failed = TakePending();
    bool opened = frames_.back().hwnd != nullptr;
    frames_.pop_back();
    unstack.Dismiss();
    if (failed)
        std::rethrow_exception(failed);
    if (opened)
        Note(transcript::WindowClosed(templateId, result));
    return result;
}

Hwnd Win32Backend::CreateModelessDialog(unsigned templateId, Hwnd parent, WindowSink* sink) {
    win32::DialogContext context{sink, templateId, false};
    RethrowPending();
    HWND hwnd = ::CreateDialogParamA(win32::Module(), MAKEINTRESOURCEA(templateId), W(parent),
                                     &win32::DialogProc, reinterpret_cast<LPARAM>(&context));
    // A handler that threw while the window was made: it goes again, and the
    // caller learns why.
    if (std::exception_ptr failed = frames_.empty() ? TakePending() : nullptr) {
        if (hwnd)
            ::DestroyWindow(hwnd);
        TakePending();
        std::rethrow_exception(failed);
    }
    if (!hwnd)
        return nullptr;
    // Tab and Esc reach the dialog only through IsDialogMessage in our pump.
    modeless_.insert(H(hwnd));
    return H(hwnd);
}

void Win32Backend::EndDialog(Hwnd dialog, intptr_t result) {
    ::EndDialog(W(dialog), result);
}

unsigned Win32Backend::TemplateOf(Hwnd hwnd) {
    const Known* k = Find(hwnd);
    return k ? k->templateId : 0;
}

WindowKind Win32Backend::KindOf(Hwnd hwnd) {
    if (!hwnd || !::IsWindow(W(hwnd)))
        return WindowKind::None;
    if (const Known* k = Find(hwnd))
        return k->kind;
    LONG_PTR style = ::GetWindowLongPtrA(W(hwnd), GWL_STYLE);
    if (style & WS_CHILD)
        return WindowKind::Control;
    // A system message box: the dialog class with its text in static 0xFFFF.
    if (GetClassName(hwnd) == "#32770" && ::GetDlgItem(W(hwnd), 0xFFFF))
        return WindowKind::MessageBox;
    return WindowKind::None;
}

bool Win32Backend::IsWindow(Hwnd hwnd) {
    return hwnd && ::IsWindow(W(hwnd));
}
bool Win32Backend::DestroyWindow(Hwnd hwnd) {
    bool destroyed = ::DestroyWindow(W(hwnd)) != FALSE;
    RethrowPending();
    return destroyed;
}
Hwnd Win32Backend::GetDlgItem(Hwnd dialog, int id) {
    return H(::GetDlgItem(W(dialog), id));
}
int Win32Backend::GetDlgCtrlID(Hwnd hwnd) {
    return ::GetDlgCtrlID(W(hwnd));
}
Hwnd Win32Backend::GetParent(Hwnd hwnd) {
    return H(::GetParent(W(hwnd)));
}

std::string Win32Backend::GetClassName(Hwnd hwnd) {
    char name[256] = {};
    int n = ::GetClassNameA(W(hwnd), name, sizeof name);
    return std::string(name, static_cast<size_t>(std::max(n, 0)));
}

intptr_t Win32Backend::SendMessage(Hwnd hwnd, uint32_t msg, uintptr_t wParam, intptr_t lParam) {
    intptr_t result = ::SendMessageA(W(hwnd), msg, wParam, lParam);
    // What a handler threw comes out here, where the caller sent it from;
    // a modal run ended meanwhile comes out at its end instead.
    if (frames_.empty())
        RethrowPending();
    return result;
}

bool Win32Backend::PostMessage(Hwnd hwnd, uint32_t msg, uintptr_t wParam, intptr_t lParam) {
    return ::PostMessageA(W(hwnd), msg, wParam, lParam) != FALSE;
}

std::string Win32Backend::GetWindowText(Hwnd hwnd) {
    int length = ::GetWindowTextLengthA(W(hwnd));
    if (length <= 0)
        return std::string();
    std::string text(static_cast<size_t>(length) + 1, '\0');
    int n = ::GetWindowTextA(W(hwnd), &text[0], length + 1);
    text.resize(static_cast<size_t>(std::max(n, 0)));
    return text;
}

void Win32Backend::SetWindowText(Hwnd hwnd, const std::string& text) {
    ::SetWindowTextA(W(hwnd), text.c_str());
}
bool Win32Backend::EnableWindow(Hwnd hwnd, bool enable) {
    return ::EnableWindow(W(hwnd), enable) != FALSE;
}
bool Win32Backend::IsWindowEnabled(Hwnd hwnd) {
    return ::IsWindowEnabled(W(hwnd)) != FALSE;
}
bool Win32Backend::ShowWindow(Hwnd hwnd, int command) {
    return ::ShowWindow(W(hwnd), command) != FALSE;
}
bool Win32Backend::IsWindowVisible(Hwnd hwnd) {
    return ::IsWindowVisible(W(hwnd)) != FALSE;
}

intptr_t Win32Backend::GetWindowLong(Hwnd hwnd, int index) {
    return ::GetWindowLongPtrA(W(hwnd), index);
}

intptr_t Win32Backend::SetWindowLong(Hwnd hwnd, int index, intptr_t value) {
    intptr_t old = ::SetWindowLongPtrA(W(hwnd), index, value);
    if (index == GWL_STYLE || index == GWL_EXSTYLE) {
        // Statics and edits read some styles only when they paint; borders
        // and frames need the non-client area recomputed.
        ::SetWindowPos(W(hwnd), nullptr, 0, 0, 0, 0,
                       SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
        ::InvalidateRect(W(hwnd), nullptr, TRUE);
    }
    return old;
}

void Win32Backend::CenterWindow(Hwnd hwnd, Hwnd over) {
    RECT self{}, area{};
    if (!::GetWindowRect(W(hwnd), &self))
        return;
    if (!over || !::GetWindowRect(W(over), &area))
        ::SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
    int width = self.right - self.left, height = self.bottom - self.top;
    int x = area.left + (area.right - area.left - width) / 2;
    int y = area.top + (area.bottom - area.top - height) / 2;
    POINT at{x, y};
    // A child is placed in its parent's client coordinates.
    if (HWND parent = ::GetParent(W(hwnd)); parent && (::GetWindowLongPtrA(W(hwnd), GWL_STYLE) & WS_CHILD))
        ::ScreenToClient(parent, &at);
    ::SetWindowPos(W(hwnd), nullptr, at.x, at.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void Win32Backend::UpdateWindow(Hwnd hwnd) {
    ::UpdateWindow(W(hwnd));
}

void Win32Backend::GetClientSize(Hwnd hwnd, int* width, int* height) {
    RECT r{};
    if (!::GetClientRect(W(hwnd), &r))
        r = RECT{};
    *width = r.right - r.left;
    *height = r.bottom - r.top;
}

int Win32Backend::TextWidth(Hwnd hwnd, const std::string& text) {
    HDC dc = ::GetDC(W(hwnd));
    if (!dc)
        return 0;
    HFONT font = reinterpret_cast<HFONT>(::SendMessageA(W(hwnd), WM_GETFONT, 0, 0));
    HGDIOBJ old = font ? ::SelectObject(dc, font) : nullptr;
    SIZE size{};
    ::GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &size);
    if (old)
        ::SelectObject(dc, old);
    ::ReleaseDC(W(hwnd), dc);
    return size.cx;
}

void* Win32Backend::LoadBitmap(unsigned id) {
    return ::LoadImageA(win32::Module(), MAKEINTRESOURCEA(id), IMAGE_BITMAP, 0, 0, LR_DEFAULTCOLOR);
}

void Win32Backend::DeleteObject(void* object) {
    if (object)
        ::DeleteObject(static_cast<HGDIOBJ>(object));
}

int Win32Backend::MessageBox(Hwnd owner, const std::string& text, const std::string& caption, uint32_t type,
                             unsigned helpId) {
    // A page is a child: the box belongs to the window around it.
    owner = OwnerFor(owner);
    frames_.push_back({WindowKind::MessageBox, nullptr, 0, ::GetTickCount64()});
    HookMessageBoxes(true);
    ScopeExit unstack([&] {
        HookMessageBoxes(false);
        if (Hwnd box = frames_.back().hwnd)
            Forget(box);
        frames_.pop_back();
    });
    // The box's help context goes with it; F1 there comes back through the
    // callback, which hands it to the window the box belongs to.
    BoxHelp help{this, owner, helpId, g_boxHelp};
    g_boxHelp = &help;
    ScopeExit unhelp([&] { g_boxHelp = help.outer; });
    MSGBOXPARAMSA params{};
    params.cbSize = sizeof params;
    params.hwndOwner = W(owner);
    params.lpszText = text.c_str();
    params.lpszCaption = caption.c_str();
    params.dwStyle = type;
    params.dwContextHelpId = helpId;
    params.lpfnMsgBoxCallback = &OnMessageBoxHelp;
    RethrowPending();
    int answer = ::MessageBoxIndirectA(&params);
    std::exception_ptr failed = TakePending();
    // A box with OK alone answers OK to Esc, as the platform documents; some
    // implementations of it answer Cancel, which no caller of such a box expects.
    if ((type & MB_TYPEMASK) == MB_OK && answer == IDCANCEL)
        answer = IDOK;
    unstack.Dismiss();
    HookMessageBoxes(false);
    if (Hwnd box = frames_.back().hwnd)
        Forget(box);
    frames_.pop_back();
    if (failed)
        std::rethrow_exception(failed);
    Note(transcript::MessageBoxShown(helpId, text, type, answer));
    return answer;
}

void Win32Backend::MessageBoxHelp(Hwnd owner, unsigned helpId) {
    const Known* known = owner ? Find(owner) : nullptr;
    if (!known || !known->sink || helpId == 0)
        return;
    HELPINFO info{};
    info.cbSize = sizeof info;
    info.iContextType = HELPINFO_WINDOW;
    info.hItemHandle = frames_.empty() ? nullptr : W(frames_.back().hwnd);
    info.dwContextId = helpId;
    bool handled = false;
    known->sink->HandleMessage(WM_HELP, 0, reinterpret_cast<intptr_t>(&info), &handled);
}

void Win32Backend::BeginWaitCursor() {
    if (waitDepth_++ == 0)
        ::SetCursor(::LoadCursorA(nullptr, MAKEINTRESOURCEA(32514)));  // IDC_WAIT
}

void Win32Backend::EndWaitCursor() {
    if (waitDepth_ == 0)
        return;
    if (--waitDepth_ == 0)
        ::SetCursor(::LoadCursorA(nullptr, MAKEINTRESOURCEA(32512)));  // IDC_ARROW
}

void Win32Backend::RestoreWaitCursor() {
    // After a message box or dialog the system has put its own cursor back.
    if (waitDepth_ > 0)
        ::SetCursor(::LoadCursorA(nullptr, MAKEINTRESOURCEA(32514)));
}

intptr_t Win32Backend::ShellOpen(const std::string& path) {
    intptr_t result;
    if (ShellOpenHook hook = GetShellOpenHook())
        result = hook(path);
    else
        result = reinterpret_cast<intptr_t>(
            ::ShellExecuteA(nullptr, "open", path.c_str(), nullptr, nullptr, SW_SHOWNORMAL));
    Note(transcript::HelpOpened(path, result));
    return result;
}

bool Win32Backend::HasWaitingMessage() {
    MSG msg;
    return ::PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE) != FALSE;
}

bool Win32Backend::PumpMessage() {
    MSG msg;
    BOOL got = ::GetMessageA(&msg, nullptr, 0, 0);
    if (got == 0 || got == -1)
        return false;
    std::vector<Hwnd> dialogs(modeless_.begin(), modeless_.end());
    for (Hwnd d : dialogs)
        if (::IsWindow(W(d)) && ::IsDialogMessageA(W(d), &msg))
            return true;
    ::TranslateMessage(&msg);
    ::DispatchMessageA(&msg);
    if (frames_.empty())
        RethrowPending();
    return true;
}

void Win32Backend::PostQuitMessage(int exitCode) {
    ::PostQuitMessage(exitCode);
}

std::string Win32Backend::ApplicationName() {
    char path[MAX_PATH] = {};
    DWORD n = ::GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string name(path, n);
    size_t slash = name.find_last_of("\\/");
    if (slash != std::string::npos)
        name.erase(0, slash + 1);
    size_t dot = name.find_last_of('.');
    if (dot != std::string::npos && dot > 0)
        name.erase(dot);
    return name;
}

}  // namespace fw
