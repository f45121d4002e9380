// A small modeless window beside a long library request: it shows a message
// and offers Cancel, which clears the caller's running flag. The caller keeps
// working in its own loop and lets the window process its messages between
// steps with PumpWaitingMessages.
#pragma once

#include "framework/afxwin.h"
#include "resources/resource.h"

class CWaitDialog : public CDialog {
  public:
    enum { IDD = IDD_WAIT };

    // Creates and shows the window at once. A null title or message gives the
    // standard texts.
    CWaitDialog(CWnd* parent, int* runningFlag, LPCTSTR title = nullptr, LPCTSTR message = nullptr,
                BOOL showProgress = FALSE);
    ~CWaitDialog() override;

    void SetCancelFlag(int* runningFlag) { m_pRunning = runningFlag; }
    // Dispatches what waits in the thread's queue; false when the quit message
    // came, which is posted again for the application's own loop.
    BOOL PumpWaitingMessages();
    // Destroys the window if it still exists.
    void Close();

    int* m_pRunning;
    int m_bCancelEnabled = 1;
    int m_bShowProgress;

  protected:
    void OnCancel() override;
};
