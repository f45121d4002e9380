// The report selection dialog: the reports defined for the intersection;
// Execute runs the chosen one, Customize opens it in the wizard first.
#pragma once

#include "framework/afxwin.h"
#include "report_source.h"
#include "resources/resource.h"

class CReportsDlg : public CDialog {
  public:
    enum { IDD = IDD_REPORTS };

    explicit CReportsDlg(CWnd* parent = nullptr);

    const CReportSource* m_pDrillThrough = nullptr;
    int m_bCustomize = 0;      // 0 Execute, 1 Customize
    uint32_t m_nSelected = 0;  // follows the list's selection
    CString m_strInstallRoot;
    CString m_strHelpPath;

  protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    void OnClickList(NMHDR* nm, LRESULT* result);
    void OnItemChangedList(NMHDR* nm, LRESULT* result);
    void OnExecute();
    void OnCustomize();
    void OnHelp();
    void EnableCustomizeFor(uint32_t index);

    CListCtrl m_list;

    DECLARE_MESSAGE_MAP()
};
