// What zevdt checks before the library shows its first dialog: a user who
// typed a wrong path should not log in and choose a report first.
#ifndef ZEVDT_PREFLIGHT_H
#define ZEVDT_PREFLIGHT_H

#include <string>

namespace zevdt {

// Empty when the report can be written to `path` (its folder exists and lets
// us create or append to the file), else the system's reason. A file that
// did not exist is not left behind.
std::string WhyNotWritable(const std::string& path);

// Empty when `path` can be opened and read, else the system's reason.
std::string WhyNotReadable(const std::string& path);

}  // namespace zevdt

#endif
