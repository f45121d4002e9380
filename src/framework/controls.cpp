#include "controls.h"

#include <vector>

int CListBox::GetText(int index, CString& text) const {
    int n = GetTextLen(index);
    if (n < 0) {
        text.Empty();
        return n;
    }
    std::vector<char> buf(static_cast<size_t>(n) + 1, '\0');
    int got = static_cast<int>(
        SendMessage(LB_GETTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(buf.data())));
    text = CString(buf.data());
    return got;
}

int CComboBox::GetLBText(int index, CString& text) const {
    int n = GetLBTextLen(index);
    if (n < 0) {
        text.Empty();
        return n;
    }
    std::vector<char> buf(static_cast<size_t>(n) + 1, '\0');
    int got = static_cast<int>(
        SendMessage(CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(buf.data())));
    text = CString(buf.data());
    return got;
}

int CListCtrl::InsertItem(int index, LPCTSTR text) {
    LVITEMA item{};
    item.mask = LVIF_TEXT;
    item.iItem = index;
    item.pszText = const_cast<LPSTR>(text ? text : "");
    return static_cast<int>(SendMessage(LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item)));
}

int CListCtrl::InsertColumn(int index, LPCTSTR heading, int format, int width, int subItem) {
    LVCOLUMNA col{};
    col.mask = LVCF_FMT | LVCF_TEXT;
    col.fmt = format;
    col.pszText = const_cast<LPSTR>(heading ? heading : "");
    if (width != -1) {
        col.mask |= LVCF_WIDTH;
        col.cx = width;
    }
    if (subItem != -1) {
        col.mask |= LVCF_SUBITEM;
        col.iSubItem = subItem;
    }
    return static_cast<int>(
        SendMessage(LVM_INSERTCOLUMNA, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&col)));
}

BOOL CListCtrl::SetItemText(int itemIndex, int subItem, LPCTSTR text) {
    LVITEMA item{};
    item.iSubItem = subItem;
    item.pszText = const_cast<LPSTR>(text ? text : "");
    return static_cast<BOOL>(
        SendMessage(LVM_SETITEMTEXTA, static_cast<WPARAM>(itemIndex), reinterpret_cast<LPARAM>(&item)));
}

CString CListCtrl::GetItemText(int itemIndex, int subItem) const {
    // The control copies at most the buffer; grow until the text fits.
    for (int size = 256;; size *= 4) {
        std::vector<char> buf(static_cast<size_t>(size), '\0');
        LVITEMA item{};
        item.iSubItem = subItem;
        item.pszText = buf.data();
        item.cchTextMax = size;
        int n = static_cast<int>(
            SendMessage(LVM_GETITEMTEXTA, static_cast<WPARAM>(itemIndex), reinterpret_cast<LPARAM>(&item)));
        if (n < size - 1 || size >= (1 << 20))
            return CString(buf.data());
    }
}

BOOL CListCtrl::SetItemData(int itemIndex, uintptr_t data) {
    LVITEMA item{};
    item.mask = LVIF_PARAM;
    item.iItem = itemIndex;
    item.lParam = static_cast<LPARAM>(data);
    return static_cast<BOOL>(SendMessage(LVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&item)));
}

uintptr_t CListCtrl::GetItemData(int itemIndex) const {
    LVITEMA item{};
    item.mask = LVIF_PARAM;
    item.iItem = itemIndex;
    if (!SendMessage(LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item)))
        return 0;
    return static_cast<uintptr_t>(item.lParam);
}

BOOL CListCtrl::SetItemState(int itemIndex, UINT state, UINT mask) {
    LVITEMA item{};
    item.state = state;
    item.stateMask = mask;
    return static_cast<BOOL>(
        SendMessage(LVM_SETITEMSTATE, static_cast<WPARAM>(itemIndex), reinterpret_cast<LPARAM>(&item)));
}

HTREEITEM CTreeCtrl::InsertItem(LPCTSTR text, HTREEITEM parent, HTREEITEM after) {
    TVINSERTSTRUCTA ins{};
    ins.hParent = parent;
    ins.hInsertAfter = after;
    ins.item.mask = TVIF_TEXT;
    ins.item.pszText = const_cast<LPSTR>(text ? text : "");
    return reinterpret_cast<HTREEITEM>(SendMessage(TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&ins)));
}

CString CTreeCtrl::GetItemText(HTREEITEM handle) const {
    std::vector<char> buf(4200, '\0');
    TVITEMA item{};
    item.mask = TVIF_TEXT | TVIF_HANDLE;
    item.hItem = handle;
    item.pszText = buf.data();
    item.cchTextMax = static_cast<int>(buf.size());
    if (!SendMessage(TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item)))
        return CString();
    return CString(buf.data());
}

uintptr_t CTreeCtrl::GetItemData(HTREEITEM handle) const {
    TVITEMA item{};
    item.mask = TVIF_PARAM | TVIF_HANDLE;
    item.hItem = handle;
    if (!SendMessage(TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item)))
        return 0;
    return static_cast<uintptr_t>(item.lParam);
}

BOOL CTreeCtrl::SetItemData(HTREEITEM handle, uintptr_t data) {
    TVITEMA item{};
    item.mask = TVIF_PARAM | TVIF_HANDLE;
    item.hItem = handle;
    item.lParam = static_cast<LPARAM>(data);
    return static_cast<BOOL>(SendMessage(TVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&item)));
}
