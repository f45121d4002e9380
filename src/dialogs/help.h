// Context help: every dialog that offers help holds the installation root
// (TALVENOR_HOME when the dialog was made) and its help path, the root
// followed directly by the dialog's help string.
#pragma once

#include "framework/afxwin.h"

// The installation root as the environment has it now; empty when unset.
CString GetInstallationRoot();
// The root followed by help string `helpStringId`, with no separator added:
// every help string starts with a backslash.
CString MakeHelpPath(const CString& installationRoot, UINT helpStringId);
// Opens a help page with the shell's "open" action. A failure is shown in a
// message box naming it (with its message id as help context); nothing is returned.
void OpenHelpFile(const CString& helpPath);
// The message shown for a shell result, 0 for none (success or an unlisted value).
UINT HelpFailureMessage(intptr_t shellResult);
