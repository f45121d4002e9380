// Runs a cleanup on every way out of a scope, an exception included, unless
// dismissed: a modal run that ends by a failed allocation still destroys its
// window and gives the owner its input back.
#pragma once

#include <utility>

namespace fw {

template <typename F>
class ScopeExit {
  public:
    explicit ScopeExit(F f) : f_(std::move(f)) {}
    ~ScopeExit() {
        if (active_)
            f_();
    }
    ScopeExit(const ScopeExit&) = delete;
    ScopeExit& operator=(const ScopeExit&) = delete;
    void Dismiss() { active_ = false; }

  private:
    F f_;
    bool active_ = true;
};

}  // namespace fw
