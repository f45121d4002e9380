#include "select_attr.h"

#include <vector>

#include "dt_attr_sheet.h"
#include "filters/filter_record.h"
#include "framework/bounded_copy.h"

IMPLEMENT_DYNCREATE(CDTSelectAttr, CPropertyPage)

BEGIN_MESSAGE_MAP(CDTSelectAttr, CPropertyPage)
ON_BN_CLICKED(IDC_SELECT_ADD, OnAddFromTree)
ON_BN_CLICKED(IDC_SELECT_ADD_ALL, OnAddAll)
ON_BN_CLICKED(IDC_SELECT_REMOVE, OnRemoveSelected)
ON_BN_CLICKED(IDC_SELECT_REMOVE_ALL, OnRemoveAll)
ON_BN_CLICKED(IDC_SELECT_MOVE_DOWN, OnMoveDown)
ON_BN_CLICKED(IDC_SELECT_MOVE_UP, OnMoveUp)
ON_LBN_SELCHANGE(IDC_SELECT_LIST, OnSelectionChange)
ON_LBN_DBLCLK(IDC_SELECT_LIST, OnRemoveSelected)
END_MESSAGE_MAP()

CDTSelectAttr::CDTSelectAttr() : CPropertyPage(IDD) {
    m_psp.dwFlags |= PSP_HASHELP;
}

void CDTSelectAttr::DoDataExchange(CDataExchange* pDX) {
    CPropertyPage::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_SELECT_LIST, m_selectedList);
    DDX_Text(pDX, IDC_SELECT_REPORT_NAME, m_strReportName);
}

BOOL CDTSelectAttr::OnInitDialog() {
    CPropertyPage::OnInitDialog();
    BuildColumnTree();
    FillSelectedList(true);
    return TRUE;
}

// Next only makes sense with something chosen. The request is posted and
// takes effect after the activation, so it must not ask for Next either when
// the list is empty, or it would enable the button again; the buttons are set
// directly as well, so that they are right at once.
BOOL CDTSelectAttr::OnSetActive() {
    const bool anyChosen = m_selectedList.GetCount() > 0;
    if (m_pSheet)
        m_pSheet->SetWizardButtons(PSWIZB_BACK | (anyChosen ? PSWIZB_NEXT : 0));
    if (CWnd* sheet = GetParent()) {
        if (CWnd* next = sheet->GetDlgItem(ID_WIZNEXT)) {
            next->EnableWindow(anyChosen);
            next->ShowWindow(SW_SHOW);
        }
    }
    return CPropertyPage::OnSetActive();
}

CString CDTSelectAttr::GetNextSelectedColumn(int& index, ZevDTAPIColumn*& record) {
    record = nullptr;
    if (!m_selectedList.m_hWnd || index < 0 || index >= m_selectedList.GetCount())
        return CString();
    CString text;
    m_selectedList.GetText(index, text);
    record = RecordAt(index);
    ++index;
    return text;
}

void CDTSelectAttr::BuildColumnTree() {
    if (!m_pOwner || m_pOwner->GetColumnCount() <= 0)
        return;
    CWnd* item = GetDlgItem(IDC_SELECT_TREE);
    if (!item)
        return;
    CTreeCtrl tree;
    tree.m_hWnd = item->m_hWnd;
    ZevDTAPIColumn** columns = m_pOwner->GetColumnList();
    const int count = m_pOwner->GetColumnCount();
    for (int i = 0; columns && i < count; ++i) {
        ZevDTAPIColumn* record = columns[i];
        if (!record)
            continue;
        // Tables are told apart exactly as the library names them.
        const CString table = fw::FieldText(record->tableName);
        HTREEITEM root = tree.GetRootItem();
        while (root && tree.GetItemText(root) != table) root = tree.GetNextSiblingItem(root);
        if (!root)
            root = tree.InsertItem(table, TVI_ROOT, TVI_LAST);
        if (!root)
            continue;
        if (HTREEITEM child = tree.InsertItem(fw::FieldText(record->columnName), root, TVI_LAST))
            tree.SetItemData(child, reinterpret_cast<uintptr_t>(record));
    }
}

