// The saved-filter model: record format, filter list, current filter and
// the hand-over of conditions to the column records. No window is needed,
// except for the message boxes that saving shows.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "filters/column_conditions.h"
#include "filters/filter_list.h"
#include "filters/filter_record.h"
#include "framework/script/test_driver.h"
#include "support/column_owner.h"
#include "support/filter_records.h"
#include "support/run_dialog.h"
#include "support/string_list.h"
#include "support/ui_steps.h"

namespace {

using testsupport::Fill;
using testsupport::Texts;

const std::string S = testsupport::kFilterSeparator;

struct Parsed {
    std::string name, description;
    std::vector<std::string> pairs;
};

Parsed Parse(const std::string& record) {
    CString name, description;
    CStringList pairs;
    ParseFilter(CString(record), name, description, pairs);
    return {name.str(), description.str(), Texts(pairs)};
}

std::string Rebuild(const std::string& record) {
    CString name, description;
    CStringList pairs;
    ParseFilter(CString(record), name, description, pairs);
    return BuildFilter(name, description, pairs).str();
}

TEST(FilterRecord, ParsesFieldsAndDropsAnUnpairedTail) {
    Parsed full = Parse("Q1" + S + "two\r\nlines" + S + "SALES.REGION" + S + "SALES.REGION = East" + S +
                        "T.C" + S + "x > 1");
    EXPECT_EQ(full.name, "Q1");
    EXPECT_EQ(full.description, "two\r\nlines");
    EXPECT_EQ(full.pairs,
              (std::vector<std::string>{"SALES.REGION" + S + "SALES.REGION = East", "T.C" + S + "x > 1"}));

    Parsed tail = Parse("N" + S + "D" + S + "lonely");
    EXPECT_TRUE(tail.pairs.empty());
    EXPECT_EQ(Rebuild("N" + S + "D" + S + "lonely"), "N" + S + "D");

    Parsed nameOnly = Parse("Just");
    EXPECT_EQ(nameOnly.name, "Just");
    EXPECT_EQ(nameOnly.description, "");
    EXPECT_TRUE(nameOnly.pairs.empty());
    EXPECT_EQ(Rebuild("Just"), "Just" + S);

    // A key followed by its separator and nothing else is a pair with an empty condition.
    EXPECT_EQ(Parse("N" + S + S + "K" + S).pairs, (std::vector<std::string>{"K" + S}));
    // Nothing is trimmed on the way in.
    EXPECT_EQ(Parse(" N " + S + " d ").name, " N ");
    EXPECT_EQ(Parse(" N " + S + " d ").description, " d ");
    EXPECT_EQ(Parse("").name, "");
}

TEST(FilterRecord, BuildTrimsTheNameAndRoundTrips) {
    CStringList pairs;
    Fill(pairs, {"A.B" + S + "A.B = 1"});
    EXPECT_EQ(BuildFilter("  Q1\t", " desc ", pairs).str(), "Q1" + S + " desc " + S + "A.B" + S + "A.B = 1");
    EXPECT_EQ(BuildFilter("   ", "desc", pairs).str(), "");
    EXPECT_EQ(DefaultFilterRecord().str(), "Default" + S + "Default filter");

    for (const std::string& record : {"Q1" + S + S + "SALES.REGION" + S + "c", "D" + S + "Default filter",
                                      "X" + S + "d\r\n" + S + "K" + S + S + "L" + S + "in (1,2)"})
        EXPECT_EQ(Rebuild(record), record);
}

TEST(FilterRecord, OnlyFieldsTheRecordGivesBackAreFit) {
    // A text ending in "$*" meets the separator after it and reads as an
    // earlier separator: "Cost$*" comes back as "Cost" with its pairs shifted.
    CStringList pairs;
    Fill(pairs, {"T.A" + S + "a"});
    EXPECT_FALSE(FilterRecordKeepsFields("Cost$*", "d", pairs));
    EXPECT_EQ(Parse(BuildFilter("Cost$*", "d", pairs).str()).name, "Cost");
    EXPECT_FALSE(FilterRecordKeepsFields("N", "d$*", pairs));
    EXPECT_FALSE(FilterRecordKeepsFields("N", "x$*$y", pairs));
    Fill(pairs, {"T.A" + S + "a$*", "T.B" + S + "b"});
    EXPECT_FALSE(FilterRecordKeepsFields("N", "d", pairs));
    // At the record's very end nothing follows, so the record alone keeps it;
    // a field is only fit when it would survive anywhere.
    Fill(pairs, {"T.A" + S + "a$*"});
    EXPECT_TRUE(FilterRecordKeepsFields("N", "d", pairs));
    EXPECT_FALSE(FitsFilterField("a$*"));
    // A nameless record gives nothing back.
    EXPECT_FALSE(FilterRecordKeepsFields("  ", "d", pairs));
    EXPECT_TRUE(FilterRecordKeepsFields("  N ", "d", pairs));

    for (const char* bad : {"$*$", "a$*$", "$*", "x$*", "  Cost$*  ", "a$*$*$b"})
        EXPECT_FALSE(FitsFilterField(bad)) << bad;
    // Near misses that cannot combine with a separator are kept.
    for (const char* good :
         {"", "$", "*", "*$", "a$", "$ *", "*$x", "a$$", "a$*b", "x = '$'", "two\r\nlines"})
        EXPECT_TRUE(FitsFilterField(good)) << good;
}

class FilterListTest : public ::testing::Test {
  protected:
    testsupport::ColumnOwner owner;
    CFilterList filters{&owner};

