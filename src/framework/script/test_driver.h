// The C++ face of the UI driver for tests: a queue of steps, each acting on
// the active window through Ui. A step that throws UiError is recorded and the
// run goes on with the window's default action, so that a broken expectation
// fails the test instead of hanging it.
#pragma once

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "../backend.h"
#include "ui.h"

namespace fw {

class TestDriver : public Driver {
  public:
    using StepFn = std::function<void(Ui&)>;

    TestDriver& Then(StepFn step) {
        steps_.push_back(std::move(step));
        return *this;
    }
    bool Step(Hwnd active) override;

    bool Done() const { return steps_.empty(); }
    size_t Remaining() const { return steps_.size(); }
    const std::vector<std::string>& Failures() const { return failures_; }

  private:
    std::deque<StepFn> steps_;
    std::vector<std::string> failures_;
};

// Installs a driver (and optionally a transcript) on the current backend for
// one scope, restoring what was there before.
class ScopedDriver {
  public:
    explicit ScopedDriver(Driver* driver, Transcript* transcript = nullptr);
    ~ScopedDriver();
    ScopedDriver(const ScopedDriver&) = delete;
    ScopedDriver& operator=(const ScopedDriver&) = delete;
};

// A transcript kept in memory, for tests.
class MemoryTranscript : public Transcript {
  public:
    void Line(const std::string& line) override { lines.push_back(line); }
    std::vector<std::string> lines;
};

}  // namespace fw
