// The wizard sheet of comctl32 as the framework uses it: which
// notifications pages get and in what order, the buttons a posted
// PSM_SETWIZBUTTONS shows, and what a run answers.
#include <gtest/gtest.h>

#include "framework/script/environment.h"
#include "framework/script/test_driver.h"
#include "framework/transcript_lines.h"
#include "probe_ids.h"
#include "probe_support.h"

using namespace probe;

namespace {

// A page that asks for its buttons on activation, as the system's pages do,
// and answers the wizard's questions from fields a test sets.
struct ProbePage : RecordingSink {
    explicit ProbePage(DWORD buttons) {
        handler = [this, buttons](UINT msg, WPARAM, LPARAM lParam, bool* handled) -> intptr_t {
            if (msg != WM_NOTIFY)
                return 0;
            *handled = true;
            switch (reinterpret_cast<const NMHDR*>(lParam)->code) {
                case PSN_SETACTIVE:
                    ::PostMessageA(::GetParent(W(hwnd())), PSM_SETWIZBUTTONS, 0,
                                   static_cast<LPARAM>(buttons));
                    return 0;
                case PSN_WIZFINISH:
                    return refuseFinish-- > 0 ? TRUE : FALSE;
                default:
                    return 0;
            }
        };
    }
    std::vector<UINT> Codes() const {
        std::vector<UINT> codes;
        // Focus moves between pages make their edits report EN_SETFOCUS
        // and EN_KILLFOCUS; only the page's own life matters here.
        for (const Seen& s : seen)
            if (s.msg != WM_COMMAND)
                codes.push_back(s.msg == WM_NOTIFY ? s.code : s.msg);
        return codes;
    }
    int refuseFinish = 0;
};

fw::Hwnd CurrentPage(fw::Hwnd sheet) {
    return reinterpret_cast<fw::Hwnd>(B().SendMessage(sheet, PSM_GETCURRENTPAGEHWND, 0, 0));
}

bool Usable(fw::Hwnd sheet, int id) {
    fw::Hwnd button = B().GetDlgItem(sheet, id);
    return button && B().IsWindowVisible(button) && B().IsWindowEnabled(button);
}

void Press(fw::Hwnd sheet, int which) {
    B().SendMessage(sheet, PSM_PRESSBUTTON, static_cast<WPARAM>(which), 0);
}

// The probe wizard: of two pages the first has help (and so the sheet), the
// second none; a page alone has none.
fw::SheetRun Wizard(RecordingSink& sheet, ProbePage& first, ProbePage* second = nullptr) {
    fw::SheetRun run;
    run.caption = "Probe wizard";
    run.flags = PSH_WIZARD | (second ? PSH_HASHELP : 0);
    run.sheetSink = &sheet;
    run.pages = {{IDD_PROBE_PAGE1, &first, second != nullptr}};
    if (second)
        run.pages.push_back({IDD_PROBE_PAGE2, second, false});
    return run;
}

TEST(Win32WizardSheet, NextBackFinishInThePlatformsOrder) {
    RecordingSink sheet;
    ProbePage first(PSWIZB_NEXT), second(PSWIZB_BACK | PSWIZB_FINISH);
    fw::TestDriver driver;
    driver.Then([&](fw::Ui& ui) {
        const fw::Hwnd active = ui.Window();
        EXPECT_EQ(active, sheet.hwnd());
        EXPECT_EQ(B().KindOf(active), fw::WindowKind::Sheet);
        EXPECT_EQ(CurrentPage(active), first.hwnd());
        EXPECT_EQ(B().KindOf(first.hwnd()), fw::WindowKind::Page);
        EXPECT_EQ(B().TemplateOf(first.hwnd()), static_cast<unsigned>(IDD_PROBE_PAGE1));
        EXPECT_TRUE(Usable(active, ID_WIZNEXT));
        EXPECT_FALSE(Usable(active, ID_WIZBACK));
        EXPECT_FALSE(Usable(active, ID_WIZFINISH));
        EXPECT_TRUE(Usable(active, IDHELP));  // the page was made with help
        // A wizard's title bar shows the current page's caption, not the sheet's.
        EXPECT_EQ(B().GetWindowText(active), "First probe step");
        Press(active, PSBTN_NEXT);
    });
    driver.Then([&](fw::Ui& ui) {
        const fw::Hwnd active = ui.Window();
        EXPECT_EQ(CurrentPage(active), second.hwnd());
        // Finish takes the place of Next.
        EXPECT_TRUE(Usable(active, ID_WIZFINISH));
        EXPECT_FALSE(B().IsWindowVisible(B().GetDlgItem(active, ID_WIZNEXT)));
        EXPECT_TRUE(Usable(active, ID_WIZBACK));
        EXPECT_FALSE(Usable(active, IDHELP));  // this one was not
        EXPECT_EQ(B().GetWindowText(active), "Second probe step");
        Press(active, PSBTN_BACK);
    });
    driver.Then([&](fw::Ui& ui) {
        const fw::Hwnd active = ui.Window();
        EXPECT_EQ(CurrentPage(active), first.hwnd());
        EXPECT_TRUE(Usable(active, ID_WIZNEXT));
        Press(active, PSBTN_NEXT);
    });
    driver.Then([&](fw::Ui& ui) { Press(ui.Window(), PSBTN_FINISH); });
    fw::MemoryTranscript transcript;
    fw::ScopedDriver d(&driver, &transcript);
    const intptr_t result = B().RunPropertySheet(Wizard(sheet, first, &second));
    EXPECT_EQ(result, ID_WIZFINISH);
    EXPECT_TRUE(driver.Done());
    EXPECT_EQ(driver.Failures(), std::vector<std::string>{});  // no step met a window it could not act on
    EXPECT_EQ(first.Codes(), (std::vector<UINT>{WM_INITDIALOG, PSN_SETACTIVE, PSN_WIZNEXT, PSN_KILLACTIVE,
                                                PSN_SETACTIVE, PSN_WIZNEXT, PSN_KILLACTIVE}));
    // No PSN_APPLY on Finish: pages commit in their Finish handler.
    EXPECT_EQ(second.Codes(), (std::vector<UINT>{WM_INITDIALOG, PSN_SETACTIVE, PSN_WIZBACK, PSN_KILLACTIVE,
                                                 PSN_SETACTIVE, PSN_WIZFINISH}));
    for (const RecordingSink* s :
         {&sheet, static_cast<RecordingSink*>(&first), static_cast<RecordingSink*>(&second)}) {
        EXPECT_EQ(s->attached, 1);
        EXPECT_EQ(s->detached, 1);
    }
    EXPECT_EQ(transcript.lines, (std::vector<std::string>{
                                    fw::transcript::SheetOpened("Probe wizard"),
                                    fw::transcript::PageShown(IDD_PROBE_PAGE1, "First probe step"),
                                    fw::transcript::PageShown(IDD_PROBE_PAGE2, "Second probe step"),
                                    fw::transcript::SheetClosed(ID_WIZFINISH),
                                }));
}

TEST(Win32WizardSheet, CancelAsksTheCurrentPageThenResetsEveryPageMade) {
    RecordingSink sheet;
    ProbePage first(PSWIZB_NEXT), second(PSWIZB_BACK | PSWIZB_FINISH);
    fw::TestDriver driver;
    driver.Then([](fw::Ui& ui) { Press(ui.Window(), PSBTN_NEXT); });
    driver.Then([&](fw::Ui& ui) {
        const fw::Hwnd active = ui.Window();
        // Help goes to the page; the sheet stays.
        second.seen.clear();
        Press(active, PSBTN_HELP);
        EXPECT_EQ(second.Codes(), std::vector<UINT>{PSN_HELP});
    });
    // Nothing more to do: the sheet is cancelled.
    fw::ScopedDriver d(&driver, nullptr);
    EXPECT_EQ(B().RunPropertySheet(Wizard(sheet, first, &second)), IDCANCEL);
    EXPECT_EQ(second.Codes(), (std::vector<UINT>{PSN_HELP, PSN_QUERYCANCEL, PSN_RESET}));
    EXPECT_EQ(first.Codes().back(), static_cast<UINT>(PSN_RESET));
    EXPECT_EQ(sheet.detached, 1);
}

TEST(Win32WizardSheet, PageThatRefusesFinishKeepsTheWizardOpen) {
    RecordingSink sheet;
    ProbePage only(PSWIZB_FINISH);
    only.refuseFinish = 1;
    fw::TestDriver driver;
    fw::Hwnd first = nullptr;
    driver.Then([&](fw::Ui& ui) {
        const fw::Hwnd active = ui.Window();
        first = active;
        Press(active, PSBTN_FINISH);
    });
    driver.Then([&](fw::Ui& ui) {
        const fw::Hwnd active = ui.Window();
        EXPECT_EQ(active, first);
        EXPECT_TRUE(B().IsWindow(active));
        Press(active, PSBTN_FINISH);
    });
    fw::ScopedDriver d(&driver, nullptr);
    EXPECT_EQ(B().RunPropertySheet(Wizard(sheet, only)), ID_WIZFINISH);
    EXPECT_TRUE(driver.Done());
    EXPECT_EQ(driver.Failures(), std::vector<std::string>{});
}

}  // namespace
