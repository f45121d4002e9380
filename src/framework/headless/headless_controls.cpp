// The messages of the controls the dialogs use, with Win32's rules for which
// changes notify the parent: a list view reports every state change
// (LVN_ITEMCHANGING, then LVN_ITEMCHANGED), a tree its selection
// (TVN_SELCHANGING, then TVN_SELCHANGED), an edit every text change (EN_UPDATE,
// then EN_CHANGE); list boxes and combo boxes changed by code say nothing.
#include <algorithm>
#include <cstring>

#include "headless_backend.h"
#include "framework/bounded_copy.h"
#include "framework/text_fold.h"

namespace fw {
namespace headless {

namespace {

const char* TextArg(intptr_t lParam) {
    const char* s = reinterpret_cast<const char*>(lParam);
    return s ? s : "";
}

int CopyOut(const std::string& text, char* buf, int cap) {
    if (!buf || cap <= 0)
        return 0;
    // The platform hands out whole characters only, as it converts them.
    size_t n = fw::BoundedCopy(buf, static_cast<size_t>(cap - 1), text.c_str(), fw::Padding::None);
    return static_cast<int>(n);
}

bool EqualNoCase(const std::string& a, const char* b) {
    return fw::CompareFoldedText(a.data(), a.size(), b, std::strlen(b)) == 0;
}

// The order of a sorted list view's rows, and of a sorted list or combo box's
// entries (without regard to case only).
bool ListViewBefore(const std::string& a, const std::string& b) {
    return fw::CompareListText(a.data(), a.size(), b.data(), b.size()) < 0;
}
bool ListBoxBefore(const std::string& a, const std::string& b) {
    return fw::CompareFoldedText(a.data(), a.size(), b.data(), b.size()) < 0;
}

int FindExact(const std::vector<Row>& rows, intptr_t startAfter, const char* text) {
    int n = static_cast<int>(rows.size());
    if (n == 0)
        return -1;
    int start = (startAfter < -1 || startAfter >= n) ? -1 : static_cast<int>(startAfter);
    for (int k = 1; k <= n; ++k) {
        int i = (start + k) % n;
        if (EqualNoCase(rows[static_cast<size_t>(i)].texts[0], text))
            return i;
    }
    return -1;
}

// The row operations list boxes and combo boxes share; `error` is LB_ERR or CB_ERR.
intptr_t RowTextLength(const std::vector<Row>& rows, uintptr_t index, intptr_t error) {
    return index < rows.size() ? static_cast<intptr_t>(rows[index].texts[0].size()) : error;
}

// The caller's buffer holds the text: it asked for its length first, as the platform requires.
intptr_t CopyRowText(const std::vector<Row>& rows, uintptr_t index, intptr_t lParam, intptr_t error) {
    if (index >= rows.size())
        return error;
    char* buf = reinterpret_cast<char*>(lParam);
    const std::string& t = rows[index].texts[0];
    if (buf) {
        std::memcpy(buf, t.data(), t.size());
        buf[t.size()] = '\0';
    }
    return static_cast<intptr_t>(t.size());
}

intptr_t RowData(const std::vector<Row>& rows, uintptr_t index, intptr_t error) {
    return index < rows.size() ? static_cast<intptr_t>(rows[index].data) : error;
}

intptr_t SetRowData(std::vector<Row>& rows, uintptr_t index, intptr_t data, intptr_t error) {
    if (index >= rows.size())
        return error;
    rows[index].data = static_cast<uintptr_t>(data);
    return 0;
}

// A sorted list or combo box puts a new entry before the first one that does
// not order below it: before the entries equal to it but for case, too.
int InsertSorted(std::vector<Row>& rows, const Row& row, bool sorted, int index) {
    if (sorted) {
        auto it = std::lower_bound(rows.begin(), rows.end(), row, [](const Row& a, const Row& b) {
            return ListBoxBefore(a.texts[0], b.texts[0]);
        });
        index = static_cast<int>(it - rows.begin());
    }
    if (index < 0 || index > static_cast<int>(rows.size()))
        index = static_cast<int>(rows.size());
    rows.insert(rows.begin() + index, row);
    return index;
}

}  // namespace

intptr_t HeadlessBackend::ControlMessage(Window* w, uint32_t msg, uintptr_t wParam, intptr_t lParam,
                                         bool* handled) {
    *handled = true;
    const std::string& cls = w->cls;
    if (cls == "SysListView32") {
        intptr_t r = ListViewMessage(w, msg, wParam, lParam, handled);
        if (*handled)
            return r;
    } else if (cls == "ListBox") {
        intptr_t r = ListBoxMessage(w, msg, wParam, lParam, handled);
        if (*handled)
            return r;
    } else if (cls == "ComboBox") {
        intptr_t r = ComboBoxMessage(w, msg, wParam, lParam, handled);
        if (*handled)
            return r;
    } else if (cls == "SysTreeView32") {
        intptr_t r = TreeMessage(w, msg, wParam, lParam, handled);
        if (*handled)
            return r;
    }
    *handled = true;
    switch (msg) {
        case BM_CLICK: {
            // The click is a press of the mouse on the button, which takes the focus first.
            if (Window* top = TopOf(w))
                if (top->focus != w)
                    SetFocusTo(top, w);
            if (!live_.count(w))
                return 0;
            uint32_t type = w->style & BS_TYPEMASK;
            if (type == BS_AUTOCHECKBOX)
                w->check = w->check == BST_CHECKED ? BST_UNCHECKED : BST_CHECKED;
            if (type == BS_AUTORADIOBUTTON) {
                // The other automatic radio buttons of its group go out.
                if (w->parent) {
                    const std::vector<Window*>& all = w->parent->children;
                    auto self = std::find(all.begin(), all.end(), w);
                    auto first = self;
                    while (first != all.begin() && !((*first)->style & WS_GROUP)) --first;
                    for (auto it = first; it != all.end(); ++it) {
                        if (it != first && ((*it)->style & WS_GROUP))
                            break;
                        if (*it != w && (((*it)->style & BS_TYPEMASK) == BS_AUTORADIOBUTTON))
                            (*it)->check = BST_UNCHECKED;
                    }
                }
                w->check = BST_CHECKED;
            }
            Command(w, BN_CLICKED);
            return 0;
        }
        case BM_GETCHECK:
            return w->check;
        case BM_SETCHECK:
            w->check = static_cast<int>(wParam);
            return 0;
        case EM_SETREADONLY:
            if (wParam)
                w->style |= ES_READONLY;
            else
                w->style &= ~ES_READONLY;
            return TRUE;
        case EM_GETLINECOUNT:
            return 1 + static_cast<intptr_t>(std::count(w->text.begin(), w->text.end(), '\n'));
        case EM_LINESCROLL:
            return (w->style & ES_MULTILINE) ? TRUE : FALSE;
        case EM_SETSEL:
            return 0;
        case STM_SETIMAGE: {
            void* old = w->image;
            w->image = reinterpret_cast<void*>(lParam);
            return reinterpret_cast<intptr_t>(old);
        }
        default:
            *handled = false;
            return 0;
    }
}

void HeadlessBackend::SetListViewState(Window* w, int index, UINT state, UINT mask) {
    UINT old = w->rows[static_cast<size_t>(index)].state;
    UINT now = (old & ~mask) | (state & mask);
    NMLISTVIEW nm{};
    nm.hdr.hwndFrom = reinterpret_cast<HWND>(w);
    nm.hdr.idFrom = static_cast<UINT_PTR>(w->id);
    nm.iItem = index;
    nm.uNewState = now;
    nm.uOldState = old;
    nm.uChanged = LVIF_STATE;
    nm.lParam = static_cast<LPARAM>(w->rows[static_cast<size_t>(index)].data);
    // As the platform does: the parent hears of the change before it is made,
    // also when nothing would change, and may refuse it.
    nm.hdr.code = LVN_ITEMCHANGING;
    if (w->parent && Deliver(w->parent, WM_NOTIFY, nm.hdr.idFrom, reinterpret_cast<LPARAM>(&nm)))
        return;
    if (!live_.count(w) || index >= static_cast<int>(w->rows.size()) || now == old)
        return;
    w->rows[static_cast<size_t>(index)].state = now;
    nm.hdr.code = LVN_ITEMCHANGED;
    if (w->parent)
        Deliver(w->parent, WM_NOTIFY, nm.hdr.idFrom, reinterpret_cast<LPARAM>(&nm));
}

intptr_t HeadlessBackend::ListViewMessage(Window* w, uint32_t msg, uintptr_t wParam, intptr_t lParam,
                                          bool* handled) {
    if (w->style & LVS_OWNERDATA) {
        intptr_t r = OwnerDataMessage(w, msg, wParam, lParam, handled);
        if (*handled)
            return r;
        *handled = true;
    }
    auto& rows = w->rows;
    int n = static_cast<int>(rows.size());
    auto valid = [&](intptr_t i) { return i >= 0 && i < n; };
    switch (msg) {
        case LVM_GETITEMCOUNT:
            return n;
        case LVM_SETITEMCOUNT:
            rows.reserve(std::max<size_t>(static_cast<size_t>(wParam), rows.size()));
            return TRUE;
        case LVM_INSERTITEMA: {
            const LVITEMA* item = reinterpret_cast<const LVITEMA*>(lParam);
            if (!item)
                return -1;
            Row row;
            row.texts.assign(std::max<size_t>(1, w->columns.size()), std::string());
            if (item->mask & LVIF_TEXT)
                row.texts[0] = item->pszText ? item->pszText : "";
            if (item->mask & LVIF_PARAM)
                row.data = static_cast<uintptr_t>(item->lParam);
            int at = std::clamp(item->iItem, 0, n);
            // A sorted list view ignores the position asked for: the row goes
            // before the first row whose text does not order below its own
            // (so before the rows of the same text), in the platform list's
            // order. The rows are kept in that order, so the place is found by
            // bisection: a picker filled with 100,000 values must not cost
            // a scan of every row before each insert.
            if (w->style & (LVS_SORTASCENDING | LVS_SORTDESCENDING)) {
                bool descending = (w->style & LVS_SORTDESCENDING) != 0;
                auto before = [descending](const Row& a, const Row& b) {
                    return descending ? ListViewBefore(b.texts[0], a.texts[0])
                                      : ListViewBefore(a.texts[0], b.texts[0]);
                };
                // Rows handed over in order go to the end: one comparison.
                if (!rows.empty() && before(rows.back(), row))
                    at = n;
                else
                    at = static_cast<int>(std::lower_bound(rows.begin(), rows.end(), row, before) -
                                          rows.begin());
            }
            rows.insert(rows.begin() + at, row);
            if ((item->mask & LVIF_STATE) && item->stateMask)
                SetListViewState(w, at, item->state, item->stateMask);
            return at;
        }
        case LVM_SETITEMA:
        case LVM_GETITEMA: {
            LVITEMA* item = reinterpret_cast<LVITEMA*>(lParam);
            if (!item || !valid(item->iItem))
                return FALSE;
            Row& row = rows[static_cast<size_t>(item->iItem)];
            if (msg == LVM_SETITEMA) {
                if (item->mask & LVIF_PARAM)
                    row.data = static_cast<uintptr_t>(item->lParam);
                if (item->mask & LVIF_TEXT) {
                    size_t sub = static_cast<size_t>(std::max(0, item->iSubItem));
                    if (row.texts.size() <= sub)
                        row.texts.resize(sub + 1);
                    row.texts[sub] = item->pszText ? item->pszText : "";
                }
                if (item->mask & LVIF_STATE)
                    SetListViewState(w, item->iItem, item->state, item->stateMask);
            } else {
                if (item->mask & LVIF_PARAM)
                    item->lParam = static_cast<LPARAM>(row.data);
                if (item->mask & LVIF_STATE)
                    item->state = row.state & item->stateMask;
                if (item->mask & LVIF_TEXT) {
                    size_t sub = static_cast<size_t>(std::max(0, item->iSubItem));
                    CopyOut(sub < row.texts.size() ? row.texts[sub] : std::string(), item->pszText,
                            item->cchTextMax);
                }
            }
            return TRUE;
        }
        case LVM_SETITEMTEXTA: {
            const LVITEMA* item = reinterpret_cast<const LVITEMA*>(lParam);
            if (!item || !valid(static_cast<intptr_t>(wParam)))
                return FALSE;
            Row& row = rows[wParam];
            size_t sub = static_cast<size_t>(std::max(0, item->iSubItem));
            if (row.texts.size() <= sub)
                row.texts.resize(sub + 1);
            row.texts[sub] = item->pszText ? item->pszText : "";
            return TRUE;
        }
        case LVM_GETITEMTEXTA: {
            LVITEMA* item = reinterpret_cast<LVITEMA*>(lParam);
            if (!item || !valid(static_cast<intptr_t>(wParam)))
                return 0;
            const Row& row = rows[wParam];
            size_t sub = static_cast<size_t>(std::max(0, item->iSubItem));
            return CopyOut(sub < row.texts.size() ? row.texts[sub] : std::string(), item->pszText,
                           item->cchTextMax);
        }
        case LVM_DELETEITEM:
            if (!valid(static_cast<intptr_t>(wParam)))
                return FALSE;
            rows.erase(rows.begin() + static_cast<intptr_t>(wParam));
            return TRUE;
        case LVM_DELETEALLITEMS:
            rows.clear();
            return TRUE;
        case LVM_GETNEXTITEM: {
            int start = static_cast<int>(static_cast<intptr_t>(wParam));
            UINT flags = static_cast<UINT>(lParam);
            for (int i = start + 1; i < n; ++i) {
                UINT st = rows[static_cast<size_t>(i)].state;
                if ((flags & LVNI_SELECTED) && !(st & LVIS_SELECTED))
                    continue;
                if ((flags & LVNI_FOCUSED) && !(st & LVIS_FOCUSED))
                    continue;
                return i;
            }
            return -1;
        }
        case LVM_GETSELECTEDCOUNT:
            return std::count_if(rows.begin(), rows.end(),
                                 [](const Row& r) { return (r.state & LVIS_SELECTED) != 0; });
        case LVM_SETITEMSTATE: {
            const LVITEMA* item = reinterpret_cast<const LVITEMA*>(lParam);
            if (!item)
                return FALSE;
            intptr_t index = static_cast<intptr_t>(wParam);
            if (index == -1) {
                for (int i = 0; i < static_cast<int>(w->rows.size()); ++i)
                    SetListViewState(w, i, item->state, item->stateMask);
                return TRUE;
            }
            if (!valid(index))
                return FALSE;
            // A single-selection list keeps one selected row, and one row has the focus.
            if ((item->stateMask & item->state & LVIS_SELECTED) && (w->style & LVS_SINGLESEL))
                for (int i = 0; i < static_cast<int>(w->rows.size()); ++i)
                    if (i != index)
                        SetListViewState(w, i, 0, LVIS_SELECTED);
            if (item->stateMask & item->state & LVIS_FOCUSED)
                for (int i = 0; i < static_cast<int>(w->rows.size()); ++i)
                    if (i != index)
                        SetListViewState(w, i, 0, LVIS_FOCUSED);
            if (live_.count(w) && index < static_cast<intptr_t>(w->rows.size()))
                SetListViewState(w, static_cast<int>(index), item->state, item->stateMask);
            return TRUE;
        }
        case LVM_INSERTCOLUMNA: {
            const LVCOLUMNA* col = reinterpret_cast<const LVCOLUMNA*>(lParam);
            int at = std::clamp(static_cast<int>(wParam), 0, static_cast<int>(w->columns.size()));
            w->columns.insert(w->columns.begin() + at, col && col->pszText ? col->pszText : "");
            return at;
        }
        case LVM_DELETECOLUMN:
            if (wParam >= w->columns.size())
                return FALSE;
            w->columns.erase(w->columns.begin() + static_cast<intptr_t>(wParam));
            return TRUE;
        case LVM_ENSUREVISIBLE:
        case LVM_REDRAWITEMS:
        case LVM_SETCOLUMNWIDTH:
            return TRUE;
        case LVM_GETCOLUMNWIDTH:
            return 100;
        default:
            *handled = false;
            return 0;
    }
}

intptr_t HeadlessBackend::ListBoxMessage(Window* w, uint32_t msg, uintptr_t wParam, intptr_t lParam,
                                         bool* handled) {
    auto& rows = w->rows;
    int n = static_cast<int>(rows.size());
    bool multi = (w->style & (LBS_EXTENDEDSEL | LBS_MULTIPLESEL)) != 0;
    auto valid = [&](intptr_t i) { return i >= 0 && i < n; };
    switch (msg) {
        case LB_GETCOUNT:
            return n;
        case LB_ADDSTRING:
        case LB_INSERTSTRING: {
            Row row;
            row.texts = {TextArg(lParam)};
            int index = msg == LB_ADDSTRING ? n : static_cast<int>(static_cast<intptr_t>(wParam));
            if (msg == LB_INSERTSTRING && index > n)
                return LB_ERR;
            int at = InsertSorted(rows, row, msg == LB_ADDSTRING && (w->style & LBS_SORT), index);
            if (!multi && w->curSel >= at)
                ++w->curSel;
            return at;
        }
        case LB_DELETESTRING:
            if (!valid(static_cast<intptr_t>(wParam)))
                return LB_ERR;
            rows.erase(rows.begin() + static_cast<intptr_t>(wParam));
            if (!multi) {
                if (w->curSel == static_cast<int>(wParam))
                    w->curSel = -1;
                else if (w->curSel > static_cast<int>(wParam))
                    --w->curSel;
            }
            return static_cast<intptr_t>(rows.size());
        case LB_RESETCONTENT:
            rows.clear();
            w->curSel = -1;
            return 0;
        case LB_GETTEXTLEN:
            return RowTextLength(rows, wParam, LB_ERR);
        case LB_GETTEXT:
            return CopyRowText(rows, wParam, lParam, LB_ERR);
        case LB_GETITEMDATA:
            return RowData(rows, wParam, LB_ERR);
        case LB_SETITEMDATA:
            return SetRowData(rows, wParam, lParam, LB_ERR);
        case LB_SETSEL: {
            if (!multi)
                return LB_ERR;
            intptr_t index = lParam;
            if (index == -1) {
                for (Row& r : rows) r.state = wParam ? LVIS_SELECTED : 0;
                return 0;
            }
            if (!valid(index))
                return LB_ERR;
            rows[static_cast<size_t>(index)].state = wParam ? LVIS_SELECTED : 0;
            return 0;
        }
        case LB_GETSEL:
            if (!valid(static_cast<intptr_t>(wParam)))
                return LB_ERR;
            if (multi)
                return (rows[wParam].state & LVIS_SELECTED) ? 1 : 0;
            return w->curSel == static_cast<int>(wParam) ? 1 : 0;
        case LB_GETSELCOUNT:
            if (!multi)
                return LB_ERR;
            return std::count_if(rows.begin(), rows.end(),
                                 [](const Row& r) { return (r.state & LVIS_SELECTED) != 0; });
        case LB_GETSELITEMS: {
            if (!multi)
                return LB_ERR;
            int* out = reinterpret_cast<int*>(lParam);
            int cap = static_cast<int>(wParam), k = 0;
            for (int i = 0; i < n && k < cap; ++i)
                if (rows[static_cast<size_t>(i)].state & LVIS_SELECTED)
                    out[k++] = i;
            return k;
        }
        case LB_SETCURSEL:
            if (multi)
                return LB_ERR;
            if (static_cast<intptr_t>(wParam) == -1) {
                w->curSel = -1;
                return LB_ERR;
            }
            if (!valid(static_cast<intptr_t>(wParam)))
                return LB_ERR;
            w->curSel = static_cast<int>(wParam);
            return w->curSel;
        case LB_FINDSTRINGEXACT:
            return FindExact(rows, static_cast<intptr_t>(wParam), TextArg(lParam));
        case LB_GETHORIZONTALEXTENT:
            return w->extent;
        case LB_SETHORIZONTALEXTENT:
            w->extent = static_cast<int>(wParam);
            return 0;
        case LB_GETTOPINDEX:
            return 0;
        default:
            *handled = false;
            return 0;
    }
}

intptr_t HeadlessBackend::ComboBoxMessage(Window* w, uint32_t msg, uintptr_t wParam, intptr_t lParam,
                                          bool* handled) {
    auto& rows = w->rows;
    int n = static_cast<int>(rows.size());
    auto valid = [&](intptr_t i) { return i >= 0 && i < n; };
    switch (msg) {
        case CB_GETCOUNT:
            return n;
        case CB_ADDSTRING:
        case CB_INSERTSTRING: {
            Row row;
            row.texts = {TextArg(lParam)};
            int index = msg == CB_ADDSTRING ? n : static_cast<int>(static_cast<intptr_t>(wParam));
            if (msg == CB_INSERTSTRING && index > n)
                return CB_ERR;
            int at =
                InsertSorted(rows, row, msg == CB_ADDSTRING && (w->style & 0x0100u /* CBS_SORT */), index);
            if (w->curSel >= at)
                ++w->curSel;
            return at;
        }
        case CB_DELETESTRING:
            if (!valid(static_cast<intptr_t>(wParam)))
                return CB_ERR;
            rows.erase(rows.begin() + static_cast<intptr_t>(wParam));
            if (w->curSel == static_cast<int>(wParam)) {
                w->curSel = -1;
                w->text.clear();
            } else if (w->curSel > static_cast<int>(wParam)) {
                --w->curSel;
            }
            return static_cast<intptr_t>(rows.size());
        case CB_RESETCONTENT:
            rows.clear();
            w->curSel = -1;
            w->text.clear();
            return 0;
        case CB_GETLBTEXTLEN:
            return RowTextLength(rows, wParam, CB_ERR);
        case CB_GETLBTEXT:
            return CopyRowText(rows, wParam, lParam, CB_ERR);
        case CB_SETCURSEL:
            if (!valid(static_cast<intptr_t>(wParam))) {
                w->curSel = -1;
                w->text.clear();
                return CB_ERR;
            }
            w->curSel = static_cast<int>(wParam);
            w->text = rows[wParam].texts[0];
            return w->curSel;
        case CB_GETCURSEL:
            return w->curSel;
        default:
            *handled = false;
            return 0;
    }
}

intptr_t HeadlessBackend::TreeMessage(Window* w, uint32_t msg, uintptr_t wParam, intptr_t lParam,
                                      bool* handled) {
    auto known = [w](HTREEITEM h) -> TreeNode* {
        for (auto& n : w->nodes)
            if (reinterpret_cast<HTREEITEM>(n.get()) == h)
                return n.get();
        return nullptr;
    };
    auto handle = [](TreeNode* n) { return reinterpret_cast<intptr_t>(n); };
    switch (msg) {
        case TVM_INSERTITEMA: {
            const TVINSERTSTRUCTA* ins = reinterpret_cast<const TVINSERTSTRUCTA*>(lParam);
            if (!ins)
                return 0;
            TreeNode* parent =
                ins->hParent == TVI_ROOT || ins->hParent == nullptr ? nullptr : known(ins->hParent);
            if (ins->hParent != TVI_ROOT && ins->hParent != nullptr && !parent)
                return 0;
            auto node = std::make_unique<TreeNode>();
            node->text = (ins->item.mask & TVIF_TEXT) && ins->item.pszText ? ins->item.pszText : "";
            node->data = (ins->item.mask & TVIF_PARAM) ? ins->item.lParam : 0;
            node->parent = parent;
            std::vector<TreeNode*>& siblings = parent ? parent->children : w->roots;
            if (ins->hInsertAfter == TVI_FIRST)
                siblings.insert(siblings.begin(), node.get());
            else
                siblings.push_back(node.get());
            w->nodes.push_back(std::move(node));
            return handle(w->nodes.back().get());
        }
        case TVM_GETCOUNT:
            return static_cast<intptr_t>(w->nodes.size());
        case TVM_GETNEXTITEM: {
            TreeNode* n = known(reinterpret_cast<HTREEITEM>(lParam));
            switch (static_cast<UINT>(wParam)) {
                case TVGN_ROOT:
                    return w->roots.empty() ? 0 : handle(w->roots.front());
                case TVGN_CARET:
                    return handle(w->caret);
                case TVGN_CHILD:
                    return n && !n->children.empty() ? handle(n->children.front()) : 0;
                case TVGN_PARENT:
                    return n ? handle(n->parent) : 0;
                case TVGN_NEXT:
                case TVGN_PREVIOUS: {
                    if (!n)
                        return 0;
                    std::vector<TreeNode*>& siblings = n->parent ? n->parent->children : w->roots;
                    auto it = std::find(siblings.begin(), siblings.end(), n);
                    if (wParam == TVGN_NEXT)
                        return it + 1 < siblings.end() ? handle(*(it + 1)) : 0;
                    return it > siblings.begin() ? handle(*(it - 1)) : 0;
                }
                default:
                    return 0;
            }
        }
        case TVM_SELECTITEM: {
            TreeNode* n = known(reinterpret_cast<HTREEITEM>(lParam));
            if (lParam && !n)
                return FALSE;
            if (n == w->caret)
                return TRUE;
            TreeNode* old = w->caret;
            NMTREEVIEWA nm{};
            nm.hdr.hwndFrom = reinterpret_cast<HWND>(w);
            nm.hdr.idFrom = static_cast<UINT_PTR>(w->id);
            nm.itemOld.hItem = reinterpret_cast<HTREEITEM>(old);
            nm.itemOld.lParam = old ? old->data : 0;
            nm.itemNew.hItem = reinterpret_cast<HTREEITEM>(n);
            nm.itemNew.lParam = n ? n->data : 0;
            nm.hdr.code = TVN_SELCHANGINGA;
            if (w->parent && Deliver(w->parent, WM_NOTIFY, nm.hdr.idFrom, reinterpret_cast<LPARAM>(&nm)))
                return FALSE;
            if (!live_.count(w))
                return FALSE;
            w->caret = n;
            nm.hdr.code = TVN_SELCHANGEDA;
            if (w->parent)
                Deliver(w->parent, WM_NOTIFY, nm.hdr.idFrom, reinterpret_cast<LPARAM>(&nm));
            return TRUE;
        }
        case TVM_GETITEMA:
        case TVM_SETITEMA: {
            TVITEMA* item = reinterpret_cast<TVITEMA*>(lParam);
            TreeNode* n = item ? known(item->hItem) : nullptr;
            if (!n)
                return FALSE;
            if (msg == TVM_SETITEMA) {
                if (item->mask & TVIF_TEXT)
                    n->text = item->pszText ? item->pszText : "";
                if (item->mask & TVIF_PARAM)
                    n->data = item->lParam;
            } else {
                if (item->mask & TVIF_TEXT)
                    CopyOut(n->text, item->pszText, item->cchTextMax);
                if (item->mask & TVIF_PARAM)
                    item->lParam = n->data;
                if (item->mask & TVIF_CHILDREN)
                    item->cChildren = n->children.empty() ? 0 : 1;
            }
            return TRUE;
        }
        default:
            *handled = false;
            return 0;
    }
}

}  // namespace headless
}  // namespace fw
