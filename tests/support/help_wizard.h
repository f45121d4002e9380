// The whole wizard over one column (SALES.REGION), with the help folder set and
// the shell faked: for tests that ask what a step's Help or F1 opens.
#pragma once

#include <string>

#include "resources/resource.h"
#include "support/column_owner.h"
#include "support/test_env.h"
#include "wizard/dt_attr_sheet.h"

namespace testsupport {

struct HelpWizard {
    ScopedEnv home{"TALVENOR_HOME", std::string("C:\\Talvenor")};
    FakeShell shell;
    ColumnOwner owner;
    CDTAttrSheet sheet{IDS_DRILL_THROUGH_REPORT, nullptr, 0};

    HelpWizard() {
        owner.Add("SALES", "REGION", 1);
        sheet.SetOwner(&owner);
    }
};

}  // namespace testsupport
