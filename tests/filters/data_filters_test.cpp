// The wizard's data filters step on its own sheet, driven as a user would:
// what it shows of the saved filters and the column records, what it writes
// into the records, and what it hands to the library.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "filters/dt_filter.h"
#include "framework/script/test_driver.h"
#include "resources/resource.h"
#include "support/column_owner.h"
#include "support/help_wizard.h"
#include "support/filter_records.h"
#include "support/run_dialog.h"
#include "support/string_list.h"
#include "support/test_env.h"
#include "support/ui_steps.h"
#include "wizard/dt_attr_sheet.h"

using fw::SheetButton;
using fw::Ui;
using testsupport::Record;
using testsupport::Rows;
using testsupport::Steps;
using testsupport::Told;

namespace {

// The saved filter A as Report() delivers it, with the description given.
std::string FilterA(const std::string& description = "about A") {
    return Record({"A", description, "time.year", "> 2000", "OTHER.COLUMN", "= 1"});
}
const std::string kFilterB = Record({"b", "about b", "SALES.REGION", "= 'East'"});
const std::string kDefault = Record({"Default", "Default filter"});
const std::string kNamelessRecord = Record({"", "nameless", "SALES.REGION", "= 0"});

struct FilterStep {
    testsupport::ColumnOwner owner;
    CDTFilter page;
    CPropertySheet sheet{IDS_DRILL_THROUGH_REPORT, nullptr, 0};
    std::vector<std::string> transcript;

    FilterStep() {
        page.m_pOwner = &owner;
        sheet.AddPage(&page);
        sheet.SetWizardMode();
    }
    // Three columns, one of them not displayed, and two saved filters.
    void Report() {
        owner.Add("SALES", "REGION", 1);
        owner.Add("SALES", "AMOUNT", 0);
        owner.Add("TIME", "YEAR", 2);
        owner.savedFilters = {kFilterB, FilterA()};
    }

    INT_PTR Run(const Steps& steps) {
        fw::TestDriver driver;
        for (const auto& step : steps) driver.Then(step);
        return testsupport::RunCleanly(sheet, driver, &transcript);
    }

