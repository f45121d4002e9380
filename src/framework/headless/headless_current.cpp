#include "../script/environment.h"
#include "headless_backend.h"

namespace fw {
Backend& CurrentBackend() {
    static headless::HeadlessBackend* backend = [] {
        // Lives as long as the process: hosts may call in from static destructors.
        auto* b = new headless::HeadlessBackend;
        InstallDriversFromEnvironment(*b);
        return b;
    }();
    return *backend;
}
}  // namespace fw
