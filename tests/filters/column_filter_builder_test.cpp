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
#include "support/column_owner.h"
#include "support/test_env.h"

#ifdef _WIN32
#include "framework/win32/win32_api.h"
#else
#include "framework/headless/headless_backend.h"
#endif

namespace {

int CursorDepth() {
#ifdef _WIN32
    return fw::Win32WaitCursorDepth();
#else
    return static_cast<fw::headless::HeadlessBackend&>(fw::CurrentBackend()).WaitCursorDepth();
#endif
}

constexpr int kApply = 0x3021;
constexpr int kColumn = 1028, kOperator = 1029, kValue = 1030, kPick = 1031, kAdd = 1010, kAnd = 1033,
              kOr = 1034, kFilters = 1022, kValueList = 1036;

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

class Builder : public ::testing::Test {
  protected:
    Builder() { column = &owner.Add("SALES", "REGION", 1, 10); }

    Outcome Run(const char* filters) {
        CString caption;
        caption.LoadString(IDS_SET_FILTER_ON_COLUMN);
        caption.Format(CString(caption), "SALES.REGION");
        CDFPropertySheet sheet(caption);
        sheet.m_filtersPage.m_pOwner = &owner;
        sheet.m_filtersPage.m_pColumn = column;
        sheet.m_filtersPage.m_strFilters = filters;
        Outcome out;
        {
            fw::ScopedDriver scope(&driver, &transcript);
            out.result = sheet.DoModal();
        }
        out.modified = sheet.m_filtersPage.m_bModified;
        out.filters = sheet.m_filtersPage.m_strFilters.str();
        EXPECT_TRUE(driver.Failures().empty()) << driver.Failures().front();
        EXPECT_TRUE(driver.Done()) << driver.Remaining() << " steps left";
        EXPECT_EQ(CursorDepth(), 0) << "a way out left the busy cursor on";
        return out;
    }

    void Add() {
        driver.Then([](fw::Ui& ui) { ui.Click(kAdd); });
    }
    void Ok() {
        driver.Then([](fw::Ui& ui) { ui.Click(IDOK); });
    }

    bool MessageSeen(unsigned id) const {
        std::string prefix = "messagebox " + std::to_string(id) + " ";
        for (const std::string& line : transcript.lines)
            if (line.rfind(prefix, 0) == 0)
                return true;
        return false;
    }

