// Wizard sheets: a disabled Back or Next does nothing, whatever the platform
// sends, and pages are told of every move in the platform's order.
#include <gtest/gtest.h>

#include "framework/afxwin.h"
#include "framework/script/test_driver.h"
#include "resources/resource.h"
#include "support/run_dialog.h"
#include "support/ui_steps.h"

namespace {

class Page : public CPropertyPage {
  public:
    Page(UINT id, DWORD buttons, std::vector<std::string>* log)
        : CPropertyPage(id), buttons_(buttons), log_(log) {}

  protected:
    BOOL OnInitDialog() override {
        log_->push_back("init " + std::to_string(GetTemplateId()));
        return CPropertyPage::OnInitDialog();
    }
    BOOL OnSetActive() override {
        log_->push_back("setactive " + std::to_string(GetTemplateId()));
        GetSheet()->SetWizardButtons(buttons_);
        return CPropertyPage::OnSetActive();
    }
    LRESULT OnWizardNext() override {
        log_->push_back("next " + std::to_string(GetTemplateId()));
        return CPropertyPage::OnWizardNext();
    }
    LRESULT OnWizardBack() override {
        log_->push_back("back " + std::to_string(GetTemplateId()));
        return CPropertyPage::OnWizardBack();
    }
    BOOL OnKillActive() override {
        log_->push_back("killactive " + std::to_string(GetTemplateId()));
        return CPropertyPage::OnKillActive();
    }

  private:
    DWORD buttons_;
    std::vector<std::string>* log_;
};

// What the platform does when told to press a button, without asking whether
// a user could.
void ForcePress(fw::Ui& ui, int button) {
    fw::CurrentBackend().SendMessage(ui.Window(), PSM_PRESSBUTTON, static_cast<uintptr_t>(button), 0);
}

TEST(WizardSheet, DisabledBackAndNextDoNothingEvenWhenPressedByMessage) {
    std::vector<std::string> log;
    Page first(IDD_INFO_PAGE, PSWIZB_NEXT, &log), second(IDD_SELECT_ATTR, PSWIZB_FINISH, &log);
    testsupport::PageWizard wizard({&first, &second});
    std::vector<unsigned> seen;
    fw::TestDriver driver;
    driver.Then([](fw::Ui& ui) { fw::CurrentBackend().EnableWindow(ui.Control(ID_WIZNEXT), false); })
        .Then([](fw::Ui& ui) { ForcePress(ui, PSBTN_NEXT); })
        .Then([&](fw::Ui& ui) {
            seen.push_back(ui.TemplateId());
            fw::CurrentBackend().EnableWindow(ui.Control(ID_WIZNEXT), true);
        })
        .Then([](fw::Ui& ui) { ui.Press(fw::SheetButton::Next); })
        .Then([&](fw::Ui& ui) {
            seen.push_back(ui.TemplateId());
            EXPECT_FALSE(ui.Enabled(ID_WIZBACK));
            EXPECT_TRUE(ui.Visible(ID_WIZFINISH));
            EXPECT_FALSE(ui.Visible(ID_WIZNEXT));
            ForcePress(ui, PSBTN_BACK);
        })
        .Then([&](fw::Ui& ui) {
            seen.push_back(ui.TemplateId());
            ui.Press(fw::SheetButton::Finish);
        });
    EXPECT_EQ(testsupport::RunCleanly(wizard.sheet, driver), ID_WIZFINISH);
    EXPECT_EQ(seen, (std::vector<unsigned>{IDD_INFO_PAGE, IDD_SELECT_ATTR, IDD_SELECT_ATTR}));
    // The refused presses reached no page's handler; the real one ran in order.
    EXPECT_EQ(log, (std::vector<std::string>{"init 139", "setactive 139", "next 139", "killactive 139",
                                             "init 130", "setactive 130"}));
}

}  // namespace
