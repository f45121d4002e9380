#include "environment.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <mutex>
#include <sstream>
#include <utility>
#include <vector>

#include "../backend.h"
#include "../per_thread.h"
#include "../transcript_lines.h"
#include "script_driver.h"

namespace fw {
namespace {

// One file for the whole process: every thread's windows write to it, a
// line at a time.
class FileTranscript : public Transcript {
  public:
    explicit FileTranscript(const char* path)
        : out_(path, std::ios::out | std::ios::trunc | std::ios::binary) {}
    bool ok() const { return out_.good(); }
    void Line(const std::string& line) override {
        std::lock_guard<std::mutex> lock(guard_);
        out_ << line << '\n';
        out_.flush();
    }

  private:
    std::mutex guard_;
    std::ofstream out_;
};

// The environment's transcript, opened once (a second open would truncate
// what other threads wrote); null when none is named or it cannot be written.
FileTranscript* EnvironmentTranscript() {
    static FileTranscript* transcript = [] {
        FileTranscript* t = nullptr;
        if (const char* path = std::getenv("ZEVDT_UI_TRANSCRIPT"); path && *path) {
            t = new FileTranscript(path);
            if (!t->ok()) {
                std::fprintf(stderr, "UI transcript %s cannot be written\n", path);
                delete t;
                t = nullptr;
            }
        }
        return t;
    }();
    return transcript;
}

// Per thread: each thread performs the environment's script on its own
// windows, and what a test pushes applies to its own thread only.
struct Installed {
    std::unique_ptr<ScriptDriver> driver;
    std::vector<std::pair<Driver*, Transcript*>> stack;  // what tests pushed over the environment's
};

thread_local Transcript* t_active = nullptr;

Installed* MakeInstalled() {
    return new Installed;
}

Installed& State() {
    return PerThread<Installed>::Get(&MakeInstalled);
}

void Apply(Backend& backend, Driver* driver, Transcript* transcript) {
    t_active = transcript;
    backend.SetDriver(driver);
    backend.SetTranscript(transcript);
}

}  // namespace

void InstallDriversFromEnvironment(Backend& backend) {
    Installed& s = State();
    FileTranscript* file = EnvironmentTranscript();
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
        s.driver->SetTranscript(file);
        if (!error.empty()) {
            // A script that cannot be read acts on nothing: every window takes its default.
            std::string message = std::string("UI script ") + path + ": " + error;
            std::fprintf(stderr, "%s\n", message.c_str());
            if (file)
                file->Line(transcript::ScriptError(0, error));
            s.driver = std::make_unique<ScriptDriver>(std::vector<ScriptLine>{}, path);
        }
    }
    Apply(backend, s.driver.get(), file);
}

Transcript* ActiveTranscript() {
    return t_active;
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
        Apply(CurrentBackend(), s.driver.get(), EnvironmentTranscript());
    else
        Apply(CurrentBackend(), s.stack.back().first, s.stack.back().second);
}

}  // namespace fw
