#include "environment.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <sstream>
#include <utility>
#include <vector>

#include "../backend.h"
#include "../transcript_lines.h"
#include "script_driver.h"

namespace fw {
namespace {

class FileTranscript : public Transcript {
  public:
    explicit FileTranscript(const char* path)
        : out_(path, std::ios::out | std::ios::trunc | std::ios::binary) {}
    bool ok() const { return out_.good(); }
    void Line(const std::string& line) override {
        out_ << line << '\n';
        out_.flush();
    }

  private:
    std::ofstream out_;
};

struct Installed {
    std::unique_ptr<FileTranscript> transcript;
    std::unique_ptr<ScriptDriver> driver;
    std::vector<std::pair<Driver*, Transcript*>> stack;  // what tests pushed over the environment's
};

Installed& State() {
    static Installed state;
    return state;
}

Transcript* g_active = nullptr;

void Apply(Backend& backend, Driver* driver, Transcript* transcript) {
    g_active = transcript;
    backend.SetDriver(driver);
    backend.SetTranscript(transcript);
}

}  // namespace

void InstallDriversFromEnvironment(Backend& backend) {
    Installed& s = State();
    if (const char* path = std::getenv("ZEVDT_UI_TRANSCRIPT"); path && *path) {
        auto t = std::make_unique<FileTranscript>(path);
        if (t->ok())
            s.transcript = std::move(t);
        else
            std::fprintf(stderr, "UI transcript %s cannot be written\n", path);
    }
    if (const char* path = std::getenv("ZEVDT_UI_SCRIPT"); path && *path) {
        std::ifstream in(path, std::ios::binary);
        std::vector<ScriptLine> lines;
        std::string error;
        if (!in) {
            error = "cannot be read";
        } else {
            std::stringstream text;
            text << in.rdbuf();
            ParseScript(text.str(), &lines, &error);
        }
        s.driver = std::make_unique<ScriptDriver>(lines, path);
        s.driver->SetTranscript(s.transcript.get());
        if (!error.empty()) {
            // A script that cannot be read acts on nothing: every window takes its default.
            std::string message = std::string("UI script ") + path + ": " + error;
            std::fprintf(stderr, "%s\n", message.c_str());
            if (s.transcript)
                s.transcript->Line(transcript::ScriptError(0, error));
            s.driver = std::make_unique<ScriptDriver>(std::vector<ScriptLine>{}, path);
        }
    }
    Apply(backend, s.driver.get(), s.transcript.get());
}

Transcript* ActiveTranscript() {
    return g_active;
}

void PushDrivers(Driver* driver, Transcript* transcript) {
    State().stack.emplace_back(driver, transcript);
    Apply(CurrentBackend(), driver, transcript);
}

void PopDrivers() {
    Installed& s = State();
    if (!s.stack.empty())
        s.stack.pop_back();
    if (s.stack.empty())
        Apply(CurrentBackend(), s.driver.get(), s.transcript.get());
    else
        Apply(CurrentBackend(), s.stack.back().first, s.stack.back().second);
}

}  // namespace fw
