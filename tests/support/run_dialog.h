// Runs a window (a dialog, the wizard, anything with DoModal) under a test
// driver and collects what happened, so that a test states only its steps and
// what it expects of them.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/script/test_driver.h"
#include "framework/win_types.h"

namespace testsupport {

struct ModalRun {
    INT_PTR result = 0;
    std::vector<std::string> transcript;
    std::vector<std::string> failures;  // refused actions and failed checks
    bool stepsLeft = false;             // the window closed before every step ran
};

template <class Window>
ModalRun RunDialog(Window& window, fw::TestDriver& driver) {
    fw::MemoryTranscript transcript;
    ModalRun run;
    {
        fw::ScopedDriver scope(&driver, &transcript);
        run.result = window.DoModal();
    }
    run.transcript = transcript.lines;
    run.failures = driver.Failures();
    run.stepsLeft = !driver.Done();
    return run;
}

// Every step ran, and none was refused.
inline void ExpectClean(const ModalRun& run) {
    EXPECT_TRUE(run.failures.empty()) << run.failures.front();
    EXPECT_FALSE(run.stepsLeft);
}

// The usual case: the run must be clean; its result, and its transcript where asked.
template <class Window>
INT_PTR RunCleanly(Window& window, fw::TestDriver& driver, std::vector<std::string>* transcript = nullptr) {
    ModalRun run = RunDialog(window, driver);
    ExpectClean(run);
    if (transcript)
        *transcript = run.transcript;
    return run.result;
}

}  // namespace testsupport
