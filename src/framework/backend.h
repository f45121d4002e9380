// The one seam between the portable framework and a platform. Each backend
// (win32/, headless/) implements Backend; portable classes call nothing else.
// The seam speaks in window handles and Win32 message numbers so that the
// Win32 backend is a thin pass-through and the headless backend follows
// Win32's rules message by message. It uses only standard types, so that the
// Win32 backend can include it next to <windows.h>.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct HWND__;

namespace fw {

using Hwnd = HWND__*;

// What a window object (a dialog, a property page, a sheet) receives: the
// backend calls it like a window procedure. Attach comes before the first
// message, Detach after the last (the window is gone).
class WindowSink {
  public:
    virtual ~WindowSink() = default;
    virtual void AttachWindow(Hwnd hwnd) = 0;
    virtual void DetachWindow() = 0;
    // Returns the message's result; *handled false lets the platform's
    // default handling run (for WM_INITDIALOG the result is the focus flag).
    virtual intptr_t HandleMessage(uint32_t msg, uintptr_t wParam, intptr_t lParam, bool* handled) = 0;
};

// One page of a property sheet run.
struct SheetPage {
    unsigned templateId = 0;
    WindowSink* sink = nullptr;
    bool hasHelp = false;
};

// A property sheet run: caption, pages in order, start page, header flags.
struct SheetRun {
    std::string caption;
    Hwnd parent = nullptr;
    std::vector<SheetPage> pages;
    unsigned startPage = 0;
    uint32_t flags = 0;  // PSH_WIZARD, PSH_HASHELP
    WindowSink* sheetSink = nullptr;
};

// What a window is, for drivers that act on whatever is active.
enum class WindowKind { None, Dialog, MessageBox, Sheet, Page, Control };

// Keys a user presses in a dialog; the dialog manager gives them their
// meaning (Enter: the default button, Esc: Cancel, Tab: the next control in
// the tab order, arrows: the focused list's selection, Space: the focused
// button, F1: the help request).
enum class Key { Enter, Escape, Tab, ShiftTab, Up, Down, Home, End, Space, F1 };

// Acts on the user interface when a modal loop is idle (UI scripts, tests).
class Driver {
  public:
    virtual ~Driver() = default;
    // Called by the backend's modal loops when nothing else waits. Performs at
    // most one user action on the active window and returns true, or returns
    // false when it has nothing to do (the backend then applies its default).
    virtual bool Step(Hwnd active) = 0;
};

// Where the backend writes what happened (windows opened, message boxes,
// help opened, actions); null when nobody listens.
class Transcript {
  public:
    virtual ~Transcript() = default;
    virtual void Line(const std::string& line) = 0;
};

class Backend {
  public:
    virtual ~Backend() = default;

    // Resources of the library (its string table; dialog templates are used
    // by id in the calls below).
    virtual bool LoadString(unsigned id, std::string* text) = 0;

    // Dialogs. RunModalDialog answers the value given to EndDialog, or -1
    // when the window could not be created.
    virtual intptr_t RunModalDialog(unsigned templateId, Hwnd parent, WindowSink* sink) = 0;
    virtual Hwnd CreateModelessDialog(unsigned templateId, Hwnd parent, WindowSink* sink) = 0;
    virtual void EndDialog(Hwnd dialog, intptr_t result) = 0;
    virtual intptr_t RunPropertySheet(const SheetRun& run) = 0;
    // The template a dialog or page window was made from; 0 for others.
    virtual unsigned TemplateOf(Hwnd hwnd) = 0;
    virtual WindowKind KindOf(Hwnd hwnd) = 0;

