// Owner-data list views (LVS_OWNERDATA) and the list views' type-ahead, as
// the platform's list view does them: the control holds the number of rows
// and their states only and asks its parent for what it needs of the rest
// (LVN_GETDISPINFO for a row's text, LVN_ODFINDITEM for the row a typed
// text starts). A row changed alone is reported as in any list view
// (LVN_ITEMCHANGING, then LVN_ITEMCHANGED); a change to every row at once is
// one LVN_ITEMCHANGED for row -1.
#include <algorithm>
#include <cstring>

#include "framework/bounded_copy.h"
#include "framework/text_fold.h"
#include "headless_backend.h"

namespace fw {
namespace headless {

namespace {

bool IsOwnerData(const Window* w) {
    return (w->style & LVS_OWNERDATA) != 0;
}

// What a typed text matches: the start of a row's text, without regard to case.
bool StartsWith(const std::string& row, const std::string& typed) {
    return row.size() >= typed.size() &&
           fw::CompareFoldedText(row.data(), typed.size(), typed.data(), typed.size()) == 0;
}

}  // namespace

int HeadlessBackend::ListViewCount(const Window* w) {
    return static_cast<int>(IsOwnerData(w) ? w->itemStates.size() : w->rows.size());
}

int HeadlessBackend::ListViewFocus(const Window* w) {
    if (IsOwnerData(w))
        return w->focusedItem;
    for (size_t i = 0; i < w->rows.size(); ++i)
        if (w->rows[i].state & LVIS_FOCUSED)
            return static_cast<int>(i);
    return -1;
}

void HeadlessBackend::SetOwnerDataState(Window* w, int index, UINT state, UINT mask) {
    UINT old = w->itemStates[static_cast<size_t>(index)];
    UINT now = (old & ~mask) | (state & mask);
    NMLISTVIEW nm{};
    nm.hdr.hwndFrom = reinterpret_cast<HWND>(w);
    nm.hdr.idFrom = static_cast<UINT_PTR>(w->id);
    nm.iItem = index;
    nm.uNewState = now;
    nm.uOldState = old;
    nm.uChanged = LVIF_STATE;
    nm.hdr.code = LVN_ITEMCHANGING;
    if (w->parent && Deliver(w->parent, WM_NOTIFY, nm.hdr.idFrom, reinterpret_cast<LPARAM>(&nm)))
        return;
    if (!live_.count(w) || index >= static_cast<int>(w->itemStates.size()) || now == old)
        return;
    w->itemStates[static_cast<size_t>(index)] = now;
    w->selectedItems += ((now & LVIS_SELECTED) != 0) - ((old & LVIS_SELECTED) != 0);
    if (now & LVIS_FOCUSED)
        w->focusedItem = index;
    else if (w->focusedItem == index)
        w->focusedItem = -1;
    nm.hdr.code = LVN_ITEMCHANGED;
    if (w->parent)
        Deliver(w->parent, WM_NOTIFY, nm.hdr.idFrom, reinterpret_cast<LPARAM>(&nm));
}

// The parent writes the text into the caller's buffer, or points at its own.
intptr_t HeadlessBackend::OwnerDataText(Window* w, int index, LVITEMA* item) {
    if (!item->pszText || item->cchTextMax <= 0)
        return 0;
    char* buffer = item->pszText;
    buffer[0] = '\0';
    NMLVDISPINFOA info{};
    info.hdr.hwndFrom = reinterpret_cast<HWND>(w);
    info.hdr.idFrom = static_cast<UINT_PTR>(w->id);
    info.hdr.code = LVN_GETDISPINFOA;
    info.item.mask = LVIF_TEXT;
    info.item.iItem = index;
    info.item.iSubItem = item->iSubItem;
    info.item.pszText = buffer;
    info.item.cchTextMax = item->cchTextMax;
    if (w->parent)
        Deliver(w->parent, WM_NOTIFY, info.hdr.idFrom, reinterpret_cast<LPARAM>(&info));
    if (info.item.pszText && info.item.pszText != buffer)
        fw::BoundedCopy(buffer, static_cast<size_t>(item->cchTextMax - 1), info.item.pszText,
                        fw::Padding::None);
    buffer[item->cchTextMax - 1] = '\0';
    return static_cast<intptr_t>(std::strlen(buffer));
}

int HeadlessBackend::OwnerDataFind(Window* w, int start, const std::string& text, UINT flags) {
    NMLVFINDITEMA find{};
    find.hdr.hwndFrom = reinterpret_cast<HWND>(w);
    find.hdr.idFrom = static_cast<UINT_PTR>(w->id);
    find.hdr.code = LVN_ODFINDITEMA;
    find.iStart = start;
    find.lvfi.flags = flags;
    find.lvfi.psz = text.c_str();
    if (!w->parent)
        return -1;
    intptr_t found = Deliver(w->parent, WM_NOTIFY, find.hdr.idFrom, reinterpret_cast<LPARAM>(&find));
    return found >= 0 && found < ListViewCount(w) ? static_cast<int>(found) : -1;
}

intptr_t HeadlessBackend::OwnerDataMessage(Window* w, uint32_t msg, uintptr_t wParam, intptr_t lParam,
                                           bool* handled) {
    auto& states = w->itemStates;
    int n = static_cast<int>(states.size());
    auto valid = [&](intptr_t i) { return i >= 0 && i < n; };
    auto recount = [w] {
        w->selectedItems = static_cast<int>(std::count_if(w->itemStates.begin(), w->itemStates.end(),
                                                          [](UINT s) { return (s & LVIS_SELECTED) != 0; }));
        if (w->focusedItem >= static_cast<int>(w->itemStates.size()))
            w->focusedItem = -1;
    };
    switch (msg) {
        case LVM_GETITEMCOUNT:
            return n;
        case LVM_SETITEMCOUNT:
            states.resize(static_cast<size_t>(std::max<intptr_t>(0, static_cast<intptr_t>(wParam))), 0);
            recount();
            return TRUE;
        case LVM_INSERTITEMA:
            // The control holds no rows: an insert only counts one more.
            states.push_back(0);
            return n;
        case LVM_DELETEITEM:
            if (!valid(static_cast<intptr_t>(wParam)))
                return FALSE;
            states.erase(states.begin() + static_cast<intptr_t>(wParam));
            if (w->focusedItem > static_cast<int>(wParam))
                --w->focusedItem;
            else if (w->focusedItem == static_cast<int>(wParam))
                w->focusedItem = -1;
            recount();
            return TRUE;
        case LVM_DELETEALLITEMS:
            states.clear();
            recount();
            return TRUE;
        case LVM_SETITEMTEXTA:
            return FALSE;
        case LVM_GETITEMTEXTA: {
            LVITEMA* item = reinterpret_cast<LVITEMA*>(lParam);
            return item && valid(static_cast<intptr_t>(wParam))
                       ? OwnerDataText(w, static_cast<int>(wParam), item)
                       : 0;
        }
        case LVM_SETITEMA:
        case LVM_GETITEMA: {
            LVITEMA* item = reinterpret_cast<LVITEMA*>(lParam);
            if (!item || !valid(item->iItem))
                return FALSE;
            if (msg == LVM_SETITEMA) {
                if (item->mask & LVIF_STATE)
                    SetOwnerDataState(w, item->iItem, item->state, item->stateMask);
                return TRUE;
            }
            if (item->mask & LVIF_STATE)
                item->state = states[static_cast<size_t>(item->iItem)] & item->stateMask;
            if (item->mask & LVIF_PARAM)
                item->lParam = 0;
            if (item->mask & LVIF_TEXT)
                OwnerDataText(w, item->iItem, item);
            return TRUE;
        }
        case LVM_GETNEXTITEM: {
            UINT flags = static_cast<UINT>(lParam);
            if ((flags & LVNI_SELECTED) && w->selectedItems == 0)
                return -1;
            int start = static_cast<int>(static_cast<intptr_t>(wParam));
            for (int i = std::max(start + 1, 0); i < n; ++i) {
                UINT st = states[static_cast<size_t>(i)];
                if ((flags & LVNI_SELECTED) && !(st & LVIS_SELECTED))
                    continue;
                if ((flags & LVNI_FOCUSED) && !(st & LVIS_FOCUSED))
                    continue;
                return i;
            }
            return -1;
        }
        case LVM_GETSELECTEDCOUNT:
            return w->selectedItems;
        case LVM_GETITEMSTATE:
            return valid(static_cast<intptr_t>(wParam))
                       ? static_cast<intptr_t>(states[wParam] & static_cast<UINT>(lParam))
                       : 0;
        case LVM_SETITEMSTATE: {
            const LVITEMA* item = reinterpret_cast<const LVITEMA*>(lParam);
            if (!item)
                return FALSE;
            intptr_t index = static_cast<intptr_t>(wParam);
            UINT set = item->state & item->stateMask;
            if (index == -1) {
                // Every row at once: no row is reported alone. Nothing to
                // clear is no change; all rows cannot be focused, nor all be
                // selected in a single-selection list.
                if (set & LVIS_FOCUSED)
                    return FALSE;
                if ((set & LVIS_SELECTED) && (w->style & LVS_SINGLESEL))
                    return FALSE;
                if (item->stateMask == LVIS_SELECTED && set == 0 && w->selectedItems == 0)
                    return TRUE;
                UINT old = 0;
                if ((item->stateMask & LVIS_SELECTED) && w->selectedItems > 0)
                    old |= LVIS_SELECTED;
                if (w->focusedItem >= 0)
                    old |= LVIS_FOCUSED;
                for (UINT& s : states) s = (s & ~item->stateMask) | set;
                recount();
                if (item->stateMask & LVIS_FOCUSED)
                    w->focusedItem = -1;
                NMLISTVIEW nm{};
                nm.hdr.hwndFrom = reinterpret_cast<HWND>(w);
                nm.hdr.idFrom = static_cast<UINT_PTR>(w->id);
                nm.hdr.code = LVN_ITEMCHANGED;
                nm.iItem = -1;
                nm.uNewState = set;
                nm.uOldState = old & item->stateMask;
                nm.uChanged = LVIF_STATE;
                if (w->parent)
                    Deliver(w->parent, WM_NOTIFY, nm.hdr.idFrom, reinterpret_cast<LPARAM>(&nm));
                return TRUE;
            }
            if (!valid(index))
                return FALSE;
            // A single-selection list keeps one selected row, and one row has the focus.
            if ((set & LVIS_SELECTED) && (w->style & LVS_SINGLESEL))
                for (int i = 0; i < n && w->selectedItems > 0 && live_.count(w); ++i)
                    if (i != index && (w->itemStates[static_cast<size_t>(i)] & LVIS_SELECTED))
                        SetOwnerDataState(w, i, 0, LVIS_SELECTED);
            if ((set & LVIS_FOCUSED) && w->focusedItem >= 0 && w->focusedItem != index)
                SetOwnerDataState(w, w->focusedItem, 0, LVIS_FOCUSED);
            if (live_.count(w) && index < static_cast<intptr_t>(w->itemStates.size()))
                SetOwnerDataState(w, static_cast<int>(index), item->state, item->stateMask);
            return TRUE;
        }
        case LVM_FINDITEMA: {
            const LVFINDINFOA* info = reinterpret_cast<const LVFINDINFOA*>(lParam);
            if (!info || !(info->flags & LVFI_STRING) || !info->psz)
                return -1;
            return OwnerDataFind(w, static_cast<int>(static_cast<intptr_t>(wParam)) + 1, info->psz,
                                 info->flags);
        }
        default:
            *handled = false;
            return 0;
    }
}

void HeadlessBackend::TypeInListView(Window* list, const std::string& text) {
    int count = ListViewCount(list);
    if (text.empty() || count == 0)
        return;
    // The search starts below the row with the focus (at it when more than
    // one character was typed, so that a longer start may still be that
    // row) and comes round from the top.
    int focus = ListViewFocus(list);
    int start = 0;
    if (focus >= 0 && count > 1) {
        start = text.size() > 1 ? focus : focus + 1;
        if (start == count)
            start = 0;
    }
    int found = -1;
    if (IsOwnerData(list)) {
        found = OwnerDataFind(list, start, text, LVFI_WRAP | LVFI_PARTIAL);
    } else {
        for (int k = 0; k < count && found < 0; ++k) {
            int i = (start + k) % count;
            if (StartsWith(list->rows[static_cast<size_t>(i)].texts[0], text))
                found = i;
        }
    }
    if (found < 0 || !live_.count(list))
        return;
    SelectOnlyRow(list, found);
}

void HeadlessBackend::SelectOnlyRow(Window* list, int row) {
    LVITEMA clear{};
    clear.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    Deliver(list, LVM_SETITEMSTATE, static_cast<uintptr_t>(-1), reinterpret_cast<LPARAM>(&clear));
    LVITEMA item{};
    item.state = item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    if (live_.count(list))
        Deliver(list, LVM_SETITEMSTATE, static_cast<uintptr_t>(row), reinterpret_cast<LPARAM>(&item));
}

void HeadlessBackend::TypeText(Hwnd window, const std::string& text) {
    Window* top = TopOf(W(window));
    if (!top || !IsWindowEnabled(H(top)))
        return;
    Window* focus = top->focus && live_.count(top->focus) ? top->focus : nullptr;
    if (focus && focus->cls == "SysListView32")
        TypeInListView(focus, text);
}

}  // namespace headless
}  // namespace fw
