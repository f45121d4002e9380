#include "order_list.h"

#include <algorithm>

#include "dt_attr_sheet.h"
#include "filters/filter_record.h"
#include "filters/pick_string_item_dlg.h"

IMPLEMENT_DYNCREATE(CDTOrderList, CPropertyPage)

BEGIN_MESSAGE_MAP(CDTOrderList, CPropertyPage)
ON_NOTIFY(LVN_ITEMCHANGED, IDC_ORDER_AVAILABLE, OnAvailableItemChanged)
ON_NOTIFY(NM_DBLCLK, IDC_ORDER_AVAILABLE, OnAvailableDoubleClick)
ON_NOTIFY(LVN_ITEMCHANGED, IDC_ORDER_SORT_LIST, OnSortItemChanged)
ON_NOTIFY(NM_DBLCLK, IDC_ORDER_SORT_LIST, OnSortDoubleClick)
ON_BN_CLICKED(IDC_ORDER_ADD, OnAddSelected)
ON_BN_CLICKED(IDC_ORDER_REMOVE, OnRemoveSelected)
ON_BN_CLICKED(IDC_ORDER_ADD_ALL, OnAddAll)
ON_BN_CLICKED(IDC_ORDER_REMOVE_ALL, OnRemoveAll)
ON_BN_CLICKED(IDC_ORDER_MOVE_UP, OnMoveUp)
ON_BN_CLICKED(IDC_ORDER_MOVE_DOWN, OnMoveDown)
ON_BN_CLICKED(IDC_ORDER_ORDER_BY, OnChooseDirection)
END_MESSAGE_MAP()

namespace {

constexpr int32_t kAscending = 1;
constexpr int32_t kDescending = 2;

CString LoadText(UINT id) {
    CString text;
    text.LoadString(id);
    return text;
}

int ClientWidth(const CWnd& window) {
    RECT r{};
    window.GetClientRect(&r);
    return r.right - r.left;
}

}  // namespace

CDTOrderList::CDTOrderList() : CPropertyPage(IDD) {
    m_psp.dwFlags |= PSP_HASHELP;
}

void CDTOrderList::DoDataExchange(CDataExchange* pDX) {
    CPropertyPage::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_ORDER_ORDER_BY, m_orderByButton);
    DDX_Control(pDX, IDC_ORDER_AVAILABLE, m_availableList);
    DDX_Control(pDX, IDC_ORDER_SORT_LIST, m_sortList);
    DDX_Control(pDX, IDC_ORDER_REMOVE_ALL, m_removeAllButton);
    DDX_Control(pDX, IDC_ORDER_REMOVE, m_removeButton);
    DDX_Control(pDX, IDC_ORDER_MOVE_UP, m_moveUpButton);
    DDX_Control(pDX, IDC_ORDER_MOVE_DOWN, m_moveDownButton);
    DDX_Control(pDX, IDC_ORDER_ADD, m_addButton);
    DDX_Control(pDX, IDC_ORDER_ADD_ALL, m_addAllButton);
    DDX_Text(pDX, IDC_ORDER_REPORT_NAME, m_strReportName);
}

BOOL CDTOrderList::OnInitDialog() {
    CPropertyPage::OnInitDialog();
    m_availableList.InsertColumn(0, LoadText(IDS_AVAILABLE_COLUMNS), LVCFMT_LEFT,
                                 ClientWidth(m_availableList));
    int half = ClientWidth(m_sortList) / 2;
    m_sortList.InsertColumn(0, LoadText(IDS_COLUMN), LVCFMT_LEFT, half);
    m_sortList.InsertColumn(1, LoadText(IDS_ORDER_BY), LVCFMT_LEFT, half);
    m_availableList.ModifyStyle(0, LVS_SHOWSELALWAYS);
    m_sortList.ModifyStyle(0, LVS_SHOWSELALWAYS);
    return TRUE;
}

// Both lists are rebuilt on every activation, so that a change made on the
// column page in the meantime shows here.
BOOL CDTOrderList::OnSetActive() {
    if (m_pSheet) {
        m_pSheet->SetWizardButtons(PSWIZB_BACK | PSWIZB_NEXT);
        if (CWnd* sheet = GetParent()) {
            if (CWnd* next = sheet->GetDlgItem(ID_WIZNEXT)) {
                next->EnableWindow(TRUE);
                next->ShowWindow(SW_SHOW);
            }
        }
    }
    FillAvailableList();
    MoveSortedColumns();
    UpdateOrderByButton();
    UpdateAddButtons();
    UpdateRemoveButtons();
    UpdateSortMoveButtons();
    return CPropertyPage::OnSetActive();
}

ZevDTAPIColumn* CDTOrderList::RecordOf(const CListCtrl& list, int row) {
    return reinterpret_cast<ZevDTAPIColumn*>(list.GetItemData(row));
}

std::vector<int> CDTOrderList::SelectedRows(const CListCtrl& list) {
    std::vector<int> rows;
    for (int i = list.GetNextItem(-1, LVNI_SELECTED); i >= 0; i = list.GetNextItem(i, LVNI_SELECTED))
        rows.push_back(i);
    return rows;
}

