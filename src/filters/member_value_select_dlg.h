// Choice of one or several of a column's values, fetched from the server by
// the column-filter builder. The values list is the input until the dialog
// opens and the chosen values after OK; a cancelled dialog leaves it empty.
#pragma once

#include "framework/afxwin.h"
#include "resources/resource.h"

class CMemberValueSelectDlg : public CDialog {
  public:
    enum { IDD = IDD_MEMBER_VALUE_SELECT };

    explicit CMemberValueSelectDlg(CWnd* parent = nullptr);
    ~CMemberValueSelectDlg() override;

    CListCtrl m_lstValues;
    int m_bMultipleSelection = 1;  // 0: one value only
    CString m_strTitle;            // the caption, also when empty
    CStringList m_Values;
    CString m_strInstallRoot;
    CString m_strHelpPath;

  protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnItemchangedList(NMHDR* nm, LRESULT* result);
    void OnHelp();
    BOOL OnHelpInfo(HELPINFO* info);

    DECLARE_MESSAGE_MAP()
};
