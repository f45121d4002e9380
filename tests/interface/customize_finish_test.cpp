// The one way through the customisation wizard that delivers the report:
// Finish on its last step.
#include "interface_fixture.h"
#include "resources/resource.h"

using fw::SheetButton;
using fw::Ui;
using ifacetest::Calls;

namespace {

class CustomizeFinish : public ifacetest::InterfaceTest {
  protected:
    void SetUp() override {
        InterfaceTest::SetUp();
        Init();
    }
};

TEST_F(CustomizeFinish, FinishOnTheFiltersStepSavesTheFiltersAndOpens) {
    records.reportList[0]->customisable = 1;
    fw::TestDriver driver;
    driver.Then([](Ui& ui) { ui.Click(IDC_REPORTS_CUSTOMIZE); });
    for (int step = 0; step < 3; ++step) driver.Then([](Ui& ui) { ui.Press(SheetButton::Next); });
    driver.Then([](Ui& ui) {
        EXPECT_EQ(ui.TemplateId(), unsigned(IDD_FILTER));
        ui.Press(SheetButton::Finish);
    });
    EXPECT_EQ(Open(driver), ZEVDT_OK);
    EXPECT_EQ(Count("close sheet FINISH"), 1);
    EXPECT_EQ(control->calls[kFakeGetFilterDescConditions], 1u);
    EXPECT_EQ(control->calls[kFakeSetFilterDescConditions], 1u);
}

// The filter step on the real object and library: the saved filters are read
// when the step opens, the column's values are fetched batch by batch when the
// user asks for them, and the filters go back at Finish, in that order. A
// fetch that fails after two values keeps them; the builder's Cancel after a
// value was typed and added changes nothing.
TEST_F(CustomizeFinish, TheFilterCallsComeInTheUsersOrder) {
    records.reportList[0]->customisable = 1;
    std::string values[] = {"East", "North", "West", "South"};
    char* valueList[] = {&values[0][0], &values[1][0], &values[2][0], &values[3][0]};
    control->filterValues = valueList;
    control->filterValueCount = 4;
    control->filterBatchSize = 2;
    FakeProgram(control, kFakeGetFilterData, {0, 9});
    std::strcpy(control->errorText, "Lost the server.");
    std::vector<std::string> picked;
    fw::TestDriver driver;
    driver.Then([](Ui& ui) { ui.Click(IDC_REPORTS_CUSTOMIZE); });
    for (int step = 0; step < 3; ++step) driver.Then([](Ui& ui) { ui.Press(SheetButton::Next); });
    driver.Then([](Ui& ui) { ui.SelectRow(IDC_FILTER_GRID, 0); })
        .Then([](Ui& ui) { ui.Click(IDC_FILTER_ADD_CONDITION); })
        .Then([](Ui& ui) { ui.Click(IDC_BUILDER_PICK); })
        .Then([](Ui& ui) {
            EXPECT_EQ(ui.MessageText(), "Lost the server.");
            ui.Answer(IDOK);
        })
        .Then([&](Ui& ui) {
            EXPECT_EQ(ui.TemplateId(), unsigned(IDD_MEMBER_VALUE_SELECT));
            for (int row = 0; row < ui.RowCount(IDC_VALUES_LIST); ++row)
                picked.push_back(ui.RowText(IDC_VALUES_LIST, row));
            ui.Click(IDCANCEL);
        })
        .Then([](Ui& ui) { ui.Type(IDC_BUILDER_VALUE, "East"); })
        .Then([](Ui& ui) { ui.Click(IDC_BUILDER_ADD); })
        .Then([](Ui& ui) {
            EXPECT_EQ(ui.Text(IDC_BUILDER_FILTERS), "SALES.REGION in East");
            ui.Click(IDCANCEL);
        })
        .Then([](Ui& ui) {
            EXPECT_EQ(ui.TemplateId(), unsigned(IDD_FILTER));
            EXPECT_EQ(ui.RowText(IDC_FILTER_GRID, 0, 1), "");
            ui.Press(SheetButton::Finish);
        });
    EXPECT_EQ(Open(driver), ZEVDT_OK);
    std::sort(picked.begin(), picked.end());
    EXPECT_EQ(picked, (std::vector<std::string>{"East", "North"}));
    EXPECT_EQ(records.columnList[0]->condition[0], '\0');
    Calls calls = CallNames();
    auto first = std::find(calls.begin(), calls.end(), "GetColumns");
    ASSERT_NE(first, calls.end());
    EXPECT_EQ(Calls(first + 1, calls.end()), (Calls{"GetFilterDescConditions", "GetFilterData",
                                                    "GetFilterData", "GetError", "SetFilterDescConditions"}));
    EXPECT_EQ(control->foreignHandleCalls, 0u);
}

}  // namespace
