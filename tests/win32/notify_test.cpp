// Which changes made by code notify the parent, as the real controls do it
// (here under Wine). The headless backend follows this table:
//
//   LVM_SETITEMSTATE   -> LVN_ITEMCHANGING, LVN_ITEMCHANGED (only LVN_ITEMCHANGING
//                         when the item already has that state)
//   TVM_SELECTITEM     -> TVN_SELCHANGING, TVN_SELCHANGED
//   WM_SETTEXT (edit)  -> EN_CHANGE (and EN_UPDATE before it)
//   CB_SETCURSEL       -> nothing
//   LB_SETSEL/SETCURSEL-> nothing
//   BM_CLICK (a user's click) -> BN_CLICKED
#include <gtest/gtest.h>

#include "probe_ids.h"
#include "probe_support.h"

using namespace probe;

namespace {

class ProbeDialog : public ::testing::Test {
  protected:
    void SetUp() override {
        dialog = B().CreateModelessDialog(IDD_PROBE, nullptr, &sink);
        ASSERT_NE(dialog, nullptr);
    }
    void TearDown() override {
        if (B().IsWindow(dialog))
            B().DestroyWindow(dialog);
    }
    HWND Item(int id) { return ::GetDlgItem(W(dialog), id); }
    // The codes that arrived since the last call, WM_COMMAND and WM_NOTIFY alike.
    std::vector<UINT> Take(UINT msg) {
        std::vector<UINT> codes;
        for (const Seen& s : sink.Of(msg)) codes.push_back(s.code);
        sink.seen.clear();
        return codes;
    }

    RecordingSink sink;
    fw::Hwnd dialog = nullptr;
};

TEST_F(ProbeDialog, ListViewAndTreeSelectionsByCodeNotify) {
    HWND list = Item(IDC_PROBE_LISTVIEW);
    LVCOLUMNA column{};
    column.mask = LVCF_TEXT | LVCF_WIDTH;
    column.cx = 80;
    column.pszText = const_cast<char*>("Name");
    ::SendMessageA(list, LVM_INSERTCOLUMNA, 0, reinterpret_cast<LPARAM>(&column));
    for (int i = 0; i < 3; ++i) {
        LVITEMA item{};
        item.mask = LVIF_TEXT;
        item.iItem = i;
        item.pszText = const_cast<char*>("row");
        ::SendMessageA(list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
    }
    sink.seen.clear();
    LVITEMA state{};
    state.state = LVIS_SELECTED;
    state.stateMask = LVIS_SELECTED;
    ::SendMessageA(list, LVM_SETITEMSTATE, 1, reinterpret_cast<LPARAM>(&state));
    EXPECT_EQ(Take(WM_NOTIFY), (std::vector<UINT>{LVN_ITEMCHANGING, LVN_ITEMCHANGED}));
    // Setting the state it already has asks (LVN_ITEMCHANGING) but reports no change.
    ::SendMessageA(list, LVM_SETITEMSTATE, 1, reinterpret_cast<LPARAM>(&state));
    EXPECT_EQ(Take(WM_NOTIFY), std::vector<UINT>{LVN_ITEMCHANGING});

    HWND tree = Item(IDC_PROBE_TREE);
    TVINSERTSTRUCTA insert{};
    insert.hParent = TVI_ROOT;
    insert.hInsertAfter = TVI_LAST;
    insert.item.mask = TVIF_TEXT;
    insert.item.pszText = const_cast<char*>("Region");
    ::SendMessageA(tree, TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&insert));
    insert.item.pszText = const_cast<char*>("Product");
    HTREEITEM second = reinterpret_cast<HTREEITEM>(
        ::SendMessageA(tree, TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&insert)));
    sink.seen.clear();
    ::SendMessageA(tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(second));
    EXPECT_EQ(Take(WM_NOTIFY), (std::vector<UINT>{TVN_SELCHANGINGA, TVN_SELCHANGEDA}));
}

TEST_F(ProbeDialog, EditTextByCodeNotifiesButComboAndListBoxSelectionsDoNot) {
    B().SetWindowText(H(Item(IDC_PROBE_EDIT)), "typed by code");
    EXPECT_EQ(Take(WM_COMMAND), (std::vector<UINT>{EN_UPDATE, EN_CHANGE}));

    HWND combo = Item(IDC_PROBE_COMBO);
    ::SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>("East"));
    ::SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>("West"));
    sink.seen.clear();
    ::SendMessageA(combo, CB_SETCURSEL, 1, 0);
    EXPECT_EQ(Take(WM_COMMAND), std::vector<UINT>{});
    EXPECT_EQ(::SendMessageA(combo, CB_GETCURSEL, 0, 0), 1);

    HWND list = Item(IDC_PROBE_LIST);
    ::SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>("one"));
    ::SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>("two"));
    sink.seen.clear();
    ::SendMessageA(list, LB_SETSEL, TRUE, 1);
    ::SendMessageA(list, LB_SETCURSEL, 0, 0);
    EXPECT_EQ(Take(WM_COMMAND), std::vector<UINT>{});
    EXPECT_GT(::SendMessageA(list, LB_GETSEL, 1, 0), 0);

    Click(dialog, IDC_PROBE_PRESS);
    EXPECT_EQ(sink.Of(WM_COMMAND), (std::vector<Seen>{{WM_COMMAND, BN_CLICKED, IDC_PROBE_PRESS}}));
}

TEST_F(ProbeDialog, StyleChangesAndTextWidthReachTheRealControls) {
    fw::Hwnd edit = H(Item(IDC_PROBE_EDIT));
    intptr_t style = B().GetWindowLong(edit, GWL_STYLE);
    B().SetWindowLong(edit, GWL_STYLE, style | ES_READONLY);
    EXPECT_TRUE(B().GetWindowLong(edit, GWL_STYLE) & ES_READONLY);
    EXPECT_TRUE(B().EnableWindow(edit, false) == false);  // it was enabled
    EXPECT_FALSE(B().IsWindowEnabled(edit));
    int narrow = B().TextWidth(edit, "ii");
    int wide = B().TextWidth(edit, "WWWWWWWWWW");
    EXPECT_GT(narrow, 0);
    EXPECT_GT(wide, narrow);
}

}  // namespace
