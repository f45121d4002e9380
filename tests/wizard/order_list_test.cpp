// The wizard's sort order step, driven through the sheet as a user would:
// what it shows from the column records and what it writes back into them.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "framework/script/test_driver.h"
#include "resources/resource.h"
#include "support/column_owner.h"
#include "support/wizard_steps.h"
#include "wizard/dt_attr_sheet.h"
#include "wizard/order_list.h"

using fw::SheetButton;
using fw::Ui;
using testsupport::Rows;

namespace {

struct Wizard : testsupport::Wizard {
    ZevDTAPIColumn& Add(const char* table, const char* column, int display, int sortPos, int direction) {
        ZevDTAPIColumn& c = owner.Add(table, column, display);
        c.sortPosition = sortPos;
        c.sortDirection = direction;
        return c;
    }
    ZevDTAPIColumn& At(size_t i) { return owner.At(i); }
    // Each record's sort position and direction, in record order.
    std::vector<std::pair<int, int>> Sorting() {
        std::vector<std::pair<int, int>> out;
        for (size_t i = 0; i < static_cast<size_t>(owner.GetColumnCount()); ++i)
            out.emplace_back(At(i).sortPosition, At(i).sortDirection);
        return out;
    }
};
using Sorts = std::vector<std::pair<int, int>>;

// Runs the wizard up to the sort step, performs the steps there, and cancels.
void OnSortPage(Wizard& w, const testsupport::Steps& steps) {
    EXPECT_EQ(testsupport::RunOnStep(w.sheet, 2, steps), IDCANCEL);
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
                   EXPECT_EQ(ui.TemplateId(), unsigned(IDD_ORDER_LIST));
                   EXPECT_EQ(ui.Caption(), "Select Data Sort Order");
                   EXPECT_EQ(ui.Text(IDC_ORDER_REPORT_NAME), "Sales by region");
                   EXPECT_TRUE(ui.ReadOnly(IDC_ORDER_REPORT_NAME));
                   EXPECT_EQ(Rows(ui, IDC_ORDER_AVAILABLE), (Texts{"SALES.DAY"}));
                   EXPECT_EQ(Rows(ui, IDC_ORDER_SORT_LIST), (Texts{"SALES.AMOUNT", "SALES.REGION"}));
                   EXPECT_EQ(Rows(ui, IDC_ORDER_SORT_LIST, 1), (Texts{"Ascending", "Descending"}));
                   EXPECT_TRUE(ui.Enabled(ID_WIZBACK));
                   EXPECT_TRUE(ui.Enabled(ID_WIZNEXT) && ui.Visible(ID_WIZNEXT));
                   // Nothing is selected yet: only the "all" buttons work.
                   EXPECT_TRUE(ui.Enabled(IDC_ORDER_ADD_ALL));
                   EXPECT_FALSE(ui.Enabled(IDC_ORDER_ADD));
                   EXPECT_TRUE(ui.Enabled(IDC_ORDER_REMOVE_ALL));
                   EXPECT_FALSE(ui.Enabled(IDC_ORDER_REMOVE));
                   EXPECT_FALSE(ui.Enabled(IDC_ORDER_MOVE_UP));
                   EXPECT_FALSE(ui.Enabled(IDC_ORDER_MOVE_DOWN));
                   EXPECT_FALSE(ui.Enabled(IDC_ORDER_ORDER_BY));
               }});
    // Columns that are not shown keep what they hold.
    EXPECT_EQ(w.Sorting(), (Sorts{{2, 2}, {1, 1}, {0, 2}, {1, 2}}));
}

