#include "script_driver.h"

#include <cstdio>
#include <cstdlib>
#include <functional>
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
        {"enter", Key::Enter},        {"esc", Key::Escape}, {"tab", Key::Tab},
        {"shift+tab", Key::ShiftTab}, {"up", Key::Up},      {"down", Key::Down},
        {"home", Key::Home},          {"end", Key::End},    {"space", Key::Space}};
    auto it = names.find(word);
    if (it == names.end())
        throw UiError("unknown key '" + word +
                      "' (enter, esc, tab, shift+tab, up, down, home, end, space, alt+LETTER)");
    return it->second;
}

// What a handler of a script command gets: the line, the active window, and
// the transcript entry to make once the line is known to be performable.
struct Call {
    const ScriptLine& line;
    Ui& ui;
    const std::function<void()>& log;
    const std::string& Word(size_t i) const { return line.words[i]; }
    int Id(size_t i) const { return ToInt(line.words[i], "a control id"); }
};

// A check passes or throws and lets the script go on; an action is what a
// user does, and ends the script's turn.
enum class Kind { Check, Action };

struct Command {
    const char* name;
    size_t count;  // arguments required ...
    bool more;     // ... or at least that many
    Kind kind;
    void (*run)(const Call&);
};

void ExpectState(const Call& c, bool got, bool want, const char* yes, const char* no) {
    if (got != want)
        throw UiError("control " + c.Word(1) + " is " + (got ? yes : no));
    c.log();
}

void ExpectWindow(const Call& c) {
    Ui& ui = c.ui;
    if (c.Word(1) == "messagebox") {
        if (ui.Kind() != WindowKind::MessageBox)
            throw UiError("expected a message box");
    } else {
        unsigned want = static_cast<unsigned>(ToInt(c.Word(1), "a template id"));
        if (ui.Kind() == WindowKind::MessageBox || ui.TemplateId() != want)
            throw UiError("expected window " + c.Word(1) + ", the active window is " +
                          (ui.Kind() == WindowKind::MessageBox ? std::string("a message box")
                                                               : std::to_string(ui.TemplateId())));
    }
    c.log();
}

void ExpectMessage(const Call& c) {
    if (c.ui.Kind() != WindowKind::MessageBox)
        throw UiError("expected a message box");
    // A number names a string of the library's table; anything else is the text itself.
    std::string want = c.Word(1);
    if (!want.empty() && want.find_first_not_of("0123456789") == std::string::npos) {
        std::string text;
        CurrentBackend().LoadString(static_cast<unsigned>(ToInt(want, "a string id")), &text);
        want = text;
    }
    if (c.ui.MessageText() != want)
        throw UiError("message box says " + transcript::Quote(c.ui.MessageText()));
    c.log();
}

void ExpectText(const Call& c) {
    std::string got = c.ui.Text(c.Id(1));
    if (got != c.Word(2))
        throw UiError("control " + c.Word(1) + " holds " + transcript::Quote(got));
    c.log();
}

void ExpectFocusOrDefault(const Call& c, bool focus) {
    int want = c.Id(1);
    int got = focus ? c.ui.FocusId() : c.ui.DefaultButton();
    if (got != want)
        throw UiError(std::string(focus ? "the focus is on control " : "the default button is ") +
                      std::to_string(got));
    c.log();
}

void ExpectRows(const Call& c) {
    int n = c.ui.RowCount(c.Id(1));
    if (n != ToInt(c.Word(2), "a row count"))
        throw UiError("control " + c.Word(1) + " has " + std::to_string(n) + " rows");
    c.log();
}

void SelectRows(const Call& c) {
    std::vector<int> rows;
    for (size_t i = 2; i < c.line.words.size(); ++i) rows.push_back(ToInt(c.Word(i), "a row"));
    c.log();
    c.ui.SelectRows(c.Id(1), rows);
}

void PressKeyNamed(const Call& c) {
    const std::string& name = c.Word(1);
    if (name.size() == 5 && name.compare(0, 4, "alt+") == 0) {
        c.log();
        c.ui.PressAlt(name[4]);
    } else {
        Key key = KeyOf(name);
        c.log();
        c.ui.PressKey(key);
    }
}

