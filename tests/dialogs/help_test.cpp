// Help paths below the installation root and what the user is told when the
// shell cannot open one.
#include <gtest/gtest.h>

#include <map>

#include "dialogs/help.h"
#include "framework/script/test_driver.h"
#include "resources/resource.h"
#include "support/test_env.h"
#include "support/ui_steps.h"

namespace {

const std::string kLoginPage = testsupport::kHelpFolder + "idh_drill_through_login_dialog_box.html";

TEST(HelpPath, RootFollowedDirectlyByTheHelpString) {
    EXPECT_EQ(MakeHelpPath("C:\\Talvenor", IDS_HELP_LOGIN), "C:\\Talvenor" + kLoginPage);
    // A trailing backslash stays: the path then holds two in a row.
    EXPECT_EQ(MakeHelpPath("C:\\Talvenor\\", IDS_HELP_LOGIN), "C:\\Talvenor\\" + kLoginPage);
    EXPECT_EQ(MakeHelpPath("", IDS_HELP_LOGIN), kLoginPage);
}

TEST(HelpPath, InstallationRootComesFromTheEnvironment) {
    {
        testsupport::ScopedEnv home("TALVENOR_HOME", std::string("/opt/talvenor"));
        EXPECT_EQ(GetInstallationRoot(), "/opt/talvenor");
    }
    testsupport::ScopedEnv none("TALVENOR_HOME", std::nullopt);
    EXPECT_EQ(GetInstallationRoot(), "");
}

TEST(OpenHelpFile, SuccessShowsNothing) {
    testsupport::FakeShell shell(33);
    fw::MemoryTranscript transcript;
    fw::TestDriver driver;
    {
        fw::ScopedDriver scope(&driver, &transcript);
        OpenHelpFile("x.html");
    }
    EXPECT_EQ(shell.paths(), std::vector<std::string>{"x.html"});
    for (const std::string& line : transcript.lines)
        EXPECT_EQ(line.rfind("messagebox", 0), std::string::npos) << line;
}

TEST(OpenHelpFile, EachShellFailureShowsItsMessageWithItsIdAsContext) {
    const std::map<intptr_t, unsigned> table = {
        {0, 1538},   {2, 15511},  {3, 15521},  {5, 15541},  {8, 15611},  {11, 15531}, {26, 15621},
        {27, 15551}, {28, 15581}, {29, 15571}, {30, 15561}, {31, 15601}, {32, 15591}};
    testsupport::FakeShell shell;
    for (intptr_t result = 0; result <= 33; ++result) {
        shell.SetResult(result);
        fw::MemoryTranscript transcript;
        std::string shown;
        fw::TestDriver driver;
        driver.Then(testsupport::Told(shown));
        {
            fw::ScopedDriver scope(&driver, &transcript);
            OpenHelpFile("x.html");
        }
        auto it = table.find(result);
        unsigned expected = it == table.end() ? 0 : it->second;
        EXPECT_EQ(HelpFailureMessage(result), expected) << result;
        if (expected == 0) {
            EXPECT_EQ(driver.Remaining(), 1u) << "no message for result " << result;
            continue;
        }
        CString text;
        ASSERT_TRUE(text.LoadString(expected)) << expected;
        EXPECT_FALSE(text.IsEmpty());
        EXPECT_EQ(shown, text.str());
        bool found = false;
        for (const std::string& line : transcript.lines)
            found |= line.rfind("messagebox " + std::to_string(expected) + " ", 0) == 0;
        EXPECT_TRUE(found) << "help context of result " << result;
    }
}

}  // namespace
