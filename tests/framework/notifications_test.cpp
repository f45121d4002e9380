// Which changes made by code notify the parent, on the real controls of the
// library's templates: the headless backend must answer exactly as Win32 does.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/afxwin.h"
#include "framework/script/test_driver.h"
#include "resources/resource.h"
#include "support/run_dialog.h"
#include "support/probe_sheet.h"

namespace {

// A wizard page that records every command and notification it receives and
// runs a probe once it is up. The templates are pages, so they are shown as
// pages, as on the platform a child template can only be.
class Recorder : public CPropertyPage {
  public:
    Recorder(UINT id, std::function<void(Recorder&)> probe) : CPropertyPage(id), probe_(std::move(probe)) {}
    std::vector<std::string> events;

  protected:
    BOOL OnInitDialog() override {
        CPropertyPage::OnInitDialog();
        recording_ = true;
        probe_(*this);
        recording_ = false;
        return TRUE;
    }
    bool OnWndMsg(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* result) override {
        if (recording_ && msg == WM_COMMAND)
            events.push_back("command " + std::to_string(LOWORD(wParam)) + " " +
                             std::to_string(HIWORD(wParam)));
        if (recording_ && msg == WM_NOTIFY) {
            auto* nm = reinterpret_cast<NMHDR*>(lParam);
            events.push_back("notify " + std::to_string(nm->idFrom) + " " +
                             std::to_string(static_cast<int>(nm->code)));
        }
        return CPropertyPage::OnWndMsg(msg, wParam, lParam, result);
    }

