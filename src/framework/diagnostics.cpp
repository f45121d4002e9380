#include "diagnostics.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "backend.h"
#include "script/environment.h"
#include "transcript_lines.h"

namespace fw {

void ReportDiagnostic(const std::string& text) {
    // The transcript named by the environment is installed with the backend.
    CurrentBackend();
    if (Transcript* t = ActiveTranscript())
        t->Line(transcript::Diagnostic(text));
    const char* wanted = std::getenv("ZEVDT_DIAGNOSTICS");
    if (wanted && *wanted && std::strcmp(wanted, "0") != 0) {
        std::fprintf(stderr, "ZEVDTU: %s\n", text.c_str());
        // Standard error may be a file, and fully buffered there: the line
        // must be out before whatever follows ends the process.
        std::fflush(stderr);
    }
}

}  // namespace fw
