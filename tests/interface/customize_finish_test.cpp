// The one way through the customisation wizard that delivers the report:
// Finish on its last step.
#include "interface_fixture.h"

using fw::SheetButton;
using fw::Ui;

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
    driver.Then([](Ui& ui) { ui.Click(1044); });
    for (int step = 0; step < 3; ++step) driver.Then([](Ui& ui) { ui.Press(SheetButton::Next); });
    driver.Then([](Ui& ui) {
        EXPECT_EQ(ui.TemplateId(), 133u);
        ui.Press(SheetButton::Finish);
    });
    EXPECT_EQ(Open(driver), ZEVDT_OK);
    EXPECT_EQ(Count("close sheet FINISH"), 1);
    EXPECT_EQ(control->calls[kFakeGetFilterDescConditions], 1u);
    EXPECT_EQ(control->calls[kFakeSetFilterDescConditions], 1u);
}

}  // namespace
