#include "dialog.h"

IMPLEMENT_DYNAMIC(CDialog, CObject)

BEGIN_MESSAGE_MAP(CDialog, CWnd)
ON_COMMAND(IDOK, OnOKCommand)
ON_COMMAND(IDCANCEL, OnCancelCommand)
END_MESSAGE_MAP()

CDialog::CDialog(UINT templateId, CWnd* parent)
    : m_nIDTemplate(templateId), m_nIDHelp(templateId), m_pParentWnd(parent) {}

CDialog::~CDialog() {
    // A modeless window that outlives its object would call into freed memory.
    if (m_hWnd && fw::CurrentBackend().IsWindow(m_hWnd))
        fw::CurrentBackend().DestroyWindow(m_hWnd);
}

INT_PTR CDialog::DoModal() {
    HWND parent = m_pParentWnd ? m_pParentWnd->m_hWnd : nullptr;
    return fw::CurrentBackend().RunModalDialog(m_nIDTemplate, parent, this);
}

BOOL CDialog::Create(UINT templateId, CWnd* parent) {
    m_nIDTemplate = templateId;
    m_pParentWnd = parent;
    HWND hwnd =
        fw::CurrentBackend().CreateModelessDialog(templateId, parent ? parent->m_hWnd : nullptr, this);
    return hwnd ? TRUE : FALSE;
}

void CDialog::EndDialog(int result) {
    if (m_hWnd)
        fw::CurrentBackend().EndDialog(m_hWnd, result);
}

BOOL CDialog::UpdateData(BOOL saveAndValidate) {
    CDataExchange dx(this, saveAndValidate);
    DoDataExchange(&dx);
    return TRUE;
}

BOOL CDialog::OnInitDialog() {
    UpdateData(FALSE);
    return TRUE;
}

void CDialog::OnOK() {
    if (!UpdateData(TRUE))
        return;
    EndDialog(IDOK);
}

void CDialog::OnCancel() {
    EndDialog(IDCANCEL);
}

void CDialog::DoDataExchange(CDataExchange*) {}

bool CDialog::OnWndMsg(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* result) {
    if (msg == WM_INITDIALOG) {
        *result = OnInitDialog();
        return true;
    }
    return CWnd::OnWndMsg(msg, wParam, lParam, result);
}

void DDX_Text(CDataExchange* pDX, int id, CString& value) {
    CWnd* item = pDX->m_pDlgWnd->GetDlgItem(id);
    if (!item)
        return;
    if (pDX->m_bSaveAndValidate)
        item->GetWindowText(value);
    else
        item->SetWindowText(value);
}

void DDX_Control(CDataExchange* pDX, int id, CWnd& control) {
    if (control.m_hWnd == nullptr)
        pDX->m_pDlgWnd->BindControl(id, control);
}

void DDX_Check(CDataExchange* pDX, int id, int& value) {
    CWnd* item = pDX->m_pDlgWnd->GetDlgItem(id);
    if (!item)
        return;
    if (pDX->m_bSaveAndValidate)
        value = static_cast<int>(item->SendMessage(BM_GETCHECK));
    else
        item->SendMessage(BM_SETCHECK, static_cast<WPARAM>(value));
}
