#include "login_dlg.h"

#include "help.h"

BEGIN_MESSAGE_MAP(CLoginDlg, CDialog)
ON_BN_CLICKED(IDC_LOGIN_HELP, OnHelp)
END_MESSAGE_MAP()

CLoginDlg::CLoginDlg(CWnd* parent) : CDialog(IDD, parent) {
    m_strInstallRoot = GetInstallationRoot();
    m_strHelpPath = MakeHelpPath(m_strInstallRoot, IDS_HELP_LOGIN);
    SetMessageBoxHelpCommand(IDC_LOGIN_HELP);
}

void CLoginDlg::DoDataExchange(CDataExchange* pDX) {
    CDialog::DoDataExchange(pDX);
    DDX_Text(pDX, IDC_LOGIN_SERVER, m_strServerName);
    DDX_Text(pDX, IDC_LOGIN_DATA_SOURCE, m_strDataSourceName);
    DDX_Text(pDX, IDC_LOGIN_PASSWORD, m_strPassword);
    DDX_Text(pDX, IDC_LOGIN_USER, m_strUserName);
}

BOOL CLoginDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    auto setReadOnly = [this](int id, bool readOnly) {
        if (CWnd* edit = GetDlgItem(id))
            edit->SendMessage(EM_SETREADONLY, readOnly ? TRUE : FALSE);
    };
    setReadOnly(IDC_LOGIN_SERVER, !(m_nLoginFlags & kServerEditable));
    setReadOnly(IDC_LOGIN_USER, !(m_nLoginFlags & kUserEditable));
    setReadOnly(IDC_LOGIN_PASSWORD, !(m_nLoginFlags & kUserEditable));
    return TRUE;
}

void CLoginDlg::OnOK() {
    UpdateData(TRUE);
    // Blanks count as a name: the server decides what it accepts.
    if (m_strServerName.IsEmpty()) {
        AfxMessageBox(IDS_NEED_SERVER_NAME, MB_OK);
        return;
    }
    if (m_strUserName.IsEmpty()) {
        AfxMessageBox(IDS_NEED_USER_NAME, MB_OK);
        return;
    }
    EndDialog(IDOK);
}

void CLoginDlg::OnHelp() {
    OpenHelpFile(m_strHelpPath);
}
