// CDialog: a dialog made from a template of the library's resources, modal
// or modeless, with dialog data exchange between members and controls.
#pragma once

#include "wnd.h"

class CDialog;

class CDataExchange {
  public:
    CDataExchange(CDialog* dialog, BOOL saveAndValidate)
        : m_pDlgWnd(dialog), m_bSaveAndValidate(saveAndValidate) {}
    CDialog* m_pDlgWnd;
    BOOL m_bSaveAndValidate;
};

void DDX_Text(CDataExchange* pDX, int id, CString& value);
void DDX_Control(CDataExchange* pDX, int id, CWnd& control);
void DDX_Check(CDataExchange* pDX, int id, int& value);

class CDialog : public CWnd {
    DECLARE_DYNAMIC(CDialog)
  public:
    explicit CDialog(UINT templateId, CWnd* parent = nullptr);
    ~CDialog() override;

    virtual INT_PTR DoModal();
    // Creates the dialog modeless; true when the window exists.
    virtual BOOL Create(UINT templateId, CWnd* parent = nullptr);
    void EndDialog(int result);
    BOOL UpdateData(BOOL saveAndValidate = TRUE);

    UINT GetTemplateId() const { return m_nIDTemplate; }

    virtual BOOL OnInitDialog();
    virtual void OnOK();
    virtual void OnCancel();

  protected:
    virtual void DoDataExchange(CDataExchange* pDX);
    bool OnWndMsg(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* result) override;

    UINT m_nIDTemplate;
    UINT m_nIDHelp;
    CWnd* m_pParentWnd;

    DECLARE_MESSAGE_MAP()
  private:
    void OnOKCommand() { OnOK(); }
    void OnCancelCommand() { OnCancel(); }
};
