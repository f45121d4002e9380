// F1 in a message box that carries a help context: the user gets the help of
// the window the message is about, as that window's Help button gives it, and
// nothing where the window has no help. On whichever backend this build has.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "dialogs/login_dlg.h"
#include "filters/get_filter_name_dlg.h"
#include "framework/script/test_driver.h"
#include "resources/resource.h"
#include "support/column_owner.h"
#include "support/help_wizard.h"
#include "support/run_dialog.h"
#include "support/test_env.h"
#include "support/wizard_steps.h"
#include "wizard/dt_attr_sheet.h"

using fw::SheetButton;
using fw::Ui;

using testsupport::RunCleanly;

namespace {

const std::string& kDocs = testsupport::kHelpDocs;

TEST(MessageBoxHelp, F1InTheLoginsMessageOpensTheLoginHelpAndPlainF1DoesNot) {
    testsupport::ScopedEnv home("TALVENOR_HOME", std::string("C:\\Talvenor"));
    testsupport::FakeShell shell;
    CLoginDlg dlg;
    dlg.m_nLoginFlags = 3;
    dlg.m_strDataSourceName = "Sales";
    std::string shown;
    fw::TestDriver driver;
    driver
        .Then([](Ui& ui) { ui.PressF1(); })    // the dialog itself answers no F1
        .Then([](Ui& ui) { ui.Click(IDOK); })  // no server name
        .Then([&](Ui& ui) {
            shown = ui.MessageText();
            ui.PressF1();
        })
        .Then([](Ui& ui) {
            // The box stays until it is answered.
            EXPECT_EQ(ui.Kind(), fw::WindowKind::MessageBox);
            ui.Answer(IDOK);
        })
        .Then([](Ui& ui) {
            EXPECT_EQ(ui.TemplateId(), unsigned(IDD_LOGIN));
            ui.Click(IDCANCEL);
        });
    std::vector<std::string> lines;
    EXPECT_EQ(RunCleanly(dlg, driver, &lines), IDCANCEL);
    EXPECT_EQ(shown, "Need to provide Integration Server name");
    EXPECT_EQ(shell.paths(), std::vector<std::string>{kDocs + "idh_drill_through_login_dialog_box.html"});
    bool context = false;
    for (const std::string& line : lines) context |= line.rfind("messagebox 50002 ", 0) == 0;
    EXPECT_TRUE(context);
}

// A message raised by a wizard page belongs to the sheet; its help is the
// help of the step showing, as the sheet's Help button gives it.
TEST(MessageBoxHelp, F1InTheFilterStepsQuestionOpensTheFilterStepsHelp) {
    testsupport::HelpWizard wizard;
    std::string question;
    EXPECT_EQ(
        testsupport::RunOnStep(wizard.sheet, 3,
                               {[](Ui& ui) { ui.Click(IDC_FILTER_DELETE); },  // Delete the current filter
                                [&](Ui& ui) {
                                    question = ui.MessageText();
                                    ui.PressF1();
                                },
                                [](Ui& ui) { ui.Answer(IDNO); },
                                [](Ui& ui) { EXPECT_EQ(ui.TemplateId(), unsigned(IDD_FILTER)); }}),
        IDCANCEL);
    EXPECT_EQ(question, "Are you sure you want to delete the current filter?");
    EXPECT_EQ(wizard.shell.paths(),
              std::vector<std::string>{kDocs + "idh_select_data_filters_dialog_box.html"});
}

TEST(MessageBoxHelp, F1InAMessageOfADialogWithoutHelpOpensNothing) {
    testsupport::FakeShell shell;
    GetFilterNameDlg dlg;
    dlg.SetRenameMode(1);
    dlg.SetCurrentName("  ");
    dlg.ShowCopyOption(0);
    dlg.m_strName = "  ";
    fw::TestDriver driver;
    driver.Then([](Ui& ui) { ui.Click(IDOK); })
        .Then([](Ui& ui) {
            EXPECT_EQ(ui.MessageText(), "Please enter a filter name.");
            ui.PressF1();
        })
        .Then([](Ui& ui) { ui.Answer(IDOK); })
        .Then([](Ui& ui) { ui.Click(IDCANCEL); });
    EXPECT_EQ(RunCleanly(dlg, driver), IDCANCEL);
    EXPECT_TRUE(shell.paths().empty());
}

}  // namespace