// Any direction but descending is stored as ascending once the column shows.
void CDTOrderList::SetSortRow(int row, ZevDTAPIColumn* record, bool assign) {
    if (row < 0 || !record)
        return;
    m_sortList.SetItemText(row, 0, MakeColumnKey(*record));
    m_sortList.SetItemData(row, reinterpret_cast<uintptr_t>(record));
    if (assign)
        record->sortPosition = row + 1;
    if (record->sortDirection == kDescending) {
        m_sortList.SetItemText(row, 1, LoadText(IDS_DESCENDING));
    } else {
        record->sortDirection = kAscending;
        m_sortList.SetItemText(row, 1, LoadText(IDS_ASCENDING));
    }
}

void CDTOrderList::FillAvailableList() {
    m_availableList.DeleteAllItems();
    // The drill-through object is the sheet, so its column page is the sheet's.
    if (!m_pSheet)
        return;
    CDTSelectAttr& columnPage = m_pSheet->m_columnPage;
    int index = 0;
    ZevDTAPIColumn* record = nullptr;
    for (CString text = columnPage.GetNextSelectedColumn(index, record); !text.IsEmpty();
         text = columnPage.GetNextSelectedColumn(index, record)) {
        int row = m_availableList.InsertItem(m_availableList.GetItemCount(), text);
        if (row >= 0)
            m_availableList.SetItemData(row, reinterpret_cast<uintptr_t>(record));
    }
}

// Walking the available list from the bottom puts columns with equal sort
// positions in the reverse of their display order; positions stay as they
// are, gaps included.
void CDTOrderList::MoveSortedColumns() {
    m_sortList.DeleteAllItems();
    for (int i = m_availableList.GetItemCount() - 1; i >= 0; --i) {
        ZevDTAPIColumn* record = RecordOf(m_availableList, i);
        if (!record || record->sortPosition < 1)
            continue;
        int count = m_sortList.GetItemCount();
        int at = count;
        for (int j = 0; j < count; ++j) {
            ZevDTAPIColumn* other = RecordOf(m_sortList, j);
            if (other && other->sortPosition > record->sortPosition) {
                at = j;
                break;
            }
        }
        int row = m_sortList.InsertItem(at, m_availableList.GetItemText(i, 0));
        if (row < 0)
            continue;
        SetSortRow(row, record, false);
        m_availableList.DeleteItem(i);
    }
}

void CDTOrderList::OnAddSelected() {
    std::vector<int> selected = SelectedRows(m_availableList);
    for (int i : selected) {
        int row = m_sortList.InsertItem(m_sortList.GetItemCount(), m_availableList.GetItemText(i, 0));
        if (row >= 0)
            SetSortRow(row, RecordOf(m_availableList, i), true);
    }
    for (auto it = selected.rbegin(); it != selected.rend(); ++it) m_availableList.DeleteItem(*it);
    UpdateAllButtons();
}

void CDTOrderList::OnAvailableDoubleClick(NMHDR*, LRESULT* result) {
    OnAddSelected();
    *result = 0;
}

// A removed column goes back to its place in display order.
void CDTOrderList::OnRemoveSelected() {
    std::vector<int> selected = SelectedRows(m_sortList);
    for (int i : selected) {
        ZevDTAPIColumn* record = RecordOf(m_sortList, i);
        int count = m_availableList.GetItemCount();
        int at = count;
        if (record) {
            for (int j = 0; j < count; ++j) {
                ZevDTAPIColumn* other = RecordOf(m_availableList, j);
                if (other && other->displayPosition > record->displayPosition) {
                    at = j;
                    break;
                }
            }
        }
        int row = m_availableList.InsertItem(at, m_sortList.GetItemText(i, 0));
        if (row >= 0)
            m_availableList.SetItemData(row, reinterpret_cast<uintptr_t>(record));
        if (record)
            record->sortPosition = 0;
    }
    for (auto it = selected.rbegin(); it != selected.rend(); ++it) m_sortList.DeleteItem(*it);
    for (int i = 0; i < m_sortList.GetItemCount(); ++i)
        if (ZevDTAPIColumn* record = RecordOf(m_sortList, i))
            record->sortPosition = i + 1;
    UpdateAllButtons();
}

void CDTOrderList::OnAddAll() {
    for (int i = 0; i < m_availableList.GetItemCount(); ++i) {
        int row = m_sortList.InsertItem(m_sortList.GetItemCount(), m_availableList.GetItemText(i, 0));
        if (row >= 0)
            SetSortRow(row, RecordOf(m_availableList, i), true);
    }
    m_availableList.DeleteAllItems();
    UpdateAllButtons();
}

// Records of columns that are no longer displayed keep their sort positions.
void CDTOrderList::OnRemoveAll() {
    FillAvailableList();
    m_sortList.DeleteAllItems();
    for (int i = 0; i < m_availableList.GetItemCount(); ++i)
        if (ZevDTAPIColumn* record = RecordOf(m_availableList, i))
            record->sortPosition = 0;
    UpdateAllButtons();
}

