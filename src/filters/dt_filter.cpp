#include "dt_filter.h"

#include "df_property_sheet.h"
#include "filter_record.h"
#include "get_filter_name_dlg.h"

IMPLEMENT_DYNCREATE(CDTFilter, CPropertyPage)

BEGIN_MESSAGE_MAP(CDTFilter, CPropertyPage)
ON_BN_CLICKED(IDC_FILTER_ADD_CONDITION, OnAddCondition)
ON_BN_CLICKED(IDC_FILTER_CLEAR, OnClear)
ON_BN_CLICKED(IDC_FILTER_CLEAR_ALL, OnClearAll)
ON_NOTIFY(LVN_ITEMCHANGED, IDC_FILTER_GRID, OnItemchangedFilterGrid)
ON_NOTIFY(NM_DBLCLK, IDC_FILTER_GRID, OnDblclkFilterGrid)
ON_CBN_SELCHANGE(IDC_FILTER_COMBO, OnSelchangeFilter)
ON_EN_CHANGE(IDC_FILTER_DESCRIPTION, OnChangeDescription)
ON_EN_KILLFOCUS(IDC_FILTER_DESCRIPTION, OnKillfocusDescription)
ON_BN_CLICKED(IDC_FILTER_ADD_NEW, OnAddNewFilter)
ON_BN_CLICKED(IDC_FILTER_DELETE, OnDeleteFilter)
ON_BN_CLICKED(IDC_FILTER_RENAME, OnRenameFilter)
ON_BN_CLICKED(IDC_FILTER_SAVE, OnSaveFilters)
END_MESSAGE_MAP()

CDTFilter::CDTFilter() : CPropertyPage(IDD) {
    m_psp.dwFlags |= PSP_HASHELP;
}

CDTFilter::~CDTFilter() = default;

void CDTFilter::DoDataExchange(CDataExchange* pDX) {
    CPropertyPage::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_FILTER_COMBO, m_filterCombo);
    DDX_Control(pDX, IDC_FILTER_ADD_CONDITION, m_addConditionButton);
    DDX_Control(pDX, IDC_FILTER_CONDITION, m_conditionBox);
    DDX_Control(pDX, IDC_FILTER_GRID, m_filterGrid);
    DDX_Control(pDX, IDC_FILTER_DESCRIPTION, m_descriptionBox);
}

BOOL CDTFilter::OnInitDialog() {
    CPropertyPage::OnInitDialog();
    m_filters.SetOwner(m_pOwner);
    InitFilterGrid();
    ClearConditionDisplay();
    m_filters.LoadFilters();
    FillFilterCombo();
    UpdateFilterButtons();
    return TRUE;
}

void CDTFilter::InitFilterGrid() {
    m_filterGrid.ModifyStyle(0, LVS_SHOWSELALWAYS);
    int width = 0, height = 0;
    fw::CurrentBackend().GetClientSize(m_filterGrid.m_hWnd, &width, &height);
    CString heading;
    heading.LoadString(IDS_COLUMN);
    m_filterGrid.InsertColumn(0, heading, LVCFMT_LEFT, width / 2);
    heading.LoadString(IDS_CONDITION);
    m_filterGrid.InsertColumn(1, heading, LVCFMT_LEFT, width / 2);

    // The table is built before the rows, so that the summary the grid's
    // change notifications ask for is never computed from a half-built table.
    m_columns.RemoveAll();
    if (m_pOwner)
        m_columns.Build(*m_pOwner);
    for (int i = 0; i < m_columns.GetCount(); ++i) {
        const CColumnEntry& entry = m_columns.GetAt(i);
        const int row = m_filterGrid.InsertItem(i, entry.key);
        if (row < 0)
            continue;
        m_filterGrid.SetItemText(row, 1, "");
        m_filterGrid.SetItemData(row, reinterpret_cast<uintptr_t>(entry.record));
    }
}

int CDTFilter::GetSelectedRow() const {
    if (m_filterGrid.GetItemCount() == 0 || m_filterGrid.GetSelectedCount() != 1)
        return -1;
    return m_filterGrid.GetNextItem(-1, LVNI_SELECTED);
}

void CDTFilter::ShowConditionCells() {
    const int rows = m_filterGrid.GetItemCount();
    for (int row = 0; row < rows && row < m_columns.GetCount(); ++row)
        m_filterGrid.SetItemText(row, 1, m_columns.GetAt(row).condition);
}

void CDTFilter::SetRowCondition(int row, const CString& condition) {
    m_columns.SetColumnCondition(row, condition);
    if (row >= 0 && row < m_filterGrid.GetItemCount())
        m_filterGrid.SetItemText(row, 1, condition);
}

void CDTFilter::ClearConditionDisplay() {
    m_columns.ClearConditions();
    ShowConditionCells();
    RefreshConditionSummary();
}

