// The modeless wait dialog beside a long request.
#include <gtest/gtest.h>

#include "dialogs/wait_dialog.h"
#include "framework/script/ui.h"
#include "resources/resource.h"

namespace {

TEST(WaitDialog, StandardTextsAndHiddenProgress) {
    int running = 1;
    CWaitDialog dlg(nullptr, &running);
    ASSERT_TRUE(dlg.IsWindow());
    fw::Ui ui(dlg.m_hWnd);
    EXPECT_EQ(ui.TemplateId(), unsigned(IDD_WAIT));
    EXPECT_EQ(ui.Caption(), "Working");
    EXPECT_EQ(ui.Text(IDC_WAIT_MESSAGE), "Click Cancel to cancel the operation");
    EXPECT_EQ(ui.Text(IDCANCEL), "Cancel");
    EXPECT_FALSE(ui.Visible(IDC_WAIT_PROGRESS));
    EXPECT_TRUE(dlg.IsWindowVisible());
}

TEST(WaitDialog, GivenTextsAndAVisibleProgressBar) {
    int running = 1;
    CWaitDialog dlg(nullptr, &running, "ZEVDT", "Getting data from database...", TRUE);
    fw::Ui ui(dlg.m_hWnd);
    EXPECT_EQ(ui.Caption(), "ZEVDT");
    EXPECT_EQ(ui.Text(IDC_WAIT_MESSAGE), "Getting data from database...");
    EXPECT_TRUE(ui.Visible(IDC_WAIT_PROGRESS));
}

TEST(WaitDialog, CancelClearsTheFlagAndDestroysTheWindow) {
    int running = 1;
    CWaitDialog dlg(nullptr, &running);
    fw::Ui(dlg.m_hWnd).Click(IDCANCEL);
    EXPECT_EQ(running, 0);
    EXPECT_FALSE(dlg.IsWindow());
    dlg.Close();  // nothing left to close
    EXPECT_FALSE(dlg.IsWindow());
}

TEST(WaitDialog, CancelWithoutAFlagOnlyCloses) {
    CWaitDialog dlg(nullptr, nullptr);
    fw::Ui(dlg.m_hWnd).Click(IDCANCEL);
    EXPECT_FALSE(dlg.IsWindow());
}

TEST(WaitDialog, TheFlagSetLaterIsTheOneCleared) {
    int first = 1, second = 1;
    CWaitDialog dlg(nullptr, &first);
    dlg.SetCancelFlag(&second);
    fw::Ui(dlg.m_hWnd).Click(IDCANCEL);
    EXPECT_EQ(first, 1);
    EXPECT_EQ(second, 0);
}

TEST(WaitDialog, AQuitMessageIsPostedAgainForTheOuterLoop) {
    int running = 1;
    CWaitDialog dlg(nullptr, &running);
    EXPECT_TRUE(dlg.PumpWaitingMessages());
    fw::PostQuitMessage(0);
    EXPECT_FALSE(dlg.PumpWaitingMessages());
    // The outer loop still finds it.
    EXPECT_TRUE(fw::HasWaitingMessage());
    EXPECT_FALSE(fw::PumpMessage());
    EXPECT_EQ(running, 1);
}

}  // namespace
