// The column-filter builder: a sheet with the one filters page, OK, Cancel
// and Help. The caller fills the page, runs the sheet and, after OK with the
// page's modified flag set, takes the page's filters text.
#pragma once

#include "df_filters_page.h"
#include "framework/afxwin.h"

class CDFPropertySheet : public CPropertySheet {
    DECLARE_DYNAMIC(CDFPropertySheet)
  public:
    CDFPropertySheet(LPCTSTR caption, CWnd* parent = nullptr, UINT selectPage = 0);
    ~CDFPropertySheet() override;

    CDFFiltersPage m_filtersPage;
    CString m_strInstallRoot;
    CString m_strHelpPath;

  protected:
    void OnHelp();

    DECLARE_MESSAGE_MAP()
};