void CDTSelectAttr::FillSelectedList(bool onlyDisplayed) {
    if (!m_pOwner || m_pOwner->GetColumnCount() <= 0)
        return;
    ZevDTAPIColumn** columns = m_pOwner->GetColumnList();
    const int total = m_pOwner->GetColumnCount();
    CString longest;
    for (int i = 0; columns && i < total; ++i) {
        const int count = m_selectedList.GetCount();
        ZevDTAPIColumn* record = columns[i];
        if (!record || (onlyDisplayed && record->displayPosition < 1))
            continue;
        const CString text = MakeColumnKey(*record);
        const int existing = FindEntry(text);
        if (existing >= 0) {
            // Only one of two columns whose keys differ in case can be listed.
            // The other must not stay displayed behind the list's back: the
            // report would show a column the user cannot see here, or carry
            // a position twice and be refused.
            if (RecordAt(existing) != record && record->displayPosition > 0)
                record->displayPosition = 0;
            continue;
        }
        const int position = record->displayPosition;
        // A position is honoured only where the list already reaches past it.
        int at = (count > position && count != 0 && position >= 1)
                     ? m_selectedList.InsertString(position - 1, text)
                     : m_selectedList.AddString(text);
        if (at < 0)
            continue;
        m_selectedList.SetItemDataPtr(at, record);
        if (text.GetLength() > longest.GetLength())
            longest = text;
    }
    if (m_selectedList.GetCount() > 0) {
        RenumberDisplayPositions();
        m_selectedList.SetSel(0, TRUE);
        EnableNext(true);
        UpdateMoveButtons(true);
    } else {
        EnableNext(false);
        UpdateMoveButtons(false);
    }
    const int width = fw::CurrentBackend().TextWidth(m_selectedList.m_hWnd, longest.GetString());
    if (width > m_selectedList.GetHorizontalExtent())
        m_selectedList.SetHorizontalExtent(width);
}

void CDTSelectAttr::RenumberDisplayPositions() {
    const int count = m_selectedList.GetCount();
    for (int i = 0; i < count; ++i)
        if (ZevDTAPIColumn* record = RecordAt(i))
            record->displayPosition = i + 1;
}

void CDTSelectAttr::OnAddFromTree() {
    CWnd* item = GetDlgItem(IDC_SELECT_TREE);
    if (!item)
        return;
    CTreeCtrl tree;
    tree.m_hWnd = item->m_hWnd;
    HTREEITEM node = tree.GetSelectedItem();
    if (!node)
        return;
    if (tree.GetParentItem(node)) {
        AddColumn(reinterpret_cast<ZevDTAPIColumn*>(tree.GetItemData(node)));
    } else {
        for (HTREEITEM child = tree.GetChildItem(node); child; child = tree.GetNextSiblingItem(child))
            AddColumn(reinterpret_cast<ZevDTAPIColumn*>(tree.GetItemData(child)));
    }
    EnableNext(m_selectedList.GetCount() > 0);
}

void CDTSelectAttr::AddColumn(ZevDTAPIColumn* record) {
    if (!record)
        return;
    const CString text = MakeColumnKey(*record);
    if (FindEntry(text) >= 0)
        return;
    const int at = m_selectedList.AddString(text);
    if (at < 0)
        return;
    record->displayPosition = at + 1;
    m_selectedList.SetItemDataPtr(at, record);
    const int selected = m_selectedList.GetSelCount();
    if (selected > 0) {
        std::vector<int> rows(static_cast<size_t>(selected));
        const int got = m_selectedList.GetSelItems(selected, rows.data());
        for (int i = 0; i < got; ++i) m_selectedList.SetSel(rows[static_cast<size_t>(i)], FALSE);
    }
    m_selectedList.SetSel(at, TRUE);
    UpdateMoveButtons(true);
}

void CDTSelectAttr::OnAddAll() {
    FillSelectedList(false);
}

void CDTSelectAttr::OnRemoveSelected() {
    const int selected = m_selectedList.GetSelCount();
    if (selected <= 0)
        return;
    std::vector<int> rows(static_cast<size_t>(selected));
    const int n = m_selectedList.GetSelItems(selected, rows.data());
    if (n <= 0)
        return;
    const int last = rows[static_cast<size_t>(n - 1)];
    for (int i = n - 1; i >= 0; --i) {
        const int row = rows[static_cast<size_t>(i)];
        if (ZevDTAPIColumn* record = RecordAt(row))
            record->displayPosition = 0;
        m_selectedList.DeleteString(static_cast<UINT>(row));
    }
    RenumberDisplayPositions();
    const int count = m_selectedList.GetCount();
    // The entry that followed the last one removed.
    int next = last + 1 - n;
    if (next > count - 1)
        next = count - 1;
    if (count == 0) {
        UpdateMoveButtons(false);
    } else {
        m_selectedList.SetSel(next, TRUE);
        UpdateMoveButtons(true);
    }
    EnableNext(count > 0);
}

