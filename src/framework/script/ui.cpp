#include "ui.h"

#include <algorithm>
#include <vector>

#include "../win_types.h"

namespace fw {
namespace {
Backend& B() {
    return CurrentBackend();
}

std::string ClassOf(Hwnd h) {
    return B().GetClassName(h);
}
bool IsListView(Hwnd h) {
    return ClassOf(h) == "SysListView32";
}
bool IsListBox(Hwnd h) {
    return ClassOf(h) == "ListBox";
}
bool IsComboBox(Hwnd h) {
    return ClassOf(h) == "ComboBox";
}

void SendCommand(Hwnd control, int code) {
    Hwnd parent = B().GetParent(control);
    int id = B().GetDlgCtrlID(control);
    B().SendMessage(parent, WM_COMMAND, MAKEWPARAM(id, code), reinterpret_cast<LPARAM>(control));
}

void SendListNotify(Hwnd control, UINT code, int row) {
    NMITEMACTIVATE nm{};
    nm.hdr.hwndFrom = reinterpret_cast<HWND>(control);
    nm.hdr.idFrom = static_cast<UINT_PTR>(B().GetDlgCtrlID(control));
    nm.hdr.code = code;
    nm.iItem = row;
    B().SendMessage(B().GetParent(control), WM_NOTIFY, nm.hdr.idFrom, reinterpret_cast<LPARAM>(&nm));
}
}  // namespace

Ui::Ui(Hwnd active) : window_(active) {
    if (!window_ || !B().IsWindow(window_))
        throw UiError("no window is active");
}

WindowKind Ui::Kind() const {
    return B().KindOf(window_);
}

Hwnd Ui::Page() const {
    if (Kind() != WindowKind::Sheet)
        return nullptr;
    return reinterpret_cast<Hwnd>(B().SendMessage(window_, PSM_GETCURRENTPAGEHWND, 0, 0));
}

unsigned Ui::TemplateId() const {
    Hwnd page = Page();
    return B().TemplateOf(page ? page : window_);
}

std::string Ui::Caption() const {
    return B().GetWindowText(window_);
}

std::string Ui::MessageText() const {
    Hwnd text = B().GetDlgItem(window_, 0xFFFF);
    return text ? B().GetWindowText(text) : std::string();
}

Hwnd Ui::Control(int id) const {
    if (Hwnd page = Page())
        if (Hwnd h = B().GetDlgItem(page, id))
            return h;
    Hwnd h = B().GetDlgItem(window_, id);
    if (!h)
        throw UiError("the window has no control " + std::to_string(id));
    return h;
}

bool Ui::Has(int id) const {
    Hwnd page = Page();
    return (page && B().GetDlgItem(page, id)) || B().GetDlgItem(window_, id);
}

std::string Ui::Text(int id) const {
    return B().GetWindowText(Control(id));
}
bool Ui::Enabled(int id) const {
    return B().IsWindowEnabled(Control(id));
}
bool Ui::Visible(int id) const {
    return B().IsWindowVisible(Control(id));
}
uint32_t Ui::Style(int id) const {
    return static_cast<uint32_t>(B().GetWindowLong(Control(id), GWL_STYLE));
}
bool Ui::ReadOnly(int id) const {
    return (Style(id) & ES_READONLY) != 0;
}

int Ui::RowCount(int id) const {
    Hwnd h = Control(id);
    if (IsListView(h))
        return static_cast<int>(B().SendMessage(h, LVM_GETITEMCOUNT, 0, 0));
    if (IsListBox(h))
        return static_cast<int>(B().SendMessage(h, LB_GETCOUNT, 0, 0));
    if (IsComboBox(h))
        return static_cast<int>(B().SendMessage(h, CB_GETCOUNT, 0, 0));
    throw UiError("control " + std::to_string(id) + " has no rows");
}

std::string Ui::RowText(int id, int row, int column) const {
    Hwnd h = Control(id);
    std::vector<char> buf(8192, '\0');
    if (IsListView(h)) {
        LVITEMA item{};
        item.iSubItem = column;
        item.pszText = buf.data();
        item.cchTextMax = static_cast<int>(buf.size());
        B().SendMessage(h, LVM_GETITEMTEXTA, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
        return buf.data();
    }
    UINT lenMsg = IsListBox(h) ? LB_GETTEXTLEN : CB_GETLBTEXTLEN;
    UINT textMsg = IsListBox(h) ? LB_GETTEXT : CB_GETLBTEXT;
    intptr_t n = B().SendMessage(h, lenMsg, static_cast<WPARAM>(row), 0);
    if (n < 0)
        throw UiError("control " + std::to_string(id) + " has no row " + std::to_string(row));
    buf.assign(static_cast<size_t>(n) + 1, '\0');
    B().SendMessage(h, textMsg, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(buf.data()));
    return buf.data();
}

std::vector<int> Ui::SelectedRows(int id) const {
    Hwnd h = Control(id);
    std::vector<int> rows;
    if (IsListView(h)) {
        for (int i = -1; (i = static_cast<int>(B().SendMessage(h, LVM_GETNEXTITEM, static_cast<WPARAM>(i),
                                                               LVNI_SELECTED))) >= 0;)
            rows.push_back(i);
    } else if (IsListBox(h)) {
        int n = static_cast<int>(B().SendMessage(h, LB_GETCOUNT, 0, 0));
        for (int i = 0; i < n; ++i)
            if (B().SendMessage(h, LB_GETSEL, static_cast<WPARAM>(i), 0) > 0)
                rows.push_back(i);
    } else if (IsComboBox(h)) {
        int i = static_cast<int>(B().SendMessage(h, CB_GETCURSEL, 0, 0));
        if (i >= 0)
            rows.push_back(i);
    }
    return rows;
}

Hwnd Ui::Usable(int id) const {
    Hwnd h = Control(id);
    if (!B().IsWindowVisible(h))
        throw UiError("control " + std::to_string(id) + " is hidden");
    if (!B().IsWindowEnabled(h))
        throw UiError("control " + std::to_string(id) + " is disabled");
    // A window beneath a modal one is disabled as a whole: clicks on it do nothing.
    if (!B().IsWindowEnabled(window_))
        throw UiError("the window is disabled (a modal window runs above it)");
    return h;
}

void Ui::PressKey(Key key) {
    if (!B().IsWindowEnabled(window_))
        throw UiError("the window is disabled (a modal window runs above it)");
    B().PressKey(window_, key);
}

void Ui::PressAlt(char letter) {
    if (!B().IsWindowEnabled(window_))
        throw UiError("the window is disabled (a modal window runs above it)");
    B().PressAccelerator(window_, letter);
}

void Ui::Type(const std::string& text) {
    if (!B().IsWindowEnabled(window_))
        throw UiError("the window is disabled (a modal window runs above it)");
    B().TypeText(window_, text);
}

int Ui::FocusId() const {
    Hwnd focus = B().GetFocus();
    return focus ? B().GetDlgCtrlID(focus) : 0;
}

int Ui::DefaultButton() const {
    if (Hwnd focus = B().GetFocus()) {
        uint32_t type = static_cast<uint32_t>(B().GetWindowLong(focus, GWL_STYLE)) & BS_TYPEMASK;
        if (ClassOf(focus) == "Button" && (type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON))
            return B().GetDlgCtrlID(focus);
    }
    intptr_t dw = B().SendMessage(window_, DM_GETDEFID, 0, 0);
    return HIWORD(dw) == DC_HASDEFID ? LOWORD(dw) : 0;
}

void Ui::Click(int id) {
    B().SendMessage(Usable(id), BM_CLICK, 0, 0);
}

void Ui::Type(int id, const std::string& text) {
    Hwnd h = Usable(id);
    if (ClassOf(h) != "Edit")
        throw UiError("control " + std::to_string(id) + " is not an edit");
    if (B().GetWindowLong(h, GWL_STYLE) & ES_READONLY)
        throw UiError("control " + std::to_string(id) + " is read-only");
    B().SetWindowText(h, text);
    // A multi-line edit does not report text set by code, but reports typing.
    if (B().GetWindowLong(h, GWL_STYLE) & ES_MULTILINE) {
        if (Hwnd parent = B().GetParent(h)) {
            LPARAM from = reinterpret_cast<LPARAM>(h);
            B().SendMessage(parent, WM_COMMAND, MAKEWPARAM(id, EN_UPDATE), from);
            B().SendMessage(parent, WM_COMMAND, MAKEWPARAM(id, EN_CHANGE), from);
        }
    }
}

void Ui::SelectRow(int id, int row) {
    Hwnd h = Usable(id);
    if (row < 0 || row >= RowCount(id))
        throw UiError("control " + std::to_string(id) + " has no row " + std::to_string(row));
    if (IsListView(h)) {
        // A click selects the row (the list view notifies the change itself) and then reports the click.
        uint32_t style = static_cast<uint32_t>(B().GetWindowLong(h, GWL_STYLE));
        if (!(style & LVS_SINGLESEL)) {
            LVITEMA clear{};
            clear.stateMask = LVIS_SELECTED;
            B().SendMessage(h, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&clear));
        }
        LVITEMA item{};
        item.state = LVIS_SELECTED | LVIS_FOCUSED;
        item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
        B().SendMessage(h, LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
        SendListNotify(h, NM_CLICK, row);
    } else if (IsListBox(h)) {
        uint32_t style = static_cast<uint32_t>(B().GetWindowLong(h, GWL_STYLE));
        if (style & (LBS_EXTENDEDSEL | LBS_MULTIPLESEL)) {
            B().SendMessage(h, LB_SETSEL, FALSE, -1);
            B().SendMessage(h, LB_SETSEL, TRUE, row);
        } else {
            B().SendMessage(h, LB_SETCURSEL, static_cast<WPARAM>(row), 0);
        }
        if (style & LBS_NOTIFY)
            SendCommand(h, LBN_SELCHANGE);
    } else if (IsComboBox(h)) {
        B().SendMessage(h, CB_SETCURSEL, static_cast<WPARAM>(row), 0);
        SendCommand(h, CBN_SELCHANGE);
    } else {
        throw UiError("control " + std::to_string(id) + " has no rows");
    }
}

void Ui::SelectRows(int id, const std::vector<int>& rows) {
    Hwnd h = Usable(id);
    int count = RowCount(id);
    for (int row : rows)
        if (row < 0 || row >= count)
            throw UiError("control " + std::to_string(id) + " has no row " + std::to_string(row));
    uint32_t style = static_cast<uint32_t>(B().GetWindowLong(h, GWL_STYLE));
    if (IsListView(h)) {
        if ((style & LVS_SINGLESEL) && rows.size() > 1)
            throw UiError("control " + std::to_string(id) + " takes one row only");
        // The first row is clicked, the others Ctrl-clicked: each change is reported.
        for (int row = 0; row < count; ++row) {
            bool want = std::find(rows.begin(), rows.end(), row) != rows.end();
            LVITEMA item{};
            item.state = want ? LVIS_SELECTED : 0;
            item.stateMask = LVIS_SELECTED;
            B().SendMessage(h, LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
        }
        if (!rows.empty())
            SendListNotify(h, NM_CLICK, rows.back());
    } else if (IsListBox(h)) {
        if (!(style & (LBS_EXTENDEDSEL | LBS_MULTIPLESEL)))
            throw UiError("control " + std::to_string(id) + " takes one row only");
        B().SendMessage(h, LB_SETSEL, FALSE, -1);
        for (int row : rows) B().SendMessage(h, LB_SETSEL, TRUE, row);
        if (style & LBS_NOTIFY)
            SendCommand(h, LBN_SELCHANGE);
    } else {
        throw UiError("control " + std::to_string(id) + " has no rows to choose several of");
    }
}

void Ui::SelectTreeItem(int id, const std::string& path) {
    Hwnd h = Usable(id);
    if (ClassOf(h) != "SysTreeView32")
        throw UiError("control " + std::to_string(id) + " is not a tree");
    std::vector<char> buf(4200, '\0');
    auto textOf = [&](intptr_t node) {
        TVITEMA item{};
        item.mask = TVIF_TEXT | TVIF_HANDLE;
        item.hItem = reinterpret_cast<HTREEITEM>(node);
        item.pszText = buf.data();
        item.cchTextMax = static_cast<int>(buf.size());
        B().SendMessage(h, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item));
        return std::string(buf.data());
    };
    intptr_t node = B().SendMessage(h, TVM_GETNEXTITEM, TVGN_ROOT, 0);
    size_t start = 0;
    while (true) {
        size_t slash = path.find('/', start);
        std::string part = path.substr(start, slash == std::string::npos ? std::string::npos : slash - start);
        while (node && textOf(node) != part) node = B().SendMessage(h, TVM_GETNEXTITEM, TVGN_NEXT, node);
        if (!node)
            throw UiError("tree " + std::to_string(id) + " has no node " + path);
        if (slash == std::string::npos)
            break;
        node = B().SendMessage(h, TVM_GETNEXTITEM, TVGN_CHILD, node);
        start = slash + 1;
    }
    // The tree reports the new selection itself.
    B().SendMessage(h, TVM_SELECTITEM, TVGN_CARET, node);
}

void Ui::ClickEmpty(int id) {
    Hwnd h = Usable(id);
    if (!IsListView(h))
        throw UiError("control " + std::to_string(id) + " is not a list view");
    // A click beside the rows clears the selection, then reports the click.
    LVITEMA clear{};
    clear.stateMask = LVIS_SELECTED;
    B().SendMessage(h, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&clear));
    SendListNotify(h, NM_CLICK, -1);
}

void Ui::DoubleClickRow(int id, int row) {
    SelectRow(id, row);
    Hwnd h = Control(id);
    if (IsListView(h))
        SendListNotify(h, NM_DBLCLK, row);
    else if (IsListBox(h) && (B().GetWindowLong(h, GWL_STYLE) & LBS_NOTIFY))
        SendCommand(h, LBN_DBLCLK);
}

void Ui::SetCheck(int id, bool checked) {
    Hwnd h = Usable(id);
    bool now = B().SendMessage(h, BM_GETCHECK, 0, 0) == BST_CHECKED;
    if (now != checked)
        B().SendMessage(h, BM_CLICK, 0, 0);
}

void Ui::Answer(int button) {
    if (Kind() != WindowKind::MessageBox)
        throw UiError("no message box is active");
    Click(button);
}

void Ui::Press(SheetButton button) {
    if (Kind() != WindowKind::Sheet)
        throw UiError("no wizard is active");
    if (!B().IsWindowEnabled(window_))
        throw UiError("the window is disabled (a modal window runs above it)");
    int id = 0, index = 0;
    switch (button) {
        case SheetButton::Back:
            id = ID_WIZBACK, index = PSBTN_BACK;
            break;
        case SheetButton::Next:
            id = ID_WIZNEXT, index = PSBTN_NEXT;
            break;
        case SheetButton::Finish:
            id = ID_WIZFINISH, index = PSBTN_FINISH;
            break;
        case SheetButton::Cancel:
            id = IDCANCEL, index = PSBTN_CANCEL;
            break;
        case SheetButton::Help:
            id = IDHELP, index = PSBTN_HELP;
            break;
    }
    Hwnd h = B().GetDlgItem(window_, id);
    if (!h)
        throw UiError("the wizard has no button " + std::to_string(id));
    if (!B().IsWindowVisible(h))
        throw UiError("the wizard's button " + std::to_string(id) + " is hidden");
    if (!B().IsWindowEnabled(h))
        throw UiError("the wizard's button " + std::to_string(id) + " is disabled");
    B().SendMessage(window_, PSM_PRESSBUTTON, static_cast<WPARAM>(index), 0);
}

void Ui::PressF1() {
    if (Kind() == WindowKind::MessageBox) {
        // The box passes the request on to the window beneath it.
        B().PressKey(window_, Key::F1);
        return;
    }
    // As the platform fills it for a key press on a window with no help context of its own.
    HELPINFO info{};
    info.cbSize = sizeof info;
    info.iContextType = HELPINFO_WINDOW;
    info.iCtrlId = B().GetDlgCtrlID(window_);
    info.hItemHandle = reinterpret_cast<HANDLE>(window_);
    B().SendMessage(window_, WM_HELP, 0, reinterpret_cast<LPARAM>(&info));
}

}  // namespace fw
