// The login dialog: integration server, data source, user and password. The
// login flags decide which fields may be typed; the dialog only checks that
// the server and user names are not empty.
#pragma once

#include "framework/afxwin.h"
#include "resources/resource.h"

class CLoginDlg : public CDialog {
  public:
    enum { IDD = IDD_LOGIN };
    // Bit 0: the server name may be typed; bit 1: user name and password may be typed.
    enum : int { kServerEditable = 1, kUserEditable = 2 };

    explicit CLoginDlg(CWnd* parent = nullptr);

    int m_nLoginFlags = 0;
    CString m_strServerName;
    CString m_strDataSourceName;
    CString m_strPassword;
    CString m_strUserName;
    CString m_strInstallRoot;
    CString m_strHelpPath;

  protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnHelp();

    DECLARE_MESSAGE_MAP()
};
