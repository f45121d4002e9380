// Small pieces of the steps that tests drive windows with: reading a list,
// moving the focus, answering a message box, the help pages' folder.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "framework/backend.h"
#include "framework/script/ui.h"
#include "framework/win_types.h"

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

// Where the help pages are below an installation root, and below the root the tests set.
inline const std::string kHelpFolder = "\\common\\docs\\en\\vantrel\\ss_user\\";
inline const std::string kHelpDocs = "C:\\Talvenor" + kHelpFolder;

}  // namespace testsupport
