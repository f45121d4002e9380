// The customisation wizard's sheet and first step.
#include <gtest/gtest.h>

#include "framework/script/test_driver.h"
#include "resources/resource.h"
#include "support/column_owner.h"
#include "support/test_env.h"
#include "support/run_dialog.h"
#include "wizard/dt_attr_sheet.h"
#ifndef _WIN32
#include "framework/headless/headless_backend.h"
#endif

using fw::SheetButton;
using fw::Ui;

using testsupport::RunCleanly;

namespace {

using NoColumns = testsupport::ColumnOwner;

struct Wizard {
    NoColumns owner;
    CDTAttrSheet sheet{IDS_DRILL_THROUGH_REPORT, nullptr, 0};
    Wizard() { sheet.SetOwner(&owner); }
};

TEST(Wizard, FirstStepShowsInstructionsWithBackDisabledAndNoFinish) {
    Wizard w;
    std::string caption, instructions;
    bool back = true, next = false, finish = true, help = false, picture = false;
    unsigned page = 0;
    fw::TestDriver driver;
    driver.Then([&](Ui& ui) {
        caption = ui.Caption();
        page = ui.TemplateId();
        instructions = ui.Text(IDC_INFO_TEXT);
        back = ui.Enabled(ID_WIZBACK);
        next = ui.Enabled(ID_WIZNEXT) && ui.Visible(ID_WIZNEXT);
        finish = ui.Visible(ID_WIZFINISH);
        help = ui.Enabled(IDHELP) && ui.Visible(IDHELP);
        picture = (ui.Style(IDC_INFO_PICTURE) & 0x1F) == SS_BITMAP;
        EXPECT_TRUE(ui.ReadOnly(IDC_INFO_TEXT));
        ui.Press(SheetButton::Cancel);
    });
    std::vector<std::string> transcript;
    EXPECT_EQ(RunCleanly(w.sheet, driver, &transcript), IDCANCEL);
    ASSERT_FALSE(transcript.empty());
    EXPECT_EQ(transcript.front(), "sheet \"Drill-Through Report\"");
    // The title bar of a wizard shows the page's caption; the sheet's own is in the transcript.
    EXPECT_EQ(caption, "Drill-Through Wizard");
    EXPECT_EQ(page, unsigned(IDD_INFO_PAGE));
    EXPECT_EQ(instructions.substr(0, 2), "\r\n");
    EXPECT_NE(instructions.find("Follow these steps to customize the transactional report\r\n"),
              std::string::npos);
    EXPECT_FALSE(back);
    EXPECT_TRUE(next);
    EXPECT_FALSE(finish);
    EXPECT_TRUE(help);
    EXPECT_TRUE(picture);
}

TEST(Wizard, TheFirstStepsTextLeavesEnterEscAndTabToTheWizard) {
    // The read-only instructions are the step's only control: a multi-line
    // edit would keep these keys and hand them to the page, where no button is.
    Wizard w;
    fw::TestDriver driver;
    driver
        .Then([](Ui& ui) {
            EXPECT_EQ(ui.FocusId(), IDC_INFO_TEXT);
            ui.PressKey(fw::Key::Tab);
        })
        .Then([](Ui& ui) {
            EXPECT_EQ(ui.FocusId(), ID_WIZNEXT);
            ui.PressKey(fw::Key::ShiftTab);
        })
        .Then([](Ui& ui) {
            EXPECT_EQ(ui.FocusId(), IDC_INFO_TEXT);
            ui.PressKey(fw::Key::Enter);
        })
        .Then([](Ui& ui) {
            EXPECT_EQ(ui.TemplateId(), unsigned(IDD_SELECT_ATTR));
            ui.Press(SheetButton::Cancel);
        });
    EXPECT_EQ(RunCleanly(w.sheet, driver), IDCANCEL);

    Wizard again;
    fw::TestDriver esc;
    esc.Then([](Ui& ui) {
           EXPECT_EQ(ui.FocusId(), IDC_INFO_TEXT);
           ui.PressKey(fw::Key::Escape);
       })
        .Then([](Ui& ui) {
            ADD_FAILURE() << "Esc left the wizard open on page " << ui.TemplateId();
            ui.Press(SheetButton::Cancel);
        });
    fw::ScopedDriver scope(&esc);
    EXPECT_EQ(again.sheet.DoModal(), IDCANCEL);
    EXPECT_TRUE(esc.Failures().empty()) << esc.Failures().front();
}

TEST(Wizard, BackCannotBePressedOnTheFirstStep) {
    Wizard w;
    bool refused = false;
    fw::TestDriver driver;
    driver.Then([&](Ui& ui) {
        try {
            ui.Press(SheetButton::Back);
        } catch (const fw::UiError&) {
            refused = true;
        }
        ui.Press(SheetButton::Cancel);
    });
    EXPECT_EQ(RunCleanly(w.sheet, driver), IDCANCEL);
    EXPECT_TRUE(refused);
}

TEST(Wizard, HelpOnTheInfoPageOpensItsPage) {
    const char* page = "\\common\\docs\\en\\vantrel\\ss_user\\idh_drill_wizard_db.html";
    for (bool withHome : {true, false}) {
        testsupport::ScopedEnv home("TALVENOR_HOME",
                                    withHome ? std::optional<std::string>("C:\\Talvenor") : std::nullopt);
        testsupport::FakeShell shell;
        Wizard w;
        fw::TestDriver driver;
        driver.Then([](Ui& ui) { ui.Press(SheetButton::Help); }).Then([](Ui& ui) {
            ui.Press(SheetButton::Cancel);
        });
        RunCleanly(w.sheet, driver);
        ASSERT_EQ(shell.paths().size(), 1u);
        EXPECT_EQ(shell.paths()[0], std::string(withHome ? "C:\\Talvenor" : "") + page);
    }
}

TEST(Wizard, ASecondRunStartsFromScratch) {
    Wizard w;
    int pages = 0;
    for (int run = 0; run < 2; ++run) {
        fw::TestDriver driver;
        driver.Then([](Ui& ui) {
            EXPECT_EQ(ui.TemplateId(), unsigned(IDD_INFO_PAGE));
            EXPECT_FALSE(ui.Enabled(ID_WIZBACK));
            ui.Press(SheetButton::Cancel);
        });
        std::vector<std::string> transcript;
        EXPECT_EQ(RunCleanly(w.sheet, driver, &transcript), IDCANCEL);
        for (const std::string& line : transcript) pages += line == "page 139 \"Drill-Through Wizard\"";
        EXPECT_EQ(w.sheet.m_hWnd, nullptr);
        EXPECT_EQ(w.sheet.m_infoPage.m_hWnd, nullptr);
        EXPECT_EQ(w.sheet.m_infoPage.m_picture.m_hWnd, nullptr);
    }
    EXPECT_EQ(pages, 2);
#ifndef _WIN32
    // Each run's picture is released with its page.
    EXPECT_EQ(static_cast<fw::headless::HeadlessBackend&>(fw::CurrentBackend()).LiveBitmapCount(), 0u);
#endif
}

TEST(Wizard, HelpPathsOfEveryStepAreReadAtConstruction) {
    testsupport::ScopedEnv home("TALVENOR_HOME", std::string("R:\\"));
    CDTAttrSheet sheet(IDS_DRILL_THROUGH_REPORT, nullptr, 0);
    EXPECT_EQ(sheet.m_strInstallRoot, "R:\\");
    EXPECT_EQ(sheet.m_strInfoHelpPath, "R:\\\\common\\docs\\en\\vantrel\\ss_user\\idh_drill_wizard_db.html");
    EXPECT_EQ(
        sheet.m_strColumnsHelpPath,
        "R:\\\\common\\docs\\en\\vantrel\\ss_user\\idh_select_columns_and_display_order_dialog_box.html");
    EXPECT_EQ(sheet.m_strSortHelpPath,
              "R:\\\\common\\docs\\en\\vantrel\\ss_user\\idh_select_data_sort_order_db.html");
    EXPECT_EQ(sheet.m_strFilterHelpPath,
              "R:\\\\common\\docs\\en\\vantrel\\ss_user\\idh_select_data_filters_dialog_box.html");
    EXPECT_TRUE(sheet.IsKindOf(RUNTIME_CLASS(CPropertySheet)));
    EXPECT_STREQ(sheet.GetRuntimeClass()->m_lpszClassName, "CDTAttrSheet");
    EXPECT_STREQ(RUNTIME_CLASS(CInfoPage)->m_lpszClassName, "CInfoPage");
    CObject* made = RUNTIME_CLASS(CInfoPage)->CreateObject();
    EXPECT_NE(made, nullptr);
    delete made;
}

}  // namespace
