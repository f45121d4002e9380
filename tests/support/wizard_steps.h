// The wizard over a stand-in owner, and a run that walks it to one step,
// does there what the test asks, and cancels.
#pragma once

#include "framework/script/test_driver.h"
#include "resources/resource.h"
#include "support/column_owner.h"
#include "support/run_dialog.h"
#include "support/ui_steps.h"
#include "wizard/dt_attr_sheet.h"

namespace testsupport {

struct Wizard {
    ColumnOwner owner;
    CDTAttrSheet sheet{IDS_DRILL_THROUGH_REPORT, nullptr, 0};
    Wizard() { sheet.SetOwner(&owner); }
};

// Presses Next `step` times, performs the steps, then Cancel; the run must be clean.
inline INT_PTR RunOnStep(CDTAttrSheet& sheet, int step, const Steps& steps) {
    fw::TestDriver driver;
    for (int i = 0; i < step; ++i) driver.Then([](fw::Ui& ui) { ui.Press(fw::SheetButton::Next); });
    for (const auto& s : steps) driver.Then(s);
    driver.Then([](fw::Ui& ui) { ui.Press(fw::SheetButton::Cancel); });
    return RunCleanly(sheet, driver);
}

}  // namespace testsupport