TEST(SortPage, EqualSortPositionsListInReverseDisplayOrderAndKeepTheirGaps) {
    Wizard w;
    w.Add("T", "A", 1, 3, 1);
    w.Add("T", "B", 2, 3, 1);
    w.Add("T", "C", 3, 5, 1);
    OnSortPage(w, {[](Ui& ui) { EXPECT_EQ(Rows(ui, IDC_ORDER_SORT_LIST), (Texts{"T.B", "T.A", "T.C"})); }});
    EXPECT_EQ(w.Sorting(), (Sorts{{3, 1}, {3, 1}, {5, 1}}));
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
                          ui.SelectRows(IDC_ORDER_AVAILABLE, {1, 3});
                      },
                      [](Ui& ui) {
                          EXPECT_TRUE(ui.Enabled(IDC_ORDER_ADD));
                          ui.Click(IDC_ORDER_ADD);
                      },
                      [](Ui& ui) {
                          EXPECT_EQ(Rows(ui, IDC_ORDER_AVAILABLE), (Texts{"T.A", "T.C"}));
                          EXPECT_EQ(Rows(ui, IDC_ORDER_SORT_LIST), (Texts{"T.B", "T.D"}));
                          EXPECT_EQ(Rows(ui, IDC_ORDER_SORT_LIST, 1), (Texts{"Descending", "Ascending"}));
                          EXPECT_FALSE(ui.Enabled(IDC_ORDER_ADD));
                          ui.DoubleClickRow(IDC_ORDER_AVAILABLE, 1);
                      },
                      [](Ui& ui) {
                          EXPECT_EQ(Rows(ui, IDC_ORDER_SORT_LIST), (Texts{"T.B", "T.D", "T.C"}));
                          ui.SelectRow(IDC_ORDER_SORT_LIST, 0);
                      },
                      [](Ui& ui) {
                          EXPECT_TRUE(ui.Enabled(IDC_ORDER_REMOVE));
                          ui.Click(IDC_ORDER_REMOVE);
                      },
                      [](Ui& ui) {
                          // B returns between A and C; the rest move up.
                          EXPECT_EQ(Rows(ui, IDC_ORDER_AVAILABLE), (Texts{"T.A", "T.B"}));
                          EXPECT_EQ(Rows(ui, IDC_ORDER_SORT_LIST), (Texts{"T.D", "T.C"}));
                          EXPECT_FALSE(ui.Enabled(IDC_ORDER_REMOVE));
                          EXPECT_FALSE(ui.Enabled(IDC_ORDER_ORDER_BY));
                      },
                  });
    EXPECT_EQ(w.Sorting(), (Sorts{{0, 0}, {0, 2}, {2, 1}, {1, 1}, {1, 2}}));
}

TEST(SortPage, AllButtonsMoveEveryListedColumnAndRemoveAllKeepsDirections) {
    Wizard w;
    w.Add("T", "A", 1, 0, 2);
    w.Add("T", "B", 2, 4, 2);
    w.Add("T", "C", 3, 0, 0);
    w.Add("T", "GONE", 0, 2, 1);
    OnSortPage(w, {
                      [](Ui& ui) { ui.Click(IDC_ORDER_ADD_ALL); },
                      [&w](Ui& ui) {
                          EXPECT_EQ(Rows(ui, IDC_ORDER_SORT_LIST), (Texts{"T.B", "T.A", "T.C"}));
                          EXPECT_EQ(ui.RowCount(IDC_ORDER_AVAILABLE), 0);
                          EXPECT_FALSE(ui.Enabled(IDC_ORDER_ADD_ALL));
                          // B came with position 4 and keeps it; the added ones take their row numbers.
                          EXPECT_EQ(w.At(1).sortPosition, 4);
                          EXPECT_EQ(w.At(0).sortPosition, 2);
                          EXPECT_EQ(w.At(2).sortPosition, 3);
                          EXPECT_EQ(w.At(2).sortDirection, 1);
                          ui.Click(IDC_ORDER_REMOVE_ALL);
                      },
                      [](Ui& ui) {
                          EXPECT_EQ(Rows(ui, IDC_ORDER_AVAILABLE), (Texts{"T.A", "T.B", "T.C"}));
                          EXPECT_EQ(ui.RowCount(IDC_ORDER_SORT_LIST), 0);
                          EXPECT_FALSE(ui.Enabled(IDC_ORDER_REMOVE_ALL));
                          EXPECT_TRUE(ui.Enabled(IDC_ORDER_ADD_ALL));
                      },
                  });
    // Positions go; directions stay.
    EXPECT_EQ(w.Sorting(), (Sorts{{0, 2}, {0, 2}, {0, 1}, {2, 1}}));
}

