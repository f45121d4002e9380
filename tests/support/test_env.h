// Small helpers for tests that run on both backends: environment variables
// set for one scope, and a shell that records what it was asked to open.
#pragma once

#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "framework/shell_hook.h"

namespace testsupport {

// Sets (or, with nullopt, removes) a variable until the end of the scope.
class ScopedEnv {
  public:
    ScopedEnv(const char* name, std::optional<std::string> value) : name_(name) {
        if (const char* old = std::getenv(name))
            old_ = old;
        Set(value);
    }
    ~ScopedEnv() { Set(old_); }
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

  private:
    void Set(const std::optional<std::string>& value) {
#ifdef _WIN32
        _putenv_s(name_.c_str(), value ? value->c_str() : "");
#else
        if (value)
            setenv(name_.c_str(), value->c_str(), 1);
        else
            unsetenv(name_.c_str());
#endif
    }
    std::string name_;
    std::optional<std::string> old_;
};

// Answers every "open" with a chosen result and remembers the paths.
class FakeShell {
  public:
    explicit FakeShell(intptr_t result = 42) {
        Result() = result;
        Paths().clear();
        fw::SetShellOpenHook(&FakeShell::Open);
    }
    ~FakeShell() { fw::SetShellOpenHook(nullptr); }
    FakeShell(const FakeShell&) = delete;
    FakeShell& operator=(const FakeShell&) = delete;
    void SetResult(intptr_t r) { Result() = r; }
    const std::vector<std::string>& paths() const { return Paths(); }

  private:
    static intptr_t& Result() {
        static intptr_t r = 42;
        return r;
    }
    static std::vector<std::string>& Paths() {
        static std::vector<std::string> p;
        return p;
    }
    static intptr_t Open(const std::string& path) {
        Paths().push_back(path);
        return Result();
    }
};

}  // namespace testsupport
