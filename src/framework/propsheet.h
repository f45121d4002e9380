// Property sheets and their pages, with wizard mode. The sheet's buttons are
// children of the sheet window with the platform's ids (ID_WIZBACK,
// ID_WIZNEXT, ID_WIZFINISH, IDCANCEL, IDHELP); pages decide through the
// notifications the sheet sends them.
#pragma once

#include <vector>

#include "dialog.h"

class CPropertySheet;

// What a page answers when asked to move on.
enum class PageMove : LRESULT { Move = 0, Stay = -1 };

struct PROPSHEETPAGE_FLAGS {
    DWORD dwFlags = 0;  // PSP_HASHELP
};
struct PROPSHEETHEADER_FLAGS {
    DWORD dwFlags = 0;  // PSH_WIZARD, PSH_HASHELP
};

class CPropertyPage : public CDialog {
    DECLARE_DYNAMIC(CPropertyPage)
  public:
    explicit CPropertyPage(UINT templateId, UINT captionId = 0);

    virtual BOOL OnSetActive();
    virtual BOOL OnKillActive();
    virtual LRESULT OnWizardBack();
    virtual LRESULT OnWizardNext();
    virtual BOOL OnWizardFinish();
    virtual BOOL OnQueryCancel();
    virtual void OnReset();
    void OnCancel() override;
    void OnOK() override;

    CPropertySheet* GetSheet() const { return m_pSheetOwner; }
    PROPSHEETPAGE_FLAGS m_psp;

    void AttachWindow(fw::Hwnd hwnd) override;

  protected:
    BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result) override;

  private:
    friend class CPropertySheet;
    CPropertySheet* m_pSheetOwner = nullptr;
    bool m_bFirstSetActive = true;
    bool SheetButtonEnabled(int id) const;
};

class CPropertySheet : public CWnd {
    DECLARE_DYNAMIC(CPropertySheet)
  public:
    CPropertySheet(UINT captionId, CWnd* parent = nullptr, UINT selectPage = 0);
    ~CPropertySheet() override;

    void AddPage(CPropertyPage* page);
    int GetPageCount() const { return static_cast<int>(pages_.size()); }
    CPropertyPage* GetPage(int index) const;
    // The page whose window is showing; null outside a run.
    CPropertyPage* GetActivePage() const;
    int GetActiveIndex() const;
    int GetPageIndex(const CPropertyPage* page) const;
    void SetWizardMode() { m_psh.dwFlags |= PSH_WIZARD; }
    // Asks the sheet for its wizard buttons. Posted: the platform updates the
    // buttons properly only after the page's activation has returned.
    void SetWizardButtons(DWORD flags);
    virtual INT_PTR DoModal();

    PROPSHEETHEADER_FLAGS m_psh;

  protected:
    CString m_strCaption;
    CWnd* m_pParentWnd;
    UINT m_nStartPage;

  private:
    std::vector<CPropertyPage*> pages_;
};
