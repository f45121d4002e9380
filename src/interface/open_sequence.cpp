// ZevDTOpen: hand the intersection to the library, log in where it asks for
// it, let the user choose a report, execute it and fetch its columns, and run
// the wizard when the user chose to customise.
#include <cstring>
#include <optional>

#include "framework/bounded_copy.h"
#include "dialogs/login_dlg.h"
#include "dialogs/reports_dlg.h"
#include "drill_through.h"
#include "resources/resource.h"

namespace {

constexpr size_t kLoginTextLimit = ZEVDTAPI_LOGIN_FIELD - 1;
constexpr int kLoginRetries = 3;

bool HasMarker(const char* member, const char* marker) {
    return member && std::strstr(member, marker);
}

// A member of a recursive hierarchy carries the database marker without the
// marker of a single level.
bool MarksRecursiveHierarchy(const char* member) {
    return !HasMarker(member, "-1\n") && HasMarker(member, "SYSDBV=\n");
}

// Fills a login dialog from the record. False when the record names no data
// source: the dialog could not show what it logs into.
bool PrepareLogin(CLoginDlg& dlg, const ZevDTAPIConnectionInfo& info) {
    CString server = fw::FieldText(info.serverName);
    if (!server.IsEmpty())
        dlg.m_strServerName = server;
    dlg.m_strDataSourceName = fw::FieldText(info.dataSourceName);
    if (dlg.m_strDataSourceName.IsEmpty()) {
        AfxMessageBox(IDS_NO_DATASOURCE_NAME, MB_OK);
        return false;
    }
    dlg.m_strUserName = fw::FieldText(info.userName);
    return true;
}

void CopyLoginText(char (&field)[ZEVDTAPI_LOGIN_FIELD], const CString& text) {
    fw::BoundedCopy(field, kLoginTextLimit, text);
}

}  // namespace

uint32_t CDrillThrough::Open(uint32_t memberCount, char** members, uint64_t context) {
    m_bReportOpen = false;
    uint32_t status = ZEVDT_E_EXCEPTION;
    try {
        status = RunOpenSequence(memberCount, members, context);
    } catch (...) {
    }
    m_bReportOpen = status == ZEVDT_OK;
    return status;
}

