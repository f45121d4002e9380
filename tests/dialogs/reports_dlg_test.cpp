// The report selection dialog: which report is chosen, and whether Execute or
// Customize, after what the user clicked.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "dialogs/reports_dlg.h"
#include "framework/script/test_driver.h"
#include "resources/resource.h"
#include "support/run_dialog.h"
#include "support/ui_steps.h"

using fw::Ui;

using testsupport::RunCleanly;

namespace {

class Reports : public CReportSource {
  public:
    explicit Reports(std::vector<std::pair<const char*, uint32_t>> reports) {
        records_.resize(reports.size());
        for (size_t i = 0; i < reports.size(); ++i) {
            std::memset(&records_[i], 0, sizeof records_[i]);
            std::strncpy(records_[i].name, reports[i].first, sizeof records_[i].name - 1);
            records_[i].customisable = reports[i].second;
        }
        for (auto& r : records_) pointers_.push_back(&r);
    }
    ZevDTAPIReport** GetReportList() const override {
        return pointers_.empty() ? nullptr : const_cast<ZevDTAPIReport**>(pointers_.data());
    }
    uint32_t GetReportCount() const override { return static_cast<uint32_t>(records_.size()); }

  private:
    std::vector<ZevDTAPIReport> records_;
    std::vector<ZevDTAPIReport*> pointers_;
};

// The dialog over reports of its own: names, and whether each may be customised.
struct ReportsDialog : CReportsDlg {
    explicit ReportsDialog(std::vector<std::pair<const char*, uint32_t>> list) : reports(std::move(list)) {
        m_pDrillThrough = &reports;
    }
    Reports reports;
};

TEST(ReportsDialog, ListsTheReportsWithTheFirstSelected) {
    ReportsDialog dlg({{"Sales by region", 1}, {"Returns", 0}, {"Stock", 1}});
    fw::TestDriver driver;
    driver.Then([](Ui& ui) {
        EXPECT_EQ(ui.TemplateId(), unsigned(IDD_REPORTS));
        EXPECT_EQ(ui.Caption(), "Select Drill-Through Report");
        EXPECT_EQ(testsupport::Rows(ui, IDC_REPORTS_LIST),
                  (std::vector<std::string>{"Sales by region", "Returns", "Stock"}));
        EXPECT_EQ(ui.SelectedRows(IDC_REPORTS_LIST), std::vector<int>{0});
        EXPECT_TRUE(ui.Enabled(IDC_REPORTS_CUSTOMIZE));
        ui.Click(IDCANCEL);
    });
    EXPECT_EQ(RunCleanly(dlg, driver), IDCANCEL);
}

TEST(ReportsDialog, ClickThirdThenExecute) {
    ReportsDialog dlg({{"A", 1}, {"B", 1}, {"C", 0}});
    fw::TestDriver driver;
    driver.Then([](Ui& ui) { ui.SelectRow(IDC_REPORTS_LIST, 2); }).Then([](Ui& ui) {
        EXPECT_FALSE(ui.Enabled(IDC_REPORTS_CUSTOMIZE));  // report C cannot be customised
        ui.Click(IDC_REPORTS_EXECUTE);
    });
    EXPECT_EQ(RunCleanly(dlg, driver), IDOK);
    EXPECT_EQ(dlg.m_nSelected, 2u);
    EXPECT_EQ(dlg.m_bCustomize, 0);
}

TEST(ReportsDialog, CustomizeWithoutAClickTakesTheFirstReport) {
    ReportsDialog dlg({{"A", 1}, {"B", 0}});
    fw::TestDriver driver;
    driver.Then([](Ui& ui) { ui.Click(IDC_REPORTS_CUSTOMIZE); });
    EXPECT_EQ(RunCleanly(dlg, driver), IDOK);
    EXPECT_EQ(dlg.m_nSelected, 0u);
    EXPECT_EQ(dlg.m_bCustomize, 1);
}

TEST(ReportsDialog, CustomizeFollowsTheClickedReportAndCannotBePressedWhenDisabled) {
    ReportsDialog dlg({{"A", 0}, {"B", 1}});
    fw::TestDriver driver;
    driver.Then([](Ui& ui) { EXPECT_FALSE(ui.Enabled(IDC_REPORTS_CUSTOMIZE)); })
        .Then([](Ui& ui) { ui.SelectRow(IDC_REPORTS_LIST, 1); })
        .Then([](Ui& ui) { EXPECT_TRUE(ui.Enabled(IDC_REPORTS_CUSTOMIZE)); })
        .Then([](Ui& ui) { ui.SelectRow(IDC_REPORTS_LIST, 0); })
        .Then([](Ui& ui) { EXPECT_THROW(ui.Click(IDC_REPORTS_CUSTOMIZE), fw::UiError); })
        .Then([](Ui& ui) { ui.Click(IDC_REPORTS_EXECUTE); });
    EXPECT_EQ(RunCleanly(dlg, driver), IDOK);
    EXPECT_EQ(dlg.m_nSelected, 0u);
    EXPECT_EQ(dlg.m_bCustomize, 0);
}

TEST(ReportsDialog, AClickOnTheEmptyAreaSelectsTheFirstReport) {
    ReportsDialog dlg({{"A", 1}, {"B", 0}, {"C", 1}});
    fw::TestDriver driver;
    driver.Then([](Ui& ui) { ui.SelectRow(IDC_REPORTS_LIST, 1); })
        .Then([](Ui& ui) { ui.ClickEmpty(IDC_REPORTS_LIST); })
        .Then([](Ui& ui) {
            EXPECT_EQ(ui.SelectedRows(IDC_REPORTS_LIST), std::vector<int>{0});
            EXPECT_TRUE(ui.Enabled(IDC_REPORTS_CUSTOMIZE));
            ui.Click(IDC_REPORTS_EXECUTE);
        });
    EXPECT_EQ(RunCleanly(dlg, driver), IDOK);
    EXPECT_EQ(dlg.m_nSelected, 0u);
}

TEST(ReportsDialog, WithoutReportsCustomizeKeepsItsTemplateState) {
    ReportsDialog dlg({});
    fw::TestDriver driver;
    driver
        .Then([](Ui& ui) {
            EXPECT_EQ(ui.RowCount(IDC_REPORTS_LIST), 0);
            EXPECT_TRUE(ui.Enabled(IDC_REPORTS_CUSTOMIZE));
            ui.ClickEmpty(IDC_REPORTS_LIST);
        })
        .Then([](Ui& ui) { ui.Click(IDC_REPORTS_CUSTOMIZE); });
    EXPECT_EQ(RunCleanly(dlg, driver), IDOK);
    EXPECT_EQ(dlg.m_nSelected, 0u);
    EXPECT_EQ(dlg.m_bCustomize, 1);
}

// Users choose with the keyboard too: the report that Enter runs (and whether
// Customize may be pressed) is the one the arrow keys selected.
TEST(ReportsDialog, TheArrowKeysChooseTheReportThatEnterRuns) {
    const std::vector<std::pair<const char*, uint32_t>> reports = {
        {"Sales Detail", 1}, {"Customer Orders", 0}, {"Stock", 1}};
    ReportsDialog down(reports);
    fw::TestDriver driver;
    driver
        .Then([](Ui& ui) {
            EXPECT_EQ(ui.FocusId(), IDC_REPORTS_LIST);
            ui.PressKey(fw::Key::Down);
        })
        .Then([](Ui& ui) {
            EXPECT_EQ(ui.SelectedRows(IDC_REPORTS_LIST), std::vector<int>{1});
            EXPECT_FALSE(ui.Enabled(IDC_REPORTS_CUSTOMIZE));  // "Customer Orders" cannot be customised
            EXPECT_EQ(ui.DefaultButton(), IDC_REPORTS_EXECUTE);
            ui.PressKey(fw::Key::Enter);
        });
    EXPECT_EQ(RunCleanly(down, driver), IDOK);
    EXPECT_EQ(down.m_nSelected, 1u);
    EXPECT_EQ(down.m_bCustomize, 0);

    ReportsDialog endUp(reports);
    fw::TestDriver keys;
    keys.Then([](Ui& ui) { ui.PressKey(fw::Key::End); })
        .Then([](Ui& ui) {
            EXPECT_TRUE(ui.Enabled(IDC_REPORTS_CUSTOMIZE));
            ui.PressKey(fw::Key::Up);
        })
        .Then([](Ui& ui) { ui.PressKey(fw::Key::Home); })
        .Then([](Ui& ui) { ui.PressKey(fw::Key::Down); })
        .Then([](Ui& ui) { ui.PressKey(fw::Key::Down); })
        .Then([](Ui& ui) { ui.PressAlt('u'); });
    EXPECT_EQ(RunCleanly(endUp, keys), IDOK);
    EXPECT_EQ(endUp.m_nSelected, 2u);
    EXPECT_EQ(endUp.m_bCustomize, 1);
}

// A click after the keys still follows the click rules.
TEST(ReportsDialog, AClickAfterTheKeysTakesTheClickedReport) {
    ReportsDialog dlg({{"A", 1}, {"B", 0}, {"C", 1}});
    fw::TestDriver driver;
    driver.Then([](Ui& ui) { ui.PressKey(fw::Key::End); })
        .Then([](Ui& ui) { ui.ClickEmpty(IDC_REPORTS_LIST); })
        .Then([](Ui& ui) {
            EXPECT_EQ(ui.SelectedRows(IDC_REPORTS_LIST), std::vector<int>{0});
            ui.PressKey(fw::Key::Enter);
        });
    EXPECT_EQ(RunCleanly(dlg, driver), IDOK);
    EXPECT_EQ(dlg.m_nSelected, 0u);
}

}  // namespace