    // Windows and controls.
    virtual bool IsWindow(Hwnd hwnd) = 0;
    virtual bool DestroyWindow(Hwnd hwnd) = 0;
    virtual Hwnd GetDlgItem(Hwnd dialog, int id) = 0;
    virtual int GetDlgCtrlID(Hwnd hwnd) = 0;
    virtual Hwnd GetParent(Hwnd hwnd) = 0;
    virtual std::string GetClassName(Hwnd hwnd) = 0;
    virtual intptr_t SendMessage(Hwnd hwnd, uint32_t msg, uintptr_t wParam, intptr_t lParam) = 0;
    virtual bool PostMessage(Hwnd hwnd, uint32_t msg, uintptr_t wParam, intptr_t lParam) = 0;
    virtual std::string GetWindowText(Hwnd hwnd) = 0;
    virtual void SetWindowText(Hwnd hwnd, const std::string& text) = 0;
    virtual bool EnableWindow(Hwnd hwnd, bool enable) = 0;
    virtual bool IsWindowEnabled(Hwnd hwnd) = 0;
    virtual bool ShowWindow(Hwnd hwnd, int command) = 0;
    virtual bool IsWindowVisible(Hwnd hwnd) = 0;
    virtual intptr_t GetWindowLong(Hwnd hwnd, int index) = 0;
    virtual intptr_t SetWindowLong(Hwnd hwnd, int index, intptr_t value) = 0;
    virtual void CenterWindow(Hwnd hwnd, Hwnd over) = 0;
    virtual void UpdateWindow(Hwnd hwnd) = 0;
    // Size in pixels of the window's client area (inside borders and scroll bars).
    virtual void GetClientSize(Hwnd hwnd, int* width, int* height) = 0;
    // Pixel width of a text in the control's font (list extents).
    virtual int TextWidth(Hwnd hwnd, const std::string& text) = 0;
    // The window the user is working in: the top modal window or message box.
    virtual Hwnd ActiveWindow() = 0;
    // The control that has the keyboard focus, null when none has.
    virtual Hwnd GetFocus() = 0;
    // A key pressed in the window the user works in, or Alt held with a
    // letter (its accelerator); the key goes to the focused control first, as
    // the platform's dialog manager routes it.
    virtual void PressKey(Hwnd window, Key key) = 0;
    virtual void PressAccelerator(Hwnd window, char letter) = 0;
    // Characters typed in quick succession, in the process's code page; the
    // focused control receives them as the keyboard delivers them (a list
    // view moves to the first row that starts with what was typed).
    virtual void TypeText(Hwnd window, const std::string& text) = 0;
    // A multi-line edit keeps Enter, Esc and Tab to itself and hands them to
    // the window it sits in, which on a wizard page has no buttons: after
    // this call the dialog manager gives them their meaning there, as in any
    // other control (the arrows still scroll the text).
    virtual void LeaveDialogKeysToDialog(Hwnd edit) = 0;

    // Bitmaps of the library's resources.
    virtual void* LoadBitmap(unsigned id) = 0;
    virtual void DeleteObject(void* object) = 0;

    // Message box: answers IDOK, IDCANCEL, IDYES or IDNO. helpId is the help
    // context (the string id of the text), 0 for none.
    virtual int MessageBox(Hwnd owner, const std::string& text, const std::string& caption, uint32_t type,
                           unsigned helpId) = 0;

    // The busy cursor.
    virtual void BeginWaitCursor() = 0;
    virtual void EndWaitCursor() = 0;
    virtual void RestoreWaitCursor() = 0;

    // The shell's "open" action: its result number (above 32 is success).
    virtual intptr_t ShellOpen(const std::string& path) = 0;

    // The thread's message queue.
    virtual bool HasWaitingMessage() = 0;
    virtual bool PumpMessage() = 0;  // false when it met the quit message
    virtual void PostQuitMessage(int exitCode) = 0;

    // The application's name (caption of message boxes).
    virtual std::string ApplicationName() = 0;

    // Drivers and transcripts. The backend does not own them.
    virtual void SetDriver(Driver* driver) = 0;
    virtual void SetTranscript(Transcript* transcript) = 0;
};

// The process's backend: the one this build was made with.
Backend& CurrentBackend();

}  // namespace fw
