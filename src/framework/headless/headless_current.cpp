#include <memory>

#include "../per_thread.h"
#include "../script/environment.h"
#include "headless_backend.h"

namespace fw {
namespace {

headless::HeadlessBackend* MakeBackend() {
    auto b = std::make_unique<headless::HeadlessBackend>();
    InstallDriversFromEnvironment(*b);
    return b.release();
}

}  // namespace

// Every thread has its own windows and modal runs, as on Win32: a thread's
// backend is its own, so two hosts' threads never share a window table or a
// modal stack, and no lock is needed while a modal run waits for its user.
Backend& CurrentBackend() {
    return PerThread<headless::HeadlessBackend>::Get(&MakeBackend);
}

}  // namespace fw
