// The wizard's sort order step, driven through the sheet as a user would:
// what it shows from the column records and what it writes back into them.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "framework/script/test_driver.h"
#include "support/column_owner.h"
#include "support/test_env.h"
#include "support/run_dialog.h"
#include "wizard/dt_attr_sheet.h"
#include "wizard/order_list.h"

using fw::SheetButton;
using fw::Ui;

namespace {

constexpr int kAvailable = 1050;
constexpr int kSortList = 1051;
constexpr int kAdd = 1052;
constexpr int kRemove = 1053;
constexpr int kRemoveAll = 1054;
constexpr int kMoveUp = 1055;
constexpr int kMoveDown = 1056;
constexpr int kOrderBy = 1057;
constexpr int kAddAll = 1009;

struct Wizard {
    testsupport::ColumnOwner owner;
    CDTAttrSheet sheet{50511, nullptr, 0};
    Wizard() { sheet.SetOwner(&owner); }

    ZevDTAPIColumn& Add(const char* table, const char* column, int display, int sortPos, int direction) {
        ZevDTAPIColumn& c = owner.Add(table, column, display);
        c.sortPosition = sortPos;
        c.sortDirection = direction;
        return c;
    }
    ZevDTAPIColumn& At(size_t i) { return owner.At(i); }
};

// Runs the wizard up to the sort step, performs the steps there, and cancels.
void OnSortPage(Wizard& w, const std::vector<std::function<void(Ui&)>>& steps) {
    fw::TestDriver driver;
    driver.Then([](Ui& ui) { ui.Press(SheetButton::Next); }).Then([](Ui& ui) {
        ui.Press(SheetButton::Next);
    });
    for (const auto& step : steps) driver.Then(step);
    driver.Then([](Ui& ui) { ui.Press(SheetButton::Cancel); });
    EXPECT_EQ(testsupport::RunCleanly(w.sheet, driver), IDCANCEL);
}

std::vector<std::string> Rows(Ui& ui, int id, int column = 0) {
    std::vector<std::string> rows;
    for (int i = 0; i < ui.RowCount(id); ++i) rows.push_back(ui.RowText(id, i, column));
    return rows;
}

using Texts = std::vector<std::string>;

TEST(SortPage, OpensWithTheRecordsSortOrderAndStoresOddDirectionsAsAscending) {
    Wizard w;
    w.Add("SALES", "REGION", 1, 2, 2);
    w.Add("SALES", "AMOUNT", 2, 1, 7);
    w.Add("SALES", "DAY", 3, 0, 2);
    w.Add("SALES", "HIDDEN", 0, 1, 2);
    w.sheet.SetReportName("Sales by region");
    OnSortPage(w, {[](Ui& ui) {
                   EXPECT_EQ(ui.TemplateId(), 132u);
                   EXPECT_EQ(ui.Caption(), "Select Data Sort Order");
                   EXPECT_EQ(ui.Text(1058), "Sales by region");
                   EXPECT_TRUE(ui.ReadOnly(1058));
                   EXPECT_EQ(Rows(ui, kAvailable), (Texts{"SALES.DAY"}));
                   EXPECT_EQ(Rows(ui, kSortList), (Texts{"SALES.AMOUNT", "SALES.REGION"}));
                   EXPECT_EQ(Rows(ui, kSortList, 1), (Texts{"Ascending", "Descending"}));
                   EXPECT_TRUE(ui.Enabled(ID_WIZBACK));
                   EXPECT_TRUE(ui.Enabled(ID_WIZNEXT) && ui.Visible(ID_WIZNEXT));
                   // Nothing is selected yet: only the "all" buttons work.
                   EXPECT_TRUE(ui.Enabled(kAddAll));
                   EXPECT_FALSE(ui.Enabled(kAdd));
                   EXPECT_TRUE(ui.Enabled(kRemoveAll));
                   EXPECT_FALSE(ui.Enabled(kRemove));
                   EXPECT_FALSE(ui.Enabled(kMoveUp));
                   EXPECT_FALSE(ui.Enabled(kMoveDown));
                   EXPECT_FALSE(ui.Enabled(kOrderBy));
               }});
    EXPECT_EQ(w.At(0).sortPosition, 2);
    EXPECT_EQ(w.At(0).sortDirection, 2);
    EXPECT_EQ(w.At(1).sortPosition, 1);
    EXPECT_EQ(w.At(1).sortDirection, 1);
    // Columns that are not shown keep what they hold.
    EXPECT_EQ(w.At(2).sortDirection, 2);
    EXPECT_EQ(w.At(3).sortPosition, 1);
}

TEST(SortPage, EqualSortPositionsListInReverseDisplayOrderAndKeepTheirGaps) {
    Wizard w;
    w.Add("T", "A", 1, 3, 1);
    w.Add("T", "B", 2, 3, 1);
    w.Add("T", "C", 3, 5, 1);
    OnSortPage(w, {[](Ui& ui) { EXPECT_EQ(Rows(ui, kSortList), (Texts{"T.B", "T.A", "T.C"})); }});
    EXPECT_EQ(w.At(0).sortPosition, 3);
    EXPECT_EQ(w.At(1).sortPosition, 3);
    EXPECT_EQ(w.At(2).sortPosition, 5);
}

TEST(SortPage, AddingAppendsAndNumbersRemovingRenumbersAndRestoresDisplayOrder) {
    Wizard w;
    w.Add("T", "A", 1, 0, 0);
    w.Add("T", "B", 2, 0, 2);
    w.Add("T", "C", 3, 0, 0);
    w.Add("T", "D", 4, 0, 0);
    w.Add("T", "GONE", 0, 1, 2);  // a column no longer displayed that holds position 1
    OnSortPage(w, {
                      [](Ui& ui) {
                          ui.SelectRows(kAvailable, {1, 3});
                      },
                      [](Ui& ui) {
                          EXPECT_TRUE(ui.Enabled(kAdd));
                          ui.Click(kAdd);
                      },
                      [](Ui& ui) {
                          EXPECT_EQ(Rows(ui, kAvailable), (Texts{"T.A", "T.C"}));
                          EXPECT_EQ(Rows(ui, kSortList), (Texts{"T.B", "T.D"}));
                          EXPECT_EQ(Rows(ui, kSortList, 1), (Texts{"Descending", "Ascending"}));
                          EXPECT_FALSE(ui.Enabled(kAdd));
                          ui.DoubleClickRow(kAvailable, 1);
                      },
                      [](Ui& ui) {
                          EXPECT_EQ(Rows(ui, kSortList), (Texts{"T.B", "T.D", "T.C"}));
                          ui.SelectRow(kSortList, 0);
                      },
                      [](Ui& ui) {
                          EXPECT_TRUE(ui.Enabled(kRemove));
                          ui.Click(kRemove);
                      },
                      [](Ui& ui) {
                          // B returns between A and C; the rest move up.
                          EXPECT_EQ(Rows(ui, kAvailable), (Texts{"T.A", "T.B"}));
                          EXPECT_EQ(Rows(ui, kSortList), (Texts{"T.D", "T.C"}));
                          EXPECT_FALSE(ui.Enabled(kRemove));
                          EXPECT_FALSE(ui.Enabled(kOrderBy));
                      },
                  });
    EXPECT_EQ(w.At(1).sortPosition, 0);
    EXPECT_EQ(w.At(1).sortDirection, 2);
    EXPECT_EQ(w.At(3).sortPosition, 1);
    EXPECT_EQ(w.At(2).sortPosition, 2);
    EXPECT_EQ(w.At(3).sortDirection, 1);
    EXPECT_EQ(w.At(4).sortPosition, 1);
}

TEST(SortPage, AllButtonsMoveEveryListedColumnAndRemoveAllKeepsDirections) {
    Wizard w;
    w.Add("T", "A", 1, 0, 2);
    w.Add("T", "B", 2, 4, 2);
    w.Add("T", "C", 3, 0, 0);
    w.Add("T", "GONE", 0, 2, 1);
    OnSortPage(w, {
                      [](Ui& ui) { ui.Click(kAddAll); },
                      [&w](Ui& ui) {
                          EXPECT_EQ(Rows(ui, kSortList), (Texts{"T.B", "T.A", "T.C"}));
                          EXPECT_EQ(ui.RowCount(kAvailable), 0);
                          EXPECT_FALSE(ui.Enabled(kAddAll));
                          // B came with position 4 and keeps it; the added ones take their row numbers.
                          EXPECT_EQ(w.At(1).sortPosition, 4);
                          EXPECT_EQ(w.At(0).sortPosition, 2);
                          EXPECT_EQ(w.At(2).sortPosition, 3);
                          EXPECT_EQ(w.At(2).sortDirection, 1);
                          ui.Click(kRemoveAll);
                      },
                      [](Ui& ui) {
                          EXPECT_EQ(Rows(ui, kAvailable), (Texts{"T.A", "T.B", "T.C"}));
                          EXPECT_EQ(ui.RowCount(kSortList), 0);
                          EXPECT_FALSE(ui.Enabled(kRemoveAll));
                          EXPECT_TRUE(ui.Enabled(kAddAll));
                      },
                  });
    for (size_t i = 0; i < 3; ++i) EXPECT_EQ(w.At(i).sortPosition, 0) << i;
    EXPECT_EQ(w.At(0).sortDirection, 2);
    EXPECT_EQ(w.At(1).sortDirection, 2);
    EXPECT_EQ(w.At(3).sortPosition, 2);
}

TEST(SortPage, MoveButtonsFollowASingleSelectionAndSwapPositions) {
    Wizard w;
    w.Add("T", "A", 1, 1, 1);
    w.Add("T", "B", 2, 2, 2);
    w.Add("T", "C", 3, 3, 1);
    OnSortPage(w, {
                      [](Ui& ui) { ui.SelectRow(kSortList, 0); },
                      [](Ui& ui) {
                          EXPECT_FALSE(ui.Enabled(kMoveUp));
                          EXPECT_TRUE(ui.Enabled(kMoveDown));
                          ui.SelectRows(kSortList, {0, 1});
                      },
                      [](Ui& ui) {
                          EXPECT_FALSE(ui.Enabled(kMoveUp));
                          EXPECT_FALSE(ui.Enabled(kMoveDown));
                          EXPECT_TRUE(ui.Enabled(kOrderBy));
                          ui.SelectRow(kSortList, 2);
                      },
                      [](Ui& ui) {
                          EXPECT_TRUE(ui.Enabled(kMoveUp));
                          EXPECT_FALSE(ui.Enabled(kMoveDown));
                          ui.Click(kMoveUp);
                      },
                      [](Ui& ui) {
                          EXPECT_EQ(Rows(ui, kSortList), (Texts{"T.A", "T.C", "T.B"}));
                          EXPECT_EQ(Rows(ui, kSortList, 1), (Texts{"Ascending", "Ascending", "Descending"}));
                          EXPECT_EQ(ui.SelectedRows(kSortList), (std::vector<int>{1}));
                          EXPECT_TRUE(ui.Enabled(kMoveUp));
                          EXPECT_TRUE(ui.Enabled(kMoveDown));
                          ui.Click(kMoveUp);
                      },
                      [](Ui& ui) {
                          EXPECT_EQ(Rows(ui, kSortList), (Texts{"T.C", "T.A", "T.B"}));
                          EXPECT_EQ(ui.SelectedRows(kSortList), (std::vector<int>{0}));
                          EXPECT_FALSE(ui.Enabled(kMoveUp));
                          ui.Click(kMoveDown);
                      },
                      [](Ui& ui) {
                          EXPECT_EQ(Rows(ui, kSortList), (Texts{"T.A", "T.C", "T.B"}));
                          EXPECT_EQ(ui.SelectedRows(kSortList), (std::vector<int>{1}));
                      },
                  });
    EXPECT_EQ(w.At(0).sortPosition, 1);
    EXPECT_EQ(w.At(2).sortPosition, 2);
    EXPECT_EQ(w.At(1).sortPosition, 3);
    EXPECT_EQ(w.At(1).sortDirection, 2);
}

TEST(SortPage, OrderByOpensOnTheFirstRowsDirectionAndAppliesToAllSelected) {
    Wizard w;
    w.Add("T", "A", 1, 1, 1);
    w.Add("T", "B", 2, 2, 2);
    w.Add("T", "C", 3, 3, 1);
    OnSortPage(w, {
                      [](Ui& ui) {
                          ui.SelectRows(kSortList, {1, 2});
                      },
                      [](Ui& ui) { ui.Click(kOrderBy); },
                      [](Ui& ui) {
                          EXPECT_EQ(ui.TemplateId(), 141u);
                          EXPECT_EQ(ui.Caption(), "Order By");
                          EXPECT_EQ(Rows(ui, 1063), (Texts{"Ascending", "Descending"}));
                          EXPECT_EQ(ui.SelectedRows(1063), (std::vector<int>{1}));
                          ui.Click(IDCANCEL);
                      },
                      [](Ui& ui) {
                          EXPECT_EQ(Rows(ui, kSortList, 1), (Texts{"Ascending", "Descending", "Ascending"}));
                          ui.Click(kOrderBy);
                      },
                      [](Ui& ui) { ui.SelectRow(1063, 0); },
                      [](Ui& ui) { ui.Click(IDOK); },
                      [](Ui& ui) {
                          EXPECT_EQ(Rows(ui, kSortList, 1), (Texts{"Ascending", "Ascending", "Ascending"}));
                          ui.Click(kOrderBy);
                      },
                      [](Ui& ui) {
                          EXPECT_EQ(ui.SelectedRows(1063), (std::vector<int>{0}));
                          ui.DoubleClickRow(1063, 1);
                      },
                      [](Ui& ui) {
                          EXPECT_EQ(Rows(ui, kSortList, 1), (Texts{"Ascending", "Descending", "Descending"}));
                          EXPECT_EQ(ui.SelectedRows(kSortList), (std::vector<int>{1, 2}));
                      },
                  });
    EXPECT_EQ(w.At(0).sortDirection, 1);
    EXPECT_EQ(w.At(1).sortDirection, 2);
    EXPECT_EQ(w.At(2).sortDirection, 2);
    EXPECT_EQ(w.At(2).sortPosition, 3);
}

TEST(SortPage, DoubleClickTogglesTheDirectionOfTheRow) {
    Wizard w;
    w.Add("T", "A", 1, 1, 1);
    w.Add("T", "B", 2, 2, 2);
    OnSortPage(w, {
                      [](Ui& ui) { ui.DoubleClickRow(kSortList, 1); },
                      [](Ui& ui) {
                          EXPECT_EQ(Rows(ui, kSortList, 1), (Texts{"Ascending", "Ascending"}));
                          ui.DoubleClickRow(kSortList, 0);
                      },
                      [](Ui& ui) {
                          EXPECT_EQ(Rows(ui, kSortList, 1), (Texts{"Descending", "Ascending"}));
                      },
                  });
    EXPECT_EQ(w.At(0).sortDirection, 2);
    EXPECT_EQ(w.At(1).sortDirection, 1);
    EXPECT_EQ(w.At(1).sortPosition, 2);
}

TEST(SortPage, EveryActivationFollowsTheColumnPage) {
    Wizard w;
    w.Add("T", "A", 1, 2, 2);
    w.Add("T", "B", 2, 1, 1);
    w.Add("T", "C", 3, 0, 1);
    OnSortPage(w, {
                      [](Ui& ui) { ui.Press(SheetButton::Back); },
                      // The column page: take A out of the displayed columns.
                      [](Ui& ui) { ui.SelectRow(1008, 0); },
                      [](Ui& ui) { ui.Click(1011); },
                      [](Ui& ui) { ui.Press(SheetButton::Next); },
                      [](Ui& ui) {
                          EXPECT_EQ(ui.TemplateId(), 132u);
                          EXPECT_EQ(Rows(ui, kSortList), (Texts{"T.B"}));
                          EXPECT_EQ(Rows(ui, kAvailable), (Texts{"T.C"}));
                      },
                  });
    EXPECT_EQ(w.At(0).displayPosition, 0);
    EXPECT_EQ(w.At(0).sortPosition, 2);
    EXPECT_EQ(w.At(0).sortDirection, 2);
}

TEST(SortPage, HelpOpensTheSortOrderPage) {
    testsupport::ScopedEnv home("TALVENOR_HOME", std::string("C:\\Talvenor"));
    testsupport::FakeShell shell;
    Wizard w;
    w.Add("T", "A", 1, 0, 0);
    OnSortPage(w, {[](Ui& ui) { ui.Press(SheetButton::Help); }});
    ASSERT_EQ(shell.paths().size(), 1u);
    EXPECT_EQ(shell.paths()[0],
              "C:\\Talvenor\\common\\docs\\en\\vantrel\\ss_user\\idh_select_data_sort_order_db.html");
}

TEST(SortPage, JoinsTheSheetAsTheThirdStepAndIsCreatableByName) {
    Wizard w;
    ASSERT_GE(w.sheet.GetPageCount(), 3);
    EXPECT_EQ(w.sheet.GetPage(2), &w.sheet.m_sortPage);
    EXPECT_EQ(w.sheet.m_sortPage.m_pSheet, &w.sheet);
    EXPECT_EQ(w.sheet.m_sortPage.m_pOwner, &w.owner);
    EXPECT_STREQ(RUNTIME_CLASS(CDTOrderList)->m_lpszClassName, "CDTOrderList");
    CObject* made = RUNTIME_CLASS(CDTOrderList)->CreateObject();
    ASSERT_NE(made, nullptr);
    EXPECT_TRUE(made->IsKindOf(RUNTIME_CLASS(CPropertyPage)));
    delete made;
}

}  // namespace
