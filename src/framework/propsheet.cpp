#include "propsheet.h"

IMPLEMENT_DYNAMIC(CPropertyPage, CDialog)
IMPLEMENT_DYNAMIC(CPropertySheet, CObject)

CPropertyPage::CPropertyPage(UINT templateId, UINT) : CDialog(templateId, nullptr) {}

void CPropertyPage::AttachWindow(fw::Hwnd hwnd) {
    // Every run builds the page's window anew.
    m_bFirstSetActive = true;
    CDialog::AttachWindow(hwnd);
}

BOOL CPropertyPage::OnSetActive() {
    if (m_bFirstSetActive)
        m_bFirstSetActive = false;
    else
        UpdateData(FALSE);
    return TRUE;
}

BOOL CPropertyPage::OnKillActive() {
    return UpdateData(TRUE);
}
LRESULT CPropertyPage::OnWizardBack() {
    return 0;
}
LRESULT CPropertyPage::OnWizardNext() {
    return 0;
}
BOOL CPropertyPage::OnWizardFinish() {
    return TRUE;
}
BOOL CPropertyPage::OnQueryCancel() {
    return TRUE;
}
void CPropertyPage::OnReset() {
    OnCancel();
}
// A page never ends a modal loop itself; the sheet does.
void CPropertyPage::OnCancel() {}
void CPropertyPage::OnOK() {}

bool CPropertyPage::SheetButtonEnabled(int id) const {
    fw::Backend& b = fw::CurrentBackend();
    HWND sheet = b.GetParent(m_hWnd);
    HWND button = sheet ? b.GetDlgItem(sheet, id) : nullptr;
    return button && b.IsWindowEnabled(button) && b.IsWindowVisible(button);
}

BOOL CPropertyPage::OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result) {
    NMHDR* nm = reinterpret_cast<NMHDR*>(lParam);
    if (!nm)
        return FALSE;
    switch (nm->code) {
        case PSN_SETACTIVE:
            *result = OnSetActive() ? 0 : -1;
            return TRUE;
        case PSN_KILLACTIVE:
            *result = OnKillActive() ? FALSE : TRUE;
            return TRUE;
        case PSN_WIZBACK:
            // The platform sends this even for a disabled or hidden button.
            *result = SheetButtonEnabled(ID_WIZBACK) ? OnWizardBack() : static_cast<LRESULT>(PageMove::Stay);
            return TRUE;
        case PSN_WIZNEXT:
            *result = SheetButtonEnabled(ID_WIZNEXT) ? OnWizardNext() : static_cast<LRESULT>(PageMove::Stay);
            return TRUE;
        case PSN_WIZFINISH:
            *result = SheetButtonEnabled(ID_WIZFINISH) && OnWizardFinish() ? FALSE : TRUE;
            return TRUE;
        case PSN_QUERYCANCEL:
            *result = OnQueryCancel() ? FALSE : TRUE;
            return TRUE;
        case PSN_RESET:
            OnReset();
            *result = 0;
            return TRUE;
        case PSN_APPLY:
            *result = 0;
            return TRUE;
        case PSN_HELP:
            if (m_pSheetOwner)
                m_pSheetOwner->DispatchCommand(ID_HELP);
            *result = 0;
            return TRUE;
        default:
            return CDialog::OnNotify(wParam, lParam, result);
    }
}

CPropertySheet::CPropertySheet(UINT captionId, CWnd* parent, UINT selectPage)
    : m_pParentWnd(parent), m_nStartPage(selectPage) {
    m_strCaption.LoadString(captionId);
    // The sheet's Help button sends ID_HELP; the sheet's handler picks the page's help.
    SetMessageBoxHelpCommand(ID_HELP);
}

CPropertySheet::~CPropertySheet() = default;

void CPropertySheet::AddPage(CPropertyPage* page) {
    if (!page)
        return;
    page->m_pSheetOwner = this;
    pages_.push_back(page);
}

CPropertyPage* CPropertySheet::GetPage(int index) const {
    if (index < 0 || index >= GetPageCount())
        return nullptr;
    return pages_[static_cast<size_t>(index)];
}

CPropertyPage* CPropertySheet::GetActivePage() const {
    if (!m_hWnd)
        return nullptr;
    HWND current = reinterpret_cast<HWND>(SendMessage(PSM_GETCURRENTPAGEHWND));
    for (CPropertyPage* p : pages_)
        if (current && p->m_hWnd == current)
            return p;
    return nullptr;
}

int CPropertySheet::GetActiveIndex() const {
    return GetPageIndex(GetActivePage());
}

int CPropertySheet::GetPageIndex(const CPropertyPage* page) const {
    for (size_t i = 0; i < pages_.size(); ++i)
        if (pages_[i] == page)
            return static_cast<int>(i);
    return -1;
}

void CPropertySheet::SetWizardButtons(DWORD flags) {
    if (!m_hWnd)
        return;
    PostMessage(PSM_SETWIZBUTTONS, 0, static_cast<LPARAM>(flags));
    // The platform makes Back the default when a step asks for Back alone,
    // and leaves it there when the page enables Next later: Enter would then
    // go back. The default stays on the forward button, which Enter presses
    // as soon as it is enabled.
    const int forward = (flags & (PSWIZB_FINISH | PSWIZB_DISABLEDFINISH)) ? ID_WIZFINISH : ID_WIZNEXT;
    PostMessage(DM_SETDEFID, static_cast<WPARAM>(forward), 0);
}

INT_PTR CPropertySheet::DoModal() {
    fw::SheetRun run;
    run.caption = m_strCaption.str();
    run.parent = m_pParentWnd ? m_pParentWnd->m_hWnd : nullptr;
    run.startPage = m_nStartPage;
    run.flags = m_psh.dwFlags;
    run.sheetSink = this;
    for (CPropertyPage* p : pages_)
        run.pages.push_back({p->GetTemplateId(), p, (p->m_psp.dwFlags & PSP_HASHELP) != 0});
    return fw::CurrentBackend().RunPropertySheet(run);
}
