#include "script_driver.h"

#include <cstdio>
#include <cstdlib>
#include <map>

#include "../transcript_lines.h"
#include "../win_types.h"
#include "ui.h"

namespace fw {
namespace {

bool ParseWords(const std::string& line, std::vector<std::string>* words, std::string* error) {
    size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && (line[i] == ' ' || line[i] == '\t' || line[i] == '\r')) ++i;
        if (i >= line.size() || line[i] == '#')
            break;
        std::string word;
        if (line[i] == '"') {
            ++i;
            bool closed = false;
            while (i < line.size()) {
                char c = line[i++];
                if (c == '"') {
                    closed = true;
                    break;
                }
                if (c == '\\' && i < line.size()) {
                    char e = line[i++];
                    word += e == 'n' ? '\n' : e == 'r' ? '\r' : e == 't' ? '\t' : e;
                } else {
                    word += c;
                }
            }
            if (!closed) {
                *error = "unterminated quote";
                return false;
            }
        } else {
            while (i < line.size() && line[i] != ' ' && line[i] != '\t' && line[i] != '\r') word += line[i++];
        }
        words->push_back(word);
    }
    return true;
}

int ToInt(const std::string& word, const char* what) {
    char* end = nullptr;
    long v = std::strtol(word.c_str(), &end, 0);
    if (word.empty() || *end != '\0')
        throw UiError(std::string("expected a number for ") + what + ", got '" + word + "'");
    return static_cast<int>(v);
}

int ButtonOf(const std::string& word) {
    static const std::map<std::string, int> names = {
        {"ok", IDOK}, {"cancel", IDCANCEL}, {"yes", IDYES}, {"no", IDNO}};
    auto it = names.find(word);
    if (it == names.end())
        throw UiError("unknown answer '" + word + "' (ok, cancel, yes, no)");
    return it->second;
}

SheetButton SheetButtonOf(const std::string& word) {
    static const std::map<std::string, SheetButton> names = {{"back", SheetButton::Back},
                                                             {"next", SheetButton::Next},
                                                             {"finish", SheetButton::Finish},
                                                             {"cancel", SheetButton::Cancel},
                                                             {"help", SheetButton::Help}};
    auto it = names.find(word);
    if (it == names.end())
        throw UiError("unknown wizard button '" + word + "' (back, next, finish, cancel, help)");
    return it->second;
}

Key KeyOf(const std::string& word) {
    static const std::map<std::string, Key> names = {
        {"enter", Key::Enter}, {"esc", Key::Escape}, {"tab", Key::Tab}, {"shift+tab", Key::ShiftTab},
        {"up", Key::Up},       {"down", Key::Down},  {"home", Key::Home}, {"end", Key::End},
        {"space", Key::Space}};
    auto it = names.find(word);
    if (it == names.end())
        throw UiError("unknown key '" + word + "' (enter, esc, tab, shift+tab, up, down, home, end, space, alt+LETTER)");
    return it->second;
}

void Need(const ScriptLine& line, size_t count) {
    if (line.words.size() != count + 1)
        throw UiError("'" + line.words[0] + "' takes " + std::to_string(count) + " argument" +
                      (count == 1 ? "" : "s"));
}

}  // namespace

bool ParseScript(const std::string& source, std::vector<ScriptLine>* lines, std::string* error) {
    lines->clear();
    int number = 0;
    size_t start = 0;
    while (start <= source.size()) {
        size_t end = source.find('\n', start);
        if (end == std::string::npos)
            end = source.size();
        std::string text = source.substr(start, end - start);
        ++number;
        ScriptLine line;
        std::string why;
        if (!ParseWords(text, &line.words, &why)) {
            *error = "line " + std::to_string(number) + ": " + why;
            return false;
        }
        if (!line.words.empty()) {
            while (!text.empty() && (text.back() == '\r' || text.back() == ' ')) text.pop_back();
            line.number = number;
            line.text = text;
            lines->push_back(std::move(line));
        }
        if (end == source.size())
            break;
        start = end + 1;
    }
    return true;
}

ScriptDriver::ScriptDriver(std::vector<ScriptLine> lines, std::string name)
    : lines_(std::move(lines)), name_(std::move(name)) {
    errorSink_ = [](const std::string& message) { std::fprintf(stderr, "%s\n", message.c_str()); };
}

void ScriptDriver::Fail(const ScriptLine& line, const std::string& message) {
    failed_ = true;
    error_ = "UI script " + name_ + " line " + std::to_string(line.number) + ": " + message;
    if (transcript_)
        transcript_->Line(transcript::ScriptError(line.number, message));
    if (errorSink_)
        errorSink_(error_);
}

bool ScriptDriver::Step(Hwnd active) {
    // Checks run until the first user action; the step ends with it.
    while (!failed_ && next_ < lines_.size()) {
        const ScriptLine& line = lines_[next_++];
        try {
            if (Perform(line, active))
                return true;
        } catch (const UiError& e) {
            Fail(line, e.what());
        } catch (const std::exception& e) {
            Fail(line, e.what());
        }
    }
    return false;
}