    testsupport::ColumnOwner owner;
    ZevDTAPIColumn* column;
    fw::TestDriver driver;
    fw::MemoryTranscript transcript;
};

TEST_F(Builder, OpensWithTheColumnTheOperatorsAndOrChosen) {
    std::vector<std::string> ops;
    driver.Then([&](fw::Ui& ui) {
        EXPECT_EQ(ui.Caption(), "Set Filter On Column : SALES.REGION");
        EXPECT_EQ(ui.TemplateId(), 134u);
        EXPECT_EQ(ui.RowCount(kColumn), 1);
        EXPECT_EQ(Combo(ui, kColumn), "REGION");
        for (int i = 0; i < ui.RowCount(kOperator); ++i) ops.push_back(ui.RowText(kOperator, i));
        EXPECT_EQ(Combo(ui, kOperator), "in");
        EXPECT_TRUE(Checked(ui, kOr));
        EXPECT_FALSE(Checked(ui, kAnd));
        EXPECT_EQ(ui.Text(kFilters), "SALES.REGION = North");
        EXPECT_FALSE(ui.Enabled(kAdd));
        EXPECT_TRUE(ui.Visible(IDHELP));
        EXPECT_FALSE(ui.Has(kApply) && ui.Visible(kApply));
        ui.Type(kValue, " ");  // a blank is a value
    });
    driver.Then([](fw::Ui& ui) {
        EXPECT_TRUE(ui.Enabled(kAdd));
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
        ui.SelectRow(kOperator, 4);  // =
    });
    driver.Then([](fw::Ui& ui) { ui.Type(kValue, "O'Neil"); });
    Add();
    driver.Then([](fw::Ui& ui) {
        EXPECT_EQ(ui.Text(kFilters), "SALES.REGION = O'Neil");
        EXPECT_EQ(ui.Text(kValue), "");
        EXPECT_FALSE(ui.Enabled(kAdd));
        ui.SelectRow(kOperator, 0);  // in: typed, so no brackets
    });
    driver.Then([](fw::Ui& ui) { ui.Type(kValue, "East,West"); });
    Add();  // Or is preselected
    driver.Then([](fw::Ui& ui) { ui.Click(kAnd); });
    driver.Then([](fw::Ui& ui) { ui.Type(kValue, "S%"); });
    driver.Then([](fw::Ui& ui) { ui.SelectRow(kOperator, 2); });  // like
    Add();
    Ok();
    Outcome out = Run("");
    EXPECT_EQ(out.result, IDOK);
    EXPECT_TRUE(out.modified);
    EXPECT_EQ(out.filters,
              "SALES.REGION = O'Neil OR \r\nSALES.REGION in East,West AND \r\nSALES.REGION like S%");
}

TEST_F(Builder, AddDisablingItselfHandsTheFocusToTheValueAndKeysGoOnWorking) {
    driver.Then([](fw::Ui& ui) { ui.Type(kValue, "Brno"); });
    driver.Then([](fw::Ui& ui) {
        fw::CurrentBackend().SendMessage(fw::CurrentBackend().GetParent(ui.Control(kAdd)), WM_NEXTDLGCTL,
                                         reinterpret_cast<WPARAM>(ui.Control(kAdd)), TRUE);
    });
    driver.Then([](fw::Ui& ui) {
        EXPECT_EQ(ui.FocusId(), kAdd);
        ui.PressKey(fw::Key::Space);
    });
    driver.Then([](fw::Ui& ui) {
        EXPECT_FALSE(ui.Enabled(kAdd));
        // The next condition starts where the focus now is; Esc still leaves.
        EXPECT_EQ(ui.FocusId(), kValue);
        ui.PressKey(fw::Key::Escape);
    });
    Outcome out = Run("");
    EXPECT_EQ(out.result, IDCANCEL);
}

TEST_F(Builder, TrailingBlanksAndEmptyLinesGoBeforeTheNextCondition) {
    driver.Then([](fw::Ui& ui) { ui.Type(kValue, "7"); });
    Add();
    Ok();
    EXPECT_EQ(Run("SALES.REGION = East  \r\n\r\n ").filters, "SALES.REGION = East OR \r\nSALES.REGION in 7");
}

TEST_F(Builder, EditingTheFiltersBoxIsTheConditionEvenWhenEmptied) {
    driver.Then([](fw::Ui& ui) { ui.Type(kFilters, ""); });
    Ok();
    Outcome out = Run("SALES.REGION = East");
    EXPECT_TRUE(out.modified);
    EXPECT_EQ(out.filters, "");
}

TEST_F(Builder, CancelKeepsTheCallersText) {
    driver.Then([](fw::Ui& ui) { ui.Type(kValue, "7"); });
    Add();
    driver.Then([](fw::Ui& ui) { ui.Click(IDCANCEL); });
    Outcome out = Run("SALES.REGION = East");
    EXPECT_EQ(out.result, IDCANCEL);
    EXPECT_EQ(out.filters, "SALES.REGION = East");
}

TEST_F(Builder, PickedValuesFromAllBatchesAreQuotedAndBracketedForIn) {
    owner.batches = {{"West", "O'Neil"}, {"East"}};
    std::vector<std::string> shown;
    driver.Then([](fw::Ui& ui) { ui.Type(kValue, "typed"); });
    driver.Then([](fw::Ui& ui) { ui.Click(kPick); });
    driver.Then([&](fw::Ui& ui) {
        ASSERT_EQ(ui.TemplateId(), 136u);
        EXPECT_EQ(ui.Caption(), "Select Filter Values from the List");
        EXPECT_EQ(CursorDepth(), 0);  // the user chooses with the normal cursor
        for (int i = 0; i < ui.RowCount(kValueList); ++i) shown.push_back(ui.RowText(kValueList, i));
        ui.SelectRows(kValueList, {0, 1});
    });
    driver.Then([](fw::Ui& ui) { ui.Click(IDOK); });
    driver.Then([](fw::Ui& ui) {
        // The picked text replaces what was typed.
        EXPECT_EQ(ui.Text(kValue), "('East','O''Neil')");
        EXPECT_TRUE(ui.Enabled(kAdd));
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
    driver.Then([](fw::Ui& ui) { ui.SelectRow(kOperator, 3); });
    driver.Then([](fw::Ui& ui) { ui.Click(kPick); });
    driver.Then([&](fw::Ui& ui) {
        single = (ui.Style(kValueList) & LVS_SINGLESEL) != 0;
        ui.SelectRow(kValueList, 1);
    });
    driver.Then([](fw::Ui& ui) { ui.Click(IDOK); });
    Add();
    Ok();
    EXPECT_EQ(Run("").filters, "SALES.REGION <> 2");
    EXPECT_TRUE(single);
}

TEST_F(Builder, NoValuesAtAllIsToldAndNoPickerOpens) {
    driver.Then([](fw::Ui& ui) { ui.Click(kPick); });
    driver.Then([](fw::Ui& ui) {
        EXPECT_EQ(ui.MessageText(), "Query didn't generate any rows.");
        ui.Answer(IDOK);
    });
    driver.Then([](fw::Ui& ui) { ui.Click(IDCANCEL); });
    Run("");
    EXPECT_EQ(owner.nextBatch, 1u);
}

TEST_F(Builder, AFailedCallIsShownAndEndsTheFetch) {
    owner.batches = {{"a"}, {"b"}};
    owner.dataStatus = 7;  // fails, yet hands out a batch: no endless calling
    driver.Then([](fw::Ui& ui) { ui.Click(kPick); });
    driver.Then([](fw::Ui& ui) {
        EXPECT_EQ(ui.MessageText(), "Query didn't generate any rows.");
        ui.Answer(IDOK);
    });
    driver.Then([](fw::Ui& ui) { ui.Click(IDCANCEL); });
    Run("");
    EXPECT_EQ(owner.errorsShown, 1);
    EXPECT_EQ(owner.nextBatch, 1u);
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
        HollowBatchOwner owner;
        owner.hollowCount = hollow;
        ZevDTAPIColumn& column = owner.Add("SALES", "REGION", 1, 10);
        owner.batches = {{"a"}};
        unsigned picker = 0;
        fw::TestDriver driver;
        driver.Then([](fw::Ui& ui) { ui.Click(kPick); })
            .Then([&](fw::Ui& ui) {
                picker = ui.TemplateId();
                EXPECT_EQ(ui.RowCount(kValueList), 1);
                ui.Click(IDCANCEL);
            })
            .Then([](fw::Ui& ui) { ui.Click(IDCANCEL); });
        CDFPropertySheet sheet("x");
        sheet.m_filtersPage.m_pOwner = &owner;
        sheet.m_filtersPage.m_pColumn = &column;
        {
            fw::ScopedDriver scope(&driver);
            sheet.DoModal();
        }
        EXPECT_TRUE(driver.Failures().empty()) << hollow;
        EXPECT_EQ(picker, 136u) << hollow;
        EXPECT_EQ(owner.nextBatch, 2u) << hollow;
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
                EXPECT_EQ(ui.TemplateId(), 144u);
                EXPECT_EQ(ui.Caption(), "ZEVDT");
                EXPECT_EQ(ui.Text(1072), "Getting data from database...");
                EXPECT_FALSE(ui.Visible(1071));
                ui.Click(IDCANCEL);
            }
        }
        return ColumnOwner::GetFilterData(c, values, count);
    }
    size_t cancelAfter = 1;
};