// Every command a script may use. docs/ui-scripts.md lists the same commands;
// a test holds the two together.
const Command kCommands[] = {
    {"window", 1, false, Kind::Check, ExpectWindow},
    {"expect-message", 1, false, Kind::Check, ExpectMessage},
    {"expect-text", 2, false, Kind::Check, ExpectText},
    {"expect-enabled", 1, false, Kind::Check,
     [](const Call& c) { ExpectState(c, c.ui.Enabled(c.Id(1)), true, "enabled", "disabled"); }},
    {"expect-disabled", 1, false, Kind::Check,
     [](const Call& c) { ExpectState(c, c.ui.Enabled(c.Id(1)), false, "enabled", "disabled"); }},
    {"expect-readonly", 1, false, Kind::Check,
     [](const Call& c) { ExpectState(c, c.ui.ReadOnly(c.Id(1)), true, "read-only", "editable"); }},
    {"expect-editable", 1, false, Kind::Check,
     [](const Call& c) { ExpectState(c, c.ui.ReadOnly(c.Id(1)), false, "read-only", "editable"); }},
    {"expect-visible", 1, false, Kind::Check,
     [](const Call& c) { ExpectState(c, c.ui.Visible(c.Id(1)), true, "visible", "hidden"); }},
    {"expect-hidden", 1, false, Kind::Check,
     [](const Call& c) { ExpectState(c, c.ui.Visible(c.Id(1)), false, "visible", "hidden"); }},
    {"expect-focus", 1, false, Kind::Check, [](const Call& c) { ExpectFocusOrDefault(c, true); }},
    {"expect-default", 1, false, Kind::Check, [](const Call& c) { ExpectFocusOrDefault(c, false); }},
    {"expect-rows", 2, false, Kind::Check, ExpectRows},
    {"click", 1, false, Kind::Action,
     [](const Call& c) {
         c.log();
         c.ui.Click(c.Id(1));
     }},
    {"type", 2, false, Kind::Action,
     [](const Call& c) {
         c.log();
         c.ui.Type(c.Id(1), c.Word(2));
     }},
    {"select", 2, false, Kind::Action,
     [](const Call& c) {
         c.log();
         c.ui.SelectRow(c.Id(1), ToInt(c.Word(2), "a row"));
     }},
    {"select-rows", 1, true, Kind::Action, SelectRows},
    {"select-tree", 2, false, Kind::Action,
     [](const Call& c) {
         c.log();
         c.ui.SelectTreeItem(c.Id(1), c.Word(2));
     }},
    {"press-f1", 0, false, Kind::Action,
     [](const Call& c) {
         c.log();
         c.ui.PressF1();
     }},
    {"click-empty", 1, false, Kind::Action,
     [](const Call& c) {
         c.log();
         c.ui.ClickEmpty(c.Id(1));
     }},
    {"double-click", 2, false, Kind::Action,
     [](const Call& c) {
         c.log();
         c.ui.DoubleClickRow(c.Id(1), ToInt(c.Word(2), "a row"));
     }},
    {"check", 1, false, Kind::Action,
     [](const Call& c) {
         c.log();
         c.ui.SetCheck(c.Id(1), true);
     }},
    {"uncheck", 1, false, Kind::Action,
     [](const Call& c) {
         c.log();
         c.ui.SetCheck(c.Id(1), false);
     }},
    {"answer", 1, false, Kind::Action,
     [](const Call& c) {
         int button = ButtonOf(c.Word(1));
         c.log();
         c.ui.Answer(button);
     }},
    {"key", 1, false, Kind::Action, PressKeyNamed},
    {"press", 1, false, Kind::Action,
     [](const Call& c) {
         SheetButton button = SheetButtonOf(c.Word(1));
         c.log();
         c.ui.Press(button);
     }},
    // The rest is the user's: what ScriptDriver::Step does once this line ran.
    {"hand-over", 0, false, Kind::Action, [](const Call& c) { c.log(); }},
};

void CheckArguments(const Command& command, const ScriptLine& line) {
    const size_t given = line.words.size() - 1;
    if (command.more ? given >= command.count : given == command.count)
        return;
    if (command.more)  // select-rows, the one command with a list
        throw UiError("'" + line.words[0] + "' takes a control id and rows");
    throw UiError("'" + line.words[0] + "' takes " + std::to_string(command.count) + " argument" +
                  (command.count == 1 ? "" : "s"));
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
    // Handed over, the script leaves the windows alone: on Windows they wait
    // for a real user (a dialog held open for a screenshot), on the headless
    // backend, which has no user, they take their defaults.
    if (handedOver_) {
        CurrentBackend().SetDriver(nullptr);
        return true;
    }
    // Checks run until the first user action; the step ends with it.
    while (!failed_ && next_ < lines_.size()) {
        const ScriptLine& line = lines_[next_++];
        try {
            if (Perform(line, active)) {
                if (line.words[0] == "hand-over") {
                    handedOver_ = true;
                    CurrentBackend().SetDriver(nullptr);
                }
                return true;
            }
        } catch (const UiError& e) {
            Fail(line, e.what());
        } catch (const std::exception& e) {
            Fail(line, e.what());
        }
    }
    return false;
}

std::vector<std::string> ScriptCommandNames() {
    std::vector<std::string> names;
    for (const Command& command : kCommands) names.push_back(command.name);
    return names;
}

bool ScriptDriver::Perform(const ScriptLine& line, Hwnd active) {
    const std::string& name = line.words[0];
    Ui ui(active);
    const Command* command = nullptr;
    for (const Command& c : kCommands)
        if (name == c.name)
            command = &c;
    if (!command)
        throw UiError("unknown command '" + name + "'");
    CheckArguments(*command, line);
    std::function<void()> log = [&] {
        if (transcript_)
            transcript_->Line(transcript::ScriptAction(line.number, line.text));
    };
    command->run(Call{line, ui, log});
    return command->kind == Kind::Action;
}

}  // namespace fw