    std::vector<std::string> List() const { return Texts(filters.GetList()); }
    void Load(const std::vector<std::string>& records) {
        owner.savedFilters = records;
        filters.LoadFilters();
    }
    // Loads and makes the filter at `current` the current one.
    void LoadAt(int current, const std::vector<std::string>& records) {
        Load(records);
        filters.SetCurrentIndex(current);
    }
};

TEST_F(FilterListTest, LoadGivesTheDefaultFilterWhenTheLibraryHasNone) {
    Load({});
    EXPECT_EQ(List(), (std::vector<std::string>{"Default" + S + "Default filter"}));

    EXPECT_FALSE(filters.LoadFailed());
    // A failed load is shown and remembered: the list is not what the library holds.
    owner.getStatus = 7;
    Load({"A" + S + "a"});
    EXPECT_EQ(List(), (std::vector<std::string>{"Default" + S + "Default filter"}));
    EXPECT_EQ(owner.errorsShown, 1);
    EXPECT_TRUE(filters.LoadFailed());
    owner.getStatus = 0;
    Load({});
    EXPECT_FALSE(filters.LoadFailed());

    CFilterList alone;
    alone.LoadFilters();
    EXPECT_EQ(alone.GetCount(), 1);
}

TEST_F(FilterListTest, LoadSortsByNameAndTheLaterOfEqualNamesWins) {
    Load({"b" + S + "1", "A" + S + "2", "c" + S + "3"});
    EXPECT_EQ(List(), (std::vector<std::string>{"A" + S + "2", "b" + S + "1", "c" + S + "3"}));

    Load({"East" + S + "first", "Middle" + S, "Aa" + S, "EAST" + S + "second"});
    EXPECT_EQ(List(), (std::vector<std::string>{"Aa" + S, "EAST" + S + "second", "Middle" + S}));

    // Records are kept as delivered; only the comparison trims.
    Load({"  z " + S + "d", "y" + S});
    EXPECT_EQ(List(), (std::vector<std::string>{"y" + S, "  z " + S + "d"}));
    EXPECT_EQ(filters.GetCurrentIndex(), -1);
}

TEST_F(FilterListTest, NullRecordsAreSkippedAndTheLibrarysStringsAreCopied) {
    struct NullInside : testsupport::ColumnOwner {
        char a[8] = "B$*$b", b[8] = "A$*$a";
        char* records[3] = {a, nullptr, b};
        int32_t GetFilterDescConditions(char*** out, int32_t* count) override {
            *out = records;
            *count = 3;
            return 0;
        }
    } nulls;
    CFilterList list(&nulls);
    list.LoadFilters();
    nulls.a[0] = 'X';
    EXPECT_EQ(Texts(list.GetList()), (std::vector<std::string>{"A" + S + "a", "B" + S + "b"}));
}

TEST_F(FilterListTest, PositionsOutsideTheListAreHarmless) {
    Load({"A" + S, "B" + S});
    EXPECT_EQ(filters.GetFilterAt(-1).str(), "");
    EXPECT_EQ(filters.GetFilterAt(2).str(), "");
    filters.SetFilterAt("X" + CString(S), 2);
    filters.SetFilterAt("X" + CString(S), -1);
    EXPECT_EQ(List(), (std::vector<std::string>{"A" + S, "B" + S}));
    EXPECT_EQ(filters.GetCurrentFilterName().str(), "");

    CStringList names;
    names.AddTail("stale");
    Load({" A " + S, S + "nameless"});
    filters.GetFilterNames(names);
    EXPECT_EQ(Texts(names), (std::vector<std::string>{"", "A"}));
}

TEST_F(FilterListTest, RewritesChangeOnlyTheCurrentFilter) {
    LoadAt(1, {"A" + S + "a" + S + "T.X" + S + "x = 1", "B" + S + "b" + S + "T.X" + S + "x = 2"});

    EXPECT_TRUE(filters.SetCurrentDescription(" two\r\nlines "));
    EXPECT_TRUE(filters.RenameCurrentFilter("  Bee  "));
    EXPECT_EQ(filters.GetCurrentFilter().str(), "Bee" + S + " two\r\nlines " + S + "T.X" + S + "x = 2");
    EXPECT_EQ(filters.GetCurrentFilterName().str(), "Bee");

    EXPECT_TRUE(filters.ClearCurrentConditions());
    EXPECT_EQ(filters.GetCurrentFilter().str(), "Bee" + S + " two\r\nlines ");
    EXPECT_EQ(filters.GetFilterAt(0).str(), "A" + S + "a" + S + "T.X" + S + "x = 1");
}

TEST_F(FilterListTest, SetColumnConditionReplacesAppendsAndRemoves) {
    LoadAt(0, {"F" + S + S + "T.A" + S + "a1" + S + "T.B" + S + "b1"});

    EXPECT_TRUE(filters.SetColumnCondition("  t.b ", "b2"));
    EXPECT_TRUE(filters.SetColumnCondition("T.C", "c1"));
    EXPECT_EQ(filters.GetCurrentFilter().str(),
              "F" + S + S + "T.A" + S + "a1" + S + "t.b" + S + "b2" + S + "T.C" + S + "c1");

    EXPECT_TRUE(filters.SetColumnCondition("T.A", ""));
    EXPECT_TRUE(filters.SetColumnCondition("T.Z", ""));
    EXPECT_EQ(filters.GetCurrentFilter().str(), "F" + S + S + "t.b" + S + "b2" + S + "T.C" + S + "c1");

    CStringList pairs;
    filters.GetCurrentConditions(pairs);
    EXPECT_EQ(Texts(pairs), (std::vector<std::string>{"t.b" + S + "b2", "T.C" + S + "c1"}));
}

// A text holding the separator would split the record, one ending in half of
// it would shift what follows: every rewrite refuses both, and the list stays.
TEST_F(FilterListTest, TextsTheRecordCannotKeepAreRefusedEverywhere) {
    LoadAt(0, {"F" + S + "d" + S + "T.A" + S + "a"});
    const std::string before = filters.GetCurrentFilter().str();
    for (const char* bad :
         {"x$*$y", "G$*$", "a = '$*$'", "T$*$A", "N$*$M", "d$*", "Cost$*", "a = x$*", "T.B$*", "b$*"}) {
        SCOPED_TRACE(bad);
        EXPECT_FALSE(filters.SetCurrentDescription(bad));
        EXPECT_FALSE(filters.RenameCurrentFilter(bad));
        EXPECT_FALSE(filters.SetColumnCondition("T.A", bad));
        EXPECT_FALSE(filters.SetColumnCondition(bad, "b"));
        EXPECT_FALSE(CFilterList::CanHoldCondition(bad, "b"));
        EXPECT_FALSE(CFilterList::CanHoldCondition("T.B", bad));
        EXPECT_EQ(filters.AddFilter(bad, 0), -1);
    }
    // Names and keys are trimmed before they are checked.
    EXPECT_FALSE(filters.RenameCurrentFilter(" Cost$* "));
    EXPECT_FALSE(CFilterList::CanHoldCondition(" T.B$* ", "b"));
    EXPECT_TRUE(CFilterList::CanHoldCondition(" T.B ", "b = '$'"));
    EXPECT_EQ(filters.AddFilter("   ", 0), -1);
    EXPECT_EQ(filters.GetCurrentFilter().str(), before);
    EXPECT_EQ(filters.GetCount(), 1);
    // A lone "$" or "*" is no separator.
    EXPECT_TRUE(filters.SetCurrentDescription("d$"));
    EXPECT_TRUE(filters.SetColumnCondition("T.A", "*"));
    EXPECT_EQ(filters.GetCurrentFilter().str(), "F" + S + "d$" + S + "T.A" + S + "*");
}

TEST_F(FilterListTest, ARewriteThatWouldShiftADeliveredConditionIsRefused) {
    // The library delivered a last condition ending in "$*". It is kept as it
    // came; a pair after it would turn it into a separator.
    const std::string delivered = "F" + S + "d" + S + "T.A" + S + "a$*";
    LoadAt(0, {delivered});
    EXPECT_FALSE(filters.SetColumnCondition("T.B", "b"));
    EXPECT_EQ(filters.GetCurrentFilter().str(), delivered);
    // Replacing the delivered condition itself is fine.
    EXPECT_TRUE(filters.SetColumnCondition("t.a", "a"));
    EXPECT_TRUE(filters.SetColumnCondition("T.B", "b"));
    EXPECT_EQ(filters.GetCurrentFilter().str(), "F" + S + "d" + S + "t.a" + S + "a" + S + "T.B" + S + "b");
    // A copy under a new name keeps it where it is safe: at the end.
    LoadAt(0, {delivered});
    EXPECT_EQ(filters.AddFilter("G", 1), 1);
    EXPECT_EQ(filters.GetFilterAt(1).str(), "G" + S + "d" + S + "T.A" + S + "a$*");
}

TEST_F(FilterListTest, RewritesWithoutANamedCurrentFilterKeepEveryRecord) {
    Load({S + "delivered without a name" + S + "T.A" + S + "a", "B" + S});
    filters.SetCurrentIndex(-1);
    EXPECT_FALSE(filters.SetColumnCondition("T.A", "x"));
    filters.SetCurrentIndex(0);
    EXPECT_FALSE(filters.SetColumnCondition("T.A", "x"));
    EXPECT_FALSE(filters.SetCurrentDescription("d"));
    EXPECT_FALSE(filters.ClearCurrentConditions());
    EXPECT_EQ(List(),
              (std::vector<std::string>{S + "delivered without a name" + S + "T.A" + S + "a", "B" + S}));
}

TEST_F(FilterListTest, AddAppendsAndCopiesTheCurrentDefinitionOnRequest) {
    LoadAt(0, {"M" + S + "desc" + S + "T.A" + S + "a"});
    EXPECT_EQ(filters.AddFilter("  Alpha ", 0), 1);
    EXPECT_EQ(filters.AddFilter("Beta", 1), 2);
    EXPECT_EQ(List(), (std::vector<std::string>{"M" + S + "desc" + S + "T.A" + S + "a", "Alpha" + S,
                                                "Beta" + S + "desc" + S + "T.A" + S + "a"}));
    filters.SetCurrentIndex(-1);
    EXPECT_EQ(filters.AddFilter("Gamma", 1), 3);
    EXPECT_EQ(filters.GetFilterAt(3).str(), "Gamma" + S);
}

TEST_F(FilterListTest, DeleteMovesTheCurrentIndex) {
    LoadAt(1, {"A" + S, "B" + S, "C" + S});
    filters.DeleteCurrentFilter();
    EXPECT_EQ(filters.GetCurrentIndex(), 1);
    EXPECT_EQ(filters.GetCurrentFilterName().str(), "C");

    filters.DeleteCurrentFilter();
    EXPECT_EQ(filters.GetCurrentIndex(), 0);
    EXPECT_EQ(filters.GetCurrentFilterName().str(), "A");

    filters.SetCurrentIndex(5);
    filters.DeleteCurrentFilter();
    EXPECT_EQ(filters.GetCount(), 1);

    filters.SetCurrentIndex(0);
    filters.DeleteCurrentFilter();
    EXPECT_EQ(filters.GetCurrentIndex(), -1);
    EXPECT_EQ(filters.GetCount(), 0);
    filters.DeleteCurrentFilter();
    EXPECT_EQ(filters.GetCurrentIndex(), -1);
}

TEST_F(FilterListTest, SaveHandsOverTheWholeListInOrder) {
    Load({"B" + S + "b", "A" + S + "a" + S + "T.X" + S + "x"});
    filters.AddFilter("0first", 0);
    EXPECT_TRUE(filters.SaveFilters(0));
    EXPECT_EQ(owner.savedFilters,
              (std::vector<std::string>{"A" + S + "a" + S + "T.X" + S + "x", "B" + S + "b", "0first" + S}));

    // What was saved comes back, in name order, on the next load.
    filters.LoadFilters();
    EXPECT_EQ(List(),
              (std::vector<std::string>{"0first" + S, "A" + S + "a" + S + "T.X" + S + "x", "B" + S + "b"}));

    filters.SetCurrentIndex(0);
    while (filters.GetCount() > 0) filters.DeleteCurrentFilter();
    EXPECT_TRUE(filters.SaveFilters(0));
    EXPECT_EQ(owner.savedFilters, (std::vector<std::string>{"Default" + S + "Default filter"}));
    EXPECT_EQ(List(), (std::vector<std::string>{"Default" + S + "Default filter"}));
    EXPECT_EQ(owner.errorsShown, 0);
}

// Saving under a test driver, run as a window is, for the message boxes it shows.
struct Saving {
    CFilterList& filters;
    int confirm;
    INT_PTR DoModal() { return filters.SaveFilters(confirm); }
};

TEST_F(FilterListTest, SaveConfirmsOnlyWhenAskedAndShowsAFailureInstead) {
    Load({"A" + S});
    std::string shown;
    fw::TestDriver confirmed;
    confirmed.Then(testsupport::Told(shown));
    Saving withConfirmation{filters, 1};
    testsupport::ModalRun run = testsupport::RunDialog(withConfirmation, confirmed);
    EXPECT_TRUE(run.result);
    testsupport::ExpectClean(run);
    EXPECT_EQ(shown, "Saved filters successfully.");
    ASSERT_EQ(run.transcript.size(), 1u);
    EXPECT_EQ(run.transcript[0].rfind("messagebox 50516 ", 0), 0u) << run.transcript[0];

    fw::TestDriver silent;
    Saving quietly{filters, 0};
    run = testsupport::RunDialog(quietly, silent);
    EXPECT_TRUE(run.result);
    EXPECT_TRUE(run.transcript.empty());

    // A refused save shows the library's error, never the confirmation, and
    // leaves the list as it was.
    owner.setStatus = 5;
    owner.savedFilters = {"kept"};
    fw::TestDriver refused;
    run = testsupport::RunDialog(withConfirmation, refused);
    EXPECT_FALSE(run.result);
    EXPECT_TRUE(run.transcript.empty());
    EXPECT_EQ(owner.errorsShown, 1);
    EXPECT_EQ(owner.savedFilters, (std::vector<std::string>{"kept"}));
    EXPECT_EQ(List(), (std::vector<std::string>{"A" + S}));
}

class ColumnConditionTest : public ::testing::Test {
  protected:
    testsupport::ColumnOwner owner;
    CColumnTable table;
};

TEST_F(ColumnConditionTest, StoresUpTo8192BytesAndSetsFilterOnlyForHiddenColumns) {
    owner.Add("T", "SHOWN", 1);
    owner.Add("T", "HIDDEN", 0);
    ZevDTAPIColumn& shown = owner.At(0);
    ZevDTAPIColumn& hidden = owner.At(1);

    StoreColumnCondition(&shown, "T.SHOWN = 1");
    EXPECT_STREQ(shown.condition, "T.SHOWN = 1");
    EXPECT_EQ(shown.filterOnly, 0);
    StoreColumnCondition(&hidden, "T.HIDDEN = 2");
    EXPECT_STREQ(hidden.condition, "T.HIDDEN = 2");
    EXPECT_EQ(hidden.filterOnly, 1);

    std::string longest(8192, 'x');
    StoreColumnCondition(&hidden, CString(longest));
    EXPECT_EQ(std::string(hidden.condition), longest);
    EXPECT_EQ(hidden.filterOnly, 1);

    StoreColumnCondition(&hidden, CString(longest + "y"));
    EXPECT_EQ(hidden.condition[0], '\0');
    EXPECT_EQ(hidden.filterOnly, 0);

    StoreColumnCondition(&hidden, "short");
    StoreColumnCondition(&hidden, "");
    EXPECT_EQ(hidden.filterOnly, 0);
    for (char byte : hidden.condition) ASSERT_EQ(byte, '\0');
}

TEST_F(ColumnConditionTest, AStoredConditionStaysTerminatedWhateverTheFieldHeld) {
    ZevDTAPIColumn& column = owner.Add("T", "C", 1);
    std::memset(column.condition, 'z', sizeof column.condition);
    StoreColumnCondition(&column, "ab");
    EXPECT_STREQ(column.condition, "ab");
    std::memset(column.condition, 'z', sizeof column.condition);
    StoreColumnCondition(&column, CString(std::string(8192, 'q')));
    EXPECT_EQ(column.condition[8192], '\0');
    StoreColumnCondition(nullptr, "ignored");
    ClearColumnCondition(nullptr);
}

TEST_F(ColumnConditionTest, BuildSkipsNullRecordsAndClearsEveryColumn) {
    struct WithNull : testsupport::ColumnOwner {
        std::vector<ZevDTAPIColumn*> list;
        ZevDTAPIColumn** GetColumnList() const override { return const_cast<ZevDTAPIColumn**>(list.data()); }
        int32_t GetColumnCount() const override { return static_cast<int32_t>(list.size()); }
    } holes;
    ZevDTAPIColumn& a = holes.Add("T", "A", 1);
    std::strcpy(a.condition, "left over");
    a.filterOnly = 1;
    holes.list = {nullptr, &a, nullptr};
    table.Build(holes);
    ASSERT_EQ(table.GetCount(), 1);
    EXPECT_EQ(table.GetAt(0).key.str(), "T.A");
    EXPECT_EQ(a.condition[0], '\0');
    EXPECT_EQ(a.filterOnly, 0);

    table.Build(owner);
    EXPECT_EQ(table.GetCount(), 0);
    EXPECT_EQ(table.GetConditionSummary().str(), "");
}

TEST_F(ColumnConditionTest, ApplyingAFilterReplacesEveryColumnsCondition) {
    owner.Add("SALES", "REGION", 1);
    owner.Add("SALES", "UNITS", 2);
    owner.Add("SALES", "YEAR", 0);
    ZevDTAPIColumn &a = owner.At(0), &b = owner.At(1), &c = owner.At(2);
    table.Build(owner);

    CStringList first;
    Fill(first, {"SALES.UNITS" + S + "SALES.UNITS > 3", "OTHER.COLUMN" + S + "x = 1"});
    table.ApplyFilterConditions(first);
    EXPECT_STREQ(b.condition, "SALES.UNITS > 3");

    CStringList second;
    Fill(second, {"sales.region" + S + "  SALES.REGION = East \r\n", "no separator",
                  " SALES.YEAR" + S + "old", "SALES.YEAR" + S + "SALES.YEAR = 2020"});
    table.ApplyFilterConditions(second);
    EXPECT_STREQ(a.condition, "SALES.REGION = East");
    EXPECT_EQ(table.GetAt(0).condition.str(), "SALES.REGION = East");
    EXPECT_EQ(b.condition[0], '\0');
    EXPECT_EQ(table.GetAt(1).condition.str(), "");
    // A key is matched as it stands in the pair: " SALES.YEAR" names no column.
    EXPECT_STREQ(c.condition, "SALES.YEAR = 2020");
    EXPECT_EQ(c.filterOnly, 1);
    EXPECT_EQ(table.GetConditionSummary().str(), "(SALES.REGION = East) AND (SALES.YEAR = 2020)");

    table.ApplyFilterConditions(CStringList());
    EXPECT_EQ(a.condition[0], '\0');
    EXPECT_EQ(c.filterOnly, 0);
    EXPECT_EQ(table.GetConditionSummary().str(), "");
}

TEST_F(ColumnConditionTest, AnOverlongConditionStaysInTheTableButNotInTheRecord) {
    ZevDTAPIColumn& a = owner.Add("T", "A", 0);
    table.Build(owner);
    std::string overlong(8193, 'w');
    CStringList pairs;
    Fill(pairs, {"T.A" + S + overlong});
    table.ApplyFilterConditions(pairs);
    EXPECT_EQ(a.condition[0], '\0');
    EXPECT_EQ(a.filterOnly, 0);
    EXPECT_EQ(table.GetAt(0).condition.GetLength(), 8193);
    EXPECT_EQ(table.GetConditionSummary().GetLength(), 8195);
}

TEST_F(ColumnConditionTest, SummaryJoinsNonEmptyCellsInTableOrder) {
    owner.Add("T", "A", 1);
    owner.Add("T", "B", 2);
    owner.Add("T", "C", 3);
    table.Build(owner);
    table.SetColumnCondition(0, "a = 1");
    table.SetColumnCondition(1, "   ");
    table.SetColumnCondition(2, "  c in (1,2) ");
    table.SetColumnCondition(-1, "nowhere");
    table.SetColumnCondition(3, "nowhere");
    EXPECT_EQ(table.GetConditionSummary().str(), "(a = 1) AND (c in (1,2) )");
    table.ClearConditions();
    EXPECT_EQ(table.GetConditionSummary().str(), "");
    EXPECT_EQ(table.FindColumn("t.b"), 1);
    EXPECT_EQ(table.FindColumn("T.D"), -1);
}

}  // namespace
