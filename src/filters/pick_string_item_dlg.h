// Choice of exactly one entry of a short list, by its position (the sort
// page's Ascending or Descending).
#pragma once

#include "framework/afxwin.h"
#include "resources/resource.h"

class CPickStringItemDlg : public CDialog {
  public:
    enum { IDD = IDD_PICK_STRING_ITEM };

    explicit CPickStringItemDlg(CWnd* parent = nullptr);
    ~CPickStringItemDlg() override;

    CButton m_btnOK;
    CListCtrl m_lstItems;
    CString m_strTitle;   // the caption, when not empty
    CStringList m_Items;  // the entries, in display order
    CString m_strInstallRoot;
    CString m_strHelpPath;
    // In: the row to preselect, below 0 for none. Out after IDOK: the row chosen.
    int m_nSelectedIndex = -1;

  protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnItemchangedList(NMHDR* nm, LRESULT* result);
    void OnDblclkList(NMHDR* nm, LRESULT* result);
    void OnHelp();

    DECLARE_MESSAGE_MAP()
};
