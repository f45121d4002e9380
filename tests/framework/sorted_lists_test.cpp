// Where a sorted list puts what is inserted into it, on the real controls of
// the library's templates: the headless backend must order rows exactly as
// the platform's controls do, ASCII letters and digits at least.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/afxwin.h"
#include "resources/resource.h"
#include "support/probe_page.h"

namespace {

using testsupport::Attached;
using testsupport::ProbeEvents;
using testsupport::ProbePage;

const std::vector<std::string> kArrivals = {"X", "x", "b", "a", "B", "A", "a1", "A1", "a10", "a2", "x"};

// Inserts kArrivals at row 0 each (after asking for room for more), numbering them by arrival in the item
// data; returns the rows as "text/arrival" and the index each insert reported.
std::vector<std::string> FillListView(CListCtrl& list, std::vector<int>* at) {
    list.DeleteAllItems();
    // Room asked for beforehand changes neither the rows nor where they go.
    list.SetItemCount(100);
    for (size_t i = 0; i < kArrivals.size(); ++i) {
        int row = list.InsertItem(0, kArrivals[i].c_str());
        at->push_back(row);
        list.SetItemData(row, i);
    }
    std::vector<std::string> rows;
    for (int i = 0; i < list.GetItemCount(); ++i)
        rows.push_back(std::string(list.GetItemText(i, 0)) + "/" + std::to_string(list.GetItemData(i)));
    return rows;
}

// Case decides only between texts equal without it, and there lower case
// goes first; a text equal to rows already there goes before them.
TEST(SortedLists, AListViewOrdersWithoutCaseThenLowerCaseFirstAndPutsANewEqualRowFirst) {
    std::vector<std::string> ascending, descending;
    std::vector<int> ascendingAt, descendingAt;
    // Template 132: the sort page's list views, which do not sort by themselves.
    ProbeEvents(IDD_ORDER_LIST, [&](ProbePage& page) {
        Attached<CListCtrl> list(page, IDC_ORDER_AVAILABLE);
        list.InsertColumn(0, "Column");
        list.ModifyStyle(0, LVS_SORTASCENDING);
        ascending = FillListView(list, &ascendingAt);
        list.ModifyStyle(LVS_SORTASCENDING, LVS_SORTDESCENDING);
        descending = FillListView(list, &descendingAt);
    });
    EXPECT_EQ(ascending, (std::vector<std::string>{"a/3", "A/5", "a1/6", "A1/7", "a10/8", "a2/9", "b/2",
                                                   "B/4", "x/10", "x/1", "X/0"}));
    EXPECT_EQ(ascendingAt, (std::vector<int>{0, 0, 0, 0, 2, 1, 2, 3, 4, 5, 8}));
    EXPECT_EQ(descending, (std::vector<std::string>{"X/0", "x/10", "x/1", "B/4", "b/2", "a2/9", "a10/8",
                                                    "A1/7", "a1/6", "A/5", "a/3"}));
    EXPECT_EQ(descendingAt, (std::vector<int>{0, 1, 2, 3, 2, 4, 4, 4, 4, 4, 1}));
}

// A sorted combo box ignores case altogether: of entries equal without it,
// the newest goes first.
TEST(SortedLists, ASortedComboBoxIgnoresCaseAndPutsANewEqualEntryFirst) {
    std::vector<std::string> entries;
    std::vector<int> at;
    ProbeEvents(IDD_FILTERS_PAGE, [&](ProbePage& page) {
        Attached<CComboBox> combo(page, IDC_BUILDER_COLUMN);
        for (const std::string& text : kArrivals) at.push_back(combo.AddString(text.c_str()));
        for (int i = 0; i < combo.GetCount(); ++i) {
            CString text;
            combo.GetLBText(i, text);
            entries.push_back(std::string(text));
        }
    });
    EXPECT_EQ(entries,
              (std::vector<std::string>{"A", "a", "A1", "a1", "a10", "a2", "B", "b", "x", "x", "X"}));
    EXPECT_EQ(at, (std::vector<int>{0, 0, 0, 0, 1, 0, 2, 2, 4, 5, 8}));
}

}  // namespace
