// Installs the UI script driver and the transcript named by the environment
// (ZEVDT_UI_SCRIPT, ZEVDT_UI_TRANSCRIPT) on a backend, once per process.
#pragma once

namespace fw {
class Backend;
void InstallDriversFromEnvironment(Backend& backend);
}  // namespace fw