// The two records exchange rows and sort positions. A row without a record
// would leave one record in both rows, so such a pair stays as it is.
void CDTOrderList::SwapSortRows(int a, int b) {
    ZevDTAPIColumn* recordA = RecordOf(m_sortList, a);
    ZevDTAPIColumn* recordB = RecordOf(m_sortList, b);
    if (!recordA || !recordB)
        return;
    SetSortRow(a, recordB, true);
    m_sortList.RedrawItems(a, a);
    SetSortRow(b, recordA, true);
    m_sortList.RedrawItems(b, b);
}

void CDTOrderList::MoveSortRow(int from, int to) {
    // The list keeps showing its selection while the user works the buttons.
    SendMessage(WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(m_sortList.m_hWnd), TRUE);
    SwapSortRows(std::min(from, to), std::max(from, to));
    m_sortList.SetItemState(to, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    m_sortList.SetItemState(from, 0, LVIS_SELECTED);
    m_sortList.EnsureVisible(to, FALSE);
    m_sortList.RedrawItems(std::min(from, to), std::max(from, to));
    m_sortList.UpdateWindow();
    UpdateSortMoveButtons();
}

void CDTOrderList::OnMoveUp() {
    if (m_sortList.GetSelectedCount() != 1)
        return;
    int s = m_sortList.GetNextItem(-1, LVNI_SELECTED);
    if (s >= 1)
        MoveSortRow(s, s - 1);
}

void CDTOrderList::OnMoveDown() {
    if (m_sortList.GetSelectedCount() != 1)
        return;
    int s = m_sortList.GetNextItem(-1, LVNI_SELECTED);
    if (s >= 0 && s < m_sortList.GetItemCount() - 1)
        MoveSortRow(s, s + 1);
}

void CDTOrderList::OnSortDoubleClick(NMHDR*, LRESULT* result) {
    *result = 0;
    if (m_sortList.GetSelectedCount() != 1)
        return;
    int s = m_sortList.GetNextItem(-1, LVNI_SELECTED);
    ZevDTAPIColumn* record = RecordOf(m_sortList, s);
    if (!record)
        return;
    record->sortDirection = record->sortDirection == kDescending ? kAscending : kDescending;
    SetSortRow(s, record, true);
    m_sortList.RedrawItems(s, s);
}

// The chooser opens on the direction of the first selected row; the choice
// applies to every selected row.
void CDTOrderList::OnChooseDirection() {
    std::vector<int> selected = SelectedRows(m_sortList);
    if (selected.empty())
        return;
    ZevDTAPIColumn* first = RecordOf(m_sortList, selected.front());
    if (!first)
        return;
    CPickStringItemDlg chooser(nullptr);
    chooser.m_strTitle = LoadText(IDS_ORDER_BY);
    chooser.m_Items.AddTail(LoadText(IDS_ASCENDING));
    chooser.m_Items.AddTail(LoadText(IDS_DESCENDING));
    chooser.m_nSelectedIndex = first->sortDirection - 1;
    if (chooser.DoModal() != IDOK)
        return;
    int32_t direction = chooser.m_nSelectedIndex == 1 ? kDescending : kAscending;
    for (int row : selected) {
        ZevDTAPIColumn* record = RecordOf(m_sortList, row);
        if (!record)
            continue;
        record->sortDirection = direction;
        SetSortRow(row, record, true);
        m_sortList.RedrawItems(row, row);
    }
}

void CDTOrderList::OnAvailableItemChanged(NMHDR*, LRESULT* result) {
    UpdateAddButtons();
    *result = 0;
}

void CDTOrderList::OnSortItemChanged(NMHDR*, LRESULT* result) {
    UpdateRemoveButtons();
    UpdateSortMoveButtons();
    UpdateOrderByButton();
    *result = 0;
}

void CDTOrderList::UpdateAllButtons() {
    UpdateAddButtons();
    UpdateRemoveButtons();
    UpdateSortMoveButtons();
    UpdateOrderByButton();
}

void CDTOrderList::UpdateAddButtons() {
    m_addAllButton.EnableWindow(m_availableList.GetItemCount() > 0);
    m_addButton.EnableWindow(m_availableList.GetSelectedCount() > 0);
}

void CDTOrderList::UpdateRemoveButtons() {
    m_removeAllButton.EnableWindow(m_sortList.GetItemCount() > 0);
    m_removeButton.EnableWindow(m_sortList.GetSelectedCount() > 0);
}

void CDTOrderList::UpdateSortMoveButtons() {
    bool up = false, down = false;
    if (m_sortList.GetSelectedCount() == 1) {
        int s = m_sortList.GetNextItem(-1, LVNI_SELECTED);
        up = s >= 1;
        down = s >= 0 && s < m_sortList.GetItemCount() - 1;
    }
    m_moveUpButton.EnableWindow(up);
    m_moveDownButton.EnableWindow(down);
}

void CDTOrderList::UpdateOrderByButton() {
    m_orderByButton.EnableWindow(m_sortList.GetSelectedCount() > 0);
}
