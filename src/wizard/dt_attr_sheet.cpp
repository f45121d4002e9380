#include "dt_attr_sheet.h"

#include "dialogs/help.h"

IMPLEMENT_DYNAMIC(CDTAttrSheet, CPropertySheet)

BEGIN_MESSAGE_MAP(CDTAttrSheet, CPropertySheet)
ON_COMMAND(ID_HELP, OnHelp)
END_MESSAGE_MAP()

CDTAttrSheet::CDTAttrSheet(UINT nIDCaption, CWnd* pParentWnd, UINT iSelectPage)
    : CPropertySheet(nIDCaption, pParentWnd, iSelectPage) {
    AddPage(&m_infoPage);
    m_infoPage.m_pSheet = this;
    AddPage(&m_columnPage);
    m_columnPage.m_pOwner = m_pOwner;
    m_columnPage.m_pSheet = this;
    AddPage(&m_sortPage);
    m_sortPage.m_pOwner = m_pOwner;
    m_sortPage.m_pSheet = this;
    AddPage(&m_filterPage);
    m_filterPage.m_pOwner = m_pOwner;
    m_filterPage.m_pSheet = this;
    m_psh.dwFlags |= PSH_WIZARD | PSH_HASHELP;
    m_strInstallRoot = GetInstallationRoot();
    m_strInfoHelpPath = MakeHelpPath(m_strInstallRoot, IDS_HELP_WIZARD_INFO);
    m_strColumnsHelpPath = MakeHelpPath(m_strInstallRoot, IDS_HELP_SELECT_COLUMNS);
    m_strSortHelpPath = MakeHelpPath(m_strInstallRoot, IDS_HELP_SORT_ORDER);
    m_strFilterHelpPath = MakeHelpPath(m_strInstallRoot, IDS_HELP_DATA_FILTERS);
}

CDTAttrSheet::~CDTAttrSheet() = default;

void CDTAttrSheet::SetOwner(CDTOwner* owner) {
    m_pOwner = owner;
    m_columnPage.m_pOwner = owner;
    m_sortPage.m_pOwner = owner;
    m_filterPage.m_pOwner = owner;
}

void CDTAttrSheet::SetReportName(const CString& name) {
    m_strReportName = name;
    m_columnPage.m_strReportName = name;
    m_sortPage.m_strReportName = name;
}

void CDTAttrSheet::OnHelp() {
    CPropertyPage* active = GetActivePage();
    if (active == &m_infoPage)
        OpenHelpFile(m_strInfoHelpPath);
    else if (active == &m_columnPage)
        OpenHelpFile(m_strColumnsHelpPath);
    else if (active == &m_sortPage)
        OpenHelpFile(m_strSortHelpPath);
    else if (active == &m_filterPage)
        OpenHelpFile(m_strFilterHelpPath);
}
