#include "df_property_sheet.h"

#include "dialogs/help.h"

IMPLEMENT_DYNAMIC(CDFPropertySheet, CPropertySheet)

BEGIN_MESSAGE_MAP(CDFPropertySheet, CPropertySheet)
ON_COMMAND(ID_HELP, OnHelp)
END_MESSAGE_MAP()

CDFPropertySheet::CDFPropertySheet(LPCTSTR caption, CWnd* parent, UINT selectPage)
    : CPropertySheet(0, parent, selectPage) {
    m_strCaption = caption;
    AddPage(&m_filtersPage);
    m_psh.dwFlags |= PSH_NOAPPLYNOW | PSH_HASHELP;
    m_strInstallRoot = GetInstallationRoot();
    m_strHelpPath = MakeHelpPath(m_strInstallRoot, IDS_HELP_COLUMN_FILTER);
}

CDFPropertySheet::~CDFPropertySheet() = default;

void CDFPropertySheet::OnHelp() {
    if (GetActivePage() == &m_filtersPage)
        OpenHelpFile(m_strHelpPath);
}
