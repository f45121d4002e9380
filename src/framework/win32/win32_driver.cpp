// Drivers act from a thread timer: it fires inside every modal loop (the
// dialog manager's, the sheet's, the message box's, nested ones too), and
// each tick lets the driver take one step on the window the user would be
// working in. Message boxes are seen through a CBT hook when they activate.
#include <cstdio>

#include "../script/default_action.h"
#include "win32_dialog_proc.h"

namespace fw {

namespace {
constexpr UINT kTickMs = 20;
constexpr int kDefaultWatchdogSeconds = 60;

// A CBT hook is a thread's own: each thread hooks its own message boxes.
thread_local HHOOK g_cbtHook = nullptr;

// Nothing thrown here may cross into the system: see AbandonRun.
void CALLBACK TimerProc(HWND, UINT, UINT_PTR, DWORD) {
    if (Win32Backend* b = win32::GetBackend()) {
        try {
            b->OnTimer();
        } catch (...) {
            b->AbandonRun(std::current_exception());
        }
    }
}

LRESULT CALLBACK CbtProc(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_ACTIVATE)
        if (Win32Backend* b = win32::GetBackend()) {
            try {
                b->OnActivate(reinterpret_cast<Hwnd>(wParam));
            } catch (...) {
                b->AbandonRun(std::current_exception());
            }
        }
    return ::CallNextHookEx(g_cbtHook, code, wParam, lParam);
}

bool IsSystemMessageBox(HWND hwnd) {
    char name[16] = {};
    ::GetClassNameA(hwnd, name, sizeof name);
    return std::string(name) == "#32770" && ::GetDlgItem(hwnd, 0xFFFF) != nullptr;
}

// EnumThreadWindows calls back with the system's calling convention, which a
// lambda cannot have on 32-bit Windows: hence a plain CALLBACK function.
struct MessageBoxSearch {
    const Win32Backend* self;
    HWND found;
};

BOOL CALLBACK FindMessageBoxProc(HWND hwnd, LPARAM lParam) {
    auto* s = reinterpret_cast<MessageBoxSearch*>(lParam);
    if (s->self->Find(reinterpret_cast<Hwnd>(hwnd)) || !::IsWindowVisible(hwnd) || !IsSystemMessageBox(hwnd))
        return TRUE;
    s->found = hwnd;
    return FALSE;
}
}  // namespace

void Win32Backend::SetDriver(Driver* driver) {
    driver_ = driver;
    UpdateTimer();
}

void Win32Backend::UpdateTimer() {
    // A test that installs a driver must never hang on a window nobody
    // closes; a real user's run has no limit unless one is asked for.
    int limit = watchdogFromEnvironment_ ? watchdogSeconds_ : (driver_ ? kDefaultWatchdogSeconds : 0);
    if (!watchdogFromEnvironment_)
        watchdogSeconds_ = limit;
    bool wanted = driver_ != nullptr || limit > 0;
    if (wanted && !timer_)
        timer_ = ::SetTimer(nullptr, 0, kTickMs, &TimerProc);
    else if (!wanted && timer_) {
        ::KillTimer(nullptr, timer_);
        timer_ = 0;
    }
}

void Win32Backend::CheckWatchdog() {
    if (watchdogSeconds_ <= 0 || frames_.empty())
        return;
    uint64_t elapsed = ::GetTickCount64() - frames_.front().startedMs;
    if (elapsed < static_cast<uint64_t>(watchdogSeconds_) * 1000u)
        return;
    const Frame& inner = frames_.back();
    Note("watchdog " + std::to_string(inner.templateId));
    std::fprintf(stderr, "UI watchdog: a modal loop ran longer than %d s; ending the process\n",
                 watchdogSeconds_);
    std::fflush(stderr);
    ::ExitProcess(3);
}

void Win32Backend::OnTimer() {
    CheckWatchdog();
    // Only modal loops are the driver's: a modeless window pumped by its
    // owner's own loop is acted on from inside the modal run that follows.
    if (!driver_ || frames_.empty())
        return;
    Hwnd active = ActiveWindow();
    // The dialog manager shows a modal dialog only once its queue is first
    // empty; a tick already due comes before that, when no user could act.
    if (!active || !::IsWindowVisible(reinterpret_cast<HWND>(active)))
        return;
    // A step may open a nested modal loop whose ticks come back here: they
    // may act on the nested window, never on the one whose step is running.
    if (stepping_.count(active))
        return;
    stepping_.insert(active);
    bool acted = false;
    try {
        acted = driver_->Step(active);
    } catch (...) {
        acted = false;
    }
    stepping_.erase(active);
    if (!acted && ::IsWindow(reinterpret_cast<HWND>(active))) {
        stepping_.insert(active);
        ApplyDefaultAction(active);
        stepping_.erase(active);
    }
}

void Win32Backend::HookMessageBoxes(bool on) {
    if (on) {
        if (cbtUsers_++ == 0 && !g_cbtHook)
            g_cbtHook = ::SetWindowsHookExA(WH_CBT, &CbtProc, nullptr, ::GetCurrentThreadId());
    } else {
        if (cbtUsers_ > 0 && --cbtUsers_ == 0 && g_cbtHook) {
            ::UnhookWindowsHookEx(g_cbtHook);
            g_cbtHook = nullptr;
        }
    }
}

void Win32Backend::OnActivate(Hwnd hwnd) {
    if (frames_.empty() || Find(hwnd))
        return;
    Frame& inner = frames_.back();
    if (inner.kind != WindowKind::MessageBox || inner.hwnd)
        return;
    if (!IsSystemMessageBox(reinterpret_cast<HWND>(hwnd)))
        return;
    inner.hwnd = hwnd;
    Register(hwnd, {0, WindowKind::MessageBox, nullptr});
    EndAbandonedRun();
}

Hwnd Win32Backend::FindMessageBox() const {
    // Should activation not have been seen (no focus to give), look for the
    // box among the thread's windows.
    MessageBoxSearch search{this, nullptr};
    ::EnumThreadWindows(::GetCurrentThreadId(), FindMessageBoxProc, reinterpret_cast<LPARAM>(&search));
    return reinterpret_cast<Hwnd>(search.found);
}

Hwnd Win32Backend::ActiveWindow() {
    // The innermost modal window is where the user works: every window
    // outside it is disabled while it runs.
    if (!frames_.empty()) {
        Frame& inner = frames_.back();
        if (inner.kind == WindowKind::MessageBox && !inner.hwnd)
            if (Hwnd box = FindMessageBox()) {
                inner.hwnd = box;
                Register(box, {0, WindowKind::MessageBox, nullptr});
            }
        // Null while the window is not up yet or already gone.
        return inner.hwnd && ::IsWindow(reinterpret_cast<HWND>(inner.hwnd)) ? inner.hwnd : nullptr;
    }
    Hwnd active = reinterpret_cast<Hwnd>(::GetActiveWindow());
    return active && Find(active) ? active : nullptr;
}

}  // namespace fw
