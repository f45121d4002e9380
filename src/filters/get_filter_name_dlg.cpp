#include "get_filter_name_dlg.h"

#include "filter_record.h"

namespace {

// The dialog manager's own focus move (it also keeps the default button
// right) and the edit's caret scroll; values as the platform defines them.
const UINT kNextDialogControl = 0x0028;  // WM_NEXTDLGCTL
const UINT kScrollCaret = 0x00B7;        // EM_SCROLLCARET

}  // namespace

BEGIN_MESSAGE_MAP(GetFilterNameDlg, CDialog)
ON_EN_CHANGE(IDC_NAME_EDIT, OnChangeName)
END_MESSAGE_MAP()

GetFilterNameDlg::GetFilterNameDlg(CWnd* parent) : CDialog(IDD, parent) {}

void GetFilterNameDlg::DoDataExchange(CDataExchange* pDX) {
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_NAME_EDIT, m_nameBox);
    DDX_Text(pDX, IDC_NAME_EDIT, m_strName);
    DDX_Check(pDX, IDC_NAME_COPY, m_nCopyDefinition);
}

BOOL GetFilterNameDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    if (CWnd* copy = GetDlgItem(IDC_NAME_COPY))
        copy->ShowWindow(m_nShowCopyOption != 0 ? SW_SHOW : SW_HIDE);
    SendMessage(kNextDialogControl, reinterpret_cast<WPARAM>(m_nameBox.GetSafeHwnd()), TRUE);
    if (m_nRenameMode != 0) {
        // Typing then replaces the old name.
        m_nameBox.SetSel(0, -1);
        m_nameBox.SendMessage(kScrollCaret);
    }
    if (CWnd* ok = GetDlgItem(IDOK))
        ok->EnableWindow(m_strName.IsEmpty() ? FALSE : TRUE);
    return FALSE;
}

CString GetFilterNameDlg::TrimmedBoxText() const {
    CString text;
    GetDlgItemText(IDC_NAME_EDIT, text);
    return text.Trim();
}

bool GetFilterNameDlg::IsUnchangedName(const CString& trimmed) const {
    return m_nRenameMode != 0 && trimmed.CompareNoCase(m_strCurrentName) == 0;
}

// OK stays enabled for a name the record could not keep, so that OK and
// Enter alike reach OnOK and the user learns why the name is refused.
void GetFilterNameDlg::OnChangeName() {
    CString trimmed = TrimmedBoxText();
    if (CWnd* ok = GetDlgItem(IDOK))
        ok->EnableWindow(!trimmed.IsEmpty() && !IsUnchangedName(trimmed) ? TRUE : FALSE);
}

void GetFilterNameDlg::OnOK() {
    CString trimmed = TrimmedBoxText();
    if (trimmed.IsEmpty()) {
        AfxMessageBox(IDS_ENTER_FILTER_NAME, MB_OK);
        return;
    }
    // The record format has no escaping: a name it cannot keep would come
    // back from the library as a different filter.
    if (!FitsFilterField(trimmed)) {
        AfxMessageBox(IDS_FILTER_TEXT_REFUSED, MB_OK);
        return;
    }
    for (POSITION pos = m_existingNames.GetHeadPosition(); pos;) {
        const CString& existing = m_existingNames.GetNext(pos);
        // The filter being renamed may keep its own name.
        if (m_nRenameMode != 0 && existing.Compare(m_strCurrentName) == 0)
            continue;
        if (existing.CompareNoCase(trimmed) == 0) {
            CString message;
            message.LoadString(IDS_FILTER_NAME_EXISTS);
            message.Replace("%s", trimmed);
            AfxMessageBox(message, MB_OK, IDS_FILTER_NAME_EXISTS);
            return;
        }
    }
    CDialog::OnOK();
}