TEST(BuilderFetch, CancelDiscardsTheValuesCancelsTheServerAndShowsNoPicker) {
    CancellingOwner owner;
    ZevDTAPIColumn& column = owner.Add("SALES", "REGION", 1, 10);
    owner.batches = {{"a", "b"}, {"c"}, {"d"}};
    fw::TestDriver driver;
    fw::MemoryTranscript transcript;
    driver.Then([](fw::Ui& ui) { ui.Click(kPick); })
        .Then([](fw::Ui& ui) {
            EXPECT_EQ(ui.MessageText(), "Operation is cancelled.");
            ui.Answer(IDOK);
        })
        .Then([](fw::Ui& ui) {
            EXPECT_EQ(ui.TemplateId(), 134u);
            EXPECT_EQ(ui.Text(kValue), "");
            ui.Click(IDCANCEL);
        });
    CDFPropertySheet sheet("x");
    sheet.m_filtersPage.m_pOwner = &owner;
    sheet.m_filtersPage.m_pColumn = &column;
    {
        fw::ScopedDriver scope(&driver, &transcript);
        sheet.DoModal();
    }
    EXPECT_TRUE(driver.Failures().empty());
    EXPECT_TRUE(driver.Done());
    EXPECT_EQ(owner.cancels, 1);
    EXPECT_EQ(CursorDepth(), 0);
    EXPECT_EQ(owner.nextBatch, 2u);  // the batch in flight was the last one asked for
    for (const std::string& line : transcript.lines) EXPECT_EQ(line.find("window 136"), std::string::npos);
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
    ZevDTAPIColumn& column = owner.Add("SALES", "REGION", 1, 10);
    owner.batches = {{"a"}, {"b"}, {"c"}};
    unsigned next = 0;
    fw::TestDriver driver;
    driver.Then([](fw::Ui& ui) { ui.Click(kPick); })
        .Then([&](fw::Ui& ui) {
            next = ui.TemplateId();
            ui.Click(IDCANCEL);
        })
        .Then([](fw::Ui& ui) { ui.Click(IDCANCEL); });
    CDFPropertySheet sheet("x");
    sheet.m_filtersPage.m_pOwner = &owner;
    sheet.m_filtersPage.m_pColumn = &column;
    {
        fw::ScopedDriver scope(&driver);
        sheet.DoModal();
    }
    EXPECT_EQ(next, 136u);
    EXPECT_EQ(owner.nextBatch, 4u);
}

TEST(BuilderHelp, HelpOpensTheColumnFilterPageBelowTheRootReadAtConstruction) {
    testsupport::ColumnOwner owner;
    ZevDTAPIColumn& column = owner.Add("SALES", "REGION");
    testsupport::FakeShell shell(42);
    testsupport::ScopedEnv home("TALVENOR_HOME", std::string("C:\\Talvenor"));
    CDFPropertySheet sheet("x");
    testsupport::ScopedEnv later("TALVENOR_HOME", std::string("D:\\Other"));
    sheet.m_filtersPage.m_pOwner = &owner;
    sheet.m_filtersPage.m_pColumn = &column;
    fw::TestDriver driver;
    driver.Then([](fw::Ui& ui) { ui.Press(fw::SheetButton::Help); }).Then([](fw::Ui& ui) {
        ui.Click(IDCANCEL);
    });
    {
        fw::ScopedDriver scope(&driver);
        sheet.DoModal();
    }
    EXPECT_EQ(
        shell.paths(),
        std::vector<std::string>{
            "C:\\Talvenor\\common\\docs\\en\\vantrel\\ss_user\\idh_set_filter_on_column_dialog_box.html"});
}

}  // namespace
