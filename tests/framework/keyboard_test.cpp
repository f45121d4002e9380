// Keys as the dialog manager gives them meaning, and the owner disabled under
// a modal window, on the real templates of the login dialog and the column page.
#include <gtest/gtest.h>

#include "framework/afxwin.h"
#include "framework/script/test_driver.h"
#include "resources/resource.h"
#include "support/run_dialog.h"
#include "support/ui_steps.h"

namespace {

using testsupport::PressKey;

// The library opens its dialogs without naming a parent.
INT_PTR RunLogin(std::initializer_list<fw::TestDriver::StepFn> steps) {
    CDialog dialog(IDD_LOGIN);
    return testsupport::RunSteps(dialog, steps);
}

TEST(Keyboard, EnterGoesToTheTemplatesDefaultButtonAndEscToCancel) {
    EXPECT_EQ(RunLogin({[](fw::Ui& ui) {
                            EXPECT_EQ(ui.DefaultButton(), IDOK);
                            EXPECT_EQ(ui.FocusId(), IDC_LOGIN_SERVER);
                        },
                        PressKey(fw::Key::Enter)}),
              IDOK);
    EXPECT_EQ(RunLogin({PressKey(fw::Key::Escape)}), IDCANCEL);
}

TEST(Keyboard, SetDefIdMovesTheDefaultAndAFocusedButtonTakesEnter) {
    EXPECT_EQ(RunLogin({[](fw::Ui& ui) {
                            fw::CurrentBackend().SendMessage(ui.Window(), DM_SETDEFID, IDCANCEL, 0);
                            EXPECT_EQ(ui.DefaultButton(), IDCANCEL);
                        },
                        PressKey(fw::Key::Enter)}),
              IDCANCEL);

    // Tab order: server, data source (read-only, still a stop), user, password,
    // OK, Cancel, Help, and round to the server, where Shift+Tab goes back.
    fw::TestDriver tabbed;
    std::vector<int> focus;
    for (int i = 0; i < 8; ++i)
        tabbed.Then([&focus, i](fw::Ui& ui) {
            focus.push_back(ui.FocusId());
            ui.PressKey(i < 7 ? fw::Key::Tab : fw::Key::ShiftTab);
        });
    tabbed
        .Then([&](fw::Ui& ui) {
            EXPECT_EQ(ui.FocusId(), IDC_LOGIN_HELP);
            ui.PressKey(fw::Key::ShiftTab);
        })
        .Then([&](fw::Ui& ui) {
            EXPECT_EQ(ui.DefaultButton(), IDCANCEL);  // the focused button is the one Enter presses
            ui.PressKey(fw::Key::Enter);
        });
    CDialog login(IDD_LOGIN);
    EXPECT_EQ(testsupport::RunCleanly(login, tabbed), IDCANCEL);
    EXPECT_EQ(focus,
              (std::vector<int>{IDC_LOGIN_SERVER, IDC_LOGIN_DATA_SOURCE, IDC_LOGIN_USER, IDC_LOGIN_PASSWORD,
                                IDOK, IDCANCEL, IDC_LOGIN_HELP, IDC_LOGIN_SERVER}));
}

// The login dialog noting, each time its server box loses the focus, which of
// its controls has it by then (0: none of them).
class FocusWatch : public CDialog {
  public:
    FocusWatch() : CDialog(IDD_LOGIN) {}
    std::vector<int> wentTo;

