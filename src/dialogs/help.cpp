#include "help.h"

#include "framework/framework_res.h"

CString GetInstallationRoot() {
    return fw::GetEnvironment("TALVENOR_HOME");
}

CString MakeHelpPath(const CString& installationRoot, UINT helpStringId) {
    CString help;
    help.LoadString(helpStringId);
    return installationRoot + help;
}

UINT HelpFailureMessage(intptr_t shellResult) {
    switch (shellResult) {
        case 0:
            return IDS_FW_SHELL_OUT_OF_RESOURCES;
        case 2:
            return IDS_FW_SHELL_FILE_NOT_FOUND;
        case 3:
            return IDS_FW_SHELL_PATH_NOT_FOUND;
        case 5:
            return IDS_FW_SHELL_ACCESS_DENIED;
        case 8:
            return IDS_FW_SHELL_OUT_OF_MEMORY;
        case 11:
            return IDS_FW_SHELL_BAD_FORMAT;
        case 26:
            return IDS_FW_SHELL_SHARING_VIOLATION;
        case 27:
            return IDS_FW_SHELL_ASSOC_INCOMPLETE;
        case 28:
            return IDS_FW_SHELL_DDE_TIMEOUT;
        case 29:
            return IDS_FW_SHELL_DDE_FAIL;
        case 30:
            return IDS_FW_SHELL_DDE_BUSY;
        case 31:
            return IDS_FW_SHELL_NO_ASSOCIATION;
        case 32:
            return IDS_FW_SHELL_DLL_NOT_FOUND;
        default:
            return 0;
    }
}

void OpenHelpFile(const CString& helpPath) {
    intptr_t result = fw::ShellOpen(helpPath);
    if (result > 32)
        return;
    if (UINT message = HelpFailureMessage(result))
        AfxMessageBox(message, MB_OK, message);
}
