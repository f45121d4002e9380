#include "wait_dialog.h"

CWaitDialog::CWaitDialog(CWnd* parent, int* runningFlag, LPCTSTR title, LPCTSTR message, BOOL showProgress)
    : CDialog(IDD, parent), m_pRunning(runningFlag), m_bShowProgress(showProgress) {
    if (!Create(IDD, parent))
        return;
    CString text;
    text.LoadString(IDS_WAIT_CANCEL);
    SetDlgItemText(IDCANCEL, text);
    if (title) {
        SetWindowText(title);
    } else {
        text.LoadString(IDS_WAIT_TITLE);
        SetWindowText(text);
    }
    if (message) {
        SetDlgItemText(IDC_WAIT_MESSAGE, message);
    } else {
        text.LoadString(IDS_WAIT_MESSAGE);
        SetDlgItemText(IDC_WAIT_MESSAGE, text);
    }
    if (CWnd* progress = GetDlgItem(IDC_WAIT_PROGRESS))
        progress->ShowWindow(m_bShowProgress ? SW_SHOW : SW_HIDE);
    CenterWindow(parent);
    ShowWindow(SW_SHOW);
}

CWaitDialog::~CWaitDialog() {
    Close();
}

BOOL CWaitDialog::PumpWaitingMessages() {
    while (fw::HasWaitingMessage()) {
        if (!fw::PumpMessage()) {
            fw::PostQuitMessage(0);
            return FALSE;
        }
    }
    return TRUE;
}

void CWaitDialog::Close() {
    if (IsWindow())
        DestroyWindow();
}

void CWaitDialog::OnCancel() {
    if (m_bCancelEnabled && m_pRunning)
        *m_pRunning = 0;
    Close();
}
