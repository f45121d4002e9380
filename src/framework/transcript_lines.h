// The lines of a UI transcript, made in one place so that both backends
// write exactly the same text for the same event.
#pragma once

#include <cstdint>
#include <string>

namespace fw {
namespace transcript {

// A text in double quotes with C escapes for quote, backslash and control bytes.
std::string Quote(const std::string& text);
// Buttons of a message box type: OK, OKCANCEL, YESNO, YESNOCANCEL.
std::string ButtonsName(uint32_t type);
// A dialog result as a word where it has one (OK, CANCEL, YES, NO, FINISH), else the number.
std::string ResultName(intptr_t result);

std::string WindowOpened(unsigned templateId, const std::string& caption);  // window 129 "Caption"
std::string WindowClosed(unsigned templateId, intptr_t result);             // close 129 OK
std::string SheetOpened(const std::string& caption);                        // sheet "Caption"
std::string PageShown(unsigned templateId, const std::string& title);       // page 139 "Page title"
std::string SheetClosed(intptr_t result);                                   // close sheet FINISH
std::string MessageBoxShown(unsigned helpId, const std::string& text, uint32_t type, int answer);
std::string HelpOpened(const std::string& path, intptr_t result);  // shell-open "..." 2
std::string ScriptAction(int line, const std::string& text);       // script 3: click 1
std::string ScriptError(int line, const std::string& message);     // script-error 3: ...
std::string DefaultAction(const std::string& what);                // default cancel 129
std::string Diagnostic(const std::string& text);                   // diagnostic "..."

}  // namespace transcript
}  // namespace fw
