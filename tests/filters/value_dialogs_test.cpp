// The two value pick dialogs as the sort page and the column-filter builder
// use them: what they show, what the user can choose and what comes back.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "filters/member_value_select_dlg.h"
#include "filters/pick_string_item_dlg.h"
#include "framework/script/test_driver.h"
#include "resources/resource.h"
#include "support/run_dialog.h"
#include "support/string_list.h"
#include "support/test_env.h"
#include "support/ui_steps.h"

using fw::Ui;
using testsupport::FakeShell;
using testsupport::FocusOn;
using testsupport::Rows;
using testsupport::RunCleanly;
using testsupport::ScopedEnv;
using testsupport::Texts;

namespace {

CString Str(UINT id) {
    CString s;
    s.LoadString(id);
    return s;
}

// Enter in a dialog: the dialog hears IDOK whether or not its OK button is enabled.
void PressEnter(Ui& ui) {
    fw::CurrentBackend().SendMessage(ui.Window(), WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
}

// The sort page's use: Order By with Ascending and Descending.
void FillOrderBy(CPickStringItemDlg& dlg, int preselect) {
    dlg.m_strTitle = Str(IDS_ORDER_BY);
    dlg.m_Items.AddTail(Str(IDS_ASCENDING));
    dlg.m_Items.AddTail(Str(IDS_DESCENDING));
    dlg.m_nSelectedIndex = preselect;
}

void Fill(CMemberValueSelectDlg& dlg, const std::vector<const char*>& values, int multiple = 1) {
    for (const char* v : values) dlg.m_Values.AddTail(CString(v));
    dlg.m_strTitle = Str(IDS_SELECT_FILTER_VALUES);
    dlg.m_bMultipleSelection = multiple;
}

TEST(PickStringItem, ShowsTheEntriesWithThePreselectedRowAndReturnsTheChosenOne) {
    CPickStringItemDlg dlg;
    FillOrderBy(dlg, 1);
    fw::TestDriver driver;
    driver
        .Then([](Ui& ui) {
            EXPECT_EQ(ui.TemplateId(), unsigned(IDD_PICK_STRING_ITEM));
            EXPECT_EQ(ui.Caption(), "Order By");
            EXPECT_EQ(Rows(ui, IDC_PICK_LIST), (std::vector<std::string>{"Ascending", "Descending"}));
            EXPECT_EQ(ui.SelectedRows(IDC_PICK_LIST), std::vector<int>{1});
            EXPECT_TRUE(ui.Style(IDC_PICK_LIST) & LVS_SHOWSELALWAYS);
            EXPECT_TRUE(ui.Enabled(IDOK));
            ui.SelectRow(IDC_PICK_LIST, 0);
        })
        .Then([](Ui& ui) {
            EXPECT_EQ(ui.SelectedRows(IDC_PICK_LIST), std::vector<int>{0});
            ui.Click(IDOK);
        });
    EXPECT_EQ(RunCleanly(dlg, driver), IDOK);
    EXPECT_EQ(dlg.m_nSelectedIndex, 0);
}

TEST(PickStringItem, TheArrowKeysMoveOnFromThePreselectedRow) {
    // Descending is chosen as the dialog opens: Up is Ascending, as a keyboard user expects.
    CPickStringItemDlg dlg;
    FillOrderBy(dlg, 1);
    fw::TestDriver driver;
    driver.Then([](Ui& ui) { FocusOn(ui, IDC_PICK_LIST); })
        .Then([](Ui& ui) {
            EXPECT_EQ(ui.FocusId(), IDC_PICK_LIST);
            ui.PressKey(fw::Key::Up);
        })
        .Then([](Ui& ui) {
            EXPECT_EQ(ui.SelectedRows(IDC_PICK_LIST), std::vector<int>{0});
            ui.PressKey(fw::Key::Enter);
        });
    EXPECT_EQ(RunCleanly(dlg, driver), IDOK);
    EXPECT_EQ(dlg.m_nSelectedIndex, 0);
}

TEST(PickStringItem, APreselectionOutsideTheEntriesSelectsNothingAndOkWaitsForARow) {
    for (int preselect : {-1, 2, 7}) {
        SCOPED_TRACE(preselect);
        CPickStringItemDlg dlg;
        FillOrderBy(dlg, preselect);
        dlg.m_strTitle.Empty();
        fw::TestDriver driver;
        driver
            .Then([](Ui& ui) {
                EXPECT_EQ(ui.Caption(), "Dialog");
                EXPECT_TRUE(ui.SelectedRows(IDC_PICK_LIST).empty());
                // The template's enabled OK stays until the first selection change.
                EXPECT_TRUE(ui.Enabled(IDOK));
                ui.Click(IDOK);
            })
            .Then([](Ui& ui) {
                EXPECT_EQ(ui.TemplateId(),
                          unsigned(IDD_PICK_STRING_ITEM));  // still open: OK without a row is no answer
                ui.Click(IDCANCEL);
            });
        EXPECT_EQ(RunCleanly(dlg, driver), IDCANCEL);
        EXPECT_EQ(dlg.m_nSelectedIndex, preselect);
    }
}

TEST(PickStringItem, OkFollowsTheSelectionOnceItChanges) {
    CPickStringItemDlg dlg;
    FillOrderBy(dlg, -1);
    fw::TestDriver driver;
    driver.Then([](Ui& ui) { ui.SelectRow(IDC_PICK_LIST, 1); })
        .Then([](Ui& ui) {
            EXPECT_TRUE(ui.Enabled(IDOK));
            ui.ClickEmpty(IDC_PICK_LIST);
        })
        .Then([](Ui& ui) {
            EXPECT_FALSE(ui.Enabled(IDOK));
            EXPECT_THROW(ui.Click(IDOK), fw::UiError);
        })
        .Then([](Ui& ui) { PressEnter(ui); })
        .Then([](Ui& ui) { ui.SelectRow(IDC_PICK_LIST, 1); })
        .Then([](Ui& ui) {
            EXPECT_TRUE(ui.Enabled(IDOK));
            ui.Click(IDOK);
        });
    EXPECT_EQ(RunCleanly(dlg, driver), IDOK);
    EXPECT_EQ(dlg.m_nSelectedIndex, 1);
}

TEST(PickStringItem, ADoubleClickedRowIsTheAnswerAtOnce) {
    CPickStringItemDlg dlg;
    FillOrderBy(dlg, 1);
    fw::TestDriver driver;
    driver.Then([](Ui& ui) { ui.DoubleClickRow(IDC_PICK_LIST, 0); });
    EXPECT_EQ(RunCleanly(dlg, driver), IDOK);
    EXPECT_EQ(dlg.m_nSelectedIndex, 0);
}

TEST(PickStringItem, HelpOpensTheOrderByPageBelowTheRootReadAtConstruction) {
    FakeShell shell;
    ScopedEnv home("TALVENOR_HOME", std::string("C:\\Talvenor\\"));
    CPickStringItemDlg dlg;
    ScopedEnv later("TALVENOR_HOME", std::string("D:\\Elsewhere"));
    FillOrderBy(dlg, 0);
    fw::TestDriver driver;
    driver.Then([](Ui& ui) { ui.Click(IDHELP); }).Then([](Ui& ui) { ui.Click(IDCANCEL); });
    EXPECT_EQ(RunCleanly(dlg, driver), IDCANCEL);
    // The trailing backslash of the root is kept: the help string brings its own.
    EXPECT_EQ(shell.paths(), std::vector<std::string>{"C:\\Talvenor\\" + testsupport::kHelpFolder +
                                                      "idh_order_by_dialog_box.html"});
}

TEST(MemberValueSelect, OffersTheValuesSortedAndReturnsTheChosenInDisplayOrder) {
    CMemberValueSelectDlg dlg;
    Fill(dlg, {"Cherry", "apple", "Date", "banana"});
    fw::TestDriver driver;
    driver
        .Then([](Ui& ui) {
            EXPECT_EQ(ui.TemplateId(), unsigned(IDD_MEMBER_VALUE_SELECT));
            EXPECT_EQ(ui.Caption(), "Select Filter Values from the List");
            EXPECT_EQ(Rows(ui, IDC_VALUES_LIST),
                      (std::vector<std::string>{"apple", "banana", "Cherry", "Date"}));
            EXPECT_FALSE(ui.Style(IDC_VALUES_LIST) & LVS_SINGLESEL);
            // The list holds no rows of its own: the dialog hands out the texts.
            EXPECT_TRUE(ui.Style(IDC_VALUES_LIST) & LVS_OWNERDATA);
            EXPECT_FALSE(ui.Enabled(IDOK));
            ui.SelectRows(IDC_VALUES_LIST, {3, 0, 2});
        })
        .Then([](Ui& ui) {
            EXPECT_TRUE(ui.Enabled(IDOK));
            ui.Click(IDOK);
        });
    EXPECT_EQ(RunCleanly(dlg, driver), IDOK);
    EXPECT_EQ(Texts(dlg.m_Values), (std::vector<std::string>{"apple", "Cherry", "Date"}));
}

// A long list arriving in no order comes out sorted; of two values equal but
// for case, the lower-case one comes first, as the sorted list itself keeps
// them, whichever arrived first.
TEST(MemberValueSelect, ManyValuesInAnyOrderAreShownSortedLowerCaseFirst) {
    CMemberValueSelectDlg dlg;
    std::vector<std::string> values;
    for (int i = 0; i < 3000; ++i) values.push_back("v" + std::to_string((i * 7919) % 3000 + 10000));
    values.insert(values.begin() + 1000, "X");
    values.push_back("x");
    for (const std::string& v : values) dlg.m_Values.AddTail(CString(v.c_str()));
    dlg.m_strTitle = Str(IDS_SELECT_FILTER_VALUES);
    fw::TestDriver driver;
    driver.Then([](Ui& ui) {
        ASSERT_EQ(ui.RowCount(IDC_VALUES_LIST), 3002);
        for (int i = 0; i < 3000; ++i)
            ASSERT_EQ(ui.RowText(IDC_VALUES_LIST, i), "v" + std::to_string(10000 + i));
        EXPECT_EQ(ui.RowText(IDC_VALUES_LIST, 3000), "x");
        EXPECT_EQ(ui.RowText(IDC_VALUES_LIST, 3001), "X");
        ui.Click(IDCANCEL);
    });
    EXPECT_EQ(RunCleanly(dlg, driver), IDCANCEL);
}

// Typing the start of a value in the list moves to the first value that starts
// so, without regard to case, beyond ASCII too (code page 1252's "ó"); typing
// what no value starts leaves the selection alone. One search per dialog: the
// list joins whatever is typed in quick succession into one text.
TEST(MemberValueSelect, TypingTheStartOfAValueMovesToIt) {
    const std::vector<const char*> values = {"Plze\xf2", "brno",       "Krak\xf3w",
                                             "Krakow",   "Bratislava", "Brno-venkov"};
    // Shown as: Bratislava, brno, Brno-venkov, Krakow, Krak\xf3w, Plze\xf2.
    const struct {
        const char* typed;
        int row;
    } cases[] = {{"br", 0}, {"BRN", 1}, {"brno-", 2}, {"kRAK\xf3", 4}, {"p", 5}, {"zagreb", -1}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed);
        CMemberValueSelectDlg dlg;
        Fill(dlg, values);
        fw::TestDriver driver;
        driver.Then([](Ui& ui) { FocusOn(ui, IDC_VALUES_LIST); })
            .Then([&](Ui& ui) { ui.Type(c.typed); })
            .Then([&](Ui& ui) {
                EXPECT_EQ(ui.SelectedRows(IDC_VALUES_LIST),
                          c.row < 0 ? std::vector<int>{} : std::vector<int>{c.row});
                EXPECT_EQ(ui.Enabled(IDOK), c.row >= 0);
                ui.Click(IDCANCEL);
            });
        EXPECT_EQ(RunCleanly(dlg, driver), IDCANCEL);
    }
}

TEST(MemberValueSelect, OneValueOnlyKeepsASingleSelectedRow) {
    CMemberValueSelectDlg dlg;
    Fill(dlg, {"EAST", "WEST", "NORTH"}, 0);
    fw::TestDriver driver;
    driver
        .Then([](Ui& ui) {
            EXPECT_TRUE(ui.Style(IDC_VALUES_LIST) & LVS_SINGLESEL);
            ui.SelectRow(IDC_VALUES_LIST, 0);
        })
        .Then([](Ui& ui) {
            // A Ctrl-click on a second row moves the selection instead of adding to it.
            LVITEMA item{};
            item.state = LVIS_SELECTED;
            item.stateMask = LVIS_SELECTED;
            fw::CurrentBackend().SendMessage(ui.Control(IDC_VALUES_LIST), LVM_SETITEMSTATE, 2,
                                             reinterpret_cast<LPARAM>(&item));
            EXPECT_EQ(ui.SelectedRows(IDC_VALUES_LIST), std::vector<int>{2});
            EXPECT_THROW(ui.SelectRows(IDC_VALUES_LIST, {0, 1}), fw::UiError);
            ui.Click(IDOK);
        });
    EXPECT_EQ(RunCleanly(dlg, driver), IDOK);
    EXPECT_EQ(Texts(dlg.m_Values), std::vector<std::string>{"WEST"});
}

TEST(MemberValueSelect, CancelAndAnEmptyChoiceBringNoValuesBack) {
    CMemberValueSelectDlg dlg;
    Fill(dlg, {"1999", "2000"});
    dlg.m_strTitle.Empty();
    fw::TestDriver driver;
    driver
        .Then([](Ui& ui) {
            EXPECT_EQ(ui.Caption(), "");  // the title is applied even when empty
            ui.SelectRow(IDC_VALUES_LIST, 1);
        })
        .Then([](Ui& ui) { ui.ClickEmpty(IDC_VALUES_LIST); })
        .Then([](Ui& ui) {
            EXPECT_FALSE(ui.Enabled(IDOK));
            PressEnter(ui);
        })
        .Then([](Ui& ui) {
            EXPECT_EQ(ui.TemplateId(),
                      unsigned(IDD_MEMBER_VALUE_SELECT));  // an empty choice does not close the dialog
            ui.Click(IDCANCEL);
        });
    EXPECT_EQ(RunCleanly(dlg, driver), IDCANCEL);
    EXPECT_TRUE(dlg.m_Values.IsEmpty());
}

TEST(MemberValueSelect, HelpButtonAndF1OpenTheSameValuesPage) {
    FakeShell shell;
    ScopedEnv home("TALVENOR_HOME", std::string("C:\\Talvenor"));
    CMemberValueSelectDlg dlg;
    Fill(dlg, {"A"});
    fw::TestDriver driver;
    driver.Then([](Ui& ui) { ui.Click(IDC_VALUES_HELP); })
        .Then([](Ui& ui) { ui.PressF1(); })
        .Then([](Ui& ui) {
            EXPECT_EQ(ui.TemplateId(), unsigned(IDD_MEMBER_VALUE_SELECT));
            ui.Click(IDCANCEL);
        });
    EXPECT_EQ(RunCleanly(dlg, driver), IDCANCEL);
    const std::string page = testsupport::kHelpDocs + "idh_select_filter_values_from_list_dialog_box.html";
    EXPECT_EQ(shell.paths(), (std::vector<std::string>{page, page}));
}

}  // namespace
