// UI scripts: one action or check per line, performed on the active window
// whenever a modal loop is idle. The format is documented in
// docs/ui-scripts.md. A line that cannot be performed stops the script: the
// error names the line, and from then on every window takes its default
// action, so the run ends instead of hanging.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "../backend.h"

namespace fw {

struct ScriptLine {
    int number = 0;
    std::string text;                // the line as written, for transcripts and errors
    std::vector<std::string> words;  // command and arguments, quotes removed
};

// Splits a script into lines of words; comments and blank lines are dropped.
// A malformed line (an unterminated quote) gives an error naming it.
bool ParseScript(const std::string& source, std::vector<ScriptLine>* lines, std::string* error);

// The names of the commands a script may use, in the order the driver lists them.
std::vector<std::string> ScriptCommandNames();

class ScriptDriver : public Driver {
  public:
    ScriptDriver(std::vector<ScriptLine> lines, std::string name);
    bool Step(Hwnd active) override;

    void SetTranscript(Transcript* transcript) { transcript_ = transcript; }
    // Where errors go besides the transcript (stderr by default).
    void SetErrorSink(std::function<void(const std::string&)> sink) { errorSink_ = std::move(sink); }

    bool Failed() const { return failed_; }
    const std::string& Error() const { return error_; }
    bool Finished() const { return next_ >= lines_.size(); }

  private:
    // Runs one line; true when it was a user action (the step ends there).
    bool Perform(const ScriptLine& line, Hwnd active);
    void Fail(const ScriptLine& line, const std::string& message);

    std::vector<ScriptLine> lines_;
    std::string name_;
    size_t next_ = 0;
    bool failed_ = false;
    bool handedOver_ = false;
    std::string error_;
    Transcript* transcript_ = nullptr;
    std::function<void(const std::string&)> errorSink_;
};

}  // namespace fw
