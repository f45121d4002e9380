// Installs the UI script driver and the transcript named by the environment
// (ZEVDT_UI_SCRIPT, ZEVDT_UI_TRANSCRIPT) on a backend, and lets tests put
// their own driver in front for a while. Each thread has its own backend and
// performs the script on its own windows from its first line; the transcript
// file is one for the process, written a line at a time.
#pragma once

namespace fw {
class Backend;
class Driver;
class Transcript;

void InstallDriversFromEnvironment(Backend& backend);
// Tests: replace the driver and transcript until the matching Pop.
void PushDrivers(Driver* driver, Transcript* transcript);
void PopDrivers();
// The transcript in force, for portable code that writes lines itself; may be null.
Transcript* ActiveTranscript();
}  // namespace fw
