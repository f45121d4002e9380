// The filter name dialog, driven as a user would drive it, on whichever
// backend this build has.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "filters/get_filter_name_dlg.h"
#include "framework/script/test_driver.h"
#include "resources/resource.h"
#include "support/run_dialog.h"
#include "support/ui_steps.h"

using fw::Ui;

using testsupport::RunCleanly;
using testsupport::Told;

namespace {

void Names(GetFilterNameDlg& dlg, const std::vector<std::string>& names) {
    for (const std::string& name : names) dlg.m_existingNames.AddTail(CString(name));
}

TEST(FilterNameDialog, NewNameIsOfferedOnceTypedAndRefusedWhenTaken) {
    GetFilterNameDlg dlg;
    dlg.SetCurrentName("Current");
    Names(dlg, {"Default", "Q1"});
    std::string clash;
    fw::TestDriver driver;
    driver
        .Then([](Ui& ui) {
            EXPECT_EQ(ui.Caption(), "Filter Name");
            EXPECT_FALSE(ui.Enabled(IDOK));
            EXPECT_TRUE(ui.Visible(IDC_NAME_COPY));
            ui.Type(IDC_NAME_EDIT, "   ");
        })
        .Then([](Ui& ui) {
            EXPECT_FALSE(ui.Enabled(IDOK));
            ui.Type(IDC_NAME_EDIT, "East$*$West");
        })
        .Then([](Ui& ui) {
            // Offered, so that OK says why such a name is refused (below).
            EXPECT_TRUE(ui.Enabled(IDOK));
            ui.Type(IDC_NAME_EDIT, "  q1 ");
        })
        .Then([&](Ui& ui) { ui.Click(IDOK); })
        .Then(Told(clash))
        .Then([&](Ui& ui) {
            EXPECT_EQ(ui.TemplateId(), unsigned(IDD_FILTER_NAME));
            EXPECT_EQ(ui.Text(IDC_NAME_EDIT), "  q1 ");
            ui.Type(IDC_NAME_EDIT, " Fresh\t");
        })
        .Then([&](Ui& ui) { ui.SetCheck(IDC_NAME_COPY, true); })
        .Then([&](Ui& ui) { ui.Click(IDOK); });
    std::vector<std::string> transcript;
    EXPECT_EQ(RunCleanly(dlg, driver, &transcript), IDOK);
    EXPECT_EQ(clash, "A Filter with name q1 already exists.");
    EXPECT_EQ(dlg.m_strName.str(), " Fresh\t");
    EXPECT_EQ(dlg.m_nCopyDefinition, 1);
    bool clashLogged = false;
    for (const std::string& line : transcript) clashLogged |= line.rfind("messagebox 50519 ", 0) == 0;
    EXPECT_TRUE(clashLogged);
}

TEST(FilterNameDialog, WithNoOtherFiltersAnyNameIsAccepted) {
    GetFilterNameDlg dlg;
    fw::TestDriver driver;
    driver.Then([](Ui& ui) { ui.Type(IDC_NAME_EDIT, "x"); }).Then([](Ui& ui) { ui.Click(IDOK); });
    EXPECT_EQ(RunCleanly(dlg, driver), IDOK);
    EXPECT_EQ(dlg.m_strName.str(), "x");
    EXPECT_EQ(dlg.m_nCopyDefinition, 0);
}

void RenameDialog(GetFilterNameDlg& dlg, const char* current, const std::vector<std::string>& names) {
    dlg.SetRenameMode(1);
    dlg.SetCurrentName(current);
    dlg.ShowCopyOption(0);
    dlg.m_strName = current;
    Names(dlg, names);
}

TEST(FilterNameDialog, RenameOffersOkOnlyForANameThatReallyChanges) {
    GetFilterNameDlg dlg;
    RenameDialog(dlg, "Alpha", {"Alpha", "Beta"});
    std::string clash;
    fw::TestDriver driver;
    driver
        .Then([](Ui& ui) {
            EXPECT_TRUE(ui.Enabled(IDOK));
            EXPECT_FALSE(ui.Visible(IDC_NAME_COPY));
            EXPECT_EQ(ui.Text(IDC_NAME_EDIT), "Alpha");
            ui.Type(IDC_NAME_EDIT, " aLPHA ");
        })
        .Then([](Ui& ui) {
            EXPECT_FALSE(ui.Enabled(IDOK));
            ui.Type(IDC_NAME_EDIT, "BETA");
        })
        .Then([](Ui& ui) {
            EXPECT_TRUE(ui.Enabled(IDOK));
            ui.Click(IDOK);
        })
        .Then(Told(clash))
        .Then([](Ui& ui) { ui.Type(IDC_NAME_EDIT, "Gamma"); })
        .Then([](Ui& ui) { ui.Click(IDOK); });
    EXPECT_EQ(RunCleanly(dlg, driver), IDOK);
    EXPECT_EQ(clash, "A Filter with name BETA already exists.");
    EXPECT_EQ(dlg.m_strName.str(), "Gamma");
    EXPECT_EQ(dlg.m_nCopyDefinition, 0);
}

TEST(FilterNameDialog, RenameWithTheUnchangedNameClosesAtOnce) {
    GetFilterNameDlg dlg;
    RenameDialog(dlg, "Alpha", {"Beta", "Alpha"});
    fw::TestDriver driver;
    driver.Then([](Ui& ui) { ui.Click(IDOK); });
    EXPECT_EQ(RunCleanly(dlg, driver), IDOK);
    EXPECT_EQ(dlg.m_strName.str(), "Alpha");
}

TEST(FilterNameDialog, OnlyTheExactCurrentNameIsTheFiltersOwnEntry) {
    // Another entry that differs from the current name only in case is a clash.
    GetFilterNameDlg dlg;
    RenameDialog(dlg, "Alpha", {"ALPHA"});
    std::string clash;
    fw::TestDriver driver;
    driver.Then([](Ui& ui) { ui.Click(IDOK); }).Then(Told(clash)).Then([](Ui& ui) { ui.Click(IDCANCEL); });
    EXPECT_EQ(RunCleanly(dlg, driver), IDCANCEL);
    EXPECT_EQ(clash, "A Filter with name Alpha already exists.");
}

TEST(FilterNameDialog, ABlankNameIsRefusedWithAMessage) {
    GetFilterNameDlg dlg;
    RenameDialog(dlg, "  ", {});
    std::string refusal;
    fw::TestDriver driver;
    driver.Then([](Ui& ui) { ui.Click(IDOK); }).Then(Told(refusal)).Then([](Ui& ui) {
        EXPECT_EQ(ui.TemplateId(), unsigned(IDD_FILTER_NAME));
        ui.Click(IDCANCEL);
    });
    EXPECT_EQ(RunCleanly(dlg, driver), IDCANCEL);
    EXPECT_EQ(refusal, "Please enter a filter name.");
}

// "Cost$*" would be saved as "Cost$*$..." and come back as "Cost" with every
// field after it shifted: it is refused like a name holding the separator,
// and OK and Enter alike say why.
TEST(FilterNameDialog, NamesARecordCouldNotKeepAreRefusedWithAMessageOnOkAndEnter) {
    GetFilterNameDlg dlg;
    Names(dlg, {"Default"});
    std::vector<std::string> refusals;
    const auto refused = Told(refusals);
    fw::TestDriver driver;
    driver.Then([](Ui& ui) { ui.Type(IDC_NAME_EDIT, " Cost$* "); })
        .Then([](Ui& ui) {
            EXPECT_TRUE(ui.Enabled(IDOK));
            ui.Click(IDOK);
        })
        .Then(refused)
        .Then([](Ui& ui) { ui.Type(IDC_NAME_EDIT, "a$*$b"); })
        .Then([](Ui& ui) { ui.PressKey(fw::Key::Enter); })
        .Then(refused)
        .Then([](Ui& ui) {
            EXPECT_EQ(ui.TemplateId(), unsigned(IDD_FILTER_NAME));
            ui.Type(IDC_NAME_EDIT, "Cost$");
        })
        .Then([](Ui& ui) { ui.PressKey(fw::Key::Enter); });
    // A lone "$" at the end does not combine with the separator.
    EXPECT_EQ(RunCleanly(dlg, driver), IDOK);
    EXPECT_EQ(refusals, (std::vector<std::string>(2, "A filter text cannot contain $*$ or end with $*.")));
    EXPECT_EQ(dlg.m_strName.str(), "Cost$");
}

TEST(FilterNameDialog, CancelTransfersNothing) {
    GetFilterNameDlg dlg;
    dlg.m_strName = "kept";
    fw::TestDriver driver;
    driver.Then([](Ui& ui) { ui.Type(IDC_NAME_EDIT, "typed"); })
        .Then([](Ui& ui) { ui.SetCheck(IDC_NAME_COPY, true); })
        .Then([](Ui& ui) { ui.Click(IDCANCEL); });
    EXPECT_EQ(RunCleanly(dlg, driver), IDCANCEL);
    EXPECT_EQ(dlg.m_strName.str(), "kept");
    EXPECT_EQ(dlg.m_nCopyDefinition, 0);
}

}  // namespace
