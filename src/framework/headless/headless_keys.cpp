// The dialog manager of the headless backend: what the platform does with a
// key pressed in a dialog. Enter goes to the focused push button, else to the
// default button when that is enabled (DM_GETDEFID; without one, IDOK); Esc
// sends IDCANCEL; Tab walks the controls with WS_TABSTOP that are shown and
// enabled; Alt+letter acts on the control whose text has that accelerator (a
// label hands the focus to the control after it); arrows move the focused
// list's selection, which notifies as a user's change does. A modal window
// disables its owner for its run, so nothing beneath it takes input.
#include <cctype>

#include "headless_backend.h"
#include "../win_types.h"

namespace fw {
namespace headless {

namespace {
bool IsButton(const Window* c) {
    return c->cls == "Button";
}
uint32_t ButtonType(const Window* c) {
    return c->style & BS_TYPEMASK;
}
bool IsPushButton(const Window* c) {
    return IsButton(c) && (ButtonType(c) == BS_PUSHBUTTON || ButtonType(c) == BS_DEFPUSHBUTTON);
}
bool IsTopLevel(const Window* w) {
    return w->kind == WindowKind::Dialog || w->kind == WindowKind::Sheet || w->kind == WindowKind::MessageBox;
}
// A multi-line edit takes Enter, Esc and Tab itself and hands them to the
// window it sits in: on a wizard page that is the page, not the sheet.
bool KeepsDialogKeys(const Window* c) {
    return c && c->cls == "Edit" && (c->style & ES_MULTILINE) && !c->leavesDialogKeys;
}
bool OnAPage(const Window* c) {
    return c && c->parent && c->parent->kind == WindowKind::Page;
}

// The letter after a single '&' in a control's text ("&&" is a plain '&').
char AcceleratorOf(const std::string& text) {
    for (size_t i = 0; i + 1 < text.size(); ++i) {
        if (text[i] != '&')
            continue;
        if (text[i + 1] == '&') {
            ++i;
            continue;
        }
        return static_cast<char>(std::tolower(static_cast<unsigned char>(text[i + 1])));
    }
    return 0;
}
}  // namespace

Window* HeadlessBackend::TopOf(Window* w) {
    while (w && !IsTopLevel(w)) w = w->parent;
    return w;
}

Window* HeadlessBackend::OwnerFor(Window* parent) {
    // Without a parent, a modal window belongs to the one the user works in.
    if (!parent) {
        if (!modal_.empty())
            parent = modal_.back();
        else
            for (auto it = modeless_.rbegin(); it != modeless_.rend() && !parent; ++it)
                if (live_.count(*it))
                    parent = *it;
    }
    return TopOf(parent);
}

std::vector<Window*> HeadlessBackend::TabOrder(Window* top) const {
    std::vector<Window*> order;
    if (!top)
        return order;
    if (top->kind == WindowKind::Sheet && top->sheet && top->sheet->current >= 0)
        if (Window* page = top->sheet->pages[static_cast<size_t>(top->sheet->current)])
            for (Window* c : page->children)
                if (c->kind == WindowKind::Control)
                    order.push_back(c);
    for (Window* c : top->children)
        if (c->kind == WindowKind::Control)
            order.push_back(c);
    return order;
}

bool HeadlessBackend::Focusable(Window* c) {
    return c && live_.count(c) && (c->style & WS_TABSTOP) && IsWindowVisible(H(c)) && IsWindowEnabled(H(c)) &&
           c->cls != "Static";
}

// As on the platform, the focus has moved before the edit that had it hears
// so: during EN_KILLFOCUS GetFocus names the window that takes it, and a
// handler that moves the focus again (a message box) wins over this move.
void HeadlessBackend::SetFocusTo(Window* top, Window* c) {
    if (!top)
        return;
    Window* had = top->focus && live_.count(top->focus) ? top->focus : nullptr;
    top->focus = c;
    if (had == c)
        return;
    if (had && had->cls == "Edit")
        Command(had, EN_KILLFOCUS);
    if (c && live_.count(top) && top->focus == c && live_.count(c) && c->cls == "Edit")
        Command(c, EN_SETFOCUS);
}

void HeadlessBackend::FocusFirst(Window* top) {
    if (!top)
        return;
    if (top->kind == WindowKind::MessageBox) {
        // A message box starts on its default button.
        int id = DefaultId(top);
        for (Window* c : top->children)
            if (c->id == id && IsButton(c))
                return SetFocusTo(top, c);
    }
    for (Window* c : TabOrder(top))
        if (Focusable(c))
            return SetFocusTo(top, c);
    SetFocusTo(top, nullptr);
}

int HeadlessBackend::DefaultId(Window* top) const {
    if (!top)
        return 0;
    if (top->defId)
        return top->defId;
    for (Window* c : top->children)
        if (c->kind == WindowKind::Control && IsButton(c) && ButtonType(c) == BS_DEFPUSHBUTTON)
            return c->id;
    return 0;
}

intptr_t HeadlessBackend::DialogManagerMessage(Window* w, uint32_t msg, uintptr_t wParam, intptr_t lParam,
                                               bool* handled) {
    *handled = true;
    switch (msg) {
        case DM_GETDEFID: {
            if (!IsTopLevel(w))
                break;
            int id = DefaultId(w);
            return id ? static_cast<intptr_t>(MAKELONG(id, DC_HASDEFID)) : 0;
        }
        case DM_SETDEFID: {
            if (!IsTopLevel(w))
                break;
            // The old default looks like a plain push button again, the new one like the default.
            int old = DefaultId(w);
            for (Window* c : w->children) {
                if (c->kind != WindowKind::Control || !IsPushButton(c))
                    continue;
                if (c->id == old)
                    c->style = (c->style & ~BS_TYPEMASK) | BS_PUSHBUTTON;
                if (c->id == static_cast<int>(wParam))
                    c->style = (c->style & ~BS_TYPEMASK) | BS_DEFPUSHBUTTON;
            }
            w->defId = static_cast<int>(wParam);
            return TRUE;
        }
        case WM_NEXTDLGCTL: {
            Window* top = TopOf(w);
            if (!top)
                break;
            if (lParam) {
                Window* target = W(reinterpret_cast<Hwnd>(wParam));
                if (target && TopOf(target) == top)
                    SetFocusTo(top, target);
                return 0;
            }
            PressKey(H(top), wParam ? Key::ShiftTab : Key::Tab);
            return 0;
        }
        default:
            break;
    }
    *handled = false;
    return 0;
}

Hwnd HeadlessBackend::GetFocus() {
    Window* top = W(ActiveWindow());
    if (!top || !top->focus || !live_.count(top->focus))
        return nullptr;
    return H(top->focus);
}

void HeadlessBackend::EnterKey(Window* top) {
    Window* focus = top->focus && live_.count(top->focus) ? top->focus : nullptr;
    if (KeepsDialogKeys(focus)) {
        if (focus->style & ES_WANTRETURN) {
            if (!(focus->style & ES_READONLY)) {
                focus->text += "\r\n";
                Command(focus, EN_UPDATE);
                if (live_.count(focus))
                    Command(focus, EN_CHANGE);
            }
            return;
        }
        // A multi-line edit hands Enter to the default button of the window
        // it sits in, which on a wizard page is the page, not the sheet.
        Window* holder = focus->parent;
        if (holder && holder->kind == WindowKind::Page) {
            int id = 0;
            for (Window* c : holder->children)
                if (IsButton(c) && ButtonType(c) == BS_DEFPUSHBUTTON)
                    id = c->id;
            if (!id)
                return;
        }
    }
    if (focus && IsPushButton(focus)) {
        Deliver(focus, BM_CLICK, 0, 0);
        return;
    }
    intptr_t dw = Deliver(top, DM_GETDEFID, 0, 0);
    if (!live_.count(top))
        return;
    if (HIWORD(dw) == DC_HASDEFID) {
        int id = LOWORD(dw);
        Window* def = W(GetDlgItem(H(top), id));
        if (!def || IsWindowEnabled(H(def)))
            Deliver(top, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(def));
        return;
    }
    Deliver(top, WM_COMMAND, IDOK, reinterpret_cast<LPARAM>(W(GetDlgItem(H(top), IDOK))));
}

void HeadlessBackend::MoveInList(Window* list, Key key) {
    bool listView = list->cls == "SysListView32";
    int count = listView ? ListViewCount(list) : static_cast<int>(list->rows.size());
    if (count == 0)
        return;
    int current = -1;
    if (listView) {
        current = ListViewFocus(list);
    } else if (list->cls == "ListBox" && (list->style & (LBS_EXTENDEDSEL | LBS_MULTIPLESEL))) {
        for (int i = 0; i < count && current < 0; ++i)
            if (list->rows[static_cast<size_t>(i)].state & LVIS_SELECTED)
                current = i;
    } else {
        current = list->curSel;
    }
    int target = current;
    switch (key) {
        case Key::Up:
            // A list view with no focused row has nothing above it: Up does
            // nothing there, whatever is selected, while Down goes to the first row.
            target = current < 0 ? (list->cls == "SysListView32" ? -1 : 0) : current - 1;
            break;
        case Key::Down:
            target = current + 1;
            break;
        case Key::Home:
            target = 0;
            break;
        case Key::End:
            target = count - 1;
            break;
        default:
            return;
    }
    if (target < 0 || target >= count || target == current)
        return;
    if (list->cls == "SysListView32") {
        SelectOnlyRow(list, target);
    } else if (list->cls == "ListBox") {
        if (list->style & (LBS_EXTENDEDSEL | LBS_MULTIPLESEL)) {
            Deliver(list, LB_SETSEL, FALSE, -1);
            Deliver(list, LB_SETSEL, TRUE, target);
        } else {
            Deliver(list, LB_SETCURSEL, static_cast<uintptr_t>(target), 0);
        }
        if (live_.count(list) && (list->style & LBS_NOTIFY))
            Command(list, LBN_SELCHANGE);
    } else if (list->cls == "ComboBox") {
        Deliver(list, CB_SETCURSEL, static_cast<uintptr_t>(target), 0);
        if (live_.count(list))
            Command(list, CBN_SELCHANGE);
    }
}

void HeadlessBackend::PressKey(Hwnd window, Key key) {
    Window* top = TopOf(W(window));
    if (!top || !IsWindowEnabled(H(top)))
        return;
    Window* focus = top->focus && live_.count(top->focus) ? top->focus : nullptr;
    switch (key) {
        case Key::Enter:
            EnterKey(top);
            return;
        case Key::Escape:
            // The edit closes the window it sits in; a page has nothing to close.
            if (KeepsDialogKeys(focus) && OnAPage(focus))
                return;
            Deliver(top, WM_COMMAND, IDCANCEL, reinterpret_cast<LPARAM>(W(GetDlgItem(H(top), IDCANCEL))));
            return;
        case Key::Tab:
        case Key::ShiftTab: {
            std::vector<Window*> order = TabOrder(top);
            // The edit asks the page it sits in for its next control: the
            // walk stays on the page, away from the wizard's buttons.
            if (KeepsDialogKeys(focus) && OnAPage(focus))
                order.assign(focus->parent->children.begin(), focus->parent->children.end());
            int n = static_cast<int>(order.size());
            int at = -1;
            for (int i = 0; i < n; ++i)
                if (order[static_cast<size_t>(i)] == focus)
                    at = i;
            int step = key == Key::Tab ? 1 : -1;
            for (int k = 1; k <= n; ++k) {
                int i = ((at < 0 ? (step > 0 ? -1 : 0) : at) + step * k) % n;
                if (i < 0)
                    i += n;
                if (Focusable(order[static_cast<size_t>(i)]))
                    return SetFocusTo(top, order[static_cast<size_t>(i)]);
            }
            return;
        }
        case Key::F1:
            HelpKey(top);
            return;
        case Key::Space:
            if (focus && IsButton(focus))
                Deliver(focus, BM_CLICK, 0, 0);
            return;
        case Key::Up:
        case Key::Down:
        case Key::Home:
        case Key::End:
            if (focus &&
                (focus->cls == "SysListView32" || focus->cls == "ListBox" || focus->cls == "ComboBox"))
                MoveInList(focus, key);
            return;
    }
}

void HeadlessBackend::HelpKey(Window* top) {
    // As the platform fills it for a window with no help context of its own.
    HELPINFO info{};
    info.cbSize = sizeof info;
    info.iContextType = HELPINFO_WINDOW;
    info.hItemHandle = reinterpret_cast<HANDLE>(top);
    if (top->kind != WindowKind::MessageBox) {
        info.iCtrlId = top->id;
        Deliver(top, WM_HELP, 0, reinterpret_cast<LPARAM>(&info));
        return;
    }
    // A message box hands the request, with its help context, to the window
    // it belongs to; a box without a context keeps it.
    Window* owner = top->parent;
    if (!owner || !live_.count(owner) || top->helpId == 0)
        return;
    WindowSink* sink = owner->sink;
    if (!sink && owner->kind == WindowKind::Sheet && owner->sheet)
        sink = owner->sheet->run.sheetSink;
    if (!sink)
        return;
    info.dwContextId = top->helpId;
    bool handled = false;
    sink->HandleMessage(WM_HELP, 0, reinterpret_cast<intptr_t>(&info), &handled);
}

void HeadlessBackend::LeaveDialogKeysToDialog(Hwnd edit) {
    if (Window* c = W(edit))
        c->leavesDialogKeys = true;
}

void HeadlessBackend::PressAccelerator(Hwnd window, char letter) {
    Window* top = TopOf(W(window));
    if (!top || !IsWindowEnabled(H(top)))
        return;
    char wanted = static_cast<char>(std::tolower(static_cast<unsigned char>(letter)));
    std::vector<Window*> order = TabOrder(top);
    int n = static_cast<int>(order.size());
    int at = -1;
    for (int i = 0; i < n; ++i)
        if (order[static_cast<size_t>(i)] == top->focus)
            at = i;
    // The search starts after the focused control, as the platform's does.
    for (int k = 1; k <= n; ++k) {
        int i = (at + k) % n;
        Window* c = order[static_cast<size_t>(i)];
        if (!IsWindowVisible(H(c)) || !IsWindowEnabled(H(c)))
            continue;
        bool label = c->cls == "Static" || (IsButton(c) && ButtonType(c) == BS_GROUPBOX);
        if ((c->cls == "Static" && (c->style & SS_NOPREFIX)) || AcceleratorOf(c->text) != wanted)
            continue;
        if (label) {
            for (int j = 1; j < n; ++j) {
                Window* next = order[static_cast<size_t>((i + j) % n)];
                if (next->cls == "Static" || (IsButton(next) && ButtonType(next) == BS_GROUPBOX))
                    continue;
                if (Focusable(next))
                    SetFocusTo(top, next);
                return;
            }
            return;
        }
        if (IsButton(c)) {
            if (!IsPushButton(c))
                SetFocusTo(top, c);
            Deliver(c, BM_CLICK, 0, 0);
            return;
        }
        SetFocusTo(top, c);
        return;
    }
}

}  // namespace headless
}  // namespace fw