  protected:
    void OnHelp() { AfxMessageBox("Plze\xc5\x88", MB_OK); }
    void OnKillfocusServer() {
        fw::Backend& b = fw::CurrentBackend();
        fw::Hwnd focus = b.GetFocus();
        wentTo.push_back(focus && b.GetParent(focus) == m_hWnd ? b.GetDlgCtrlID(focus) : 0);
    }
    DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(FocusWatch, CDialog)
ON_EN_KILLFOCUS(IDC_LOGIN_SERVER, OnKillfocusServer)
ON_BN_CLICKED(IDC_LOGIN_HELP, OnHelp)
END_MESSAGE_MAP()

// An edit hears that it lost the focus once the focus has moved: Tab, a
// message box, a click on a button and the dialog closing each tell it, with
// the new focus in place.
TEST(Keyboard, AnEditLosingTheFocusSeesWhereItWent) {
    FocusWatch moved;
    auto focusServer = [](fw::Ui& ui) { testsupport::FocusOn(ui, IDC_LOGIN_SERVER); };
    fw::TestDriver driver;
    driver.Then(PressKey(fw::Key::Tab))
        .Then(focusServer)
        .Then([](fw::Ui& ui) {
            // A command sent by code: the focus stays where it is until the box takes it.
            fw::CurrentBackend().SendMessage(ui.Window(), WM_COMMAND, MAKEWPARAM(IDC_LOGIN_HELP, BN_CLICKED),
                                             0);
        })
        .Then([](fw::Ui& ui) { ui.Answer(IDOK); })
        .Then(focusServer)
        .Then([](fw::Ui& ui) { ui.Click(IDCANCEL); });
    EXPECT_EQ(testsupport::RunCleanly(moved, driver), IDCANCEL);
    EXPECT_EQ(moved.wentTo, (std::vector<int>{IDC_LOGIN_DATA_SOURCE, 0, IDCANCEL}));

    FocusWatch closed;
    EXPECT_EQ(testsupport::RunSteps(closed, {PressKey(fw::Key::Escape)}), IDCANCEL);
    EXPECT_EQ(closed.wentTo, std::vector<int>{0});
}

TEST(Keyboard, AltLetterPressesTheButtonWithThatAccelerator) {
    EXPECT_EQ(RunLogin({[](fw::Ui& ui) { ui.PressAlt('c'); }}), IDCANCEL);
    EXPECT_EQ(RunLogin({[](fw::Ui& ui) { ui.PressAlt('O'); }}), IDOK);
}

TEST(Keyboard, TheOwnerTakesNoInputWhileAModalWindowRuns) {
    // The outer dialog opens the inner one without naming a parent, as the library's dialogs do.
    fw::Hwnd outer = nullptr;
    bool outerEnabledInside = true, refused = false;
    auto openInner = [&](fw::Ui& ui) {
        outer = ui.Window();
        // The inner run's own driver: the outer driver steps only its own window.
        CDialog dialog(IDD_FILTER_NAME);
        testsupport::RunSteps(dialog, {[&](fw::Ui& innerUi) {
                                  outerEnabledInside = fw::CurrentBackend().IsWindowEnabled(outer);
                                  try {
                                      fw::Ui(outer).Click(IDOK);
                                  } catch (const fw::UiError&) {
                                      refused = true;
                                  }
                                  innerUi.PressKey(fw::Key::Escape);
                              }});
    };
    EXPECT_EQ(RunLogin({openInner,
                        [&](fw::Ui& ui) {
                            EXPECT_TRUE(fw::CurrentBackend().IsWindowEnabled(ui.Window()));
                            ui.PressKey(fw::Key::Escape);
                        }}),
              IDCANCEL);
    EXPECT_FALSE(outerEnabledInside);
    EXPECT_TRUE(refused);
}

class ColumnsPage : public CPropertyPage {
  public:
    explicit ColumnsPage(DWORD buttons) : CPropertyPage(IDD_SELECT_ATTR), buttons_(buttons) {}
    CListBox list;
    std::vector<int> changes;

  protected:
    void DoDataExchange(CDataExchange* pDX) override { DDX_Control(pDX, IDC_SELECT_LIST, list); }
    BOOL OnInitDialog() override {
        CPropertyPage::OnInitDialog();
        for (const char* s : {"SALES.REGION", "SALES.AMOUNT", "PRODUCT.NAME"}) list.AddString(s);
        return TRUE;
    }
    BOOL OnSetActive() override {
        GetSheet()->SetWizardButtons(buttons_);
        return CPropertyPage::OnSetActive();
    }
    bool OnWndMsg(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* result) override {
        if (msg == WM_COMMAND && LOWORD(wParam) == IDC_SELECT_LIST && HIWORD(wParam) == LBN_SELCHANGE) {
            int sel = -1;
            for (int i = 0; i < list.GetCount(); ++i)
                if (list.GetSel(i))
                    sel = i;
            changes.push_back(sel);
        }
        return CPropertyPage::OnWndMsg(msg, wParam, lParam, result);
    }

