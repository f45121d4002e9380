// The report selection dialog: which report is chosen, and whether Execute or
// Customize, after what the user clicked.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "dialogs/reports_dlg.h"
#include "framework/script/test_driver.h"

using fw::Ui;

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

INT_PTR RunDialog(CReportsDlg& dlg, fw::TestDriver& driver) {
    fw::ScopedDriver scope(&driver);
    INT_PTR r = dlg.DoModal();
    EXPECT_TRUE(driver.Failures().empty()) << driver.Failures().front();
    EXPECT_TRUE(driver.Done());
    return r;
}

TEST(ReportsDialog, ListsTheReportsWithTheFirstSelected) {
    Reports reports({{"Sales by region", 1}, {"Returns", 0}, {"Stock", 1}});
    CReportsDlg dlg;
    dlg.m_pDrillThrough = &reports;
    fw::TestDriver driver;
    driver.Then([](Ui& ui) {
        EXPECT_EQ(ui.TemplateId(), 138u);
        EXPECT_EQ(ui.Caption(), "Select Drill-Through Report");
        ASSERT_EQ(ui.RowCount(1040), 3);
        EXPECT_EQ(ui.RowText(1040, 0), "Sales by region");
        EXPECT_EQ(ui.RowText(1040, 2), "Stock");
        EXPECT_EQ(ui.SelectedRows(1040), std::vector<int>{0});
        EXPECT_TRUE(ui.Enabled(1044));
        ui.Click(IDCANCEL);
    });
    EXPECT_EQ(RunDialog(dlg, driver), IDCANCEL);
}

TEST(ReportsDialog, ClickThirdThenExecute) {
    Reports reports({{"A", 1}, {"B", 1}, {"C", 0}});
    CReportsDlg dlg;
    dlg.m_pDrillThrough = &reports;
    fw::TestDriver driver;
    driver.Then([](Ui& ui) { ui.SelectRow(1040, 2); }).Then([](Ui& ui) {
        EXPECT_FALSE(ui.Enabled(1044));  // report C cannot be customised
        ui.Click(1043);
    });
    EXPECT_EQ(RunDialog(dlg, driver), IDOK);
    EXPECT_EQ(dlg.m_nSelected, 2u);
    EXPECT_EQ(dlg.m_bCustomize, 0);
}

TEST(ReportsDialog, CustomizeWithoutAClickTakesTheFirstReport) {
    Reports reports({{"A", 1}, {"B", 0}});
    CReportsDlg dlg;
    dlg.m_pDrillThrough = &reports;
    fw::TestDriver driver;
    driver.Then([](Ui& ui) { ui.Click(1044); });
    EXPECT_EQ(RunDialog(dlg, driver), IDOK);
    EXPECT_EQ(dlg.m_nSelected, 0u);
    EXPECT_EQ(dlg.m_bCustomize, 1);
}

TEST(ReportsDialog, CustomizeFollowsTheClickedReportAndCannotBePressedWhenDisabled) {
    Reports reports({{"A", 0}, {"B", 1}});
    CReportsDlg dlg;
    dlg.m_pDrillThrough = &reports;
    bool refused = false;
    fw::TestDriver driver;
    driver.Then([](Ui& ui) { EXPECT_FALSE(ui.Enabled(1044)); })
        .Then([](Ui& ui) { ui.SelectRow(1040, 1); })
        .Then([](Ui& ui) { EXPECT_TRUE(ui.Enabled(1044)); })
        .Then([](Ui& ui) { ui.SelectRow(1040, 0); })
        .Then([&](Ui& ui) {
            try {
                ui.Click(1044);
            } catch (const fw::UiError&) {
                refused = true;
            }
        })
        .Then([](Ui& ui) { ui.Click(1043); });
    EXPECT_EQ(RunDialog(dlg, driver), IDOK);
    EXPECT_TRUE(refused);
    EXPECT_EQ(dlg.m_nSelected, 0u);
    EXPECT_EQ(dlg.m_bCustomize, 0);
}

TEST(ReportsDialog, AClickOnTheEmptyAreaSelectsTheFirstReport) {
    Reports reports({{"A", 1}, {"B", 0}, {"C", 1}});
    CReportsDlg dlg;
    dlg.m_pDrillThrough = &reports;
    fw::TestDriver driver;
    driver.Then([](Ui& ui) { ui.SelectRow(1040, 1); })
        .Then([](Ui& ui) { ui.ClickEmpty(1040); })
        .Then([](Ui& ui) {
            EXPECT_EQ(ui.SelectedRows(1040), std::vector<int>{0});
            EXPECT_TRUE(ui.Enabled(1044));
            ui.Click(1043);
        });
    EXPECT_EQ(RunDialog(dlg, driver), IDOK);
    EXPECT_EQ(dlg.m_nSelected, 0u);
}

TEST(ReportsDialog, TheChoiceFollowsTheArrowKeysAsItFollowsClicks) {
    // The list has the focus when the dialog opens: Down, Down, Up and Enter run the second report.
    Reports reports({{"Sales Detail", 1}, {"Customer Orders", 1}, {"Returns", 0}});
    CReportsDlg dlg;
    dlg.m_pDrillThrough = &reports;
    fw::TestDriver driver;
    driver
        .Then([](Ui& ui) {
            EXPECT_EQ(ui.FocusId(), 1040);
            ui.PressKey(fw::Key::Down);
        })
        .Then([](Ui& ui) { ui.PressKey(fw::Key::Down); })
        .Then([](Ui& ui) {
            EXPECT_FALSE(ui.Enabled(1044));  // the third report cannot be customised
            ui.PressKey(fw::Key::Up);
        })
        .Then([](Ui& ui) {
            EXPECT_EQ(ui.SelectedRows(1040), std::vector<int>{1});
            EXPECT_TRUE(ui.Enabled(1044));
            ui.PressKey(fw::Key::Enter);
        });
    EXPECT_EQ(RunDialog(dlg, driver), IDOK);
    EXPECT_EQ(dlg.m_nSelected, 1u);
    EXPECT_EQ(dlg.m_bCustomize, 0);

    // A selection changed by the program, as a screen reader or another tool may, counts too.
    CReportsDlg other;
    other.m_pDrillThrough = &reports;
    fw::TestDriver set;
    set.Then([](Ui& ui) {
           LVITEMA item{};
           item.state = item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
           fw::CurrentBackend().SendMessage(ui.Control(1040), LVM_SETITEMSTATE, 2,
                                            reinterpret_cast<LPARAM>(&item));
       })
        .Then([](Ui& ui) { ui.Click(1043); });
    EXPECT_EQ(RunDialog(other, set), IDOK);
    EXPECT_EQ(other.m_nSelected, 2u);
}

TEST(ReportsDialog, WithoutReportsCustomizeKeepsItsTemplateState) {
    Reports reports({});
    CReportsDlg dlg;
    dlg.m_pDrillThrough = &reports;
    fw::TestDriver driver;
    driver
        .Then([](Ui& ui) {
            EXPECT_EQ(ui.RowCount(1040), 0);
            EXPECT_TRUE(ui.Enabled(1044));
            ui.ClickEmpty(1040);
        })
        .Then([](Ui& ui) { ui.Click(1044); });
    EXPECT_EQ(RunDialog(dlg, driver), IDOK);
    EXPECT_EQ(dlg.m_nSelected, 0u);
    EXPECT_EQ(dlg.m_bCustomize, 1);
}

}  // namespace
