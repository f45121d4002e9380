// The Win32 backend: real dialogs from the module's templates, comctl32
// property sheets, the system's message boxes, cursor and shell. Every modal
// loop gives the installed driver a turn through a thread timer; a loop that
// runs past the watchdog's limit ends the process instead of hanging a test.
#pragma once

#include <cstdint>
#include <exception>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "../backend.h"

namespace fw {

class Win32Backend : public Backend {
  public:
    Win32Backend();
    ~Win32Backend() override;
    Win32Backend(const Win32Backend&) = delete;
    Win32Backend& operator=(const Win32Backend&) = delete;

    bool LoadString(unsigned id, std::string* text) override;
    intptr_t RunModalDialog(unsigned templateId, Hwnd parent, WindowSink* sink) override;
    Hwnd CreateModelessDialog(unsigned templateId, Hwnd parent, WindowSink* sink) override;
    void EndDialog(Hwnd dialog, intptr_t result) override;
    intptr_t RunPropertySheet(const SheetRun& run) override;
    unsigned TemplateOf(Hwnd hwnd) override;
    WindowKind KindOf(Hwnd hwnd) override;

    bool IsWindow(Hwnd hwnd) override;
    bool DestroyWindow(Hwnd hwnd) override;
    Hwnd GetDlgItem(Hwnd dialog, int id) override;
    int GetDlgCtrlID(Hwnd hwnd) override;
    Hwnd GetParent(Hwnd hwnd) override;
    std::string GetClassName(Hwnd hwnd) override;
    intptr_t SendMessage(Hwnd hwnd, uint32_t msg, uintptr_t wParam, intptr_t lParam) override;
    bool PostMessage(Hwnd hwnd, uint32_t msg, uintptr_t wParam, intptr_t lParam) override;
    std::string GetWindowText(Hwnd hwnd) override;
    void SetWindowText(Hwnd hwnd, const std::string& text) override;
    bool EnableWindow(Hwnd hwnd, bool enable) override;
    bool IsWindowEnabled(Hwnd hwnd) override;
    bool ShowWindow(Hwnd hwnd, int command) override;
    bool IsWindowVisible(Hwnd hwnd) override;
    intptr_t GetWindowLong(Hwnd hwnd, int index) override;
    intptr_t SetWindowLong(Hwnd hwnd, int index, intptr_t value) override;
    void CenterWindow(Hwnd hwnd, Hwnd over) override;
    void UpdateWindow(Hwnd hwnd) override;
    void GetClientSize(Hwnd hwnd, int* width, int* height) override;
    int TextWidth(Hwnd hwnd, const std::string& text) override;
    Hwnd ActiveWindow() override;
    Hwnd GetFocus() override;
    void PressKey(Hwnd window, Key key) override;
    void PressAccelerator(Hwnd window, char letter) override;
    void TypeText(Hwnd window, const std::string& text) override;
    void LeaveDialogKeysToDialog(Hwnd edit) override;
    // The window a modal window with this parent belongs to: the parent's
    // root, or without one the root of the window the user works in (ours,
    // else the thread's active window, a host's for instance).
    Hwnd OwnerFor(Hwnd parent);

    void* LoadBitmap(unsigned id) override;
    void DeleteObject(void* object) override;
    int MessageBox(Hwnd owner, const std::string& text, const std::string& caption, uint32_t type,
                   unsigned helpId) override;
    void BeginWaitCursor() override;
    void EndWaitCursor() override;
    void RestoreWaitCursor() override;
    intptr_t ShellOpen(const std::string& path) override;
    bool HasWaitingMessage() override;
    bool PumpMessage() override;
    void PostQuitMessage(int exitCode) override;
    std::string ApplicationName() override;
    void SetDriver(Driver* driver) override;
    void SetTranscript(Transcript* transcript) override { transcript_ = transcript; }

    int WaitCursorDepth() const { return waitDepth_; }

    // Used by the window procedures and hooks (win32_*.cpp); not for callers.
    struct Known {
        unsigned templateId = 0;
        WindowKind kind = WindowKind::None;
        WindowSink* sink = nullptr;
    };
    // A modal loop in progress, innermost last. hwnd is null until the
    // window exists (a dialog's WM_INITDIALOG, a message box's activation).
    struct Frame {
        WindowKind kind = WindowKind::None;
        Hwnd hwnd = nullptr;
        unsigned templateId = 0;
        uint64_t startedMs = 0;
    };
    void Note(const std::string& line);
    void Register(Hwnd hwnd, const Known& known) { known_[hwnd] = known; }
    void Forget(Hwnd hwnd);
    const Known* Find(Hwnd hwnd) const;
    std::vector<Frame>& Frames() { return frames_; }
    void OnTimer();
    void OnActivate(Hwnd hwnd);
    // The sheet of the innermost sheet run, known from its first callback
    // or its first page, whichever comes first.
    void SheetStarted(Hwnd sheet);
    // A message box asked for help (F1): the window it belongs to gets the
    // request, with the box's help context.
    void MessageBoxHelp(Hwnd owner, unsigned helpId);
    void HookMessageBoxes(bool on);
    // The innermost run's window is known now: end it if it is abandoned.
    void EndAbandonedRun();
    // An exception left a window procedure. It must not travel through the
    // system's dialog manager, which knows nothing of it: it is kept, the
    // innermost modal run is ended, and the run rethrows it once the system
    // call has returned. Until then the windows' handlers hear nothing more
    // than their destruction.
    void AbandonRun(std::exception_ptr error);
    bool Abandoning() const { return static_cast<bool>(pending_); }
    void RethrowPending();
    // Taken at the very end of the system's call, before any bookkeeping
    // that may throw itself, so that it can never outlive its run.
    std::exception_ptr TakePending() noexcept {
        std::exception_ptr error = pending_;
        pending_ = nullptr;
        return error;
    }

  private:
    void UpdateTimer();
    void CheckWatchdog();
    Hwnd FindMessageBox() const;

    std::map<Hwnd, Known> known_;
    std::set<Hwnd> modeless_;
    std::vector<Frame> frames_;
    std::set<Hwnd> stepping_;  // windows whose driver step is still running
    Driver* driver_ = nullptr;
    Transcript* transcript_ = nullptr;
    int waitDepth_ = 0;
    uintptr_t timer_ = 0;
    int watchdogSeconds_ = 0;  // 0: off
    bool watchdogFromEnvironment_ = false;
    int cbtUsers_ = 0;
    struct SheetRunState* sheetRun_ = nullptr;  // the innermost sheet run
    std::exception_ptr pending_;                // see AbandonRun
};

}  // namespace fw