  private:
    DWORD buttons_;
};

TEST(Keyboard, TheWizardsDefaultStaysOnTheForwardButton) {
    // A step that asks for Back alone still has Next as its default: once
    // Next is enabled, Enter goes forward, never back.
    ColumnsPage first(PSWIZB_NEXT), columns(PSWIZB_BACK), last(PSWIZB_BACK | PSWIZB_FINISH);
    testsupport::PageWizard wizard({&first, &columns, &last});
    CPropertySheet& sheet = wizard.sheet;
    fw::TestDriver driver;
    driver.Then(PressKey(fw::Key::Enter))
        .Then([](fw::Ui& ui) {
            EXPECT_EQ(ui.TemplateId(), unsigned(IDD_SELECT_ATTR));
            EXPECT_EQ(ui.DefaultButton(), ID_WIZNEXT);
            EXPECT_FALSE(ui.Enabled(ID_WIZNEXT));
            ui.PressKey(fw::Key::Enter);  // nothing: the default is disabled
        })
        .Then([&](fw::Ui& ui) {
            EXPECT_EQ(sheet.GetActiveIndex(), 1);
            fw::CurrentBackend().EnableWindow(ui.Control(ID_WIZNEXT), true);
            ui.PressKey(fw::Key::Enter);
        })
        .Then([&](fw::Ui& ui) {
            EXPECT_EQ(sheet.GetActiveIndex(), 2);
            EXPECT_EQ(ui.DefaultButton(), ID_WIZFINISH);
            ui.PressKey(fw::Key::Enter);
        });
    EXPECT_EQ(testsupport::RunCleanly(sheet, driver), ID_WIZFINISH);
}

TEST(Keyboard, ArrowsMoveTheFocusedListsSelectionAndItNotifies) {
    ColumnsPage page(PSWIZB_NEXT);
    testsupport::PageWizard wizard({&page});
    fw::TestDriver driver;
    driver.Then([](fw::Ui& ui) { ui.SelectRow(IDC_SELECT_LIST, 0); })
        .Then([](fw::Ui& ui) { testsupport::FocusOn(ui, IDC_SELECT_LIST); })
        .Then([](fw::Ui& ui) {
            EXPECT_EQ(ui.FocusId(), IDC_SELECT_LIST);
            ui.PressKey(fw::Key::Down);
        })
        .Then(PressKey(fw::Key::Down))
        .Then(PressKey(fw::Key::Up))
        .Then([](fw::Ui& ui) {
            EXPECT_EQ(ui.SelectedRows(IDC_SELECT_LIST), std::vector<int>{1});
            ui.PressKey(fw::Key::Escape);
        });
    EXPECT_EQ(testsupport::RunCleanly(wizard.sheet, driver), IDCANCEL);
    EXPECT_EQ(page.changes, (std::vector<int>{0, 1, 2, 1}));
}

// A list view whose row is selected by the program, with no caret on any row.
class SelectedNotFocused : public CDialog {
  public:
    SelectedNotFocused() : CDialog(IDD_PICK_STRING_ITEM) {}
    CListCtrl list;

  protected:
    void DoDataExchange(CDataExchange* pDX) override { DDX_Control(pDX, IDC_PICK_LIST, list); }
    BOOL OnInitDialog() override {
        CDialog::OnInitDialog();
        list.InsertColumn(0, "Item");
        for (const char* s : {"first", "second", "third"}) list.InsertItem(list.GetItemCount(), s);
        list.SetItemState(2, LVIS_SELECTED, LVIS_SELECTED);
        return TRUE;
    }
};

TEST(Keyboard, ArrowsInAListViewWithoutACaretStartFromTheTop) {
    // As the platform's list view does: Up has no row above the caret to go to,
    // Down goes to the first row, whatever row was selected before.
    SelectedNotFocused dialog;
    fw::TestDriver driver;
    driver.Then([](fw::Ui& ui) { testsupport::FocusOn(ui, IDC_PICK_LIST); });
    // Each key from the row selected before it: Up, then Down, Down, Escape.
    const std::pair<std::vector<int>, fw::Key> moves[] = {
        {{2}, fw::Key::Up}, {{2}, fw::Key::Down}, {{0}, fw::Key::Down}, {{1}, fw::Key::Escape}};
    for (const auto& [before, key] : moves)
        driver.Then([before = before, key = key](fw::Ui& ui) {
            EXPECT_EQ(ui.FocusId(), IDC_PICK_LIST);
            EXPECT_EQ(ui.SelectedRows(IDC_PICK_LIST), before);
            ui.PressKey(key);
        });
    EXPECT_EQ(testsupport::RunCleanly(dialog, driver), IDCANCEL);
}

TEST(Keyboard, EscOnAMessageBoxWithOkAloneAnswersOk) {
    for (uint32_t type : {MB_OK, MB_OKCANCEL}) {
        SCOPED_TRACE(type);
        fw::TestDriver driver;
        driver.Then([](fw::Ui& ui) { ui.PressKey(fw::Key::Escape); });
        fw::ScopedDriver scope(&driver);
        int answer = fw::CurrentBackend().MessageBox(nullptr, "Nothing to save.", "Drill-Through", type, 0);
        EXPECT_EQ(answer, type == MB_OK ? IDOK : IDCANCEL);
        EXPECT_TRUE(driver.Done());
    }
}

}  // namespace
