// The customisation wizard's sheet and first step.
#include <gtest/gtest.h>

#include "framework/script/test_driver.h"
#include "resources/resource.h"
#include "support/column_owner.h"
#include "support/test_env.h"
#include "support/wizard_steps.h"
#include "wizard/dt_attr_sheet.h"
#ifndef _WIN32
#include "framework/headless/headless_backend.h"
#endif

using fw::SheetButton;
using fw::Ui;

using testsupport::kHelpFolder;
using testsupport::RunCleanly;
using testsupport::Wizard;

namespace {

TEST(Wizard, FirstStepShowsInstructionsWithBackDisabledAndNoFinish) {
    Wizard w;
    fw::TestDriver driver;
    driver.Then([&](Ui& ui) {
        // The title bar of a wizard shows the page's caption; the sheet's own is in the transcript.
        EXPECT_EQ(ui.Caption(), "Drill-Through Wizard");
        EXPECT_EQ(ui.TemplateId(), unsigned(IDD_INFO_PAGE));
        const std::string instructions = ui.Text(IDC_INFO_TEXT);
        EXPECT_EQ(instructions.substr(0, 2), "\r\n");
        EXPECT_NE(instructions.find("Follow these steps to customize the transactional report\r\n"),
                  std::string::npos);
        EXPECT_FALSE(ui.Enabled(ID_WIZBACK));
        EXPECT_TRUE(ui.Enabled(ID_WIZNEXT) && ui.Visible(ID_WIZNEXT));
        EXPECT_FALSE(ui.Visible(ID_WIZFINISH));
        EXPECT_TRUE(ui.Enabled(IDHELP) && ui.Visible(IDHELP));
        EXPECT_EQ(ui.Style(IDC_INFO_PICTURE) & 0x1F, unsigned(SS_BITMAP));
        EXPECT_TRUE(ui.ReadOnly(IDC_INFO_TEXT));
        ui.Press(SheetButton::Cancel);
    });
    std::vector<std::string> transcript;
    EXPECT_EQ(RunCleanly(w.sheet, driver, &transcript), IDCANCEL);
    ASSERT_FALSE(transcript.empty());
    EXPECT_EQ(transcript.front(), "sheet \"Drill-Through Report\"");
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
    EXPECT_EQ(testsupport::RunOnStep(
                  w.sheet, 0, {[](Ui& ui) { EXPECT_THROW(ui.Press(SheetButton::Back), fw::UiError); }}),
              IDCANCEL);
}

// Each step in its place: at its index on the sheet, knowing sheet and owner,
// creatable by its class name, and with Help opening its own page.
TEST(Wizard, EveryStepJoinsTheSheetInItsPlaceWithItsOwnHelp) {
    testsupport::ScopedEnv home("TALVENOR_HOME", std::string("C:\\Talvenor"));
    testsupport::FakeShell shell;
    Wizard w;
    w.owner.Add("T", "A", 1);  // a displayed column, so that Next leads on from the column step
    const struct {
        CPropertyPage* page;
        const CRuntimeClass* runtimeClass;
        const char* name;
        const char* help;
    } steps[] = {
        {&w.sheet.m_infoPage, RUNTIME_CLASS(CInfoPage), "CInfoPage", "idh_drill_wizard_db.html"},
        {&w.sheet.m_columnPage, RUNTIME_CLASS(CDTSelectAttr), "CDTSelectAttr",
         "idh_select_columns_and_display_order_dialog_box.html"},
        {&w.sheet.m_sortPage, RUNTIME_CLASS(CDTOrderList), "CDTOrderList",
         "idh_select_data_sort_order_db.html"},
        {&w.sheet.m_filterPage, RUNTIME_CLASS(CDTFilter), "CDTFilter",
         "idh_select_data_filters_dialog_box.html"},
    };
    ASSERT_EQ(w.sheet.GetPageCount(), 4);
    for (int i = 0; i < 4; ++i) {
        SCOPED_TRACE(steps[i].name);
        EXPECT_EQ(w.sheet.GetPage(i), steps[i].page);
        EXPECT_STREQ(steps[i].runtimeClass->m_lpszClassName, steps[i].name);
        CObject* made = steps[i].runtimeClass->CreateObject();
        ASSERT_NE(made, nullptr);
        EXPECT_TRUE(made->IsKindOf(RUNTIME_CLASS(CPropertyPage)));
        delete made;
        testsupport::RunOnStep(w.sheet, i, {[](Ui& ui) { ui.Press(SheetButton::Help); }});
        ASSERT_EQ(shell.paths().size(), size_t(i + 1));
        EXPECT_EQ(shell.paths().back(), testsupport::kHelpDocs + steps[i].help);
    }
    EXPECT_EQ(w.sheet.m_infoPage.m_pSheet, &w.sheet);
    EXPECT_EQ(w.sheet.m_columnPage.m_pSheet, &w.sheet);
    EXPECT_EQ(w.sheet.m_sortPage.m_pSheet, &w.sheet);
    EXPECT_EQ(w.sheet.m_filterPage.m_pSheet, &w.sheet);
    EXPECT_EQ(w.sheet.m_columnPage.m_pOwner, &w.owner);
    EXPECT_EQ(w.sheet.m_sortPage.m_pOwner, &w.owner);
    EXPECT_EQ(w.sheet.m_filterPage.m_pOwner, &w.owner);
}

// Without an installation root, Help opens the page's path as the help string gives it.
TEST(Wizard, HelpWithoutAnInstallationRootOpensTheBarePath) {
    testsupport::ScopedEnv home("TALVENOR_HOME", std::nullopt);
    testsupport::FakeShell shell;
    Wizard w;
    testsupport::RunOnStep(w.sheet, 0, {[](Ui& ui) { ui.Press(SheetButton::Help); }});
    EXPECT_EQ(shell.paths(), std::vector<std::string>{kHelpFolder + "idh_drill_wizard_db.html"});
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
    const std::string docs = "R:\\" + kHelpFolder;
    EXPECT_EQ(sheet.m_strInfoHelpPath, docs + "idh_drill_wizard_db.html");
    EXPECT_EQ(sheet.m_strColumnsHelpPath, docs + "idh_select_columns_and_display_order_dialog_box.html");
    EXPECT_EQ(sheet.m_strSortHelpPath, docs + "idh_select_data_sort_order_db.html");
    EXPECT_EQ(sheet.m_strFilterHelpPath, docs + "idh_select_data_filters_dialog_box.html");
    EXPECT_TRUE(sheet.IsKindOf(RUNTIME_CLASS(CPropertySheet)));
    EXPECT_STREQ(sheet.GetRuntimeClass()->m_lpszClassName, "CDTAttrSheet");
}

}  // namespace
