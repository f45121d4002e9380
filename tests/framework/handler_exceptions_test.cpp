// An exception thrown in a window's handler ends the modal runs it is inside
// and comes out of DoModal, as any exception leaves the code it passes
// through. On the platform it must not travel through the system's dialog
// manager, which would leave a loop nobody can close; nothing of the runs
// is left behind, and the next run works.
#include <gtest/gtest.h>

#include <stdexcept>

#include "framework/afxwin.h"
#include "framework/script/test_driver.h"
#include "resources/resource.h"
#ifdef _WIN32
#include "framework/win32/win32_api.h"
#endif

namespace {

struct HandlerFailure : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// OK runs a nested dialog first when it has one, then throws or ends the run.
class Failing : public CDialog {
  public:
    explicit Failing(bool throws, CDialog* nested = nullptr)
        : CDialog(IDD_PICK_STRING_ITEM), throws_(throws), nested_(nested) {}
    int oks = 0;

  protected:
    void OnOK() override {
        ++oks;
        if (nested_)
            nested_->DoModal();
        if (throws_)
            throw HandlerFailure("OK failed");
        CDialog::OnOK();
    }

  private:
    bool throws_;
    CDialog* nested_;
};

class FailingPage : public CPropertyPage {
  public:
    FailingPage() : CPropertyPage(IDD_INFO_PAGE) {}

  protected:
    LRESULT OnWizardNext() override { throw HandlerFailure("Next failed"); }
};

unsigned ThreadWindows() {
#ifdef _WIN32
    return fw::Win32ThreadWindowCount();
#else
    return 0;
#endif
}

// Posted, so that the handler runs from the modal loop as a user's click
// does, not from inside the test's step.
void ClickOk(fw::Ui& ui) {
    fw::CurrentBackend().PostMessage(ui.Window(), WM_COMMAND, IDOK, 0);
}

// After a failed run, the same kind of run goes through as usual.
void ExpectANormalRunAfterwards() {
    Failing dialog(false);
    fw::TestDriver driver;
    driver.Then(ClickOk);
    fw::ScopedDriver scope(&driver);
    EXPECT_EQ(dialog.DoModal(), IDOK);
    EXPECT_TRUE(driver.Done());
}

TEST(HandlerExceptions, AThrowingButtonEndsItsRunAndComesOutOfDoModal) {
    const unsigned before = ThreadWindows();
    Failing dialog(true);
    {
        fw::TestDriver driver;
        driver.Then(ClickOk);
        fw::ScopedDriver scope(&driver);
        EXPECT_THROW(dialog.DoModal(), HandlerFailure);
        EXPECT_TRUE(driver.Done());
    }
    EXPECT_EQ(dialog.oks, 1);
    EXPECT_EQ(ThreadWindows(), before);
    ExpectANormalRunAfterwards();
}

TEST(HandlerExceptions, AThrowInANestedRunEndsBothRuns) {
    const unsigned before = ThreadWindows();
    Failing inner(true);
    Failing outer(false, &inner);
    {
        fw::TestDriver driver;
        driver.Then(ClickOk).Then(ClickOk);
        fw::ScopedDriver scope(&driver);
        EXPECT_THROW(outer.DoModal(), HandlerFailure);
        EXPECT_TRUE(driver.Done());
    }
    EXPECT_EQ(inner.oks, 1);
    EXPECT_EQ(outer.oks, 1);
    EXPECT_EQ(ThreadWindows(), before);
    ExpectANormalRunAfterwards();
}

TEST(HandlerExceptions, AThrowingPageEndsTheSheet) {
    const unsigned before = ThreadWindows();
    FailingPage first;
    CPropertyPage second(IDD_SELECT_ATTR);
    CPropertySheet sheet(IDS_DRILL_THROUGH_REPORT);
    sheet.SetWizardMode();
    sheet.AddPage(&first);
    sheet.AddPage(&second);
    {
        fw::TestDriver driver;
        driver.Then([](fw::Ui& ui) {
            fw::CurrentBackend().PostMessage(ui.Window(), PSM_PRESSBUTTON, PSBTN_NEXT, 0);
        });
        fw::ScopedDriver scope(&driver);
        EXPECT_THROW(sheet.DoModal(), HandlerFailure);
        EXPECT_TRUE(driver.Done());
    }
    EXPECT_EQ(ThreadWindows(), before);
    ExpectANormalRunAfterwards();
}

}  // namespace
