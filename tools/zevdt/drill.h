// zevdt drill and zevdt sample: the two commands, run as a host runs them.
#ifndef ZEVDT_DRILL_H
#define ZEVDT_DRILL_H

#include <ostream>

#include "command_line.h"

namespace zevdt {

// Returns an ExitStatus. Messages go to err; the report to out or --output.
int RunDrill(const DrillOptions& options, std::ostream& out, std::ostream& err);
int RunSample(const SampleOptions& options, std::ostream& out, std::ostream& err);

}  // namespace zevdt

#endif
