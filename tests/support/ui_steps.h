// Small pieces of the steps that tests drive windows with: reading a list,
// moving the focus, pressing a key, answering a message box, a wizard made of
// a test's own pages, a run made of steps, the help pages' folder.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

#include "framework/afxwin.h"
#include "framework/backend.h"
#include "framework/script/test_driver.h"
#include "framework/script/ui.h"
#include "framework/win_types.h"
#include "resources/resource.h"
#include "support/run_dialog.h"

namespace testsupport {

using Steps = std::vector<std::function<void(fw::Ui&)>>;

// The texts of a list's rows, in one column, top to bottom.
inline std::vector<std::string> Rows(fw::Ui& ui, int id, int column = 0) {
    std::vector<std::string> rows;
    for (int i = 0; i < ui.RowCount(id); ++i) rows.push_back(ui.RowText(id, i, column));
    return rows;
}

// Gives a control the focus as the dialog manager does, so that keys go to it.
inline void FocusOn(fw::Ui& ui, int id) {
    fw::Backend& b = fw::CurrentBackend();
    b.SendMessage(b.GetParent(ui.Control(id)), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(ui.Control(id)), TRUE);
}

// A step for a message box: keeps its text and answers it.
inline std::function<void(fw::Ui&)> Told(std::string& text, int answer = IDOK) {
    return [&text, answer](fw::Ui& ui) {
        text = ui.MessageText();
        ui.Answer(answer);
    };
}
inline std::function<void(fw::Ui&)> Told(std::vector<std::string>& texts, int answer = IDOK) {
    return [&texts, answer](fw::Ui& ui) {
        texts.push_back(ui.MessageText());
        ui.Answer(answer);
    };
}

// A step for a message box that must say `text`: checks it and answers.
inline std::function<void(fw::Ui&)> ToldThat(std::string text, int answer = IDOK) {
    return [text, answer](fw::Ui& ui) {
        EXPECT_EQ(ui.MessageText(), text);
        ui.Answer(answer);
    };
}

// A step that presses one key.
inline fw::TestDriver::StepFn PressKey(fw::Key key) {
    return [key](fw::Ui& ui) { ui.PressKey(key); };
}

// A wizard sheet holding the given pages, in order.
struct PageWizard {
    CPropertySheet sheet{IDS_DRILL_THROUGH_REPORT};
    explicit PageWizard(std::initializer_list<CPropertyPage*> pages) {
        sheet.SetWizardMode();
        for (CPropertyPage* page : pages) sheet.AddPage(page);
    }
};

// Runs a window through the steps; every step must run, none be refused.
template <class Window>
INT_PTR RunSteps(Window& window, std::initializer_list<fw::TestDriver::StepFn> steps) {
    fw::TestDriver driver;
    for (const fw::TestDriver::StepFn& step : steps) driver.Then(step);
    return RunCleanly(window, driver);
}

// Where the help pages are below an installation root, and below the root the tests set.
inline const std::string kHelpFolder = "\\common\\docs\\en\\vantrel\\ss_user\\";
inline const std::string kHelpDocs = "C:\\Talvenor" + kHelpFolder;

}  // namespace testsupport
