#include "df_filters_page.h"

#include "condition_text.h"
#include "filter_record.h"
#include "framework/bounded_copy.h"
#include "member_value_select_dlg.h"
#include "value_fetch.h"

IMPLEMENT_DYNCREATE(CDFFiltersPage, CPropertyPage)

BEGIN_MESSAGE_MAP(CDFFiltersPage, CPropertyPage)
ON_BN_CLICKED(IDC_BUILDER_ADD, OnAdd)
ON_BN_CLICKED(IDC_BUILDER_PICK, OnPickValues)
ON_CBN_SELCHANGE(IDC_BUILDER_COLUMN, OnSelchangeColumn)
ON_CBN_SELCHANGE(IDC_BUILDER_OPERATOR, UpdateAddButton)
ON_EN_CHANGE(IDC_BUILDER_VALUE, UpdateAddButton)
ON_EN_CHANGE(IDC_BUILDER_FILTERS, OnChangeFilters)
END_MESSAGE_MAP()

namespace {

bool IsRadio(const CWnd* button) {
    DWORD type = button->GetStyle() & BS_TYPEMASK;
    return type == BS_RADIOBUTTON || type == BS_AUTORADIOBUTTON;
}

// A radio group as one number: the position of the checked button from the
// group's first one, -1 for none. The group runs on through consecutive ids
// up to the next button that starts a group of its own.
void ExchangeRadioGroup(CDataExchange* pDX, int firstId, int& value) {
    CWnd* dialog = pDX->m_pDlgWnd;
    if (pDX->m_bSaveAndValidate)
        value = -1;
    for (int id = firstId, index = 0;; ++id, ++index) {
        CWnd* button = dialog->GetDlgItem(id);
        if (!button || !IsRadio(button) || (id != firstId && (button->GetStyle() & WS_GROUP)))
            break;
        if (pDX->m_bSaveAndValidate) {
            if (button->SendMessage(BM_GETCHECK) == BST_CHECKED)
                value = index;
        } else {
            button->SendMessage(BM_SETCHECK, index == value ? BST_CHECKED : BST_UNCHECKED);
        }
    }
}

}  // namespace

CDFFiltersPage::CDFFiltersPage() : CPropertyPage(IDD) {
    m_psp.dwFlags |= PSP_HASHELP;
}

CDFFiltersPage::~CDFFiltersPage() = default;

void CDFFiltersPage::DoDataExchange(CDataExchange* pDX) {
    CPropertyPage::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_BUILDER_OPERATOR, m_cboOperator);
    DDX_Control(pDX, IDC_BUILDER_COLUMN, m_cboColumn);
    DDX_Text(pDX, IDC_BUILDER_FILTERS, m_strFilters);
    ExchangeRadioGroup(pDX, IDC_BUILDER_AND, m_nAddType);
}

BOOL CDFFiltersPage::OnInitDialog() {
    m_nAddType = 1;
    CPropertyPage::OnInitDialog();
    if (m_pColumn) {
        int row = m_cboColumn.AddString(ColumnName());
        if (row >= 0)
            m_cboColumn.SetCurSel(row);
    }
    FillOperatorList();
    if (m_cboOperator.GetCount() > 0)
        m_cboOperator.SetCurSel(0);
    UpdateAddButton();
    return TRUE;
}

BOOL CDFFiltersPage::OnKillActive() {
    if (!CPropertyPage::OnKillActive())
        return FALSE;
    // The caller stores the text with trailing white space removed.
    CString stored = m_strFilters;
    stored.TrimRight();
    if (!m_bModified || FitsFilterField(stored))
        return TRUE;
    AfxMessageBox(IDS_FILTER_TEXT_REFUSED, MB_OK);
    if (CWnd* box = GetDlgItem(IDC_BUILDER_FILTERS))
        SendMessage(WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(box->m_hWnd), TRUE);
    return FALSE;
}

void CDFFiltersPage::FillOperatorList() {
    m_cboOperator.ResetContent();
    if (m_cboColumn.GetCurSel() < 0) {
        UpdateAddButton();
        return;
    }
    for (const char* op : condition_text::OperatorsFor(DataType())) m_cboOperator.AddString(op);
    m_cboOperator.SetCurSel(0);
    UpdateAddButton();
}

