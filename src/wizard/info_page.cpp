#include "info_page.h"

#include "dt_attr_sheet.h"

IMPLEMENT_DYNCREATE(CInfoPage, CPropertyPage)

CInfoPage::CInfoPage() : CPropertyPage(IDD) {
    m_psp.dwFlags |= PSP_HASHELP;
    m_strInstructions.LoadString(IDS_WIZARD_INSTRUCTIONS);
}

void CInfoPage::DoDataExchange(CDataExchange* pDX) {
    CPropertyPage::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_INFO_PICTURE, m_picture);
    DDX_Text(pDX, IDC_INFO_TEXT, m_strInstructions);
}

BOOL CInfoPage::OnInitDialog() {
    CPropertyPage::OnInitDialog();
    SetStepButtons();
    fw::Backend& backend = fw::CurrentBackend();
    // The text is this step's only control: Enter, Esc and Tab must reach
    // the wizard from it, as from the controls of every other step.
    if (CWnd* text = GetDlgItem(IDC_INFO_TEXT))
        backend.LeaveDialogKeysToDialog(text->m_hWnd);
    void* bitmap = backend.LoadBitmap(IDB_WIZARD);
    if (!bitmap)
        return TRUE;  // the page works without its picture
    if (m_picture.ModifyStyle(0x000B, SS_BITMAP)) {
        if (HBITMAP previous = m_picture.SetBitmap(bitmap))
            backend.DeleteObject(previous);
    } else {
        backend.DeleteObject(bitmap);
    }
    return TRUE;
}

// The first step: Back shown but disabled, Next enabled, no Finish. The
// request is posted (the platform updates its buttons only after the page's
// activation); the buttons are set directly as well, so that they are right
// at once.
void CInfoPage::SetStepButtons() {
    if (!m_pSheet)
        return;
    m_pSheet->SetWizardButtons(PSWIZB_NEXT);
    if (CWnd* sheet = GetParent()) {
        if (CWnd* back = sheet->GetDlgItem(ID_WIZBACK)) {
            back->EnableWindow(FALSE);
            back->ShowWindow(SW_SHOW);
        }
        if (CWnd* next = sheet->GetDlgItem(ID_WIZNEXT)) {
            next->EnableWindow(TRUE);
            next->ShowWindow(SW_SHOW);
        }
    }
}

BOOL CInfoPage::OnSetActive() {
    SetStepButtons();
    return CPropertyPage::OnSetActive();
}

bool CInfoPage::OnWndMsg(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* result) {
    // A static control does not free the picture it shows; without this every
    // run of the wizard would leave one bitmap behind.
    if (msg == WM_DESTROY && m_picture.m_hWnd) {
        if (HBITMAP shown = m_picture.SetBitmap(nullptr))
            fw::CurrentBackend().DeleteObject(shown);
    }
    return CPropertyPage::OnWndMsg(msg, wParam, lParam, result);
}