    std::vector<std::string> Filters() const { return testsupport::Texts(page.m_filters.GetList()); }
    std::string Condition(size_t column) { return owner.At(column).condition; }
};

// The step over Report()'s columns and saved filters.
struct ReportStep : FilterStep {
    ReportStep() { Report(); }
};

void Cancel(Ui& ui) {
    ui.Press(SheetButton::Cancel);
}

TEST(DataFilters, OpensOnTheFirstFilterByNameWithItsConditionsInForce) {
    ReportStep s;
    // Left over from an earlier run: the page starts from empty records.
    std::strcpy(s.owner.At(0).condition, "= 'stale'");
    s.owner.At(0).filterOnly = 1;
    std::string earlier;
    EXPECT_EQ(
        s.Run({[&](Ui& ui) {
                   EXPECT_EQ(ui.TemplateId(), unsigned(IDD_FILTER));
                   EXPECT_EQ(Rows(ui, IDC_FILTER_GRID),
                             (std::vector<std::string>{"SALES.REGION", "SALES.AMOUNT", "TIME.YEAR"}));
                   EXPECT_EQ(Rows(ui, IDC_FILTER_GRID, 1), (std::vector<std::string>{"", "", "> 2000"}));
                   EXPECT_EQ(Rows(ui, IDC_FILTER_COMBO), (std::vector<std::string>{"A", "b"}));
                   EXPECT_EQ(ui.Text(IDC_FILTER_COMBO), "A");
                   EXPECT_EQ(ui.Text(IDC_FILTER_DESCRIPTION), "about A");
                   EXPECT_EQ(ui.Text(IDC_FILTER_CONDITION), "(> 2000)");
                   EXPECT_EQ(ui.SelectedRows(IDC_FILTER_GRID), std::vector<int>{0});
                   EXPECT_TRUE(ui.Enabled(IDC_FILTER_ADD_CONDITION));
                   for (int id : {IDC_FILTER_SAVE, IDC_FILTER_DELETE, IDC_FILTER_RENAME})
                       EXPECT_TRUE(ui.Enabled(id)) << id;
                   EXPECT_TRUE(ui.Enabled(ID_WIZBACK));
                   EXPECT_FALSE(ui.Enabled(ID_WIZNEXT));
                   EXPECT_TRUE(ui.Visible(ID_WIZFINISH) && ui.Enabled(ID_WIZFINISH));
                   earlier = s.Condition(2);
                   ui.SelectRow(IDC_FILTER_COMBO, 1);
               },
               [&](Ui& ui) {
                   // Every column takes the new filter's condition or none.
                   EXPECT_EQ(ui.Text(IDC_FILTER_DESCRIPTION), "about b");
                   EXPECT_EQ(Rows(ui, IDC_FILTER_GRID, 1), (std::vector<std::string>{"= 'East'", "", ""}));
                   EXPECT_EQ(ui.Text(IDC_FILTER_CONDITION), "(= 'East')");
                   Cancel(ui);
               }}),
        IDCANCEL);
    EXPECT_EQ(earlier, "> 2000");
    EXPECT_EQ(s.Condition(0), "= 'East'");
    EXPECT_EQ(s.owner.At(0).filterOnly, 0);
    EXPECT_EQ(s.Condition(2), "");
    EXPECT_EQ(s.owner.saves, 0);
}

// The first row is selected when the step opens, and the arrow keys move on from it.
TEST(DataFilters, TheArrowKeysInTheGridMoveOnFromTheFirstRow) {
    ReportStep s;
    EXPECT_EQ(s.Run({[](Ui& ui) { testsupport::FocusOn(ui, IDC_FILTER_GRID); },
                     [](Ui& ui) {
                         EXPECT_EQ(ui.FocusId(), IDC_FILTER_GRID);
                         ui.PressKey(fw::Key::Down);
                     },
                     [](Ui& ui) {
                         EXPECT_EQ(ui.SelectedRows(IDC_FILTER_GRID), std::vector<int>{1});
                         ui.PressKey(fw::Key::Up);
                     },
                     [](Ui& ui) {
                         EXPECT_EQ(ui.SelectedRows(IDC_FILTER_GRID), std::vector<int>{0});
                         Cancel(ui);
                     }}),
              IDCANCEL);
}

TEST(DataFilters, WithoutColumnsOrSavedFiltersFinishSavesTheDefaultFilter) {
    FilterStep s;
    EXPECT_EQ(s.Run({[](Ui& ui) {
                         EXPECT_EQ(ui.RowCount(IDC_FILTER_GRID), 0);
                         EXPECT_FALSE(ui.Enabled(IDC_FILTER_ADD_CONDITION));
                         EXPECT_EQ(Rows(ui, IDC_FILTER_COMBO), std::vector<std::string>{"Default"});
                         EXPECT_EQ(ui.Text(IDC_FILTER_DESCRIPTION), "Default filter");
                         EXPECT_EQ(ui.Text(IDC_FILTER_CONDITION), "");
                         ui.Click(IDC_FILTER_CLEAR);
                     },
                     [](Ui& ui) { ui.Click(IDC_FILTER_CLEAR_ALL); },
                     [](Ui& ui) { ui.Press(SheetButton::Finish); }}),
              ID_WIZFINISH);
    EXPECT_EQ(s.owner.saves, 1);
    EXPECT_EQ(s.owner.savedFilters, std::vector<std::string>{kDefault});
    EXPECT_EQ(s.owner.errorsShown, 0);
}

// Opens the builder on the selected row, replaces its Filters text with `text`
// unless it is null, and presses OK.
Steps Build(const char* text, std::string* caption = nullptr, std::string* shown = nullptr) {
    Steps steps;
    steps.push_back([](Ui& ui) { ui.Click(IDC_FILTER_ADD_CONDITION); });
    steps.push_back([=](Ui& ui) {
        EXPECT_EQ(ui.TemplateId(), unsigned(IDD_FILTERS_PAGE));
        if (caption)
            *caption = ui.Caption();
        if (shown)
            *shown = ui.Text(IDC_BUILDER_FILTERS);
        if (text)
            ui.Type(IDC_BUILDER_FILTERS, text);
        else
            ui.Click(IDOK);
    });
    if (text)
        steps.push_back([](Ui& ui) { ui.Click(IDOK); });
    return steps;
}

void Append(Steps& to, const Steps& steps) {
    to.insert(to.end(), steps.begin(), steps.end());
}

TEST(DataFilters, TheBuildersTextBecomesTheColumnsConditionInRowRecordAndFilter) {
    ReportStep s;
    std::string caption, shown, unchanged;
    Steps steps;
    steps.push_back([](Ui& ui) { ui.SelectRow(IDC_FILTER_GRID, 1); });
    Append(steps, Build("> 5 AND\r\n< 9 \r\n\t", &caption));
    steps.push_back([](Ui& ui) {
        EXPECT_EQ(ui.RowText(IDC_FILTER_GRID, 1, 1), "> 5 AND\r\n< 9");
        EXPECT_EQ(ui.Text(IDC_FILTER_CONDITION), "(> 5 AND\r\n< 9) AND (> 2000)");
        ui.SelectRow(IDC_FILTER_GRID, 2);
    });
    // OK without a change leaves everything as it was.
    Append(steps, Build(nullptr, nullptr, &shown));
    steps.push_back([&](Ui& ui) {
        unchanged = ui.RowText(IDC_FILTER_GRID, 2, 1);
        ui.SelectRow(IDC_FILTER_GRID, 0);
    });
    // A double click opens the builder on the clicked row.
    steps.push_back([](Ui& ui) { ui.DoubleClickRow(IDC_FILTER_GRID, 0); });
    steps.push_back([](Ui& ui) { ui.Type(IDC_BUILDER_FILTERS, "= 'North'"); });
    steps.push_back([](Ui& ui) { ui.Click(IDOK); });
    steps.push_back([](Ui& ui) { ui.SelectRow(IDC_FILTER_GRID, 2); });
    // An empty text takes the condition away.
    Append(steps, Build(""));
    steps.push_back([](Ui& ui) {
        EXPECT_EQ(Rows(ui, IDC_FILTER_GRID, 1),
                  (std::vector<std::string>{"= 'North'", "> 5 AND\r\n< 9", ""}));
        EXPECT_EQ(ui.Text(IDC_FILTER_CONDITION), "(= 'North') AND (> 5 AND\r\n< 9)");
        ui.Press(SheetButton::Finish);
    });
    EXPECT_EQ(s.Run(steps), ID_WIZFINISH);
    EXPECT_EQ(caption, "Set Filter On Column : SALES.AMOUNT");
    EXPECT_EQ(shown, "> 2000");
    EXPECT_EQ(unchanged, "> 2000");
    EXPECT_EQ(s.Condition(0), "= 'North'");
    EXPECT_EQ(s.owner.At(0).filterOnly, 0);
    EXPECT_EQ(s.Condition(1), "> 5 AND\r\n< 9");
    EXPECT_EQ(s.owner.At(1).filterOnly, 1);  // filtered by, not displayed
    EXPECT_EQ(s.Condition(2), "");
    // The pair of the column the report lacks survives; the others follow the page.
    EXPECT_EQ(s.owner.savedFilters,
              (std::vector<std::string>{Record({"A", "about A", "OTHER.COLUMN", "= 1", "SALES.AMOUNT",
                                                "> 5 AND\r\n< 9", "SALES.REGION", "= 'North'"}),
                                        kFilterB}));
}

TEST(DataFilters, ClearAndClearAllTakeConditionsFromColumnsAndTheCurrentFilter) {
    ReportStep s;
    s.owner.savedFilters.push_back(
        Record({"C", "", "SALES.REGION", "= 1", "TIME.YEAR", "= 2", "OTHER.COLUMN", "= 3"}));
    EXPECT_EQ(s.Run({[](Ui& ui) { ui.SelectRow(IDC_FILTER_COMBO, 2); },
                     [](Ui& ui) {
                         EXPECT_EQ(ui.Text(IDC_FILTER_CONDITION), "(= 1) AND (= 2)");
                         ui.SelectRow(IDC_FILTER_GRID, 2);
                     },
                     [](Ui& ui) { ui.Click(IDC_FILTER_CLEAR); },
                     [&](Ui& ui) {
                         EXPECT_EQ(Rows(ui, IDC_FILTER_GRID, 1), (std::vector<std::string>{"= 1", "", ""}));
                         EXPECT_EQ(ui.Text(IDC_FILTER_CONDITION), "(= 1)");
                         EXPECT_EQ(s.Condition(2), "");
                         ui.SelectRow(IDC_FILTER_COMBO, 0);
                     },
                     [](Ui& ui) { ui.Click(IDC_FILTER_CLEAR_ALL); },
                     [&](Ui& ui) {
                         EXPECT_EQ(Rows(ui, IDC_FILTER_GRID, 1), (std::vector<std::string>{"", "", ""}));
                         EXPECT_EQ(ui.Text(IDC_FILTER_CONDITION), "");
                         EXPECT_EQ(ui.Text(IDC_FILTER_DESCRIPTION), "about A");
                         ui.Click(IDC_FILTER_SAVE);
                     },
                     testsupport::ToldThat("Saved filters successfully."), Cancel}),
              IDCANCEL);
    EXPECT_EQ(s.owner.saves, 1);
    EXPECT_EQ(s.owner.savedFilters,
              (std::vector<std::string>{Record({"A", "about A"}), kFilterB,
                                        Record({"C", "", "SALES.REGION", "= 1", "OTHER.COLUMN", "= 3"})}));
}

TEST(DataFilters, AnEditedDescriptionStaysWithItsFilterUntilTheWizardIsCancelled) {
    ReportStep s;
    EXPECT_EQ(s.Run({[](Ui& ui) { ui.Type(IDC_FILTER_DESCRIPTION, "two\r\nlines "); },
                     [](Ui& ui) { ui.SelectRow(IDC_FILTER_COMBO, 1); },
                     [](Ui& ui) {
                         EXPECT_EQ(ui.Text(IDC_FILTER_DESCRIPTION), "about b");
                         ui.SelectRow(IDC_FILTER_COMBO, 0);
                     },
                     [](Ui& ui) {
                         EXPECT_EQ(ui.Text(IDC_FILTER_DESCRIPTION), "two\r\nlines ");
                         Cancel(ui);
                     }}),
              IDCANCEL);
    EXPECT_EQ(s.owner.saves, 0);
    EXPECT_EQ(s.Filters()[0], FilterA("two\r\nlines "));
}

TEST(DataFilters, FiltersAreAddedRenamedAndDeletedInListAndComboAlike) {
    ReportStep s;
    s.owner.savedFilters.push_back(Record({"c", "about c"}));
    bool copyShownOnRename = true;
    std::string renameInitial;
    EXPECT_EQ(
        s.Run(
            {// A copy of A, appended after all others even though it sorts first.
             [](Ui& ui) { ui.Click(IDC_FILTER_ADD_NEW); },
             [](Ui& ui) {
                 EXPECT_EQ(ui.TemplateId(), unsigned(IDD_FILTER_NAME));
                 ui.Type(IDC_NAME_EDIT, "  Aa copy ");
             },
             [](Ui& ui) { ui.SetCheck(IDC_NAME_COPY, true); }, [](Ui& ui) { ui.Click(IDOK); },
             [](Ui& ui) {
                 EXPECT_EQ(Rows(ui, IDC_FILTER_COMBO), (std::vector<std::string>{"A", "b", "c", "Aa copy"}));
                 EXPECT_EQ(ui.Text(IDC_FILTER_COMBO), "Aa copy");
                 EXPECT_EQ(ui.Text(IDC_FILTER_DESCRIPTION), "about A");
                 EXPECT_EQ(ui.RowText(IDC_FILTER_GRID, 2, 1), "> 2000");
                 ui.Click(IDC_FILTER_RENAME);
             },
             [&](Ui& ui) {
                 copyShownOnRename = ui.Visible(IDC_NAME_COPY);
                 renameInitial = ui.Text(IDC_NAME_EDIT);
                 ui.Type(IDC_NAME_EDIT, " Zed ");
             },
             [](Ui& ui) { ui.Click(IDOK); },
             [](Ui& ui) {
                 // The renamed filter keeps its place.
                 EXPECT_EQ(Rows(ui, IDC_FILTER_COMBO), (std::vector<std::string>{"A", "b", "c", "Zed"}));
                 EXPECT_EQ(ui.Text(IDC_FILTER_COMBO), "Zed");
                 ui.SelectRow(IDC_FILTER_COMBO, 1);
             },
             // Deleting the middle one makes the following one current.
             [](Ui& ui) { ui.Click(IDC_FILTER_DELETE); },
             testsupport::ToldThat("Are you sure you want to delete the current filter?", IDNO),
             [](Ui& ui) {
                 EXPECT_EQ(ui.RowCount(IDC_FILTER_COMBO), 4);
                 ui.Click(IDC_FILTER_DELETE);
             },
             [](Ui& ui) { ui.Answer(IDYES); },
             [](Ui& ui) {
                 EXPECT_EQ(Rows(ui, IDC_FILTER_COMBO), (std::vector<std::string>{"A", "c", "Zed"}));
                 EXPECT_EQ(ui.Text(IDC_FILTER_COMBO), "c");
                 EXPECT_EQ(ui.Text(IDC_FILTER_DESCRIPTION), "about c");
                 EXPECT_EQ(ui.Text(IDC_FILTER_CONDITION), "");
                 ui.SelectRow(IDC_FILTER_COMBO, 2);
             },
             // Deleting the last one makes the one before it current.
             [](Ui& ui) { ui.Click(IDC_FILTER_DELETE); }, [](Ui& ui) { ui.Answer(IDYES); },
             [](Ui& ui) {
                 EXPECT_EQ(ui.Text(IDC_FILTER_COMBO), "c");
                 ui.Press(SheetButton::Finish);
             }}),
        ID_WIZFINISH);
    EXPECT_FALSE(copyShownOnRename);
    EXPECT_EQ(renameInitial, "Aa copy");
    EXPECT_EQ(s.owner.savedFilters, (std::vector<std::string>{FilterA(), Record({"c", "about c"})}));
}

TEST(DataFilters, AfterAllFiltersAreDeletedConditionsBelongToNoFilterUntilOneIsAdded) {
    ReportStep s;
    s.owner.savedFilters.pop_back();  // b alone
    Steps steps = {[](Ui& ui) { ui.Click(IDC_FILTER_DELETE); }, [](Ui& ui) { ui.Answer(IDYES); },
                   testsupport::ToldThat("All filters deleted."),
                   [&](Ui& ui) {
                       EXPECT_EQ(ui.RowCount(IDC_FILTER_COMBO), 0);
                       EXPECT_EQ(ui.Text(IDC_FILTER_DESCRIPTION), "");
                       EXPECT_EQ(ui.Text(IDC_FILTER_CONDITION), "");
                       EXPECT_EQ(Rows(ui, IDC_FILTER_GRID, 1), (std::vector<std::string>{"", "", ""}));
                       EXPECT_EQ(s.Condition(0), "");
                       for (int id : {IDC_FILTER_SAVE, IDC_FILTER_DELETE, IDC_FILTER_RENAME})
                           EXPECT_FALSE(ui.Enabled(id)) << id;
                       EXPECT_EQ(s.page.m_filters.GetCurrentIndex(), -1);
                       ui.SelectRow(IDC_FILTER_GRID, 2);
                   }};
    Append(steps, Build("= 1999"));
    steps.push_back([&](Ui& ui) {
        EXPECT_EQ(ui.RowText(IDC_FILTER_GRID, 2, 1), "= 1999");
        EXPECT_EQ(s.Condition(2), "= 1999");
        ui.Click(IDC_FILTER_ADD_NEW);
    });
    steps.push_back([](Ui& ui) { ui.Type(IDC_NAME_EDIT, "Fresh"); });
    steps.push_back([](Ui& ui) { ui.Click(IDOK); });
    steps.push_back([](Ui& ui) {
        EXPECT_EQ(Rows(ui, IDC_FILTER_COMBO), std::vector<std::string>{"Fresh"});
        EXPECT_EQ(ui.Text(IDC_FILTER_COMBO), "Fresh");
        // The new filter starts empty: the conditions set meanwhile are gone.
        EXPECT_EQ(ui.RowText(IDC_FILTER_GRID, 2, 1), "");
        for (int id : {IDC_FILTER_SAVE, IDC_FILTER_DELETE, IDC_FILTER_RENAME})
            EXPECT_TRUE(ui.Enabled(id)) << id;
        ui.Press(SheetButton::Finish);
    });
    EXPECT_EQ(s.Run(steps), ID_WIZFINISH);
    EXPECT_EQ(s.owner.savedFilters, std::vector<std::string>{Record({"Fresh", ""})});
}

TEST(DataFilters, AFailedSaveIsShownAndFinishStillEndsTheWizard) {
    ReportStep s;
    s.owner.setStatus = 7;
    EXPECT_EQ(
        s.Run({[](Ui& ui) { ui.Click(IDC_FILTER_SAVE); }, [](Ui& ui) { ui.Press(SheetButton::Finish); }}),
        ID_WIZFINISH);
    EXPECT_EQ(s.owner.saves, 2);
    EXPECT_EQ(s.owner.errorsShown, 2);
    EXPECT_EQ(s.Filters().size(), 2u);
}

// A record the library delivers without a name still gets its entry, so that
// every entry chooses its own filter.
TEST(DataFilters, ANamelessRecordKeepsComboAndListInStep) {
    ReportStep s;
    s.owner.savedFilters.push_back(kNamelessRecord);
    EXPECT_EQ(s.Run({[](Ui& ui) {
                         EXPECT_EQ(Rows(ui, IDC_FILTER_COMBO), (std::vector<std::string>{"", "A", "b"}));
                         EXPECT_EQ(ui.Text(IDC_FILTER_DESCRIPTION), "nameless");
                         ui.SelectRow(IDC_FILTER_COMBO, 2);
                     },
                     [](Ui& ui) {
                         EXPECT_EQ(ui.Text(IDC_FILTER_DESCRIPTION), "about b");
                         EXPECT_EQ(ui.RowText(IDC_FILTER_GRID, 0, 1), "= 'East'");
                         ui.Press(SheetButton::Finish);
                     }}),
              ID_WIZFINISH);
    EXPECT_EQ(s.owner.savedFilters.size(), 3u);
    EXPECT_EQ(s.owner.savedFilters[0], kNamelessRecord);
}

const char kRefusedText[] = "A filter text cannot contain $*$ or end with $*.";

// Each change of the box is one key. A text holding the separator is
// refused at the key; one that merely ends in "$*" may be on its way to one
// the filter can keep, and is checked where the record is written: a filter
// switch, Save Filters, Finish.
TEST(DataFilters, ADescriptionIsCheckedWhereTheRecordIsWritten) {
    ReportStep s;
    std::vector<std::string> told, shown;
    const auto answer = Told(told);
    auto look = [&](Ui& ui) { shown.push_back(ui.Text(IDC_FILTER_DESCRIPTION)); };
    EXPECT_EQ(s.Run({[](Ui& ui) { ui.Type(IDC_FILTER_DESCRIPTION, "Price $"); },
                     [](Ui& ui) { ui.Type(IDC_FILTER_DESCRIPTION, "Price $*"); },
                     [](Ui& ui) { ui.Type(IDC_FILTER_DESCRIPTION, "Price $*1"); },
                     [](Ui& ui) { ui.Type(IDC_FILTER_DESCRIPTION, "Price $*"); },
                     [](Ui& ui) { ui.SelectRow(IDC_FILTER_COMBO, 1); }, answer,
                     [&](Ui& ui) {
                         look(ui);
                         ui.SelectRow(IDC_FILTER_COMBO, 0);
                     },
                     [&](Ui& ui) {
                         look(ui);
                         ui.Type(IDC_FILTER_DESCRIPTION, "Price $*$");
                     },
                     answer,
                     [&](Ui& ui) {
                         look(ui);
                         ui.Type(IDC_FILTER_DESCRIPTION, "Price $*");
                     },
                     [](Ui& ui) { ui.Click(IDC_FILTER_SAVE); }, answer, answer,
                     [&](Ui& ui) {
                         look(ui);
                         ui.Type(IDC_FILTER_DESCRIPTION, "Price $*");
                     },
                     [](Ui& ui) { ui.Press(SheetButton::Finish); }, answer}),
              ID_WIZFINISH);
    EXPECT_EQ(told, (std::vector<std::string>{kRefusedText, kRefusedText, kRefusedText,
                                              "Saved filters successfully.", kRefusedText}));
    EXPECT_EQ(shown, (std::vector<std::string>{"about b", "Price $*1", "Price $*1", "Price $*1"}));
    EXPECT_EQ(s.owner.saves, 2);
    EXPECT_EQ(s.owner.savedFilters[0], FilterA("Price $*1"));

    // A delivered description ending in "$*" that the record keeps at its end
    // can be typed back after a Backspace.
    FilterStep t;
    t.owner.savedFilters = {Record({"D", "Price $*"})};
    EXPECT_EQ(t.Run({[](Ui& ui) {
                         EXPECT_EQ(ui.Text(IDC_FILTER_DESCRIPTION), "Price $*");
                         ui.Type(IDC_FILTER_DESCRIPTION, "Price $");
                     },
                     [](Ui& ui) { ui.Type(IDC_FILTER_DESCRIPTION, "Price $*"); },
                     [](Ui& ui) { ui.Press(SheetButton::Finish); }}),
              ID_WIZFINISH);
    EXPECT_EQ(t.owner.savedFilters, std::vector<std::string>{Record({"D", "Price $*"})});
}

// Typed key by key, a text ending in "$*" waits in the box; leaving the box
// for another control writes the record, so the user is told there, once, and
// box and filter keep the last text the filter can hold. Leaving it for
// Cancel, and with the closing wizard, tells nothing.
TEST(DataFilters, LeavingTheDescriptionBoxChecksItsText) {
    ReportStep s;
    std::vector<std::string> told;
    auto typeIn = [](Ui& ui) {
        testsupport::FocusOn(ui, IDC_FILTER_DESCRIPTION);
        const std::string text = "Price $*";
        for (size_t n = 1; n <= text.size(); ++n) ui.Type(IDC_FILTER_DESCRIPTION, text.substr(0, n));
    };
    EXPECT_EQ(s.Run({typeIn,
                     [](Ui& ui) {
                         EXPECT_EQ(ui.FocusId(), IDC_FILTER_DESCRIPTION);
                         ui.PressKey(fw::Key::Tab);
                     },
                     Told(told),
                     [&](Ui& ui) {
                         EXPECT_EQ(ui.Text(IDC_FILTER_DESCRIPTION), "Price $");
                         EXPECT_NE(ui.FocusId(), IDC_FILTER_DESCRIPTION);
                         EXPECT_EQ(s.Filters()[0], FilterA("Price $"));
                         typeIn(ui);
                     },
                     [](Ui& ui) { ui.Click(IDCANCEL); }}),
              IDCANCEL);
    EXPECT_EQ(told, std::vector<std::string>{kRefusedText});
    size_t boxes = 0;
    for (const std::string& line : s.transcript) boxes += line.find("messagebox") != std::string::npos;
    EXPECT_EQ(boxes, 1u);
    EXPECT_EQ(s.owner.saves, 0);
}

// The builder refuses at OK what the saved filter could not keep, and stays
// open; its Cancel then leaves row, column record and filter as they were.
TEST(DataFilters, ABuilderConditionTheFilterCannotKeepChangesNoneOfTheThree) {
    ReportStep s;
    std::vector<std::string> refusals;
    const auto refused = Told(refusals);
    EXPECT_EQ(s.Run({[](Ui& ui) { ui.SelectRow(IDC_FILTER_GRID, 2); },
                     [](Ui& ui) { ui.Click(IDC_FILTER_ADD_CONDITION); },
                     [](Ui& ui) { ui.Type(IDC_BUILDER_FILTERS, "> 1 $*$ < 3"); },
                     [](Ui& ui) { ui.Click(IDOK); }, refused,
                     [](Ui& ui) {
                         EXPECT_EQ(ui.TemplateId(), unsigned(IDD_FILTERS_PAGE));
                         // Trailing blanks are dropped before the text is stored.
                         ui.Type(IDC_BUILDER_FILTERS, "> x$*  \r\n");
                     },
                     [](Ui& ui) { ui.Click(IDOK); }, refused,
                     [](Ui& ui) {
                         EXPECT_EQ(ui.TemplateId(), unsigned(IDD_FILTERS_PAGE));
                         ui.Click(IDCANCEL);
                     },
                     [](Ui& ui) {
                         EXPECT_EQ(ui.TemplateId(), unsigned(IDD_FILTER));
                         EXPECT_EQ(ui.RowText(IDC_FILTER_GRID, 2, 1), "> 2000");
                         ui.Press(SheetButton::Finish);
                     }}),
              ID_WIZFINISH);
    EXPECT_EQ(refusals, std::vector<std::string>(2, kRefusedText));
    EXPECT_EQ(s.Condition(2), "> 2000");
    EXPECT_EQ(s.owner.savedFilters[0], FilterA());
}

// A column whose key the record cannot keep takes no condition at all, and
// the user learns it before writing one: the builder does not open.
TEST(DataFilters, AColumnKeyTheFilterCannotKeepIsRefusedBeforeTheBuilderOpens) {
    FilterStep s;
    s.owner.Add("T", "X$*", 1);
    std::string refusal;
    EXPECT_EQ(s.Run({[](Ui& ui) { ui.SelectRow(IDC_FILTER_GRID, 0); },
                     [](Ui& ui) { ui.Click(IDC_FILTER_ADD_CONDITION); }, Told(refusal),
                     [](Ui& ui) {
                         EXPECT_EQ(ui.TemplateId(), unsigned(IDD_FILTER));
                         EXPECT_EQ(ui.RowText(IDC_FILTER_GRID, 0, 1), "");
                         ui.Press(SheetButton::Finish);
                     }}),
              ID_WIZFINISH);
    EXPECT_EQ(refusal,
              "The column T.X$* cannot take a saved condition: its name contains $*$ or ends with $*, "
              "which a saved filter cannot keep.");
    EXPECT_EQ(s.Condition(0), "");
    EXPECT_EQ(s.owner.savedFilters, std::vector<std::string>{kDefault});
}

const char kNameless[] = "The current filter has no name and cannot be changed.";

// On a record the list cannot rewrite, no change reaches the row, the column
// record or the filter: each is refused with its reason, as Rename is.
TEST(DataFilters, ARecordTheListCannotRewriteTakesNoChangeAnywhere) {
    ReportStep s;
    // The last condition ends in "$*": a pair after it would swallow it.
    const std::string shifting = Record({"C", "about C", "SALES.REGION", "= 'Plze\xc5\x88 $*"});
    s.owner.savedFilters.push_back(kNamelessRecord);
    s.owner.savedFilters.push_back(shifting);
    const std::vector<std::string> delivered = {kNamelessRecord, FilterA(), kFilterB, shifting};
    std::vector<std::string> told;
    const auto answer = Told(told);
    auto unchanged = [&](Ui& ui, const char* region) {
        EXPECT_EQ(Rows(ui, IDC_FILTER_GRID, 1), (std::vector<std::string>{region, "", ""}));
        EXPECT_EQ(s.Condition(0), region);
        EXPECT_EQ(s.Condition(2), "");
    };
    Steps steps = {[](Ui& ui) {
                       EXPECT_EQ(ui.Text(IDC_FILTER_DESCRIPTION), "nameless");
                       ui.Click(IDC_FILTER_RENAME);
                   },
                   answer, [](Ui& ui) { ui.SelectRow(IDC_FILTER_GRID, 2); }};
    Append(steps, Build("= 1"));
    steps.push_back(answer);
    steps.push_back([&](Ui& ui) {
        unchanged(ui, "= 0");
        ui.Click(IDC_FILTER_CLEAR_ALL);
    });
    steps.push_back(answer);
    steps.push_back([&](Ui& ui) {
        unchanged(ui, "= 0");
        ui.Type(IDC_FILTER_DESCRIPTION, "x");
    });
    steps.push_back(answer);
    steps.push_back([&](Ui& ui) {
        EXPECT_EQ(ui.Text(IDC_FILTER_DESCRIPTION), "nameless");
        ui.SelectRow(IDC_FILTER_COMBO, 3);
    });
    steps.push_back([](Ui& ui) { ui.SelectRow(IDC_FILTER_GRID, 2); });
    Append(steps, Build("= 2"));
    steps.push_back(answer);
    steps.push_back([&](Ui& ui) {
        unchanged(ui, "= 'Plze\xc5\x88 $*");
        ui.Press(SheetButton::Finish);
    });
    EXPECT_EQ(s.Run(steps), ID_WIZFINISH);
    EXPECT_EQ(told,
              (std::vector<std::string>{
                  kNameless, kNameless, kNameless, kNameless,
                  "This saved filter cannot take the change: its record would no longer read back as it was "
                  "saved."}));
    EXPECT_EQ(s.owner.savedFilters, delivered);
}

// Keys are trimmed wherever they are compared: a stored key with blanks
// around it acts on its column, and a column key with blanks is shown trimmed.
TEST(DataFilters, KeysWithBlanksAroundThemNameTheirColumn) {
    ReportStep s;
    s.owner.Add("  SALES", "CITY  ", 3);
    s.owner.savedFilters.push_back(
        Record({"K", "", " sales.region ", "= 'East'", "SALES.CITY", "= 'Krak\xc3\xb3w'"}));
    Steps steps = {[](Ui& ui) { ui.SelectRow(IDC_FILTER_COMBO, 2); },
                   [&](Ui& ui) {
                       EXPECT_EQ(ui.RowText(IDC_FILTER_GRID, 3, 0), "SALES.CITY");
                       EXPECT_EQ(Rows(ui, IDC_FILTER_GRID, 1),
                                 (std::vector<std::string>{"= 'East'", "", "", "= 'Krak\xc3\xb3w'"}));
                       EXPECT_EQ(s.Condition(0), "= 'East'");
                       ui.SelectRow(IDC_FILTER_GRID, 0);
                   }};
    Append(steps, Build("= 'North'"));
    steps.push_back([](Ui& ui) { ui.Press(SheetButton::Finish); });
    EXPECT_EQ(s.Run(steps), ID_WIZFINISH);
    EXPECT_EQ(s.Condition(3), "= 'Krak\xc3\xb3w'");
    EXPECT_EQ(s.owner.savedFilters[2],
              Record({"K", "", "SALES.REGION", "= 'North'", "SALES.CITY", "= 'Krak\xc3\xb3w'"}));
}

const char kReplaceQuestion[] =
    "The saved filters could not be read. Saving replaces all saved filters of this "
    "report with the filters shown here.\r\n\r\nSave them anyway?";

// A load that failed (a lock, a late server) is shown, and what the library
// still holds is replaced only when the user changed the list and says so.
TEST(DataFilters, AFailedLoadIsShownAndTheLibrarysFiltersAreReplacedOnlyOnTheUsersWord) {
    ReportStep s;
    s.owner.savedFilters.push_back(Record({"Krak\xc3\xb3w", "Plze\xc5\x88", "SALES.REGION", "= 1"}));
    const std::vector<std::string> held = s.owner.savedFilters;
    s.owner.getStatus = 2007002;
    std::string told;
    EXPECT_EQ(s.Run({[&](Ui& ui) {
                         EXPECT_EQ(s.owner.errorsShown, 1);
                         EXPECT_EQ(Rows(ui, IDC_FILTER_COMBO), std::vector<std::string>{"Default"});
                         ui.Click(IDC_FILTER_SAVE);
                     },
                     Told(told), [](Ui& ui) { ui.Press(SheetButton::Finish); }}),
              ID_WIZFINISH);
    EXPECT_EQ(told,
              "The saved filters could not be read, so nothing was saved: the saved filters of this report "
              "stay as they are.");
    EXPECT_EQ(s.owner.saves, 0);
    EXPECT_EQ(s.owner.savedFilters, held);

    // A filter added on purpose: Save asks, No keeps the library's; Finish
    // asks again, and Yes replaces them.
    FilterStep t;
    t.owner.savedFilters = held;
    t.owner.getStatus = 2007002;
    std::vector<std::string> asked;
    EXPECT_EQ(t.Run({[](Ui& ui) { ui.Click(IDC_FILTER_ADD_NEW); },
                     [](Ui& ui) { ui.Type(IDC_NAME_EDIT, "Plze\xc5\x88"); }, [](Ui& ui) { ui.Click(IDOK); },
                     [](Ui& ui) { ui.Click(IDC_FILTER_SAVE); }, Told(asked, IDNO),
                     [&](Ui& ui) {
                         EXPECT_EQ(t.owner.saves, 0);
                         ui.Press(SheetButton::Finish);
                     },
                     Told(asked, IDYES)}),
              ID_WIZFINISH);
    EXPECT_EQ(asked, std::vector<std::string>(2, kReplaceQuestion));
    EXPECT_EQ(t.owner.saves, 1);
    EXPECT_EQ(t.owner.savedFilters, (std::vector<std::string>{kDefault, Record({"Plze\xc5\x88", ""})}));
}

// The step in the wizard: the fourth and last, the only one with Finish. (Its
// place on the sheet is checked with the other steps' in the wizard's tests.)
TEST(DataFiltersInTheWizard, TheLastStepFinishesTheWizardAndHasItsOwnHelp) {
    testsupport::HelpWizard wizard;
    fw::TestDriver driver;
    for (int step = 0; step < 3; ++step) driver.Then([](Ui& ui) { ui.Press(SheetButton::Next); });
    driver
        .Then([](Ui& ui) {
            EXPECT_EQ(ui.TemplateId(), unsigned(IDD_FILTER));
            EXPECT_EQ(ui.Caption(), "Select Data Filters");
            EXPECT_TRUE(ui.Enabled(ID_WIZBACK));
            EXPECT_FALSE(ui.Enabled(ID_WIZNEXT));
            EXPECT_TRUE(ui.Enabled(ID_WIZFINISH) && ui.Visible(ID_WIZFINISH));
            ui.Press(SheetButton::Help);
        })
        .Then([](Ui& ui) { ui.Press(SheetButton::Back); })
        .Then([](Ui& ui) {
            EXPECT_EQ(ui.TemplateId(), unsigned(IDD_ORDER_LIST));
            ui.Press(SheetButton::Next);
        })
        .Then([](Ui& ui) {
            // Back and forth keeps what the step showed.
            EXPECT_EQ(ui.Text(IDC_FILTER_DESCRIPTION), "Default filter");
            ui.Press(SheetButton::Finish);
        });
    EXPECT_EQ(testsupport::RunCleanly(wizard.sheet, driver), ID_WIZFINISH);
    EXPECT_EQ(wizard.shell.paths(),
              std::vector<std::string>{testsupport::kHelpDocs + "idh_select_data_filters_dialog_box.html"});
    EXPECT_EQ(wizard.owner.saves, 1);
}

}  // namespace