void CDTFilter::RefreshConditionSummary() {
    if (m_conditionBox.m_hWnd)
        m_conditionBox.SetWindowText(m_columns.GetConditionSummary());
}

void CDTFilter::ShowCurrentFilter() {
    const int current = m_filters.GetCurrentIndex();
    if (m_filters.GetCount() == 0 || current < 0 || current >= m_filters.GetCount())
        return;
    const CString record = m_filters.GetCurrentFilter();
    if (record.IsEmpty())
        return;
    CString name, description;
    CStringList pairs;
    ParseFilter(record, name, description, pairs);
    m_strShownDescription = description;
    m_descriptionBox.SetWindowText(description);
    m_columns.ApplyFilterConditions(pairs);
    ShowConditionCells();
    RefreshConditionSummary();
}

// Every record gets an entry, a nameless one delivered by the library too:
// the combo's positions must stay those of the filter list, or choosing an
// entry would make another filter current.
void CDTFilter::FillFilterCombo() {
    m_filterCombo.ResetContent();
    if (m_filters.GetCount() == 0)
        return;
    CStringList names;
    m_filters.GetFilterNames(names);
    for (POSITION pos = names.GetHeadPosition(); pos;) m_filterCombo.AddString(names.GetNext(pos));
    if (m_filterCombo.GetCount() > 0) {
        m_filterCombo.SetCurSel(0);
        m_filters.SetCurrentIndex(m_filterCombo.GetCurSel());
        ShowCurrentFilter();
    }
}

void CDTFilter::UpdateFilterButtons() {
    const BOOL any = m_filters.GetCount() > 0;
    for (int id : {IDC_FILTER_SAVE, IDC_FILTER_DELETE, IDC_FILTER_RENAME})
        if (CWnd* button = GetDlgItem(id))
            button->EnableWindow(any);
}

