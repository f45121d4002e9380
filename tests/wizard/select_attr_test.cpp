// The wizard's column selection and display order step, driven as a user
// would; the column records are checked after every change.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "framework/script/test_driver.h"
#include "resources/resource.h"
#include "support/column_owner.h"
#include "support/wizard_steps.h"
#include "wizard/dt_attr_sheet.h"

using fw::SheetButton;
using fw::Ui;
using testsupport::Steps;
using testsupport::Wizard;

namespace {

std::string Key(const ZevDTAPIColumn& c) {
    return std::string(c.tableName) + "." + c.columnName;
}

std::vector<std::string> Rows(Ui& ui) {
    return testsupport::Rows(ui, IDC_SELECT_LIST);
}

std::vector<int32_t> Positions(testsupport::ColumnOwner& owner) {
    std::vector<int32_t> p;
    for (int i = 0; i < owner.GetColumnCount(); ++i)
        p.push_back(owner.At(static_cast<size_t>(i)).displayPosition);
    return p;
}

// The list is the display order: every listed record carries its 1-based
// place, and no other record is displayed.
void ExpectListMatchesRecords(Ui& ui, testsupport::ColumnOwner& owner) {
    std::vector<std::string> rows = Rows(ui);
    for (int i = 0; i < owner.GetColumnCount(); ++i) {
        const ZevDTAPIColumn& c = owner.At(static_cast<size_t>(i));
        int32_t expected = 0;
        for (size_t r = 0; r < rows.size(); ++r)
            if (rows[r] == Key(c))
                expected = static_cast<int32_t>(r + 1);
        EXPECT_EQ(c.displayPosition, expected) << Key(c);
    }
}

// Runs the wizard to the column step, performs the steps there, then cancels.
INT_PTR RunOnColumnPage(CDTAttrSheet& sheet, Steps steps) {
    steps.insert(steps.begin(), [](Ui& ui) { EXPECT_EQ(ui.TemplateId(), unsigned(IDD_SELECT_ATTR)); });
    return testsupport::RunOnStep(sheet, 1, steps);
}

std::string TreeShape(Ui& ui) {
    CTreeCtrl tree;
    tree.m_hWnd = ui.Control(IDC_SELECT_TREE);
    std::string out;
    for (HTREEITEM root = tree.GetRootItem(); root; root = tree.GetNextSiblingItem(root)) {
        out += std::string(tree.GetItemText(root)) + "[";
        EXPECT_EQ(tree.GetItemData(root), 0u);
        for (HTREEITEM c = tree.GetChildItem(root); c; c = tree.GetNextSiblingItem(c)) {
            const auto* record = reinterpret_cast<const ZevDTAPIColumn*>(tree.GetItemData(c));
            EXPECT_TRUE(record && tree.GetItemText(c) == record->columnName);
            out += std::string(tree.GetItemText(c)) + ",";
        }
        out += "]";
    }
    tree.m_hWnd = nullptr;
    return out;
}

TEST(ColumnPage, OpensWithTheDisplayedColumnsInDisplayOrder) {
    struct Case {
        std::vector<int32_t> given;
        std::vector<std::string> listed;
        std::vector<int32_t> renumbered;
    };
    // Positions are honoured only where the list already reaches past them.
    const Case cases[] = {
        {{2, 3, 1}, {"T.C3", "T.C1", "T.C2"}, {2, 3, 1}},
        {{3, 1, 2}, {"T.C1", "T.C2", "T.C3"}, {1, 2, 3}},
        {{0, 5, -1}, {"T.C2"}, {0, 1, -1}},
    };
    for (const Case& c : cases) {
        Wizard w;
        for (size_t i = 0; i < c.given.size(); ++i)
            w.owner.Add("T", ("C" + std::to_string(i + 1)).c_str(), c.given[i]);
        w.sheet.SetReportName("Sales by region");
        RunOnColumnPage(w.sheet, {[&](Ui& ui) {
                            EXPECT_EQ(ui.Caption(), "Select Columns and Display Order");
                            EXPECT_EQ(ui.Text(IDC_SELECT_REPORT_NAME), "Sales by region");
                            EXPECT_TRUE(ui.ReadOnly(IDC_SELECT_REPORT_NAME));
                            EXPECT_EQ(Rows(ui), c.listed);
                            EXPECT_EQ(ui.SelectedRows(IDC_SELECT_LIST), std::vector<int>{0});
                            EXPECT_TRUE(ui.Enabled(ID_WIZBACK));
                            EXPECT_TRUE(ui.Enabled(ID_WIZNEXT) && ui.Visible(ID_WIZNEXT));
                            EXPECT_FALSE(ui.Enabled(IDC_SELECT_MOVE_UP));
                            EXPECT_EQ(ui.Enabled(IDC_SELECT_MOVE_DOWN), c.listed.size() > 1);
                        }});
        EXPECT_EQ(Positions(w.owner), c.renumbered);
    }
}

TEST(ColumnPage, NothingDisplayedOpensEmptyWithNextAndMovesDisabled) {
    Wizard w;
    w.owner.Add("T", "A");
    w.owner.Add("T", "B");
    RunOnColumnPage(
        w.sheet,
        {[](Ui& ui) {
             EXPECT_EQ(ui.RowCount(IDC_SELECT_LIST), 0);
             EXPECT_FALSE(ui.Enabled(ID_WIZNEXT));
             EXPECT_TRUE(ui.Visible(ID_WIZNEXT));
             EXPECT_FALSE(ui.Enabled(IDC_SELECT_MOVE_UP));
             EXPECT_FALSE(ui.Enabled(IDC_SELECT_MOVE_DOWN));
         },
         // Leaving and coming back keeps Next as the list says.
         [](Ui& ui) { ui.Press(SheetButton::Back); }, [](Ui& ui) { ui.Press(SheetButton::Next); },
         [](Ui& ui) { EXPECT_FALSE(ui.Enabled(ID_WIZNEXT)); },
         [](Ui& ui) { ui.SelectTreeItem(IDC_SELECT_TREE, "T/B"); }, [](Ui& ui) { ui.Click(IDC_SELECT_ADD); },
         [](Ui& ui) { ui.Press(SheetButton::Back); }, [](Ui& ui) { ui.Press(SheetButton::Next); },
         [](Ui& ui) {
             EXPECT_TRUE(ui.Enabled(ID_WIZNEXT));
             EXPECT_EQ(Rows(ui), std::vector<std::string>{"T.B"});
         }});
    EXPECT_EQ(Positions(w.owner), (std::vector<int32_t>{0, 1}));
}

TEST(ColumnPage, TreeGroupsByTableAndATableNodeAddsItsColumns) {
    Wizard w;
    w.owner.Add("SALES", "AMOUNT");
    w.owner.Add("PRODUCT", "NAME", 1);
    w.owner.Add("SALES", "REGION");
    w.owner.Add("sales", "QTY");
    w.owner.Add("SALES", "MONTH");
    RunOnColumnPage(w.sheet,
                    {[](Ui& ui) {
                         // Table names are told apart by case; nothing is sorted.
                         EXPECT_EQ(TreeShape(ui), "SALES[AMOUNT,REGION,MONTH,]PRODUCT[NAME,]sales[QTY,]");
                     },
                     [](Ui& ui) { ui.SelectTreeItem(IDC_SELECT_TREE, "SALES/REGION"); },
                     [](Ui& ui) { ui.Click(IDC_SELECT_ADD); },
                     [](Ui& ui) { ui.SelectTreeItem(IDC_SELECT_TREE, "SALES"); },
                     [](Ui& ui) { ui.Click(IDC_SELECT_ADD); },
                     [&](Ui& ui) {
                         EXPECT_EQ(Rows(ui), (std::vector<std::string>{"PRODUCT.NAME", "SALES.REGION",
                                                                       "SALES.AMOUNT", "SALES.MONTH"}));
                         EXPECT_EQ(ui.SelectedRows(IDC_SELECT_LIST), std::vector<int>{3});
                         EXPECT_TRUE(ui.Enabled(IDC_SELECT_MOVE_UP));
                         EXPECT_FALSE(ui.Enabled(IDC_SELECT_MOVE_DOWN));
                         ExpectListMatchesRecords(ui, w.owner);
                     }});
}

TEST(ColumnPage, KeysThatDifferOnlyInCaseAreListedOnce) {
    Wizard w;
    w.owner.Add("Sales", "Region", 2);
    w.owner.Add("SALES", "REGION", 1);
    w.owner.Add("Sales", "Amount", 0);
    w.sheet.SetReportName("R");
    RunOnColumnPage(w.sheet,
                    {[&](Ui& ui) {
                         EXPECT_EQ(Rows(ui), std::vector<std::string>{"Sales.Region"});
                         // The unlisted twin must not be displayed behind the list's back.
                         ExpectListMatchesRecords(ui, w.owner);
                     },
                     [](Ui& ui) { ui.SelectTreeItem(IDC_SELECT_TREE, "SALES/REGION"); },
                     [](Ui& ui) { ui.Click(IDC_SELECT_ADD); }, [](Ui& ui) { ui.Click(IDC_SELECT_ADD_ALL); },
                     [&](Ui& ui) {
                         EXPECT_EQ(Rows(ui), (std::vector<std::string>{"Sales.Region", "Sales.Amount"}));
                         ExpectListMatchesRecords(ui, w.owner);
                     }});
    EXPECT_EQ(Positions(w.owner), (std::vector<int32_t>{1, 0, 2}));
}

// A key is trimmed before it is shown or compared: blanks around the table or
// column name make no second column, here or on the sort step.
TEST(ColumnPage, KeysThatDifferOnlyInSurroundingBlanksAreOneKey) {
    Wizard w;
    w.owner.Add(" Sales", "Region", 1);
    w.owner.Add("Sales", "Region  ", 2);
    w.owner.Add("Sales", "Amount", 0);
    w.sheet.SetReportName("R");
    std::vector<std::string> sortable;
    RunOnColumnPage(w.sheet,
                    {[](Ui& ui) {
                         EXPECT_EQ(Rows(ui), std::vector<std::string>{"Sales.Region"});
                         ui.SelectTreeItem(IDC_SELECT_TREE, "Sales/Region  ");
                     },
                     [](Ui& ui) { ui.Click(IDC_SELECT_ADD); }, [](Ui& ui) { ui.Click(IDC_SELECT_ADD_ALL); },
                     [](Ui& ui) {
                         EXPECT_EQ(Rows(ui), (std::vector<std::string>{"Sales.Region", "Sales.Amount"}));
                         ui.Press(SheetButton::Next);
                     },
                     [&](Ui& ui) { sortable = testsupport::Rows(ui, IDC_ORDER_AVAILABLE); }});
    EXPECT_EQ(Positions(w.owner), (std::vector<int32_t>{1, 0, 2}));
    EXPECT_EQ(sortable, (std::vector<std::string>{"Sales.Region", "Sales.Amount"}));
}

TEST(ColumnPage, RemovingSelectsTheEntryThatFollowedTheLastRemoved) {
    Wizard w;
    for (int i = 0; i < 10; ++i) w.owner.Add("T", ("C" + std::to_string(i)).c_str(), i + 1);
    RunOnColumnPage(w.sheet,
                    {[](Ui& ui) {
                         ui.SelectRows(IDC_SELECT_LIST, {2, 5});
                     },
                     [](Ui& ui) { ui.Click(IDC_SELECT_REMOVE); },
                     [&](Ui& ui) {
                         EXPECT_EQ(ui.RowCount(IDC_SELECT_LIST), 8);
                         EXPECT_EQ(ui.SelectedRows(IDC_SELECT_LIST), std::vector<int>{4});
                         EXPECT_EQ(ui.RowText(IDC_SELECT_LIST, 4), "T.C6");
                         EXPECT_TRUE(ui.Enabled(IDC_SELECT_MOVE_UP) && ui.Enabled(IDC_SELECT_MOVE_DOWN));
                         ExpectListMatchesRecords(ui, w.owner);
                     },
                     [](Ui& ui) {
                         ui.SelectRows(IDC_SELECT_LIST, {6, 7});
                     },
                     [](Ui& ui) { ui.Click(IDC_SELECT_REMOVE); },
                     [&](Ui& ui) {
                         EXPECT_EQ(ui.RowCount(IDC_SELECT_LIST), 6);
                         EXPECT_EQ(ui.SelectedRows(IDC_SELECT_LIST), std::vector<int>{5});
                         EXPECT_FALSE(ui.Enabled(IDC_SELECT_MOVE_DOWN));
                         ExpectListMatchesRecords(ui, w.owner);
                     },
                     [](Ui& ui) { ui.DoubleClickRow(IDC_SELECT_LIST, 0); },
                     [&](Ui& ui) {
                         EXPECT_EQ(ui.RowText(IDC_SELECT_LIST, 0), "T.C1");
                         EXPECT_EQ(ui.SelectedRows(IDC_SELECT_LIST), std::vector<int>{0});
                         ExpectListMatchesRecords(ui, w.owner);
                     },
                     [](Ui& ui) {
                         ui.SelectRows(IDC_SELECT_LIST, {0, 1, 2, 3, 4});
                     },
                     [](Ui& ui) { ui.Click(IDC_SELECT_REMOVE); },
                     [&](Ui& ui) {
                         EXPECT_EQ(ui.RowCount(IDC_SELECT_LIST), 0);
                         EXPECT_FALSE(ui.Enabled(ID_WIZNEXT));
                         EXPECT_FALSE(ui.Enabled(IDC_SELECT_MOVE_UP) || ui.Enabled(IDC_SELECT_MOVE_DOWN));
                         ExpectListMatchesRecords(ui, w.owner);
                     }});
}

TEST(ColumnPage, RemoveAllHidesEveryColumnAndAddAllAppendsTheHiddenOnes) {
    Wizard w;
    w.owner.Add("T", "A", 0);
    w.owner.Add("T", "B", 1);
    w.owner.Add("U", "C", 0);
    w.owner.Add("T", "A_MUCH_LONGER_NAME", 2);
    RunOnColumnPage(
        w.sheet,
        {[](Ui& ui) { ui.Click(IDC_SELECT_REMOVE_ALL); },
         [&](Ui& ui) {
             EXPECT_EQ(ui.RowCount(IDC_SELECT_LIST), 0);
             EXPECT_FALSE(ui.Enabled(ID_WIZNEXT));
             EXPECT_FALSE(ui.Enabled(IDC_SELECT_MOVE_UP) || ui.Enabled(IDC_SELECT_MOVE_DOWN));
             EXPECT_EQ(Positions(w.owner), (std::vector<int32_t>{0, 0, 0, 0}));
         },
         [](Ui& ui) { ui.SelectTreeItem(IDC_SELECT_TREE, "U/C"); }, [](Ui& ui) { ui.Click(IDC_SELECT_ADD); },
         [](Ui& ui) { ui.SelectTreeItem(IDC_SELECT_TREE, "T/B"); }, [](Ui& ui) { ui.Click(IDC_SELECT_ADD); },
         [](Ui& ui) { ui.Click(IDC_SELECT_ADD_ALL); },
         [&](Ui& ui) {
             EXPECT_EQ(Rows(ui), (std::vector<std::string>{"U.C", "T.B", "T.A", "T.A_MUCH_LONGER_NAME"}));
             // The first entry joins the selection that was there.
             EXPECT_EQ(ui.SelectedRows(IDC_SELECT_LIST), (std::vector<int>{0, 1}));
             EXPECT_TRUE(ui.Enabled(ID_WIZNEXT));
             ExpectListMatchesRecords(ui, w.owner);
             CListBox& list = w.sheet.m_columnPage.m_selectedList;
             EXPECT_GE(list.GetHorizontalExtent(),
                       fw::CurrentBackend().TextWidth(list.m_hWnd, "T.A_MUCH_LONGER_NAME"));
         }});
}

TEST(ColumnPage, MovesExchangeNeighboursAndTheirPositions) {
    Wizard w;
    w.owner.Add("T", "A", 1);
    w.owner.Add("T", "B", 2);
    w.owner.Add("T", "C", 3);
    RunOnColumnPage(
        w.sheet,
        {[](Ui& ui) { ui.SelectRow(IDC_SELECT_LIST, 2); },
         [](Ui& ui) {
             EXPECT_TRUE(ui.Enabled(IDC_SELECT_MOVE_UP));
             EXPECT_FALSE(ui.Enabled(IDC_SELECT_MOVE_DOWN));
             ui.Click(IDC_SELECT_MOVE_UP);
         },
         [&](Ui& ui) {
             EXPECT_EQ(Rows(ui), (std::vector<std::string>{"T.A", "T.C", "T.B"}));
             EXPECT_EQ(ui.SelectedRows(IDC_SELECT_LIST), std::vector<int>{1});
             ExpectListMatchesRecords(ui, w.owner);
             ui.Click(IDC_SELECT_MOVE_UP);
         },
         [&](Ui& ui) {
             EXPECT_EQ(Rows(ui), (std::vector<std::string>{"T.C", "T.A", "T.B"}));
             EXPECT_FALSE(ui.Enabled(IDC_SELECT_MOVE_UP));
             ui.Click(IDC_SELECT_MOVE_DOWN);
         },
         [&](Ui& ui) {
             EXPECT_EQ(Rows(ui), (std::vector<std::string>{"T.A", "T.C", "T.B"}));
             EXPECT_EQ(ui.SelectedRows(IDC_SELECT_LIST), std::vector<int>{1});
             ExpectListMatchesRecords(ui, w.owner);
         },
         // Several selected: nothing can be moved.
         [](Ui& ui) {
             ui.SelectRows(IDC_SELECT_LIST, {1, 2});
         },
         [](Ui& ui) { EXPECT_FALSE(ui.Enabled(IDC_SELECT_MOVE_UP) || ui.Enabled(IDC_SELECT_MOVE_DOWN)); }});
    EXPECT_EQ(Positions(w.owner), (std::vector<int32_t>{1, 3, 2}));
}

TEST(ColumnPage, AMoveButtonThatDisablesItselfHandsTheFocusToTheList) {
    Wizard w;
    w.owner.Add("T", "A", 1);
    w.owner.Add("T", "B", 2);
    RunOnColumnPage(w.sheet, {[](Ui& ui) { ui.SelectRow(IDC_SELECT_LIST, 1); },
                              [](Ui& ui) { testsupport::FocusOn(ui, IDC_SELECT_MOVE_UP); },
                              [](Ui& ui) {
                                  EXPECT_EQ(ui.FocusId(), IDC_SELECT_MOVE_UP);
                                  ui.PressKey(fw::Key::Space);
                              },
                              [](Ui& ui) {
                                  EXPECT_EQ(Rows(ui), (std::vector<std::string>{"T.B", "T.A"}));
                                  EXPECT_FALSE(ui.Enabled(IDC_SELECT_MOVE_UP));
                                  // The keys go on working: in the list, Down moves the selection.
                                  EXPECT_EQ(ui.FocusId(), IDC_SELECT_LIST);
                                  ui.PressKey(fw::Key::Down);
                              },
                              [](Ui& ui) {
                                  EXPECT_EQ(ui.SelectedRows(IDC_SELECT_LIST), std::vector<int>{1});
                                  EXPECT_TRUE(ui.Enabled(IDC_SELECT_MOVE_UP));
                                  EXPECT_FALSE(ui.Enabled(IDC_SELECT_MOVE_DOWN));
                              }});
}

// Whatever the user does, the list and the records agree.
TEST(ColumnPage, PositionsStayOneToNInListOrderThroughAnySequence) {
    Wizard w;
    const char* tables[] = {"A", "B", "C"};
    for (int i = 0; i < 9; ++i) w.owner.Add(tables[i % 3], ("X" + std::to_string(i)).c_str(), (i * 5) % 4);
    Steps steps;
    unsigned seed = 7;
    auto next = [&seed](unsigned n) {
        seed = seed * 1103515245u + 12345u;
        return (seed >> 16) % n;
    };
    for (int k = 0; k < 60; ++k) {
        const unsigned op = next(8), a = next(9), b = next(9);
        steps.push_back([&, op, a, b](Ui& ui) {
            const int rows = ui.RowCount(IDC_SELECT_LIST);
            switch (op) {
                case 0:
                    ui.SelectTreeItem(IDC_SELECT_TREE, std::string(tables[a % 3]) + "/X" + std::to_string(a));
                    return;
                case 1:
                    ui.SelectTreeItem(IDC_SELECT_TREE, tables[a % 3]);
                    return;
                case 2:
                    ui.Click(IDC_SELECT_ADD);
                    return;
                case 3:
                    if (rows > 0)
                        ui.SelectRows(IDC_SELECT_LIST, {int(a) % rows, int(b) % rows});
                    else
                        ui.Click(IDC_SELECT_ADD_ALL);
                    return;
                case 4:
                    if (rows > 0)
                        ui.SelectRow(IDC_SELECT_LIST, int(a) % rows);
                    return;
                case 5:
                    ui.Click(a < 8 ? IDC_SELECT_REMOVE : IDC_SELECT_REMOVE_ALL);
                    return;
                default:
                    if (ui.Enabled(op == 6 ? IDC_SELECT_MOVE_UP : IDC_SELECT_MOVE_DOWN))
                        ui.Click(op == 6 ? IDC_SELECT_MOVE_UP : IDC_SELECT_MOVE_DOWN);
                    return;
            }
        });
        steps.push_back([&](Ui& ui) {
            ExpectListMatchesRecords(ui, w.owner);
            EXPECT_EQ(ui.Enabled(ID_WIZNEXT), ui.RowCount(IDC_SELECT_LIST) > 0);
        });
    }
    RunOnColumnPage(w.sheet, steps);
}

TEST(ColumnPage, SortPageWalksTheListInDisplayOrder) {
    Wizard w;
    w.owner.Add("T", "A", 2);
    w.owner.Add("T", "B", 0);
    w.owner.Add("U", "C", 1);
    std::vector<std::string> walked;
    std::vector<const ZevDTAPIColumn*> records;
    RunOnColumnPage(w.sheet, {[&](Ui&) {
                        int index = 0;
                        ZevDTAPIColumn* record = &w.owner.At(1);
                        for (CString text = w.sheet.m_columnPage.GetNextSelectedColumn(index, record);
                             !text.IsEmpty();
                             text = w.sheet.m_columnPage.GetNextSelectedColumn(index, record)) {
                            walked.push_back(std::string(text));
                            records.push_back(record);
                        }
                        EXPECT_EQ(index, 2);
                        EXPECT_EQ(record, nullptr);
                    }});
    EXPECT_EQ(walked, (std::vector<std::string>{"T.A", "U.C"}));
    EXPECT_EQ(records, (std::vector<const ZevDTAPIColumn*>{&w.owner.At(0), &w.owner.At(2)}));
    // Outside a run there is no list to walk.
    int index = 0;
    ZevDTAPIColumn* record = &w.owner.At(0);
    EXPECT_TRUE(w.sheet.m_columnPage.GetNextSelectedColumn(index, record).IsEmpty());
    EXPECT_EQ(record, nullptr);
    EXPECT_EQ(index, 0);
}

TEST(ColumnPage, ASecondRunStartsFromTheRecordsAsTheyStand) {
    Wizard w;
    w.owner.Add("T", "A", 1);
    w.owner.Add("T", "B", 2);
    w.owner.Add("T", "C", 0);
    // Cancelling keeps what was done: the records are edited in place.
    RunOnColumnPage(w.sheet, {[](Ui& ui) { ui.SelectRow(IDC_SELECT_LIST, 0); },
                              [](Ui& ui) { ui.Click(IDC_SELECT_REMOVE); },
                              [](Ui& ui) { ui.SelectTreeItem(IDC_SELECT_TREE, "T/C"); },
                              [](Ui& ui) { ui.Click(IDC_SELECT_ADD); }});
    EXPECT_EQ(Positions(w.owner), (std::vector<int32_t>{0, 1, 2}));
    EXPECT_EQ(w.sheet.m_columnPage.m_selectedList.m_hWnd, nullptr);
    w.owner.At(0).displayPosition = 2;
    w.owner.At(1).displayPosition = 3;
    w.owner.At(2).displayPosition = 1;
    RunOnColumnPage(w.sheet, {[&](Ui& ui) {
                        EXPECT_EQ(Rows(ui), (std::vector<std::string>{"T.C", "T.A", "T.B"}));
                        EXPECT_EQ(TreeShape(ui), "T[A,B,C,]");
                        ExpectListMatchesRecords(ui, w.owner);
                    }});
}

}  // namespace
