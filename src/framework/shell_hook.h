// Lets tests decide what the shell answers to "open" without starting any
// program. Both backends ask the hook first when one is set.
#pragma once

#include <cstdint>
#include <string>

namespace fw {
using ShellOpenHook = intptr_t (*)(const std::string& path);
void SetShellOpenHook(ShellOpenHook hook);
ShellOpenHook GetShellOpenHook();
}  // namespace fw
