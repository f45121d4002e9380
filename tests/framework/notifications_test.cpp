// Which changes made by code notify the parent, on the real controls of the
// library's templates: the headless backend must answer exactly as Win32 does.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "framework/afxwin.h"
#include "framework/script/test_driver.h"
#include "resources/resource.h"
#include "support/probe_page.h"
#include "support/run_dialog.h"
#include "support/ui_steps.h"

namespace {

using testsupport::Attached;
using testsupport::ProbeEvents;
using testsupport::ProbePage;

const std::string kItemChanging = std::to_string(static_cast<int>(LVN_ITEMCHANGING));
const std::string kItemChanged = std::to_string(static_cast<int>(LVN_ITEMCHANGED));
const std::string kTreeSelChanging = std::to_string(static_cast<int>(TVN_SELCHANGINGA));
const std::string kTreeSelChanged = std::to_string(static_cast<int>(TVN_SELCHANGEDA));

// Position of an event, or -1.
int At(const std::vector<std::string>& events, const std::string& e) {
    auto it = std::find(events.begin(), events.end(), e);
    return it == events.end() ? -1 : static_cast<int>(it - events.begin());
}

// The parent hears of a change before it is made; how often it heard of the change.
int AskedThenChanged(const std::vector<std::string>& events, const std::string& changing,
                     const std::string& changed) {
    EXPECT_GE(At(events, changing), 0) << changing;
    EXPECT_LT(At(events, changing), At(events, changed)) << changed;
    return static_cast<int>(std::count(events.begin(), events.end(), changed));
}

TEST(Notifications, ListViewStateChangesNotify) {
    // Template 132: the sort page's two report-view list views.
    auto events = ProbeEvents(IDD_ORDER_LIST, [](ProbePage& r) {
        Attached<CListCtrl> list(r, IDC_ORDER_AVAILABLE);
        list.InsertColumn(0, "Column");
        list.InsertItem(0, "A");
        list.InsertItem(1, "B");
        list.SetItemState(1, LVIS_SELECTED, LVIS_SELECTED);
        EXPECT_EQ(list.GetNextItem(-1, LVNI_SELECTED), 1);
    });
    EXPECT_GE(AskedThenChanged(events, "notify 1050 " + kItemChanging, "notify 1050 " + kItemChanged), 1);
}

TEST(Notifications, TreeSelectionNotifies) {
    auto events = ProbeEvents(IDD_SELECT_ATTR, [](ProbePage& r) {
        Attached<CTreeCtrl> tree(r, IDC_SELECT_TREE);
        HTREEITEM root = tree.InsertItem("SALES");
        HTREEITEM child = tree.InsertItem("REGION", root);
        tree.SendMessage(TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(child));
        EXPECT_EQ(tree.GetSelectedItem(), child);
        EXPECT_EQ(tree.GetParentItem(child), root);
        EXPECT_EQ(tree.GetItemText(child), "REGION");
    });
    EXPECT_EQ(AskedThenChanged(events, "notify 1007 " + kTreeSelChanging, "notify 1007 " + kTreeSelChanged),
              1);
}

TEST(Notifications, EditTextSetByCodeNotifiesChange) {
    auto events =
        ProbeEvents(IDD_SELECT_ATTR, [](ProbePage& r) { r.SetDlgItemText(IDC_SELECT_REPORT_NAME, "Sales"); });
    int update = At(events, "command 1047 " + std::to_string(EN_UPDATE));
    int change = At(events, "command 1047 " + std::to_string(EN_CHANGE));
    EXPECT_GE(update, 0);
    EXPECT_GT(change, update);
}

// The column-filter page (134) has a multi-line edit: unlike a single-line
// one it does not report text set by code.
TEST(Notifications, MultiLineEditTextSetByCodeIsSilent) {
    auto events = ProbeEvents(
        IDD_FILTERS_PAGE, [](ProbePage& r) { r.SetDlgItemText(IDC_BUILDER_FILTERS, "SALES.REGION = East"); });
    for (const auto& e : events) EXPECT_NE(e.rfind("command 1022 ", 0), 0u) << e;
}

TEST(Notifications, ListBoxAndComboSelectionsByCodeAreSilent) {
    auto listEvents = ProbeEvents(IDD_SELECT_ATTR, [](ProbePage& r) {
        Attached<CListBox> list(r, IDC_SELECT_LIST);
        list.AddString("SALES.REGION");
        list.AddString("SALES.AMOUNT");
        list.SetSel(1, TRUE);
        EXPECT_EQ(list.GetSelCount(), 1);
        int selected[2] = {-1, -1};
        EXPECT_EQ(list.GetSelItems(2, selected), 1);
        EXPECT_EQ(selected[0], 1);
        EXPECT_EQ(list.FindStringExact(-1, "sales.amount"), 1);
    });
    EXPECT_TRUE(listEvents.empty()) << listEvents.front();
    auto comboEvents = ProbeEvents(IDD_FILTER, [](ProbePage& r) {
        Attached<CComboBox> combo(r, IDC_FILTER_COMBO);
        combo.AddString("Q1");
        combo.AddString("Q2");
        combo.SetCurSel(1);
        EXPECT_EQ(combo.GetCurSel(), 1);
        CString text;
        combo.GetLBText(1, text);
        EXPECT_EQ(text, "Q2");
    });
    EXPECT_TRUE(comboEvents.empty()) << comboEvents.front();
}

TEST(Notifications, AUserChoiceInAComboIsReported) {
    std::vector<std::string> events;
    class Chooser : public CPropertyPage {
      public:
        Chooser() : CPropertyPage(IDD_FILTER) {}
        std::vector<std::string>* log = nullptr;

      protected:
        BOOL OnInitDialog() override {
            CPropertyPage::OnInitDialog();
            GetDlgItem(IDC_FILTER_COMBO)->SendMessage(CB_ADDSTRING, 0, reinterpret_cast<LPARAM>("Q1"));
            return TRUE;
        }
        bool OnWndMsg(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* result) override {
            if (msg == WM_COMMAND && LOWORD(wParam) == IDC_FILTER_COMBO)
                log->push_back("command IDC_FILTER_COMBO " + std::to_string(HIWORD(wParam)));
            return CPropertyPage::OnWndMsg(msg, wParam, lParam, result);
        }
    } page;
    page.log = &events;
    testsupport::PageWizard wizard({&page});
    EXPECT_EQ(testsupport::RunSteps(wizard.sheet, {[](fw::Ui& ui) { ui.SelectRow(IDC_FILTER_COMBO, 0); },
                                                   [](fw::Ui& ui) { ui.Press(fw::SheetButton::Cancel); }}),
              IDCANCEL);
    EXPECT_EQ(events, std::vector<std::string>{"command IDC_FILTER_COMBO " + std::to_string(CBN_SELCHANGE)});
}

}  // namespace
