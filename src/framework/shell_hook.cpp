#include "shell_hook.h"

#include <atomic>

namespace fw {
namespace {
// Set by tests, read by any thread that opens help.
std::atomic<ShellOpenHook> g_hook{nullptr};
}  // namespace
void SetShellOpenHook(ShellOpenHook hook) {
    g_hook.store(hook);
}
ShellOpenHook GetShellOpenHook() {
    return g_hook.load();
}
}  // namespace fw
