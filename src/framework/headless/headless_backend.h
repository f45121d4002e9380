// The headless backend: windows in memory, built from the library's dialog
// templates, following Win32's rules for which changes notify. Modal loops
// hand control to the installed driver; with nothing to do they apply the
// default action (cancel), so a run without a script always ends.
#pragma once

#include <deque>
#include <set>
#include <string>
#include <vector>

#include "../backend.h"
#include "../resfile/resource_file.h"
#include "headless_window.h"

namespace fw {
namespace headless {

class HeadlessBackend : public Backend {
  public:
    HeadlessBackend();
    ~HeadlessBackend() override;

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
    void SetDriver(Driver* driver) override { driver_ = driver; }
    void SetTranscript(Transcript* transcript) override { transcript_ = transcript; }

    // For tests: the busy cursor's depth and how often it was restored.
    int WaitCursorDepth() const { return waitDepth_; }
    int WaitCursorRestores() const { return waitRestores_; }
    size_t LiveWindowCount() const { return live_.size(); }
    // Bitmaps loaded and not yet deleted.
    size_t LiveBitmapCount() const { return bitmaps_.size(); }

  private:
    struct Posted {
        Window* target;
        uint32_t msg;
        uintptr_t wParam;
        intptr_t lParam;
    };

    Window* W(Hwnd h) const;  // null unless h is a live window
    static Hwnd H(Window* w) { return reinterpret_cast<Hwnd>(w); }
    Window* CreateFromTemplate(unsigned templateId, Window* parent, WindowKind kind, WindowSink* sink);
    Window* NewWindow(WindowKind kind, const std::string& cls, Window* parent);
    void Destroy(Window* w) noexcept;
    void Note(const std::string& line);
    intptr_t RunModalLoop(Window* w);
    intptr_t RunModal(Window* w, Window* owner);
    void Idle(Window* w);
    void DispatchPosted();
    intptr_t Deliver(Window* w, uint32_t msg, uintptr_t wParam, intptr_t lParam);
    intptr_t Notify(Window* to, Window* from, UINT code, intptr_t extra = 0);
    void Command(Window* control, int code);

    // Controls (headless_controls.cpp).
    intptr_t ControlMessage(Window* w, uint32_t msg, uintptr_t wParam, intptr_t lParam, bool* handled);
    intptr_t ListViewMessage(Window* w, uint32_t msg, uintptr_t wParam, intptr_t lParam, bool* handled);
    intptr_t ListBoxMessage(Window* w, uint32_t msg, uintptr_t wParam, intptr_t lParam, bool* handled);
    intptr_t ComboBoxMessage(Window* w, uint32_t msg, uintptr_t wParam, intptr_t lParam, bool* handled);
    intptr_t TreeMessage(Window* w, uint32_t msg, uintptr_t wParam, intptr_t lParam, bool* handled);
    void SetListViewState(Window* w, int index, UINT state, UINT mask);

    // Owner-data list views (headless_owner_data.cpp).
    intptr_t OwnerDataMessage(Window* w, uint32_t msg, uintptr_t wParam, intptr_t lParam, bool* handled);
    void SetOwnerDataState(Window* w, int index, UINT state, UINT mask);
    intptr_t OwnerDataText(Window* w, int index, LVITEMA* item);
    int OwnerDataFind(Window* w, int start, const std::string& text, UINT flags);
    // A list view's rows and the row with the focus (-1: none), whoever holds them.
    static int ListViewCount(const Window* w);
    static int ListViewFocus(const Window* w);
    // Characters typed in a list view: it moves to the row they start.
    void TypeInListView(Window* list, const std::string& text);
    // Makes `row` the only selected row of a list view, with the caret, as an
    // arrow key or type-ahead does; the list view reports each change.
    void SelectOnlyRow(Window* list, int row);

    // The dialog manager (headless_keys.cpp): default button, focus, keys.
    static Window* TopOf(Window* w);
    Window* OwnerFor(Window* parent);
    // F1 in a top-level window: the help request.
    void HelpKey(Window* top);
    std::vector<Window*> TabOrder(Window* top) const;
    bool Focusable(Window* c);
    void SetFocusTo(Window* top, Window* c);
    void FocusFirst(Window* top);
    int DefaultId(Window* top) const;
    intptr_t DialogManagerMessage(Window* w, uint32_t msg, uintptr_t wParam, intptr_t lParam, bool* handled);
    void MoveInList(Window* list, Key key);
    void EnterKey(Window* top);

    // Property sheets (headless_sheet.cpp).
    intptr_t SheetMessage(Window* sheet, uint32_t msg, uintptr_t wParam, intptr_t lParam, bool* handled);
    void SheetShowPage(Window* sheet, int index);
    void SheetPress(Window* sheet, int button);
    void SheetSetButtons(Window* sheet, uint32_t flags);
    void SheetEnd(Window* sheet, intptr_t result);

    ResourceFile resources_;
    std::set<Window*> live_;
    std::vector<Window*> modal_;     // the active modal windows, innermost last
    std::vector<Window*> modeless_;  // top-level modeless windows, most recently created last
    std::deque<Posted> posted_;
    bool quitPosted_ = false;
    int quitCode_ = 0;
    int waitDepth_ = 0;
    int waitRestores_ = 0;
    std::set<void*> bitmaps_;
    Driver* driver_ = nullptr;
    Transcript* transcript_ = nullptr;
};

}  // namespace headless
}  // namespace fw
