// Shows one page of the library's templates as the only page of a wizard, for
// probes that run on the page once it is up; the sheet is then cancelled.
#pragma once

#include <gtest/gtest.h>

#include "framework/afxwin.h"
#include "framework/script/test_driver.h"
#include "resources/resource.h"

namespace testsupport {

inline void RunAloneInAWizard(CPropertyPage& page) {
    CPropertySheet sheet(IDS_DRILL_THROUGH_REPORT);
    sheet.SetWizardMode();
    sheet.AddPage(&page);
    fw::TestDriver nobody;  // the sheet is cancelled once the probe has run
    fw::ScopedDriver scope(&nobody);
    EXPECT_EQ(sheet.DoModal(), IDCANCEL);
}

}  // namespace testsupport
