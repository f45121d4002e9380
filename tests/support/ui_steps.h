// What driven runs keep repeating: a wizard made of a test's own pages, steps
// that press a key or put the focus on a control, and a run made of steps.
#pragma once

#include <initializer_list>

#include "framework/afxwin.h"
#include "framework/script/test_driver.h"
#include "resources/resource.h"
#include "support/run_dialog.h"

namespace testsupport {

// A wizard sheet holding the given pages, in order.
struct Wizard {
    CPropertySheet sheet{IDS_DRILL_THROUGH_REPORT};
    explicit Wizard(std::initializer_list<CPropertyPage*> pages) {
        sheet.SetWizardMode();
        for (CPropertyPage* page : pages) sheet.AddPage(page);
    }
};

// The focus put on a control as a click would put it there.
inline void FocusOn(fw::Ui& ui, int id) {
    fw::Backend& b = fw::CurrentBackend();
    b.SendMessage(b.GetParent(ui.Control(id)), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(ui.Control(id)), TRUE);
}

// A step that presses one key.
inline fw::TestDriver::StepFn PressKey(fw::Key key) {
    return [key](fw::Ui& ui) { ui.PressKey(key); };
}

// Runs a window through the steps; every step must run, none be refused.
template <class Window>
INT_PTR RunSteps(Window& window, std::initializer_list<fw::TestDriver::StepFn> steps) {
    fw::TestDriver driver;
    for (const fw::TestDriver::StepFn& step : steps) driver.Then(step);
    return RunCleanly(window, driver);
}

}  // namespace testsupport