uint32_t CDrillThrough::RunOpenSequence(uint32_t memberCount, char** members, uint64_t context) {
    // The previous report's records belong to the library's previous answer.
    ForgetReport();

    uint32_t status = m_api.SetConnection(m_hLibrary, members, memberCount, context);
    if (status != 0) {
        ShowLibraryError();
        return status;
    }

    ZevDTAPIConnectionInfo info;
    std::memset(&info, 0, sizeof info);
    status = m_api.GetInfo(m_hLibrary, &info);
    if (status != 0) {
        ShowLibraryError();
        return status;
    }

    const unsigned flags = info.loginFlags;
    if (flags != 0) {
        CLoginDlg dlg;
        if (!PrepareLogin(dlg, info))
            return ZEVDT_E_NO_DATA_SOURCE;
        if (flags & CLoginDlg::kUserEditable)
            ClearSourcePassword();
        else
            dlg.m_strPassword = fw::FieldText(info.password);
        dlg.m_nLoginFlags = static_cast<int>(flags);
        // A password the host set already answers the login: no dialog, and
        // the record goes back as the library gave it.
        if (m_pSourcePassword[0] == '\0') {
            if (dlg.DoModal() != IDOK)
                return ZEVDT_CANCELLED;
            if (flags & CLoginDlg::kServerEditable)
                CopyLoginText(info.serverName, dlg.m_strServerName);
            if (flags & CLoginDlg::kUserEditable) {
                CopyLoginText(info.userName, dlg.m_strUserName);
                CopyLoginText(info.password, dlg.m_strPassword);
                SetSourcePassword(dlg.m_strPassword);
            }
        }
        status = m_api.SetInfo(m_hLibrary, &info);
        if (status != 0) {
            ShowLibraryError();
            return status;
        }
    }

    // Begun when the connection starts, ended once the columns are in;
    // whatever way the sequence leaves, the cursor it began ends with it.
    std::optional<CWaitCursor> wait;
    wait.emplace();
    status = ConnectWithRetries(&info);
    if (status != 0)
        return status;

    // Kept only once the library has answered: a failed call may leave its
    // out values half written.
    ZevDTAPIReport** reports = nullptr;
    uint32_t reportCount = 0;
    status = m_api.GetReports(m_hLibrary, &reports, &reportCount);
    if (status != 0) {
        ShowLibraryError();
        return status;
    }
    m_ppReports = reports;
    m_nReportCount = reportCount;
    if (m_nReportCount == 0 || !m_ppReports) {
        AfxMessageBox(IDS_NO_REPORTS, MB_OK);
        return ZEVDT_E_NO_REPORTS;
    }

    for (uint32_t i = 0; members && i < memberCount; ++i) {
        if (MarksRecursiveHierarchy(members[i]) && AfxMessageBox(IDS_RECURSIVE_HIERARCHY, MB_YESNO) == IDNO)
            return ZEVDT_CANCELLED;
    }

    bool customise = false;
    const ZevDTAPIReport* first = m_ppReports[0];
    if (m_nReportCount > 1 || (first && first->customisable != 0)) {
        CReportsDlg dlg;
        dlg.m_pDrillThrough = this;
        if (dlg.DoModal() != IDOK)
            return ZEVDT_CANCELLED;
        m_nSelectedReport = dlg.m_nSelected;
        customise = dlg.m_bCustomize != 0;
    }

    wait->Restore();
    status = m_api.ExecuteReport(m_hLibrary, m_nSelectedReport);
    if (status != 0) {
        ShowLibraryError();
        return status;
    }

    ZevDTAPIColumn** columns = nullptr;
    int32_t columnCount = 0;
    status = m_api.GetColumns(m_hLibrary, &columns, &columnCount);
    if (status != 0) {
        ShowLibraryError();
        return status;
    }
    m_ppColumns = columns;
    m_nColumnCount = columnCount;
    if (!m_ppColumns || m_nColumnCount <= 0) {
        AfxMessageBox(IDS_NO_DISPLAY_COLUMNS, MB_OK);
        return ZEVDT_E_NO_COLUMNS;
    }
    wait.reset();

    if (customise) {
        if (m_ppReports && m_nSelectedReport < m_nReportCount && m_ppReports[m_nSelectedReport])
            SetReportName(fw::FieldText(m_ppReports[m_nSelectedReport]->name));
        if (DoModal() != ID_WIZFINISH)
            return ZEVDT_CANCELLED;
    }
    return ZEVDT_OK;
}

// Connects; a refused login is asked for again up to three times with every
// login field open. A connection that finally fails forgets the password, so
// that the next open asks for it again.
uint32_t CDrillThrough::ConnectWithRetries(ZevDTAPIConnectionInfo* info) {
    uint32_t status = m_api.Connect(m_hLibrary);
    if (status == 0)
        return 0;
    ShowLibraryError();
    if (status != ZEVDTAPI_LOGIN_REFUSED) {
        ClearSourcePassword();
        return status;
    }

    for (int attempt = 0; attempt < kLoginRetries; ++attempt) {
        CLoginDlg dlg;
        if (!PrepareLogin(dlg, *info))
            return ZEVDT_E_NO_DATA_SOURCE;
        dlg.m_nLoginFlags = CLoginDlg::kServerEditable | CLoginDlg::kUserEditable;
        if (dlg.DoModal() != IDOK)
            return ZEVDT_CANCELLED;
        CopyLoginText(info->serverName, dlg.m_strServerName);
        CopyLoginText(info->userName, dlg.m_strUserName);
        CopyLoginText(info->password, dlg.m_strPassword);
        SetSourcePassword(dlg.m_strPassword);

        status = m_api.SetInfoWithOptionOn(m_hLibrary, info);
        if (status != 0) {
            ShowLibraryError();
            return status;
        }
        {
            CWaitCursor wait;
            status = m_api.Connect(m_hLibrary);
        }
        if (status == 0)
            return 0;
        ShowLibraryError();
    }
    ClearSourcePassword();
    return status;
}
