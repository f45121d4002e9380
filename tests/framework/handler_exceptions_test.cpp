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
#include "support/ui_steps.h"
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

// The run of window through the steps throws the handler's failure once every
// step has run; no window of it is left, and a run afterwards goes as usual.
template <class Window>
void ExpectTheThrowToEndTheRun(Window& window, std::initializer_list<fw::TestDriver::StepFn> steps) {
    const unsigned before = ThreadWindows();
    {
        fw::TestDriver driver;
        for (const fw::TestDriver::StepFn& step : steps) driver.Then(step);
        fw::ScopedDriver scope(&driver);
        EXPECT_THROW(window.DoModal(), HandlerFailure);
        EXPECT_TRUE(driver.Done());
    }
    EXPECT_EQ(ThreadWindows(), before);
    Failing dialog(false);
    EXPECT_EQ(testsupport::RunSteps(dialog, {ClickOk}), IDOK);
}

TEST(HandlerExceptions, AThrowingButtonEndsItsRunAndComesOutOfDoModal) {
    Failing dialog(true);
    ExpectTheThrowToEndTheRun(dialog, {ClickOk});
    EXPECT_EQ(dialog.oks, 1);
}

TEST(HandlerExceptions, AThrowInANestedRunEndsBothRuns) {
    Failing inner(true);
    Failing outer(false, &inner);
    ExpectTheThrowToEndTheRun(outer, {ClickOk, ClickOk});
    EXPECT_EQ(inner.oks, 1);
    EXPECT_EQ(outer.oks, 1);
}

TEST(HandlerExceptions, AThrowingPageEndsTheSheet) {
    FailingPage first;
    CPropertyPage second(IDD_SELECT_ATTR);
    testsupport::PageWizard wizard({&first, &second});
    ExpectTheThrowToEndTheRun(
        wizard.sheet,
        {[](fw::Ui& ui) { fw::CurrentBackend().PostMessage(ui.Window(), PSM_PRESSBUTTON, PSBTN_NEXT, 0); }});
}

}  // namespace