TEST(SortPage, MoveButtonsFollowASingleSelectionAndSwapPositions) {
    Wizard w;
    w.Add("T", "A", 1, 1, 1);
    w.Add("T", "B", 2, 2, 2);
    w.Add("T", "C", 3, 3, 1);
    OnSortPage(
        w,
        {
            [](Ui& ui) { ui.SelectRow(IDC_ORDER_SORT_LIST, 0); },
            [](Ui& ui) {
                EXPECT_FALSE(ui.Enabled(IDC_ORDER_MOVE_UP));
                EXPECT_TRUE(ui.Enabled(IDC_ORDER_MOVE_DOWN));
                ui.SelectRows(IDC_ORDER_SORT_LIST, {0, 1});
            },
            [](Ui& ui) {
                EXPECT_FALSE(ui.Enabled(IDC_ORDER_MOVE_UP));
                EXPECT_FALSE(ui.Enabled(IDC_ORDER_MOVE_DOWN));
                EXPECT_TRUE(ui.Enabled(IDC_ORDER_ORDER_BY));
                ui.SelectRow(IDC_ORDER_SORT_LIST, 2);
            },
            [](Ui& ui) {
                EXPECT_TRUE(ui.Enabled(IDC_ORDER_MOVE_UP));
                EXPECT_FALSE(ui.Enabled(IDC_ORDER_MOVE_DOWN));
                ui.Click(IDC_ORDER_MOVE_UP);
            },
            [](Ui& ui) {
                EXPECT_EQ(Rows(ui, IDC_ORDER_SORT_LIST), (Texts{"T.A", "T.C", "T.B"}));
                EXPECT_EQ(Rows(ui, IDC_ORDER_SORT_LIST, 1), (Texts{"Ascending", "Ascending", "Descending"}));
                EXPECT_EQ(ui.SelectedRows(IDC_ORDER_SORT_LIST), (std::vector<int>{1}));
                EXPECT_TRUE(ui.Enabled(IDC_ORDER_MOVE_UP));
                EXPECT_TRUE(ui.Enabled(IDC_ORDER_MOVE_DOWN));
                ui.Click(IDC_ORDER_MOVE_UP);
            },
            [](Ui& ui) {
                EXPECT_EQ(Rows(ui, IDC_ORDER_SORT_LIST), (Texts{"T.C", "T.A", "T.B"}));
                EXPECT_EQ(ui.SelectedRows(IDC_ORDER_SORT_LIST), (std::vector<int>{0}));
                EXPECT_FALSE(ui.Enabled(IDC_ORDER_MOVE_UP));
                ui.Click(IDC_ORDER_MOVE_DOWN);
            },
            [](Ui& ui) {
                EXPECT_EQ(Rows(ui, IDC_ORDER_SORT_LIST), (Texts{"T.A", "T.C", "T.B"}));
                EXPECT_EQ(ui.SelectedRows(IDC_ORDER_SORT_LIST), (std::vector<int>{1}));
            },
        });
    EXPECT_EQ(w.Sorting(), (Sorts{{1, 1}, {3, 2}, {2, 1}}));
}