bool ScriptDriver::Perform(const ScriptLine& line, Hwnd active) {
    const std::string& cmd = line.words[0];
    Ui ui(active);
    auto log = [&] {
        if (transcript_)
            transcript_->Line(transcript::ScriptAction(line.number, line.text));
    };
    if (cmd == "window") {
        Need(line, 1);
        if (line.words[1] == "messagebox") {
            if (ui.Kind() != WindowKind::MessageBox)
                throw UiError("expected a message box");
        } else {
            unsigned want = static_cast<unsigned>(ToInt(line.words[1], "a template id"));
            if (ui.Kind() == WindowKind::MessageBox || ui.TemplateId() != want)
                throw UiError("expected window " + line.words[1] + ", the active window is " +
                              (ui.Kind() == WindowKind::MessageBox ? std::string("a message box")
                                                                   : std::to_string(ui.TemplateId())));
        }
        log();
        return false;
    }
    if (cmd == "expect-message") {
        Need(line, 1);
        if (ui.Kind() != WindowKind::MessageBox)
            throw UiError("expected a message box");
        // A number names a string of the library's table; anything else is the text itself.
        std::string want = line.words[1];
        if (!want.empty() && want.find_first_not_of("0123456789") == std::string::npos) {
            std::string text;
            CurrentBackend().LoadString(static_cast<unsigned>(ToInt(want, "a string id")), &text);
            want = text;
        }
        if (ui.MessageText() != want)
            throw UiError("message box says " + transcript::Quote(ui.MessageText()));
        log();
        return false;
    }
    if (cmd == "expect-text") {
        Need(line, 2);
        std::string got = ui.Text(ToInt(line.words[1], "a control id"));
        if (got != line.words[2])
            throw UiError("control " + line.words[1] + " holds " + transcript::Quote(got));
        log();
        return false;
    }
    if (cmd == "expect-enabled" || cmd == "expect-disabled") {
        Need(line, 1);
        bool enabled = ui.Enabled(ToInt(line.words[1], "a control id"));
        if (enabled != (cmd == "expect-enabled"))
            throw UiError("control " + line.words[1] + " is " + (enabled ? "enabled" : "disabled"));
        log();
        return false;
    }
    if (cmd == "expect-readonly" || cmd == "expect-editable") {
        Need(line, 1);
        bool ro = ui.ReadOnly(ToInt(line.words[1], "a control id"));
        if (ro != (cmd == "expect-readonly"))
            throw UiError("control " + line.words[1] + " is " + (ro ? "read-only" : "editable"));
        log();
        return false;
    }
    if (cmd == "expect-visible" || cmd == "expect-hidden") {
        Need(line, 1);
        bool visible = ui.Visible(ToInt(line.words[1], "a control id"));
        if (visible != (cmd == "expect-visible"))
            throw UiError("control " + line.words[1] + " is " + (visible ? "visible" : "hidden"));
        log();
        return false;
    }
    if (cmd == "expect-focus" || cmd == "expect-default") {
        Need(line, 1);
        int want = ToInt(line.words[1], "a control id");
        int got = cmd == "expect-focus" ? ui.FocusId() : ui.DefaultButton();
        if (got != want)
            throw UiError(std::string(cmd == "expect-focus" ? "the focus is on control " : "the default button is ") +
                          std::to_string(got));
        log();
        return false;
    }
    if (cmd == "expect-rows") {
        Need(line, 2);
        int n = ui.RowCount(ToInt(line.words[1], "a control id"));
        if (n != ToInt(line.words[2], "a row count"))
            throw UiError("control " + line.words[1] + " has " + std::to_string(n) + " rows");
        log();
        return false;
    }
    // User actions: each ends the step.
    if (cmd == "click") {
        Need(line, 1);
        log();
        ui.Click(ToInt(line.words[1], "a control id"));
    } else if (cmd == "type") {
        Need(line, 2);
        log();
        ui.Type(ToInt(line.words[1], "a control id"), line.words[2]);
    } else if (cmd == "select") {
        Need(line, 2);
        log();
        ui.SelectRow(ToInt(line.words[1], "a control id"), ToInt(line.words[2], "a row"));
    } else if (cmd == "select-rows") {
        if (line.words.size() < 2)
            throw UiError("'select-rows' takes a control id and rows");
        std::vector<int> rows;
        for (size_t i = 2; i < line.words.size(); ++i) rows.push_back(ToInt(line.words[i], "a row"));
        log();
        ui.SelectRows(ToInt(line.words[1], "a control id"), rows);
    } else if (cmd == "select-tree") {
        Need(line, 2);
        log();
        ui.SelectTreeItem(ToInt(line.words[1], "a control id"), line.words[2]);
    } else if (cmd == "press-f1") {
        Need(line, 0);
        log();
        ui.PressF1();
    } else if (cmd == "click-empty") {
        Need(line, 1);
        log();
        ui.ClickEmpty(ToInt(line.words[1], "a control id"));
    } else if (cmd == "double-click") {
        Need(line, 2);
        log();
        ui.DoubleClickRow(ToInt(line.words[1], "a control id"), ToInt(line.words[2], "a row"));
    } else if (cmd == "check" || cmd == "uncheck") {
        Need(line, 1);
        log();
        ui.SetCheck(ToInt(line.words[1], "a control id"), cmd == "check");
    } else if (cmd == "answer") {
        Need(line, 1);
        int button = ButtonOf(line.words[1]);
        log();
        ui.Answer(button);
    } else if (cmd == "key") {
        Need(line, 1);
        const std::string& name = line.words[1];
        if (name.size() == 5 && name.compare(0, 4, "alt+") == 0) {
            log();
            ui.PressAlt(name[4]);
        } else {
            Key key = KeyOf(name);
            log();
            ui.PressKey(key);
        }
    } else if (cmd == "press") {
        Need(line, 1);
        SheetButton button = SheetButtonOf(line.words[1]);
        log();
        ui.Press(button);
    } else {
        throw UiError("unknown command '" + cmd + "'");
    }
    return true;
}

}  // namespace fw
