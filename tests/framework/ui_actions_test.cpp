// The user actions of scripts and tests on trees and multi-selection lists,
// on the real templates of the column page.
#include <gtest/gtest.h>

#include "framework/afxwin.h"
#include "framework/script/script_driver.h"
#include "framework/script/test_driver.h"
#include "resources/resource.h"
#include "support/ui_steps.h"

namespace {

class ColumnsPage : public CPropertyPage {
  public:
    ColumnsPage() : CPropertyPage(IDD_SELECT_ATTR) {}
    CTreeCtrl tree;
    CListBox list;
    std::vector<std::string> events;

  protected:
    void DoDataExchange(CDataExchange* pDX) override {
        DDX_Control(pDX, IDC_SELECT_TREE, tree);
        DDX_Control(pDX, IDC_SELECT_LIST, list);
    }
    BOOL OnInitDialog() override {
        CPropertyPage::OnInitDialog();
        HTREEITEM sales = tree.InsertItem("SALES");
        tree.InsertItem("REGION", sales);
        tree.InsertItem("AMOUNT", sales);
        HTREEITEM product = tree.InsertItem("PRODUCT");
        tree.InsertItem("NAME", product);
        for (const char* s : {"SALES.REGION", "SALES.AMOUNT", "PRODUCT.NAME"}) list.AddString(s);
        return TRUE;
    }
    bool OnWndMsg(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* result) override {
        if (msg == WM_NOTIFY && reinterpret_cast<NMHDR*>(lParam)->code == TVN_SELCHANGEDA)
            events.push_back("tree " +
                             tree.GetItemText(reinterpret_cast<NMTREEVIEWA*>(lParam)->itemNew.hItem).str());
        if (msg == WM_COMMAND && LOWORD(wParam) == IDC_SELECT_LIST && HIWORD(wParam) == LBN_SELCHANGE)
            events.push_back("list " + std::to_string(list.GetSelCount()));
        return CPropertyPage::OnWndMsg(msg, wParam, lParam, result);
    }
};

TEST(UiActions, TreeNodesByPathAndSeveralListRows) {
    ColumnsPage page;
    testsupport::PageWizard wizard({&page});
    std::vector<int> selected;
    fw::TestDriver driver;
    driver.Then([](fw::Ui& ui) { ui.SelectTreeItem(IDC_SELECT_TREE, "SALES/AMOUNT"); })
        .Then([](fw::Ui& ui) { ui.SelectTreeItem(IDC_SELECT_TREE, "PRODUCT"); })
        .Then([](fw::Ui& ui) {
            ui.SelectRows(IDC_SELECT_LIST, {0, 2});
        })
        .Then([&](fw::Ui& ui) {
            selected = ui.SelectedRows(IDC_SELECT_LIST);
            EXPECT_THROW(ui.SelectTreeItem(IDC_SELECT_TREE, "SALES/QUANTITY"), fw::UiError);
            EXPECT_THROW(ui.SelectRows(IDC_SELECT_LIST, {7}), fw::UiError);
            ui.Press(fw::SheetButton::Cancel);
        });
    EXPECT_EQ(testsupport::RunCleanly(wizard.sheet, driver), IDCANCEL);
    EXPECT_EQ(selected, (std::vector<int>{0, 2}));
    EXPECT_EQ(page.events, (std::vector<std::string>{"tree AMOUNT", "tree PRODUCT", "list 2"}));
}

TEST(UiActions, ScriptCommandsForTreesAndSeveralRows) {
    ColumnsPage page;
    testsupport::PageWizard wizard({&page});
    std::vector<fw::ScriptLine> lines;
    std::string error;
    ASSERT_TRUE(fw::ParseScript("select-tree 1007 SALES/REGION\nselect-rows 1008 1 2\nexpect-rows 1008 3\n",
                                &lines, &error));
    fw::ScriptDriver driver(lines, "rows.ui");
    driver.SetErrorSink([](const std::string&) {});
    fw::ScopedDriver scope(&driver);
    wizard.sheet.DoModal();
    EXPECT_FALSE(driver.Failed()) << driver.Error();
    EXPECT_EQ(page.events, (std::vector<std::string>{"tree REGION", "list 2"}));
}

}  // namespace