void CDTSelectAttr::OnRemoveAll() {
    m_selectedList.ResetContent();
    // Unlisted columns too: nothing may stay displayed once the list is empty.
    if (m_pOwner) {
        ZevDTAPIColumn** columns = m_pOwner->GetColumnList();
        const int count = m_pOwner->GetColumnCount();
        for (int i = 0; columns && i < count; ++i)
            if (columns[i])
                columns[i]->displayPosition = 0;
    }
    UpdateMoveButtons(false);
    EnableNext(false);
}

void CDTSelectAttr::OnMoveUp() {
    if (m_selectedList.GetSelCount() != 1)
        return;
    int s = -1;
    m_selectedList.GetSelItems(1, &s);
    if (s <= 0)
        return;
    SwapEntries(s - 1);
    m_selectedList.SetSel(s - 1, TRUE);
    UpdateMoveButtons(true);
}

void CDTSelectAttr::OnMoveDown() {
    if (m_selectedList.GetSelCount() != 1)
        return;
    int s = -1;
    m_selectedList.GetSelItems(1, &s);
    if (s < 0 || s >= m_selectedList.GetCount() - 1)
        return;
    SwapEntries(s);
    m_selectedList.SetSel(s + 1, TRUE);
    UpdateMoveButtons(true);
}

// Exchanges the entries at upper and upper + 1 and gives both records their
// new places.
void CDTSelectAttr::SwapEntries(int upper) {
    const int lower = upper + 1;
    CString upperText, lowerText;
    m_selectedList.GetText(upper, upperText);
    m_selectedList.GetText(lower, lowerText);
    ZevDTAPIColumn* upperRecord = RecordAt(upper);
    ZevDTAPIColumn* lowerRecord = RecordAt(lower);
    m_selectedList.DeleteString(static_cast<UINT>(lower));
    m_selectedList.DeleteString(static_cast<UINT>(upper));
    int at = m_selectedList.InsertString(upper, lowerText);
    if (at >= 0) {
        m_selectedList.SetItemDataPtr(at, lowerRecord);
        if (lowerRecord)
            lowerRecord->displayPosition = upper + 1;
    }
    at = m_selectedList.InsertString(lower, upperText);
    if (at >= 0) {
        m_selectedList.SetItemDataPtr(at, upperRecord);
        if (upperRecord)
            upperRecord->displayPosition = lower + 1;
    }
}

void CDTSelectAttr::OnSelectionChange() {
    UpdateMoveButtons(m_selectedList.GetSelCount() == 1);
}

void CDTSelectAttr::UpdateMoveButtons(bool enable) {
    const int count = m_selectedList.GetCount();
    const bool up = enable && count > 0 && !m_selectedList.GetSel(0);
    const bool down = enable && count > 0 && !m_selectedList.GetSel(count - 1);
    CWnd* upButton = GetDlgItem(IDC_SELECT_MOVE_UP);
    CWnd* downButton = GetDlgItem(IDC_SELECT_MOVE_DOWN);
    // A button that disables itself (its column reached the end) would leave
    // the keyboard user with no focus: the list it moves in takes it first.
    fw::Hwnd focus = fw::CurrentBackend().GetFocus();
    bool focusLeaves = focus && ((upButton && !up && upButton->m_hWnd == focus) ||
                                 (downButton && !down && downButton->m_hWnd == focus));
    if (focusLeaves && m_selectedList.m_hWnd)
        SendMessage(WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(m_selectedList.m_hWnd), TRUE);
    if (upButton)
        upButton->EnableWindow(up);
    if (downButton)
        downButton->EnableWindow(down);
}

void CDTSelectAttr::EnableNext(bool enable) {
    if (CWnd* sheet = GetParent())
        if (CWnd* next = sheet->GetDlgItem(ID_WIZNEXT))
            next->EnableWindow(enable);
}

ZevDTAPIColumn* CDTSelectAttr::RecordAt(int index) const {
    return static_cast<ZevDTAPIColumn*>(m_selectedList.GetItemDataPtr(index));
}

// Keys are compared without regard to case, as the list box does.
int CDTSelectAttr::FindEntry(const CString& text) const {
    return m_selectedList.FindStringExact(-1, text);
}
