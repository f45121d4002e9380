// The column-filter builder on screen: operators, typed and picked values,
// joining conditions, and the value fetch beside its wait dialog.
#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "filters/df_property_sheet.h"
#include "filters/value_fetch.h"
#include "framework/script/test_driver.h"
#include "resources/resource.h"
#include "support/column_owner.h"
#include "support/run_dialog.h"
#include "support/test_env.h"
#include "support/ui_steps.h"

#ifdef _WIN32
#include "framework/win32/win32_api.h"
#else
#include "framework/headless/headless_backend.h"
#endif

namespace {

using testsupport::Rows;

int CursorDepth() {
#ifdef _WIN32
    return fw::Win32WaitCursorDepth();
#else
    return static_cast<fw::headless::HeadlessBackend&>(fw::CurrentBackend()).WaitCursorDepth();
#endif
}

// The sheet's Apply Now button, which the builder must not show; no resource names it.
constexpr int kApply = 0x3021;

struct Outcome {
    INT_PTR result = 0;
    bool modified = false;
    std::string filters;
};

std::string Combo(fw::Ui& ui, int id) {
    std::vector<int> rows = ui.SelectedRows(id);
    return rows.empty() ? std::string() : ui.RowText(id, rows.front());
}

bool Checked(fw::Ui& ui, int id) {
    return fw::CurrentBackend().SendMessage(ui.Control(id), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

// The builder on one column of the owner's report.
struct BuilderSheet : CDFPropertySheet {
    BuilderSheet(testsupport::ColumnOwner& owner, ZevDTAPIColumn& column, LPCTSTR caption = "x")
        : CDFPropertySheet(caption) {
        m_filtersPage.m_pOwner = &owner;
        m_filtersPage.m_pColumn = &column;
    }
};

class Builder : public ::testing::Test {
  protected:
    Builder() { column = &owner.Add("SALES", "REGION", 1, 10); }

    Outcome Run(const char* filters) {
        CString caption;
        caption.LoadString(IDS_SET_FILTER_ON_COLUMN);
        caption.Format(CString(caption), "SALES.REGION");
        BuilderSheet sheet(owner, *column, caption);
        sheet.m_filtersPage.m_strFilters = filters;
        Outcome out;
        out.result = testsupport::RunCleanly(sheet, driver);
        out.modified = sheet.m_filtersPage.m_bModified;
        out.filters = sheet.m_filtersPage.m_strFilters.str();
        EXPECT_EQ(CursorDepth(), 0) << "a way out left the busy cursor on";
        return out;
    }

    void Add() {
        driver.Then([](fw::Ui& ui) { ui.Click(IDC_BUILDER_ADD); });
    }
    void Ok() {
        driver.Then([](fw::Ui& ui) { ui.Click(IDOK); });
    }

    testsupport::ColumnOwner owner;
    ZevDTAPIColumn* column;
    fw::TestDriver driver;
};

TEST_F(Builder, OpensWithTheColumnTheOperatorsAndOrChosen) {
    std::vector<std::string> ops;
    driver.Then([&](fw::Ui& ui) {
        EXPECT_EQ(ui.Caption(), "Set Filter On Column : SALES.REGION");
        EXPECT_EQ(ui.TemplateId(), unsigned(IDD_FILTERS_PAGE));
        EXPECT_EQ(ui.RowCount(IDC_BUILDER_COLUMN), 1);
        EXPECT_EQ(Combo(ui, IDC_BUILDER_COLUMN), "REGION");
        ops = Rows(ui, IDC_BUILDER_OPERATOR);
        EXPECT_EQ(Combo(ui, IDC_BUILDER_OPERATOR), "in");
        EXPECT_TRUE(Checked(ui, IDC_BUILDER_OR));
        EXPECT_FALSE(Checked(ui, IDC_BUILDER_AND));
        EXPECT_EQ(ui.Text(IDC_BUILDER_FILTERS), "SALES.REGION = North");
        EXPECT_FALSE(ui.Enabled(IDC_BUILDER_ADD));
        EXPECT_TRUE(ui.Visible(IDHELP));
        EXPECT_FALSE(ui.Has(kApply) && ui.Visible(kApply));
        ui.Type(IDC_BUILDER_VALUE, " ");  // a blank is a value
    });
    driver.Then([](fw::Ui& ui) {
        EXPECT_TRUE(ui.Enabled(IDC_BUILDER_ADD));
        ui.Click(IDOK);
    });
    Outcome out = Run("SALES.REGION = North");
    EXPECT_EQ(
        ops, (std::vector<std::string>{"in", "not in", "like", "not like", "=", "<>", "<", "<=", ">", ">="}));
    // Neither the value nor the radio choice is a change of the condition.
    EXPECT_EQ(out.result, IDOK);
    EXPECT_FALSE(out.modified);
}

TEST_F(Builder, TypedValuesAreAppendedAsTypedAndJoinedWithTheChosenWord) {
    driver.Then([](fw::Ui& ui) {
        ui.SelectRow(IDC_BUILDER_OPERATOR, 4);  // =
    });
    driver.Then([](fw::Ui& ui) { ui.Type(IDC_BUILDER_VALUE, "O'Neil"); });
    Add();
    driver.Then([](fw::Ui& ui) {
        EXPECT_EQ(ui.Text(IDC_BUILDER_FILTERS), "SALES.REGION = O'Neil");
        EXPECT_EQ(ui.Text(IDC_BUILDER_VALUE), "");
        EXPECT_FALSE(ui.Enabled(IDC_BUILDER_ADD));
        ui.SelectRow(IDC_BUILDER_OPERATOR, 0);  // in: typed, so no brackets
    });
    driver.Then([](fw::Ui& ui) { ui.Type(IDC_BUILDER_VALUE, "East,West"); });
    Add();  // Or is preselected
    driver.Then([](fw::Ui& ui) { ui.Click(IDC_BUILDER_AND); });
    driver.Then([](fw::Ui& ui) { ui.Type(IDC_BUILDER_VALUE, "S%"); });
    driver.Then([](fw::Ui& ui) { ui.SelectRow(IDC_BUILDER_OPERATOR, 2); });  // like
    Add();
    Ok();
    Outcome out = Run("");
    EXPECT_EQ(out.result, IDOK);
    EXPECT_TRUE(out.modified);
    EXPECT_EQ(out.filters,
              "SALES.REGION = O'Neil OR \r\nSALES.REGION in East,West AND \r\nSALES.REGION like S%");
}

TEST_F(Builder, AddDisablingItselfHandsTheFocusToTheValueAndKeysGoOnWorking) {
    driver.Then([](fw::Ui& ui) { ui.Type(IDC_BUILDER_VALUE, "Brno"); });
    driver.Then([](fw::Ui& ui) { testsupport::FocusOn(ui, IDC_BUILDER_ADD); });
    driver.Then([](fw::Ui& ui) {
        EXPECT_EQ(ui.FocusId(), IDC_BUILDER_ADD);
        ui.PressKey(fw::Key::Space);
    });
    driver.Then([](fw::Ui& ui) {
        EXPECT_FALSE(ui.Enabled(IDC_BUILDER_ADD));
        // The next condition starts where the focus now is; Esc still leaves.
        EXPECT_EQ(ui.FocusId(), IDC_BUILDER_VALUE);
        ui.PressKey(fw::Key::Escape);
    });
    Outcome out = Run("");
    EXPECT_EQ(out.result, IDCANCEL);
}

TEST_F(Builder, TrailingBlanksAndEmptyLinesGoBeforeTheNextCondition) {
    driver.Then([](fw::Ui& ui) { ui.Type(IDC_BUILDER_VALUE, "7"); });
    Add();
    Ok();
    EXPECT_EQ(Run("SALES.REGION = East  \r\n\r\n ").filters, "SALES.REGION = East OR \r\nSALES.REGION in 7");
}

TEST_F(Builder, EditingTheFiltersBoxIsTheConditionEvenWhenEmptied) {
    driver.Then([](fw::Ui& ui) { ui.Type(IDC_BUILDER_FILTERS, ""); });
    Ok();
    Outcome out = Run("SALES.REGION = East");
    EXPECT_TRUE(out.modified);
    EXPECT_EQ(out.filters, "");
}

TEST_F(Builder, CancelKeepsTheCallersText) {
    driver.Then([](fw::Ui& ui) { ui.Type(IDC_BUILDER_VALUE, "7"); });
    Add();
    driver.Then([](fw::Ui& ui) { ui.Click(IDCANCEL); });
    Outcome out = Run("SALES.REGION = East");
    EXPECT_EQ(out.result, IDCANCEL);
    EXPECT_EQ(out.filters, "SALES.REGION = East");
}

TEST_F(Builder, PickedValuesFromAllBatchesAreQuotedAndBracketedForIn) {
    owner.batches = {{"West", "O'Neil"}, {"East"}};
    std::vector<std::string> shown;
    driver.Then([](fw::Ui& ui) { ui.Type(IDC_BUILDER_VALUE, "typed"); });
    driver.Then([](fw::Ui& ui) { ui.Click(IDC_BUILDER_PICK); });
    driver.Then([&](fw::Ui& ui) {
        ASSERT_EQ(ui.TemplateId(), unsigned(IDD_MEMBER_VALUE_SELECT));
        EXPECT_EQ(ui.Caption(), "Select Filter Values from the List");
        EXPECT_EQ(CursorDepth(), 0);  // the user chooses with the normal cursor
        shown = Rows(ui, IDC_VALUES_LIST);
        ui.SelectRows(IDC_VALUES_LIST, {0, 1});
    });
    driver.Then([](fw::Ui& ui) { ui.Click(IDOK); });
    driver.Then([](fw::Ui& ui) {
        // The picked text replaces what was typed.
        EXPECT_EQ(ui.Text(IDC_BUILDER_VALUE), "('East','O''Neil')");
        EXPECT_TRUE(ui.Enabled(IDC_BUILDER_ADD));
    });
    Add();
    Ok();
    Outcome out = Run("");
    EXPECT_EQ(shown, (std::vector<std::string>{"East", "O'Neil", "West"}));
    EXPECT_EQ(out.filters, "SALES.REGION in ('East','O''Neil')");
    EXPECT_EQ(owner.nextBatch, 3u);  // the empty third batch ended the list
    EXPECT_EQ(fw::CurrentBackend().IsWindow(ActiveFetchWaitWindow()), false);
}

TEST_F(Builder, OtherOperatorsPickOneValueWithoutBrackets) {
    column->dataType = 3;  // no LIKE: "<>" is the fourth operator
    owner.batches = {{"1", "2"}};
    bool single = false;
    driver.Then([](fw::Ui& ui) { ui.SelectRow(IDC_BUILDER_OPERATOR, 3); });
    driver.Then([](fw::Ui& ui) { ui.Click(IDC_BUILDER_PICK); });
    driver.Then([&](fw::Ui& ui) {
        single = (ui.Style(IDC_VALUES_LIST) & LVS_SINGLESEL) != 0;
        ui.SelectRow(IDC_VALUES_LIST, 1);
    });
    driver.Then([](fw::Ui& ui) { ui.Click(IDOK); });
    Add();
    Ok();
    EXPECT_EQ(Run("").filters, "SALES.REGION <> 2");
    EXPECT_TRUE(single);
}

// No values at all, and a failed call (shown as the library's error), end the
// fetch after one call: the user is told and no picker opens.
TEST_F(Builder, NoValuesAtAllOrAFailedCallIsToldAndNoPickerOpens) {
    for (int32_t status : {0, 7}) {
        SCOPED_TRACE(status);
        owner.errorsShown = 0;
        owner.nextBatch = 0;
        if (status)
            owner.batches = {{"a"}, {"b"}};  // fails, yet hands out a batch: no endless calling
        owner.dataStatus = status;
        std::string told;
        driver.Then([](fw::Ui& ui) { ui.Click(IDC_BUILDER_PICK); });
        driver.Then(testsupport::Told(told));
        driver.Then([](fw::Ui& ui) { ui.Click(IDCANCEL); });
        Run("");
        EXPECT_EQ(told, "Query didn't generate any rows.");
        EXPECT_EQ(owner.errorsShown, status ? 1 : 0);
        EXPECT_EQ(owner.nextBatch, 1u);
    }
}

// Clicks the picker button of a builder on a column of the owner's, performs
// the steps that follow, and cancels the builder; the run must be clean.
std::vector<std::string> PickThenCancel(testsupport::ColumnOwner& owner, const testsupport::Steps& then) {
    ZevDTAPIColumn& column = owner.Add("SALES", "REGION", 1, 10);
    fw::TestDriver driver;
    driver.Then([](fw::Ui& ui) { ui.Click(IDC_BUILDER_PICK); });
    for (const auto& step : then) driver.Then(step);
    driver.Then([](fw::Ui& ui) { ui.Click(IDCANCEL); });
    BuilderSheet sheet(owner, column);
    std::vector<std::string> transcript;
    testsupport::RunCleanly(sheet, driver, &transcript);
    return transcript;
}

// A library that answers "no array" with a count above 0, or a negative
// count, has no more values to give: asking again could go on for ever.
class HollowBatchOwner : public testsupport::ColumnOwner {
  public:
    int32_t GetFilterData(ZevDTAPIColumn* c, char*** values, int32_t* count) override {
        int32_t status = ColumnOwner::GetFilterData(c, values, count);
        if (nextBatch > batches.size()) {
            *values = nullptr;
            *count = hollowCount;
        }
        return status;
    }
    int32_t hollowCount = 5;
};

TEST(BuilderFetch, AnEmptyArrayOrANegativeCountEndsTheFetch) {
    for (int32_t hollow : {5, -3}) {
        SCOPED_TRACE(hollow);
        HollowBatchOwner owner;
        owner.hollowCount = hollow;
        owner.batches = {{"a"}};
        PickThenCancel(owner, {[](fw::Ui& ui) {
                           EXPECT_EQ(ui.TemplateId(), unsigned(IDD_MEMBER_VALUE_SELECT));
                           EXPECT_EQ(ui.RowCount(IDC_VALUES_LIST), 1);
                           ui.Click(IDCANCEL);
                       }});
        EXPECT_EQ(owner.nextBatch, 2u);
    }
}

// Presses the wait dialog's Cancel from inside a library call, once the
// given number of batches has been handed out.
class CancellingOwner : public testsupport::ColumnOwner {
  public:
    int32_t GetFilterData(ZevDTAPIColumn* c, char*** values, int32_t* count) override {
        EXPECT_GE(CursorDepth(), 1);
        if (nextBatch == cancelAfter) {
            HWND wait = ActiveFetchWaitWindow();
            EXPECT_NE(wait, nullptr);
            if (wait) {
                fw::Ui ui(wait);
                EXPECT_EQ(ui.TemplateId(), unsigned(IDD_WAIT));
                EXPECT_EQ(ui.Caption(), "ZEVDT");
                EXPECT_EQ(ui.Text(IDC_WAIT_MESSAGE), "Getting data from database...");
                EXPECT_FALSE(ui.Visible(IDC_WAIT_PROGRESS));
                ui.Click(IDCANCEL);
            }
        }
        return ColumnOwner::GetFilterData(c, values, count);
    }
    size_t cancelAfter = 1;
};

TEST(BuilderFetch, CancelDiscardsTheValuesCancelsTheServerAndShowsNoPicker) {
    CancellingOwner owner;
    owner.batches = {{"a", "b"}, {"c"}, {"d"}};
    std::string told;
    const std::vector<std::string> transcript =
        PickThenCancel(owner, {testsupport::Told(told), [](fw::Ui& ui) {
                                   EXPECT_EQ(ui.TemplateId(), unsigned(IDD_FILTERS_PAGE));
                                   EXPECT_EQ(ui.Text(IDC_BUILDER_VALUE), "");
                               }});
    EXPECT_EQ(told, "Operation is cancelled.");
    EXPECT_EQ(owner.cancels, 1);
    EXPECT_EQ(CursorDepth(), 0);
    EXPECT_EQ(owner.nextBatch, 2u);  // the batch in flight was the last one asked for
    const std::string picker = "window " + std::to_string(IDD_MEMBER_VALUE_SELECT);
    for (const std::string& line : transcript) EXPECT_EQ(line.find(picker), std::string::npos);
}

// A fetch long enough for the driver's clock to tick while the wait dialog
// is up: the next step still waits for the picker.
class SlowOwner : public testsupport::ColumnOwner {
  public:
    int32_t GetFilterData(ZevDTAPIColumn* c, char*** values, int32_t* count) override {
        std::this_thread::sleep_for(std::chrono::milliseconds(40));
        return ColumnOwner::GetFilterData(c, values, count);
    }
};

TEST(BuilderFetch, StepsAfterTheFetchActOnThePickerNotOnTheWaitDialog) {
    SlowOwner owner;
    owner.batches = {{"a"}, {"b"}, {"c"}};
    PickThenCancel(owner, {[](fw::Ui& ui) {
                       EXPECT_EQ(ui.TemplateId(), unsigned(IDD_MEMBER_VALUE_SELECT));
                       ui.Click(IDCANCEL);
                   }});
    EXPECT_EQ(owner.nextBatch, 4u);
}

TEST(BuilderHelp, HelpOpensTheColumnFilterPageBelowTheRootReadAtConstruction) {
    testsupport::ColumnOwner owner;
    ZevDTAPIColumn& column = owner.Add("SALES", "REGION");
    testsupport::FakeShell shell(42);
    testsupport::ScopedEnv home("TALVENOR_HOME", std::string("C:\\Talvenor"));
    BuilderSheet sheet(owner, column);
    testsupport::ScopedEnv later("TALVENOR_HOME", std::string("D:\\Other"));
    fw::TestDriver driver;
    driver.Then([](fw::Ui& ui) { ui.Press(fw::SheetButton::Help); }).Then([](fw::Ui& ui) {
        ui.Click(IDCANCEL);
    });
    testsupport::RunDialog(sheet, driver);
    EXPECT_EQ(shell.paths(),
              std::vector<std::string>{testsupport::kHelpDocs + "idh_set_filter_on_column_dialog_box.html"});
}

}  // namespace
