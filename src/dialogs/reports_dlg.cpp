#include "reports_dlg.h"

#include "framework/bounded_copy.h"
#include "help.h"

BEGIN_MESSAGE_MAP(CReportsDlg, CDialog)
ON_NOTIFY(NM_CLICK, IDC_REPORTS_LIST, OnClickList)
ON_NOTIFY(LVN_ITEMCHANGED, IDC_REPORTS_LIST, OnItemChangedList)
ON_BN_CLICKED(IDC_REPORTS_EXECUTE, OnExecute)
ON_BN_CLICKED(IDC_REPORTS_CUSTOMIZE, OnCustomize)
ON_BN_CLICKED(IDHELP, OnHelp)
END_MESSAGE_MAP()

CReportsDlg::CReportsDlg(CWnd* parent) : CDialog(IDD, parent) {
    m_strInstallRoot = GetInstallationRoot();
    m_strHelpPath = MakeHelpPath(m_strInstallRoot, IDS_HELP_REPORTS);
    SetMessageBoxHelpCommand(IDHELP);
}

void CReportsDlg::DoDataExchange(CDataExchange* pDX) {
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_REPORTS_LIST, m_list);
}

void CReportsDlg::EnableCustomizeFor(uint32_t index) {
    ZevDTAPIReport** list = m_pDrillThrough ? m_pDrillThrough->GetReportList() : nullptr;
    const ZevDTAPIReport* report = list ? list[index] : nullptr;
    if (CWnd* customize = GetDlgItem(IDC_REPORTS_CUSTOMIZE))
        customize->EnableWindow(report && report->customisable);
}

BOOL CReportsDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    uint32_t count = m_pDrillThrough ? m_pDrillThrough->GetReportCount() : 0;
    ZevDTAPIReport** list = m_pDrillThrough ? m_pDrillThrough->GetReportList() : nullptr;
    if (!list)
        count = 0;
    for (uint32_t i = 0; i < count; ++i)
        m_list.InsertItem(static_cast<int>(i), list[i] ? fw::FieldText(list[i]->name) : CString());
    if (m_list.GetItemCount() > 0) {
        m_list.SetItemState(0, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
        EnableCustomizeFor(0);
    }
    return TRUE;
}

void CReportsDlg::OnClickList(NMHDR*, LRESULT* result) {
    if (result)
        *result = 0;
    int index = m_list.GetNextItem(-1, LVNI_SELECTED);
    if (index < 0) {
        m_list.SetItemState(0, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
        index = 0;
    }
    Choose(index);
}

// The keyboard (arrows, Home, End, a typed name) moves the selection without a
// click: the chosen report follows every item that becomes selected, or Enter
// would run another report than the one the user sees selected. A selection
// that is only cleared changes nothing: the arrows clear the old item before
// they select the new one.
void CReportsDlg::OnItemChangedList(NMHDR* nm, LRESULT* result) {
    if (result)
        *result = 0;
    const NMLISTVIEW* change = reinterpret_cast<const NMLISTVIEW*>(nm);
    if (!change || !(change->uChanged & LVIF_STATE) || !(change->uNewState & LVIS_SELECTED) ||
        (change->uOldState & LVIS_SELECTED) || change->iItem < 0)
        return;
    Choose(change->iItem);
}

void CReportsDlg::Choose(int index) {
    uint32_t count = m_pDrillThrough ? m_pDrillThrough->GetReportCount() : 0;
    if (static_cast<uint32_t>(index) >= count || !m_pDrillThrough->GetReportList()) {
        m_nSelected = 0;
        return;
    }
    m_nSelected = static_cast<uint32_t>(index);
    EnableCustomizeFor(m_nSelected);
}

void CReportsDlg::OnExecute() {
    m_bCustomize = 0;
    EndDialog(IDOK);
}

void CReportsDlg::OnCustomize() {
    m_bCustomize = 1;
    EndDialog(IDOK);
}

void CReportsDlg::OnHelp() {
    OpenHelpFile(m_strHelpPath);
}
