// Names a saved filter: a new one, optionally copying the current filter's
// definition, or the current one under a new name. It refuses an empty name
// a name another filter already has and a name a saved filter could not
// keep, each with a message; it changes no filter itself.
#pragma once

#include "framework/afxwin.h"
#include "resources/resource.h"

class GetFilterNameDlg : public CDialog {
  public:
    enum { IDD = IDD_FILTER_NAME };

    explicit GetFilterNameDlg(CWnd* parent = nullptr);

    // Not 0: the current filter is being renamed.
    void SetRenameMode(int rename) { m_nRenameMode = rename; }
    void SetCurrentName(CString name) { m_strCurrentName = name; }
    // 0 hides "Copy definition of current filter".
    void ShowCopyOption(int show) { m_nShowCopyOption = show; }

    int m_nRenameMode = 0;
    CString m_strCurrentName;
    int m_nShowCopyOption = 1;
    // The names of all filters, in the caller's order.
    CStringList m_existingNames;
    CEdit m_nameBox;
    // The box's initial text, and after OK the text as typed (untrimmed).
    CString m_strName;
    int m_nCopyDefinition = 0;

  protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnChangeName();

    DECLARE_MESSAGE_MAP()

  private:
    CString TrimmedBoxText() const;
    // Whether the text is the current filter's name in any case, in rename mode.
    bool IsUnchangedName(const CString& trimmed) const;
};
