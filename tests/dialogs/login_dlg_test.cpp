// The login dialog, driven as a user would drive it, on whichever backend
// this build has.
#include <gtest/gtest.h>

#include "dialogs/login_dlg.h"
#include "framework/script/test_driver.h"
#include "framework/transcript_lines.h"
#include "resources/resource.h"
#include "support/run_dialog.h"
#include "support/test_env.h"
#include "support/ui_steps.h"

using fw::Ui;

using testsupport::RunCleanly;
using testsupport::Told;

namespace {

struct EditStates {
    bool serverReadOnly, userReadOnly, passwordReadOnly;
};

class LoginFlags : public ::testing::TestWithParam<std::pair<int, EditStates>> {};

TEST_P(LoginFlags, OnlyTheFieldsTheFlagsNameCanBeTyped) {
    CLoginDlg dlg;
    dlg.m_nLoginFlags = GetParam().first;
    dlg.m_strDataSourceName = "Sales";
    const EditStates expected = GetParam().second;
    fw::TestDriver driver;
    driver.Then([&](Ui& ui) {
        EXPECT_EQ(ui.TemplateId(), unsigned(IDD_LOGIN));
        EXPECT_EQ(ui.Caption(), "Drill-Through Login");
        EXPECT_EQ(ui.ReadOnly(IDC_LOGIN_SERVER), expected.serverReadOnly);
        EXPECT_EQ(ui.ReadOnly(IDC_LOGIN_USER), expected.userReadOnly);
        EXPECT_EQ(ui.ReadOnly(IDC_LOGIN_PASSWORD), expected.passwordReadOnly);
        EXPECT_TRUE(ui.ReadOnly(IDC_LOGIN_DATA_SOURCE));
        EXPECT_EQ(ui.Text(IDC_LOGIN_DATA_SOURCE), "Sales");
        ui.Click(IDCANCEL);
    });
    EXPECT_EQ(RunCleanly(dlg, driver), IDCANCEL);
}

INSTANTIATE_TEST_SUITE_P(Flags, LoginFlags,
                         ::testing::Values(std::make_pair(1, EditStates{false, true, true}),
                                           std::make_pair(2, EditStates{true, false, false}),
                                           std::make_pair(3, EditStates{false, false, false})));

TEST(LoginDialog, TypingIntoAReadOnlyFieldIsRefused) {
    CLoginDlg dlg;
    dlg.m_nLoginFlags = 1;
    fw::TestDriver driver;
    driver.Then([](Ui& ui) {
        EXPECT_THROW(ui.Type(IDC_LOGIN_USER, "someone"), fw::UiError);
        ui.Click(IDCANCEL);
    });
    EXPECT_EQ(RunCleanly(dlg, driver), IDCANCEL);
}

TEST(LoginDialog, EmptyServerOrUserShowsItsMessageAndStaysOpen) {
    CLoginDlg dlg;
    dlg.m_nLoginFlags = 3;
    fw::TestDriver driver;
    std::string firstMessage, secondMessage;
    driver.Then([](Ui& ui) { ui.Click(IDOK); })
        .Then(Told(firstMessage))
        .Then([](Ui& ui) {
            EXPECT_EQ(ui.TemplateId(), unsigned(IDD_LOGIN));  // still open
            ui.Type(IDC_LOGIN_SERVER, "olap1");
        })
        .Then([](Ui& ui) { ui.Click(IDOK); })
        .Then(Told(secondMessage))
        .Then([](Ui& ui) { ui.Type(IDC_LOGIN_USER, "ann"); })
        .Then([](Ui& ui) { ui.Type(IDC_LOGIN_PASSWORD, "secret"); })
        .Then([](Ui& ui) { ui.Click(IDOK); });
    std::vector<std::string> transcript;
    EXPECT_EQ(RunCleanly(dlg, driver, &transcript), IDOK);
    EXPECT_EQ(firstMessage, "Need to provide Integration Server name");
    EXPECT_EQ(secondMessage, "Need to provide user name");
    EXPECT_EQ(dlg.m_strServerName, "olap1");
    EXPECT_EQ(dlg.m_strUserName, "ann");
    EXPECT_EQ(dlg.m_strPassword, "secret");
    // The message's help context is its string id.
    ASSERT_GE(transcript.size(), 3u);
    for (const char* line : {"messagebox 50002 \"Need to provide Integration Server name\" OK -> OK",
                             "messagebox 50003 \"Need to provide user name\" OK -> OK"})
        EXPECT_NE(std::find(transcript.begin(), transcript.end(), line), transcript.end()) << line;
}

TEST(LoginDialog, AReadOnlyEmptyUserLeavesOnlyCancel) {
    CLoginDlg dlg;
    dlg.m_nLoginFlags = 1;
    dlg.m_strServerName = "olap1";
    std::vector<std::string> messages;
    fw::TestDriver driver;
    for (int i = 0; i < 2; ++i) driver.Then([](Ui& ui) { ui.Click(IDOK); }).Then(Told(messages));
    driver.Then([](Ui& ui) { ui.Click(IDCANCEL); });
    EXPECT_EQ(RunCleanly(dlg, driver), IDCANCEL);
    EXPECT_EQ(messages, std::vector<std::string>(2, "Need to provide user name"));
}

TEST(LoginDialog, BlanksCountAsAServerName) {
    CLoginDlg dlg;
    dlg.m_nLoginFlags = 3;
    fw::TestDriver driver;
    driver.Then([](Ui& ui) { ui.Type(IDC_LOGIN_SERVER, "   "); })
        .Then([](Ui& ui) { ui.Type(IDC_LOGIN_USER, "ann"); })
        .Then([](Ui& ui) { ui.Click(IDOK); });
    EXPECT_EQ(RunCleanly(dlg, driver), IDOK);
    EXPECT_EQ(dlg.m_strServerName, "   ");
}

TEST(LoginDialog, HelpOpensTheLoginPageBelowTheRootReadAtConstruction) {
    testsupport::FakeShell shell;
    testsupport::ScopedEnv home("TALVENOR_HOME", std::string("C:\\Talvenor"));
    CLoginDlg dlg;
    testsupport::ScopedEnv changed("TALVENOR_HOME", std::string("D:\\Elsewhere"));
    fw::TestDriver driver;
    driver.Then([](Ui& ui) { ui.Click(IDC_LOGIN_HELP); }).Then([](Ui& ui) { ui.Click(IDCANCEL); });
    EXPECT_EQ(RunCleanly(dlg, driver), IDCANCEL);
    EXPECT_EQ(shell.paths(),
              std::vector<std::string>{testsupport::kHelpDocs + "idh_drill_through_login_dialog_box.html"});
}

}  // namespace