  private:
    std::function<void(Recorder&)> probe_;
    bool recording_ = false;
};

std::vector<std::string> Probe(UINT templateId, std::function<void(Recorder&)> probe) {
    Recorder page(templateId, std::move(probe));
    testsupport::RunAloneInAWizard(page);
    return page.events;
}

const std::string kItemChanging = std::to_string(static_cast<int>(LVN_ITEMCHANGING));
const std::string kItemChanged = std::to_string(static_cast<int>(LVN_ITEMCHANGED));
const std::string kTreeSelChanging = std::to_string(static_cast<int>(TVN_SELCHANGINGA));
const std::string kTreeSelChanged = std::to_string(static_cast<int>(TVN_SELCHANGEDA));

// Position of an event, or -1.
int At(const std::vector<std::string>& events, const std::string& e) {
    auto it = std::find(events.begin(), events.end(), e);
    return it == events.end() ? -1 : static_cast<int>(it - events.begin());
}

TEST(Notifications, ListViewStateChangesNotify) {
    // Template 132: the sort page's two report-view list views.
    auto events = Probe(IDD_ORDER_LIST, [](Recorder& r) {
        CListCtrl list;
        list.m_hWnd = r.GetDlgItem(IDC_ORDER_AVAILABLE)->m_hWnd;
        list.InsertColumn(0, "Column");
        list.InsertItem(0, "A");
        list.InsertItem(1, "B");
        list.SetItemState(1, LVIS_SELECTED, LVIS_SELECTED);
        EXPECT_EQ(list.GetNextItem(-1, LVNI_SELECTED), 1);
        list.m_hWnd = nullptr;
    });
    int changed = 0;
    for (const auto& e : events) changed += e == "notify 1050 " + kItemChanged;
    EXPECT_GE(changed, 1);
    // The parent hears of a change before it is made.
    EXPECT_GE(At(events, "notify 1050 " + kItemChanging), 0);
    EXPECT_LT(At(events, "notify 1050 " + kItemChanging), At(events, "notify 1050 " + kItemChanged));
}

TEST(Notifications, TreeSelectionNotifies) {
    auto events = Probe(IDD_SELECT_ATTR, [](Recorder& r) {
        CTreeCtrl tree;
        tree.m_hWnd = r.GetDlgItem(IDC_SELECT_TREE)->m_hWnd;
        HTREEITEM root = tree.InsertItem("SALES");
        HTREEITEM child = tree.InsertItem("REGION", root);
        tree.SendMessage(TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(child));
        EXPECT_EQ(tree.GetSelectedItem(), child);
        EXPECT_EQ(tree.GetParentItem(child), root);
        EXPECT_EQ(tree.GetItemText(child), "REGION");
        tree.m_hWnd = nullptr;
    });
    int changed = 0;
    for (const auto& e : events) changed += e == "notify 1007 " + kTreeSelChanged;
    EXPECT_EQ(changed, 1);
    EXPECT_GE(At(events, "notify 1007 " + kTreeSelChanging), 0);
    EXPECT_LT(At(events, "notify 1007 " + kTreeSelChanging), At(events, "notify 1007 " + kTreeSelChanged));
}

TEST(Notifications, EditTextSetByCodeNotifiesChange) {
    auto events =
        Probe(IDD_SELECT_ATTR, [](Recorder& r) { r.SetDlgItemText(IDC_SELECT_REPORT_NAME, "Sales"); });
    int update = At(events, "command 1047 " + std::to_string(EN_UPDATE));
    int change = At(events, "command 1047 " + std::to_string(EN_CHANGE));
    EXPECT_GE(update, 0);
    EXPECT_GT(change, update);
}

// The column-filter page (134) has a multi-line edit: unlike a single-line
// one it does not report text set by code.
TEST(Notifications, MultiLineEditTextSetByCodeIsSilent) {
    auto events = Probe(IDD_FILTERS_PAGE,
                        [](Recorder& r) { r.SetDlgItemText(IDC_BUILDER_FILTERS, "SALES.REGION = East"); });
    for (const auto& e : events) EXPECT_NE(e.rfind("command 1022 ", 0), 0u) << e;
}

TEST(Notifications, ListBoxAndComboSelectionsByCodeAreSilent) {
    auto listEvents = Probe(IDD_SELECT_ATTR, [](Recorder& r) {
        CListBox list;
        list.m_hWnd = r.GetDlgItem(IDC_SELECT_LIST)->m_hWnd;
        list.AddString("SALES.REGION");
        list.AddString("SALES.AMOUNT");
        list.SetSel(1, TRUE);
        EXPECT_EQ(list.GetSelCount(), 1);
        int selected[2] = {-1, -1};
        EXPECT_EQ(list.GetSelItems(2, selected), 1);
        EXPECT_EQ(selected[0], 1);
        EXPECT_EQ(list.FindStringExact(-1, "sales.amount"), 1);
        list.m_hWnd = nullptr;
    });
    EXPECT_TRUE(listEvents.empty()) << listEvents.front();
    auto comboEvents = Probe(IDD_FILTER, [](Recorder& r) {
        CComboBox combo;
        combo.m_hWnd = r.GetDlgItem(IDC_FILTER_COMBO)->m_hWnd;
        combo.AddString("Q1");
        combo.AddString("Q2");
        combo.SetCurSel(1);
        EXPECT_EQ(combo.GetCurSel(), 1);
        CString text;
        combo.GetLBText(1, text);
        EXPECT_EQ(text, "Q2");
        combo.m_hWnd = nullptr;
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
    CPropertySheet sheet(IDS_DRILL_THROUGH_REPORT);
    sheet.SetWizardMode();
    sheet.AddPage(&page);
    fw::TestDriver driver;
    driver.Then([](fw::Ui& ui) { ui.SelectRow(IDC_FILTER_COMBO, 0); }).Then([](fw::Ui& ui) {
        ui.Press(fw::SheetButton::Cancel);
    });
    EXPECT_EQ(testsupport::RunCleanly(sheet, driver), IDCANCEL);
    EXPECT_EQ(events, std::vector<std::string>{"command IDC_FILTER_COMBO " + std::to_string(CBN_SELCHANGE)});
}

}  // namespace
