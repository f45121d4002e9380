// Acting on the user interface as a user would, through whichever backend
// runs: the same actions serve UI scripts and tests. An action a user could
// not perform (a control that is missing, disabled or hidden, typing into a
// read-only edit) throws UiError instead.
#pragma once

#include <stdexcept>
#include <string>
#include <vector>

#include "../backend.h"

namespace fw {

struct UiError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

enum class SheetButton { Back, Next, Finish, Cancel, Help };

class Ui {
  public:
    explicit Ui(Hwnd active);

    Hwnd Window() const { return window_; }
    WindowKind Kind() const;
    // The template of the dialog, or of the page a sheet shows; 0 for a message box.
    unsigned TemplateId() const;
    std::string Caption() const;
    // Text of a message box.
    std::string MessageText() const;

    // Controls are looked up on the window and, for a sheet, on its current page.
    Hwnd Control(int id) const;
    bool Has(int id) const;
    std::string Text(int id) const;
    bool Enabled(int id) const;
    bool Visible(int id) const;
    bool ReadOnly(int id) const;
    uint32_t Style(int id) const;
    int RowCount(int id) const;
    std::string RowText(int id, int row, int column = 0) const;
    std::vector<int> SelectedRows(int id) const;

    void Click(int id);
    void Type(int id, const std::string& text);
    // A click on a row: list views, list boxes and combo boxes.
    void SelectRow(int id, int row);
    // Several rows chosen as a user does with Ctrl held: list views and list
    // boxes that allow several selected rows. The rows given end up selected,
    // all others not.
    void SelectRows(int id, const std::vector<int>& rows);
    // A click on a tree node, named by its path of texts from the root
    // ("SALES" or "SALES/REGION").
    void SelectTreeItem(int id, const std::string& path);
    // A click on the empty area of a list view.
    void ClickEmpty(int id);
    void DoubleClickRow(int id, int row);
    void SetCheck(int id, bool checked);
    // Answers a message box with IDOK, IDCANCEL, IDYES or IDNO.
    void Answer(int button);
    void Press(SheetButton button);
    // The F1 key: the active window receives the help request (WM_HELP).
    void PressF1();
    // A key pressed, or Alt held with a letter; the window's dialog manager
    // decides what it does (nothing, for a key that means nothing there).
    void PressKey(Key key);
    void PressAlt(char letter);
    // Characters typed at once into the focused control (a list view's type-ahead).
    void Type(const std::string& text);
    // The control with the keyboard focus (0 for none), and the button that
    // Enter would press now: the focused push button, else the window's
    // default button (0 for none).
    int FocusId() const;
    int DefaultButton() const;

  private:
    Hwnd window_;
    Hwnd Usable(int id) const;  // present, enabled and visible
    Hwnd Page() const;
};

}  // namespace fw
