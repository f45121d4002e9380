// Application-wide services: message boxes, the busy cursor, the module
// context of an export, the environment, the shell and the message queue.
#pragma once

#include "afxstr.h"
#include "win_types.h"

// Shows `text` with the application's name as caption. helpId is the help
// context (0: none). Answers IDOK, IDCANCEL, IDYES or IDNO.
int AfxMessageBox(LPCTSTR text, UINT type = MB_OK, UINT helpId = 0);
// Shows string `id` of the library's table; the id is also the help context
// unless helpId says otherwise.
int AfxMessageBox(UINT id, UINT type = MB_OK, UINT helpId = static_cast<UINT>(-1));

// The module whose resources dialogs and strings come from. Each export
// selects its own module for the duration of the call and restores the
// caller's on every way out.
struct AFX_MODULE_STATE {
    const char* name;
};
AFX_MODULE_STATE* AfxGetStaticModuleState();
AFX_MODULE_STATE* AfxGetModuleState();

class AFX_MAINTAIN_STATE {
  public:
    explicit AFX_MAINTAIN_STATE(AFX_MODULE_STATE* state);
    ~AFX_MAINTAIN_STATE();
    AFX_MAINTAIN_STATE(const AFX_MAINTAIN_STATE&) = delete;
    AFX_MAINTAIN_STATE& operator=(const AFX_MAINTAIN_STATE&) = delete;

  private:
    AFX_MODULE_STATE* previous_;
};
#define AFX_MANAGE_STATE(p) AFX_MAINTAIN_STATE afxManageState_(p)

// The busy cursor, counted: Begin and End pair up.
void AfxBeginWaitCursor();
void AfxEndWaitCursor();
void AfxRestoreWaitCursor();

// RAII form for a block of work.
class CWaitCursor {
  public:
    CWaitCursor() { AfxBeginWaitCursor(); }
    ~CWaitCursor() { AfxEndWaitCursor(); }
    CWaitCursor(const CWaitCursor&) = delete;
    CWaitCursor& operator=(const CWaitCursor&) = delete;
    void Restore() { AfxRestoreWaitCursor(); }
};

namespace fw {
// Value of an environment variable; empty when unset.
CString GetEnvironment(const char* name);
// The shell's "open" action on a document: its result number.
intptr_t ShellOpen(const char* path);
// The thread's message queue.
bool HasWaitingMessage();
bool PumpMessage();
void PostQuitMessage(int exitCode);
}  // namespace fw