// Finish is this step's; the request is posted and takes effect after the
// activation, so Next is also disabled directly to be right at once.
BOOL CDTFilter::OnSetActive() {
    CPropertySheet* sheet = m_pSheet ? m_pSheet : GetSheet();
    if (sheet)
        sheet->SetWizardButtons(PSWIZB_BACK | PSWIZB_FINISH);
    if (CWnd* parent = GetParent())
        if (CWnd* next = parent->GetDlgItem(ID_WIZNEXT))
            next->EnableWindow(FALSE);
    if (m_filterGrid.GetItemCount() > 0) {
        // The caret goes with the selection, so that Down moves on to the second row
        // rather than back to the first.
        m_filterGrid.SetItemState(0, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
        m_addConditionButton.EnableWindow(TRUE);
    } else {
        m_addConditionButton.EnableWindow(FALSE);
    }
    return CPropertyPage::OnSetActive();
}

bool CDTFilter::EditColumnCondition(const CString& key, ZevDTAPIColumn* record, CString& condition) {
    CString format, caption;
    format.LoadString(IDS_SET_FILTER_ON_COLUMN);
    caption.Format(format, key.GetString());
    CDFPropertySheet builder(caption, nullptr, 0);
    builder.m_filtersPage.m_pOwner = m_pOwner;
    builder.m_filtersPage.m_pColumn = record;
    builder.m_filtersPage.m_strFilters = condition;
    if (builder.DoModal() != IDOK || !builder.m_filtersPage.m_bModified)
        return false;
    condition = builder.m_filtersPage.m_strFilters;
    return true;
}

// The row, the column record and the current filter change together or not
// at all: the list is asked first, and a change it cannot keep is refused
// with the reason before anything shows it.
bool CDTFilter::MayChangeCurrent(const CFilterList::Change& change) {
    switch (m_filters.Check(change)) {
        case CFilterList::Rewrite::Kept:
        case CFilterList::Rewrite::NoFilter:
            return true;
        case CFilterList::Rewrite::Nameless:
            AfxMessageBox(IDS_NAMELESS_FILTER, MB_OK);
            return false;
        case CFilterList::Rewrite::Refused:
            break;
    }
    AfxMessageBox(IDS_FILTER_CANNOT_TAKE_CHANGE, MB_OK);
    return false;
}

void CDTFilter::OnAddCondition() {
    if (m_filterGrid.GetSelectedCount() != 1)
        return;
    const int row = GetSelectedRow();
    if (row < 0)
        return;
    ZevDTAPIColumn* record = reinterpret_cast<ZevDTAPIColumn*>(m_filterGrid.GetItemData(row));
    if (!record)
        return;
    const CString key = m_filterGrid.GetItemText(row, 0);
    CString trimmedKey = key;
    trimmedKey.Trim();
    // No condition on this column could ever be saved: say so before the
    // user writes one.
    if (!CFilterList::CanHoldKey(trimmedKey)) {
        CString format, message;
        format.LoadString(IDS_COLUMN_KEY_REFUSED);
        message.Format(format, trimmedKey.GetString());
        AfxMessageBox(message, MB_OK, IDS_COLUMN_KEY_REFUSED);
        return;
    }
    CString condition = m_filterGrid.GetItemText(row, 1);
    if (!EditColumnCondition(key, record, condition))
        return;
    condition.TrimRight();
    if (!CFilterList::CanHoldCondition(trimmedKey, condition)) {
        AfxMessageBox(IDS_FILTER_TEXT_REFUSED, MB_OK);
        return;
    }
    if (!MayChangeCurrent(CFilterList::Change::ForCondition(trimmedKey, condition)))
        return;
    SetRowCondition(row, condition);
    RefreshConditionSummary();
    m_filters.SetColumnCondition(trimmedKey, condition);
}

void CDTFilter::OnClear() {
    if (m_filterGrid.GetSelectedCount() != 1)
        return;
    const int row = GetSelectedRow();
    if (row >= 0) {
        CString key = m_filterGrid.GetItemText(row, 0);
        key.Trim();
        if (!MayChangeCurrent(CFilterList::Change::ForCondition(key, CString())))
            return;
        SetRowCondition(row, CString());
        m_filters.SetColumnCondition(key, CString());
    }
    RefreshConditionSummary();
}

void CDTFilter::OnClearAll() {
    if (!MayChangeCurrent(CFilterList::Change::ForClearConditions()))
        return;
    m_columns.ClearConditions();
    ShowConditionCells();
    m_filters.ClearCurrentConditions();
    RefreshConditionSummary();
}

void CDTFilter::OnItemchangedFilterGrid(NMHDR*, LRESULT* result) {
    RefreshConditionSummary();
    *result = 0;
}

// A double click works even while the button is disabled: it is the user's
// way to the builder on a page entered without a selected row.
void CDTFilter::OnDblclkFilterGrid(NMHDR*, LRESULT* result) {
    m_addConditionButton.EnableWindow(TRUE);
    OnAddCondition();
    *result = 0;
}

void CDTFilter::OnSelchangeFilter() {
    CommitDescription();
    m_filters.SetCurrentIndex(m_filterCombo.GetCurSel());
    ShowCurrentFilter();
}

// A text holding the separator can never be kept and is refused at the key.
// One the current record cannot keep only as it stands (it ends in "$*") may
// be on its way to one it can ("Price $*1"), so it waits in the box until
// the record is written.
void CDTFilter::OnChangeDescription() {
    CString description;
    m_descriptionBox.GetWindowText(description);
    if (description.Compare(m_strShownDescription) == 0)
        return;
    const CFilterList::Rewrite verdict = m_filters.Check(CFilterList::Change::ForDescription(description));
    if (description.Find(kFilterSeparator) >= 0 || verdict == CFilterList::Rewrite::Nameless) {
        // The box goes back to the last text the filter could keep before
        // the user is told, so box and filter never disagree.
        RestoreDescription();
        AfxMessageBox(
            verdict == CFilterList::Rewrite::Nameless ? IDS_NAMELESS_FILTER : IDS_FILTER_TEXT_REFUSED, MB_OK);
        return;
    }
    if (verdict == CFilterList::Rewrite::Kept && m_filters.SetCurrentDescription(description))
        m_strShownDescription = description;
}

// Leaving the box for another control of the wizard writes the record: the
// user is told there, once, if the text cannot be kept. The focus leaving for
// Cancel, or with the wizard as it closes, checks nothing: what Cancel
// discards needs no message, and Finish has written the record already.
void CDTFilter::OnKillfocusDescription() {
    if (m_bCheckingOnFocusLoss || !FocusStaysInWizard())
        return;
    m_bCheckingOnFocusLoss = true;
    CommitDescription();
    m_bCheckingOnFocusLoss = false;
}

bool CDTFilter::FocusStaysInWizard() const {
    fw::Backend& backend = fw::CurrentBackend();
    CWnd* sheet = GetParent();
    const fw::Hwnd focus = backend.GetFocus();
    if (!sheet || !focus || focus == sheet->m_hWnd)
        return false;
    fw::Hwnd below = focus;
    fw::Hwnd above = backend.GetParent(focus);
    while (above && above != sheet->m_hWnd) {
        below = above;
        above = backend.GetParent(above);
    }
    return above && !(below == focus && backend.GetDlgCtrlID(focus) == IDCANCEL);
}

void CDTFilter::RestoreDescription() {
    const CString kept = m_strShownDescription;
    m_descriptionBox.SetWindowText(kept);
    m_descriptionBox.SetSel(kept.GetLength(), kept.GetLength());
}

// Where the record is written: what the box shows is what the filter holds,
// or the user is told, and the box shows again what the filter holds.
bool CDTFilter::CommitDescription() {
    if (!m_descriptionBox.m_hWnd)
        return true;
    CString description;
    m_descriptionBox.GetWindowText(description);
    if (description.Compare(m_strShownDescription) == 0)
        return true;
    if (m_filters.Check(CFilterList::Change::ForDescription(description)) == CFilterList::Rewrite::NoFilter) {
        m_strShownDescription = description;
        return true;
    }
    if (m_filters.SetCurrentDescription(description)) {
        m_strShownDescription = description;
        return true;
    }
    RestoreDescription();
    AfxMessageBox(IDS_FILTER_TEXT_REFUSED, MB_OK);
    return false;
}

void CDTFilter::OnAddNewFilter() {
    GetFilterNameDlg dialog(nullptr);
    dialog.SetRenameMode(0);
    dialog.SetCurrentName(m_filters.GetCurrentFilterName());
    dialog.m_strName.Empty();
    m_filters.GetFilterNames(dialog.m_existingNames);
    if (dialog.DoModal() != IDOK)
        return;
    CString name = dialog.m_strName;
    name.Trim();
    // A name the list refuses gets no entry, or the combo would show a
    // filter that does not exist.
    if (m_filters.AddFilter(name, dialog.m_nCopyDefinition) >= 0) {
        const int entry = m_filterCombo.AddString(name);
        if (entry >= 0) {
            m_filterCombo.SetCurSel(entry);
            m_filters.SetCurrentIndex(entry);
            ClearConditionDisplay();
            m_filters.SetCurrentIndex(m_filterCombo.GetCurSel());
            ShowCurrentFilter();
        }
    }
    UpdateFilterButtons();
}

void CDTFilter::OnRenameFilter() {
    // A record the library delivered without a name cannot be rewritten
    // without losing it; the user is told rather than shown a dialog whose
    // answer would change nothing.
    const int at = m_filters.GetCurrentIndex();
    if (at >= 0 && at < m_filters.GetCount() && m_filters.GetCurrentFilterName().IsEmpty()) {
        AfxMessageBox(IDS_NAMELESS_FILTER, MB_OK);
        return;
    }
    GetFilterNameDlg dialog(nullptr);
    dialog.SetRenameMode(1);
    const CString current = m_filters.GetCurrentFilterName();
    dialog.SetCurrentName(current);
    dialog.ShowCopyOption(0);
    dialog.m_strName = current;
    m_filters.GetFilterNames(dialog.m_existingNames);
    if (dialog.DoModal() != IDOK)
        return;
    CString name = dialog.m_strName;
    name.Trim();
    // The combo follows only a rename that the list took.
    if (!m_filters.RenameCurrentFilter(name))
        return;
    const int index = m_filters.GetCurrentIndex();
    m_filterCombo.DeleteString(static_cast<UINT>(index));
    m_filterCombo.InsertString(index, name);
    m_filterCombo.SetCurSel(index);
}

void CDTFilter::OnDeleteFilter() {
    if (AfxMessageBox(IDS_CONFIRM_DELETE_FILTER, MB_YESNOCANCEL | MB_ICONQUESTION) != IDYES)
        return;
    const int current = m_filters.GetCurrentIndex();
    if (m_filters.GetCount() == 0) {
        UpdateFilterButtons();
    } else if (current >= 0 && current < m_filters.GetCount()) {
        m_filters.DeleteCurrentFilter();
        m_filterCombo.DeleteString(static_cast<UINT>(current));
        if (m_filterCombo.GetCount() == 0) {
            AfxMessageBox(IDS_ALL_FILTERS_DELETED, MB_OK);
            m_strShownDescription.Empty();
            m_descriptionBox.SetWindowText("");
            ClearConditionDisplay();
            m_filters.SetCurrentIndex(-1);
            m_filterCombo.ResetContent();
            RefreshConditionSummary();
            UpdateFilterButtons();
            // Adding a filter is all that is left to do.
            if (CWnd* addNew = GetDlgItem(IDC_FILTER_ADD_NEW))
                SendMessage(WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(addNew->m_hWnd), TRUE);
        } else {
            const int count = m_filterCombo.GetCount();
            m_filterCombo.SetCurSel(current < count ? current : count - 1);
            m_filters.SetCurrentIndex(m_filterCombo.GetCurSel());
            ShowCurrentFilter();
            UpdateFilterButtons();
        }
    }
    RefreshConditionSummary();
}

void CDTFilter::OnSaveFilters() {
    CommitDescription();
    m_filters.SetOwner(m_pOwner);
    m_filters.SaveFilters(1);
}

// The wizard finishes even when the save fails: the failure has been shown,
// and the report runs with the conditions in the column records.
BOOL CDTFilter::OnWizardFinish() {
    CommitDescription();
    m_filters.SetOwner(m_pOwner);
    m_filters.SaveFilters(0);
    return CPropertyPage::OnWizardFinish();
}
