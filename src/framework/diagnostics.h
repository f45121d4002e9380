// Failures that no dialog shows, for whoever has to mend the set-up: a line
// in the UI transcript and, when ZEVDT_DIAGNOSTICS is set to anything but
// empty or 0, a line on standard error.
#pragma once

#include <string>

namespace fw {

void ReportDiagnostic(const std::string& text);

}  // namespace fw
