// The report customisation wizard. The drill-through object is one of these,
// so the wizard and its pages live exactly as long as the object does. The
// pages edit the column records of the executed report in place.
#pragma once

#include "owner/dt_owner.h"
#include "filters/dt_filter.h"
#include "framework/afxwin.h"
#include "info_page.h"
#include "order_list.h"
#include "select_attr.h"

class CDTAttrSheet : public CPropertySheet {
    DECLARE_DYNAMIC(CDTAttrSheet)
  public:
    CDTAttrSheet(UINT nIDCaption, CWnd* pParentWnd = nullptr, UINT iSelectPage = 0);
    ~CDTAttrSheet() override;

    // Gives the pages their way to the drill-through object; set before the first run.
    void SetOwner(CDTOwner* owner);
    // The chosen report's name, shown read-only on the column and sort pages.
    void SetReportName(const CString& name);
    const CString& GetReportName() const { return m_strReportName; }

    CString m_strInstallRoot;
    CString m_strInfoHelpPath;
    CString m_strColumnsHelpPath;
    CString m_strSortHelpPath;
    CString m_strFilterHelpPath;
    CDTOwner* m_pOwner = nullptr;
    CInfoPage m_infoPage;
    CDTSelectAttr m_columnPage;
    CDTOrderList m_sortPage;
    CDTFilter m_filterPage;

  protected:
    void OnHelp();
    CString m_strReportName;

    DECLARE_MESSAGE_MAP()
};
