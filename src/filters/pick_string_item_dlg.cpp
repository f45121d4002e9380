#include "pick_string_item_dlg.h"

#include "dialogs/help.h"

BEGIN_MESSAGE_MAP(CPickStringItemDlg, CDialog)
ON_NOTIFY(LVN_ITEMCHANGED, IDC_PICK_LIST, OnItemchangedList)
ON_NOTIFY(NM_DBLCLK, IDC_PICK_LIST, OnDblclkList)
ON_BN_CLICKED(IDHELP, OnHelp)
END_MESSAGE_MAP()

CPickStringItemDlg::CPickStringItemDlg(CWnd* parent) : CDialog(IDD, parent) {
    m_strInstallRoot = GetInstallationRoot();
    m_strHelpPath = MakeHelpPath(m_strInstallRoot, IDS_HELP_ORDER_BY);
    SetMessageBoxHelpCommand(IDHELP);
}

CPickStringItemDlg::~CPickStringItemDlg() = default;

void CPickStringItemDlg::DoDataExchange(CDataExchange* pDX) {
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDOK, m_btnOK);
    DDX_Control(pDX, IDC_PICK_LIST, m_lstItems);
}

BOOL CPickStringItemDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    if (!m_strTitle.IsEmpty())
        SetWindowText(m_strTitle);

    // The chosen row stays visible while the buttons have the focus.
    m_lstItems.ModifyStyle(0, LVS_SHOWSELALWAYS);
    m_lstItems.DeleteAllItems();
    CString header;
    header.LoadString(IDS_ITEM);
    m_lstItems.InsertColumn(0, header, LVCFMT_LEFT);

    int row = 0;
    for (POSITION pos = m_Items.GetHeadPosition(); pos;) m_lstItems.InsertItem(row++, m_Items.GetNext(pos));
    m_lstItems.SetColumnWidth(0, LVSCW_AUTOSIZE);

    if (m_nSelectedIndex >= 0 && m_nSelectedIndex < m_lstItems.GetItemCount())
        // The caret on the chosen row too, so that the arrow keys move on from it.
        m_lstItems.SetItemState(m_nSelectedIndex, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    return TRUE;
}

void CPickStringItemDlg::OnItemchangedList(NMHDR*, LRESULT* result) {
    if (result)
        *result = 0;
    m_btnOK.EnableWindow(m_lstItems.GetSelectedCount() > 0);
}

void CPickStringItemDlg::OnDblclkList(NMHDR*, LRESULT* result) {
    if (result)
        *result = 0;
    OnOK();
}

void CPickStringItemDlg::OnOK() {
    // The default button answers Enter even while disabled: without a row there is no answer.
    int row = m_lstItems.GetNextItem(-1, LVNI_SELECTED);
    if (row < 0)
        return;
    m_nSelectedIndex = row;
    CDialog::OnOK();
}

void CPickStringItemDlg::OnHelp() {
    OpenHelpFile(m_strHelpPath);
}
