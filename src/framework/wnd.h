// CWnd: a window object tied to a platform window through the backend. It
// routes the window's commands and notifications through its message map.
#pragma once

#include <map>
#include <memory>
#include <vector>

#include "afxstr.h"
#include "backend.h"
#include "message_map.h"
#include "runtime_class.h"
#include "win_types.h"

class CWnd : public CObject, public fw::WindowSink {
  public:
    CWnd() = default;
    ~CWnd() override;
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;

    HWND m_hWnd = nullptr;
    HWND GetSafeHwnd() const { return m_hWnd; }

    // Window operations, each a thin call through the backend.
    LRESULT SendMessage(UINT msg, WPARAM wParam = 0, LPARAM lParam = 0) const;
    BOOL PostMessage(UINT msg, WPARAM wParam = 0, LPARAM lParam = 0) const;
    void SetWindowText(LPCTSTR text);
    void GetWindowText(CString& text) const;
    int GetWindowTextLength() const;
    BOOL EnableWindow(BOOL enable = TRUE);
    BOOL IsWindowEnabled() const;
    BOOL ShowWindow(int command);
    BOOL IsWindowVisible() const;
    DWORD GetStyle() const;
    DWORD GetExStyle() const;
    // Removes then adds style bits; true when the style changed.
    BOOL ModifyStyle(DWORD remove, DWORD add);
    void CenterWindow(CWnd* alternateOwner = nullptr);
    void UpdateWindow();
    // Stops (false) or resumes (true) repainting while many changes are made.
    void SetRedraw(BOOL redraw = TRUE);
    void GetClientRect(RECT* rect) const;
    BOOL DestroyWindow();
    CWnd* GetDlgItem(int id) const;
    int GetDlgCtrlID() const;
    void SetDlgItemText(int id, LPCTSTR text);
    int GetDlgItemText(int id, CString& text) const;
    CWnd* GetParent() const;
    BOOL IsWindow() const;

    // Ties a control object to a child of this window (dialog data exchange).
    void BindControl(int id, CWnd& control);

    // Runs the message map for a command as if the window had received it.
    BOOL DispatchCommand(UINT id, UINT code = 0);

    // fw::WindowSink
    void AttachWindow(fw::Hwnd hwnd) override;
    void DetachWindow() override;
    intptr_t HandleMessage(uint32_t msg, uintptr_t wParam, intptr_t lParam, bool* handled) override;

    static const AFX_MSGMAP* GetThisMessageMap();
    virtual const AFX_MSGMAP* GetMessageMap() const;

  protected:
    // A window's own handling before the message map; true when handled.
    virtual bool OnWndMsg(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* result);
    virtual BOOL OnCommand(WPARAM wParam, LPARAM lParam);
    virtual BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result);
    virtual void PostNcDestroy() {}

    bool FindAndCall(UINT msg, UINT code, UINT id, NMHDR* nm, LPARAM lParam, LRESULT* result);

    // The command of this window's Help button. A message box shown over the
    // window with a help context passes its help request (F1) here, and the
    // user gets the help of the window the message is about. 0: no help.
    void SetMessageBoxHelpCommand(UINT id) { messageBoxHelp_ = id; }

  private:
    UINT messageBoxHelp_ = 0;
    mutable std::map<int, std::unique_ptr<CWnd>> temporaries_;
    std::vector<CWnd*> bound_;
};
