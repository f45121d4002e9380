#include "member_value_select_dlg.h"

#include <algorithm>
#include <vector>

#include "dialogs/help.h"
#include "framework/text_fold.h"

BEGIN_MESSAGE_MAP(CMemberValueSelectDlg, CDialog)
ON_NOTIFY(LVN_ITEMCHANGED, IDC_VALUES_LIST, OnItemchangedList)
ON_BN_CLICKED(IDC_VALUES_HELP, OnHelp)
ON_WM_HELPINFO()
END_MESSAGE_MAP()

CMemberValueSelectDlg::CMemberValueSelectDlg(CWnd* parent) : CDialog(IDD, parent) {
    m_strInstallRoot = GetInstallationRoot();
    m_strHelpPath = MakeHelpPath(m_strInstallRoot, IDS_HELP_FILTER_VALUES);
}

CMemberValueSelectDlg::~CMemberValueSelectDlg() = default;

void CMemberValueSelectDlg::DoDataExchange(CDataExchange* pDX) {
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_VALUES_LIST, m_lstValues);
}

BOOL CMemberValueSelectDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    SetWindowText(m_strTitle);

    if (!m_bMultipleSelection)
        m_lstValues.ModifyStyle(0, LVS_SINGLESEL);
    m_lstValues.DeleteAllItems();
    CString header;
    header.LoadString(IDS_VALUE);
    m_lstValues.InsertColumn(0, header, LVCFMT_LEFT);
    // The only column, so it fills the list.
    m_lstValues.SetColumnWidth(0, LVSCW_AUTOSIZE_USEHEADER);

    // The rows appear in the order the sorted list itself keeps: ascending
    // by text without regard to case, and of two texts that differ in case
    // only the one in lower case first, whichever arrived first. Unpainted
    // until full.
    std::vector<const CString*> values;
    values.reserve(static_cast<size_t>(m_Values.GetCount()));
    for (POSITION pos = m_Values.GetHeadPosition(); pos;) values.push_back(&m_Values.GetNext(pos));
    std::stable_sort(values.begin(), values.end(),
                     [](const CString* a, const CString* b) {
                         return fw::CompareListText(a->GetString(), static_cast<size_t>(a->GetLength()),
                                                    b->GetString(), static_cast<size_t>(b->GetLength())) < 0;
                     });
    // The platform's list places each sorted insert at a cost that grows
    // with the rows it holds (tens of thousands of values took minutes): the
    // rows, already in order, go in unsorted at the end, and the list sorts
    // whatever is inserted after them again.
    const bool sorted = (m_lstValues.GetStyle() & LVS_SORTASCENDING) != 0;
    m_lstValues.SetRedraw(FALSE);
    if (sorted)
        m_lstValues.ModifyStyle(LVS_SORTASCENDING, 0);
    m_lstValues.SetItemCount(static_cast<int>(values.size()));
    int row = 0;
    for (const CString* value : values) m_lstValues.InsertItem(row++, *value);
    if (sorted)
        m_lstValues.ModifyStyle(0, LVS_SORTASCENDING);
    m_lstValues.SetRedraw(TRUE);
    m_Values.RemoveAll();

    if (CWnd* ok = GetDlgItem(IDOK))
        ok->EnableWindow(m_lstValues.GetSelectedCount() > 0);
    return TRUE;
}

void CMemberValueSelectDlg::OnItemchangedList(NMHDR*, LRESULT* result) {
    if (result)
        *result = 0;
    if (CWnd* ok = GetDlgItem(IDOK))
        ok->EnableWindow(m_lstValues.GetSelectedCount() > 0);
}

void CMemberValueSelectDlg::OnOK() {
    // Enter reaches OK even while the button is disabled; an empty choice is no
    // answer, and the caller relies on at least one value after IDOK.
    if (m_lstValues.GetSelectedCount() == 0)
        return;
    m_Values.RemoveAll();
    for (int row = m_lstValues.GetNextItem(-1, LVNI_SELECTED); row >= 0;
         row = m_lstValues.GetNextItem(row, LVNI_SELECTED))
        m_Values.AddTail(m_lstValues.GetItemText(row, 0));
    CDialog::OnOK();
}

void CMemberValueSelectDlg::OnHelp() {
    OpenHelpFile(m_strHelpPath);
}

BOOL CMemberValueSelectDlg::OnHelpInfo(HELPINFO*) {
    OnHelp();
    return TRUE;
}