void CDFFiltersPage::OnSelchangeColumn() {
    FillOperatorList();
}

void CDFFiltersPage::UpdateAddButton() {
    CWnd* add = GetDlgItem(IDC_BUILDER_ADD);
    CWnd* value = GetDlgItem(IDC_BUILDER_VALUE);
    if (!add || !value)
        return;
    const bool enable =
        m_cboColumn.GetCurSel() >= 0 && m_cboOperator.GetCurSel() >= 0 && value->GetWindowTextLength() > 0;
    // Add disables itself once its condition is in the box: the keyboard user
    // would be left with no focus, so the value edit, where the next condition
    // starts, takes it first.
    if (!enable && add->m_hWnd == fw::CurrentBackend().GetFocus())
        SendMessage(WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(value->m_hWnd), TRUE);
    add->EnableWindow(enable);
}

void CDFFiltersPage::OnChangeFilters() {
    m_bModified = true;
}

CString CDFFiltersPage::BuildCondition() const {
    CString value;
    GetDlgItemText(IDC_BUILDER_VALUE, value);
    return condition_text::FormatCondition(SelectedText(m_cboColumn), SelectedText(m_cboOperator), value);
}

void CDFFiltersPage::OnAdd() {
    UpdateData(TRUE);
    CString filters;
    GetDlgItemText(IDC_BUILDER_FILTERS, filters);
    CString condition = BuildCondition();
    if (condition.IsEmpty())
        return;
    CString text = condition_text::AppendCondition(filters, m_nAddType, TableName(), condition);
    if (CWnd* box = GetDlgItem(IDC_BUILDER_FILTERS)) {
        box->SetWindowText(text);
        // Setting the text shows its top; the line just added is the last.
        box->SendMessage(EM_LINESCROLL, 0, box->SendMessage(EM_GETLINECOUNT));
        box->UpdateWindow();
    }
    if (CWnd* value = GetDlgItem(IDC_BUILDER_VALUE)) {
        value->SetWindowText("");
        value->UpdateWindow();
    }
    m_bModified = true;
    UpdateAddButton();
}

void CDFFiltersPage::OnPickValues() {
    if (!m_pOwner || !m_pColumn)
        return;
    CString op = SelectedText(m_cboOperator);
    CMemberValueSelectDlg picker(nullptr);
    ValueFetch outcome;
    {
        CWaitCursor busy;
        outcome = FetchFilterValues(this, *m_pOwner, m_pColumn, picker.m_Values);
        if (outcome == ValueFetch::Cancelled) {
            CWaitCursor cancelling;
            m_pOwner->CancelServerRequest();  // shows its own failure
        }
    }
    if (outcome == ValueFetch::Cancelled) {
        AfxMessageBox(IDS_OPERATION_CANCELLED);
        picker.m_Values.RemoveAll();
        return;
    }
    if (picker.m_Values.IsEmpty()) {
        AfxMessageBox(IDS_QUERY_NO_ROWS);
        return;
    }
    picker.m_bMultipleSelection = condition_text::IsListOperator(op) ? 1 : 0;
    picker.m_strTitle.LoadString(IDS_SELECT_FILTER_VALUES);
    if (picker.DoModal() != IDOK)
        return;
    CString text = condition_text::PickedValueText(picker.m_Values, op, DataType());
    if (text.IsEmpty())
        return;
    if (CWnd* value = GetDlgItem(IDC_BUILDER_VALUE)) {
        value->SetWindowText(text);
        value->UpdateWindow();
    }
    UpdateAddButton();
}

CString CDFFiltersPage::SelectedText(const CComboBox& box) const {
    CString text;
    int row = box.GetCurSel();
    if (row >= 0)
        box.GetLBText(row, text);
    return text;
}

CString CDFFiltersPage::TableName() const {
    return m_pColumn ? fw::FieldText(m_pColumn->tableName) : CString();
}

CString CDFFiltersPage::ColumnName() const {
    return m_pColumn ? fw::FieldText(m_pColumn->columnName) : CString();
}

uint16_t CDFFiltersPage::DataType() const {
    return m_pColumn ? m_pColumn->dataType : 0;
}
