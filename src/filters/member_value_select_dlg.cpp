#include "member_value_select_dlg.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include "dialogs/help.h"
#include "framework/bounded_copy.h"
#include "framework/text_fold.h"

BEGIN_MESSAGE_MAP(CMemberValueSelectDlg, CDialog)
ON_NOTIFY(LVN_ITEMCHANGED, IDC_VALUES_LIST, OnItemchangedList)
ON_NOTIFY(LVN_ODSTATECHANGED, IDC_VALUES_LIST, OnItemchangedList)
ON_NOTIFY(LVN_GETDISPINFOA, IDC_VALUES_LIST, OnGetdispinfoList)
ON_NOTIFY(LVN_ODFINDITEMA, IDC_VALUES_LIST, OnOdfinditemList)
ON_BN_CLICKED(IDC_VALUES_HELP, OnHelp)
ON_WM_HELPINFO()
END_MESSAGE_MAP()

CMemberValueSelectDlg::CMemberValueSelectDlg(CWnd* parent) : CDialog(IDD, parent) {
    m_strInstallRoot = GetInstallationRoot();
    m_strHelpPath = MakeHelpPath(m_strInstallRoot, IDS_HELP_FILTER_VALUES);
}

CMemberValueSelectDlg::~CMemberValueSelectDlg() = default;

void CMemberValueSelectDlg::DoDataExchange(CDataExchange* pDX) {
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_VALUES_LIST, m_lstValues);
}

namespace {

int CompareRows(const CString& a, const CString& b) {
    return fw::CompareListText(a.GetString(), static_cast<size_t>(a.GetLength()), b.GetString(),
                               static_cast<size_t>(b.GetLength()));
}

// Below, equal to or above 0 as the row's text, cut to the length of the
// typed text (or whole, for a whole-text search), orders before, with or
// after it without regard to case.
int CompareTyped(const CString& row, const char* typed, size_t length, bool partial) {
    size_t have = static_cast<size_t>(row.GetLength());
    return fw::CompareFoldedText(row.GetString(), partial ? std::min(have, length) : have, typed, length);
}

}  // namespace

BOOL CMemberValueSelectDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    SetWindowText(m_strTitle);

    if (!m_bMultipleSelection)
        m_lstValues.ModifyStyle(0, LVS_SINGLESEL);
    m_lstValues.DeleteAllItems();
    CString header;
    header.LoadString(IDS_VALUE);
    m_lstValues.InsertColumn(0, header, LVCFMT_LEFT);

    // The values move into one array, sorted as the platform's sorted list
    // keeps its rows: ascending by text without regard to case, and of two
    // texts that differ in case only the one in lower case first, whichever
    // arrived first. The list itself holds no rows, only their number: it
    // asks for the text of the rows it shows, so a million values cost no
    // more to show than ten.
    m_rows.clear();
    m_rows.reserve(static_cast<size_t>(m_Values.GetCount()));
    for (POSITION pos = m_Values.GetHeadPosition(); pos;) m_rows.push_back(std::move(m_Values.GetNext(pos)));
    m_Values.RemoveAll();
    // Texts that order alike are the same bytes: no order among them to keep.
    std::sort(m_rows.begin(), m_rows.end(),
              [](const CString& a, const CString& b) { return CompareRows(a, b) < 0; });
    m_lstValues.SetItemCount(static_cast<int>(m_rows.size()));
    // The only column fills the list; measured once the rows are counted,
    // so that a vertical scroll bar is already there.
    m_lstValues.SetColumnWidth(0, LVSCW_AUTOSIZE_USEHEADER);

    if (CWnd* ok = GetDlgItem(IDOK))
        ok->EnableWindow(m_lstValues.GetSelectedCount() > 0);
    return TRUE;
}

// Also for a range of rows changed at once (Shift with a click or a key).
void CMemberValueSelectDlg::OnItemchangedList(NMHDR*, LRESULT* result) {
    if (result)
        *result = 0;
    if (CWnd* ok = GetDlgItem(IDOK))
        ok->EnableWindow(m_lstValues.GetSelectedCount() > 0);
}

void CMemberValueSelectDlg::OnGetdispinfoList(NMHDR* nm, LRESULT* result) {
    if (result)
        *result = 0;
    LVITEMA& item = reinterpret_cast<NMLVDISPINFOA*>(nm)->item;
    if (!(item.mask & LVIF_TEXT) || !item.pszText || item.cchTextMax <= 0)
        return;
    const bool known =
        item.iItem >= 0 && static_cast<size_t>(item.iItem) < m_rows.size() && item.iSubItem == 0;
    fw::BoundedCopy(item.pszText, static_cast<size_t>(item.cchTextMax - 1),
                    known ? m_rows[static_cast<size_t>(item.iItem)].GetString() : "", fw::Padding::None);
}

// Typing the start of a value moves to it. The rows that start with the
// typed text stand together in the sorted array: the first of them at or
// below the start row, else (coming round from the top) the first of all.
void CMemberValueSelectDlg::OnOdfinditemList(NMHDR* nm, LRESULT* result) {
    const NMLVFINDITEMA* find = reinterpret_cast<const NMLVFINDITEMA*>(nm);
    LRESULT found = -1;
    if ((find->lvfi.flags & (LVFI_STRING | LVFI_PARTIAL)) && find->lvfi.psz) {
        const char* typed = find->lvfi.psz;
        const size_t length = std::strlen(typed);
        const bool partial = (find->lvfi.flags & LVFI_PARTIAL) != 0;
        auto first = std::lower_bound(m_rows.begin(), m_rows.end(), 0, [&](const CString& row, int) {
            return CompareTyped(row, typed, length, partial) < 0;
        });
        auto last = std::upper_bound(first, m_rows.end(), 0, [&](int, const CString& row) {
            return CompareTyped(row, typed, length, partial) > 0;
        });
        if (first != last) {
            const ptrdiff_t lo = first - m_rows.begin(), hi = last - m_rows.begin();
            const ptrdiff_t start = std::max(find->iStart, 0);
            if (start <= lo)
                found = lo;
            else if (start < hi)
                found = start;
            else if (find->lvfi.flags & LVFI_WRAP)
                found = lo;
        }
    }
    if (result)
        *result = found;
}

void CMemberValueSelectDlg::OnOK() {
    // Enter reaches OK even while the button is disabled; an empty choice is no
    // answer, and the caller relies on at least one value after IDOK.
    if (m_lstValues.GetSelectedCount() == 0)
        return;
    m_Values.RemoveAll();
    for (int row = m_lstValues.GetNextItem(-1, LVNI_SELECTED); row >= 0;
         row = m_lstValues.GetNextItem(row, LVNI_SELECTED))
        if (static_cast<size_t>(row) < m_rows.size())
            m_Values.AddTail(m_rows[static_cast<size_t>(row)]);
    CDialog::OnOK();
}

void CMemberValueSelectDlg::OnHelp() {
    OpenHelpFile(m_strHelpPath);
}

BOOL CMemberValueSelectDlg::OnHelpInfo(HELPINFO*) {
    OnHelp();
    return TRUE;
}
