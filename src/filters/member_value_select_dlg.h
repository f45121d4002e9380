// Choice of one or several of a column's values, fetched from the server by
// the column-filter builder. The values list is the input until the dialog
// opens and the chosen values after OK; a cancelled dialog leaves it empty.
// The list holds no rows of its own (an owner-data list view): the dialog
// keeps the values once, sorted, and the list asks for the rows it shows.
#pragma once

#include <vector>

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
    void OnGetdispinfoList(NMHDR* nm, LRESULT* result);
    void OnOdfinditemList(NMHDR* nm, LRESULT* result);
    void OnHelp();
    BOOL OnHelpInfo(HELPINFO* info);

    DECLARE_MESSAGE_MAP()

  private:
    // The values while the dialog is open, in display order: row i shows
    // m_rows[i]. Moved out of the values list, never copied.
    std::vector<CString> m_rows;
};