TEST(SortPage, OrderByOpensOnTheFirstRowsDirectionAndAppliesToAllSelected) {
    Wizard w;
    w.Add("T", "A", 1, 1, 1);
    w.Add("T", "B", 2, 2, 2);
    w.Add("T", "C", 3, 3, 1);
    OnSortPage(
        w,
        {
            [](Ui& ui) {
                ui.SelectRows(IDC_ORDER_SORT_LIST, {1, 2});
            },
            [](Ui& ui) { ui.Click(IDC_ORDER_ORDER_BY); },
            [](Ui& ui) {
                EXPECT_EQ(ui.TemplateId(), unsigned(IDD_PICK_STRING_ITEM));
                EXPECT_EQ(ui.Caption(), "Order By");
                EXPECT_EQ(Rows(ui, IDC_PICK_LIST), (Texts{"Ascending", "Descending"}));
                EXPECT_EQ(ui.SelectedRows(IDC_PICK_LIST), (std::vector<int>{1}));
                ui.Click(IDCANCEL);
            },
            [](Ui& ui) {
                EXPECT_EQ(Rows(ui, IDC_ORDER_SORT_LIST, 1), (Texts{"Ascending", "Descending", "Ascending"}));
                ui.Click(IDC_ORDER_ORDER_BY);
            },
            [](Ui& ui) { ui.SelectRow(IDC_PICK_LIST, 0); },
            [](Ui& ui) { ui.Click(IDOK); },
            [](Ui& ui) {
                EXPECT_EQ(Rows(ui, IDC_ORDER_SORT_LIST, 1), (Texts{"Ascending", "Ascending", "Ascending"}));
                ui.Click(IDC_ORDER_ORDER_BY);
            },
            [](Ui& ui) {
                EXPECT_EQ(ui.SelectedRows(IDC_PICK_LIST), (std::vector<int>{0}));
                ui.DoubleClickRow(IDC_PICK_LIST, 1);
            },
            [](Ui& ui) {
                EXPECT_EQ(Rows(ui, IDC_ORDER_SORT_LIST, 1), (Texts{"Ascending", "Descending", "Descending"}));
                EXPECT_EQ(ui.SelectedRows(IDC_ORDER_SORT_LIST), (std::vector<int>{1, 2}));
            },
        });
    EXPECT_EQ(w.Sorting(), (Sorts{{1, 1}, {2, 2}, {3, 2}}));
}

TEST(SortPage, DoubleClickTogglesTheDirectionOfTheRow) {
    Wizard w;
    w.Add("T", "A", 1, 1, 1);
    w.Add("T", "B", 2, 2, 2);
    OnSortPage(w, {
                      [](Ui& ui) { ui.DoubleClickRow(IDC_ORDER_SORT_LIST, 1); },
                      [](Ui& ui) {
                          EXPECT_EQ(Rows(ui, IDC_ORDER_SORT_LIST, 1), (Texts{"Ascending", "Ascending"}));
                          ui.DoubleClickRow(IDC_ORDER_SORT_LIST, 0);
                      },
                      [](Ui& ui) {
                          EXPECT_EQ(Rows(ui, IDC_ORDER_SORT_LIST, 1), (Texts{"Descending", "Ascending"}));
                      },
                  });
    EXPECT_EQ(w.Sorting(), (Sorts{{1, 2}, {2, 1}}));
}

TEST(SortPage, EveryActivationFollowsTheColumnPage) {
    Wizard w;
    w.Add("T", "A", 1, 2, 2);
    w.Add("T", "B", 2, 1, 1);
    w.Add("T", "C", 3, 0, 1);
    OnSortPage(w, {
                      [](Ui& ui) { ui.Press(SheetButton::Back); },
                      // The column page: take A out of the displayed columns.
                      [](Ui& ui) { ui.SelectRow(IDC_SELECT_LIST, 0); },
                      [](Ui& ui) { ui.Click(IDC_SELECT_REMOVE); },
                      [](Ui& ui) { ui.Press(SheetButton::Next); },
                      [](Ui& ui) {
                          EXPECT_EQ(ui.TemplateId(), unsigned(IDD_ORDER_LIST));
                          EXPECT_EQ(Rows(ui, IDC_ORDER_SORT_LIST), (Texts{"T.B"}));
                          EXPECT_EQ(Rows(ui, IDC_ORDER_AVAILABLE), (Texts{"T.C"}));
                      },
                  });
    EXPECT_EQ(w.At(0).displayPosition, 0);
    EXPECT_EQ(w.At(0).sortPosition, 2);
    EXPECT_EQ(w.At(0).sortDirection, 2);
}

}  // namespace
