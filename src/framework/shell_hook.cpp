#include "shell_hook.h"

namespace fw {
namespace {
ShellOpenHook g_hook = nullptr;
}
void SetShellOpenHook(ShellOpenHook hook) {
    g_hook = hook;
}
ShellOpenHook GetShellOpenHook() {
    return g_hook;
}
}  // namespace fw
