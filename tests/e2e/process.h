// Runs a program the way a shell would, for end-to-end tests: arguments
// passed exactly, standard output and error captured, the exit status back.
#ifndef ZEVDT_TESTS_PROCESS_H
#define ZEVDT_TESTS_PROCESS_H

#include <string>
#include <vector>

namespace zevdt_test {

struct RunResult {
    int status = -1;  // the exit status; -1 if the program did not start or was killed
    std::string out;
    std::string err;
};

// args[0] is the program's path. Output goes through files in work_dir.
RunResult Run(const std::vector<std::string>& args, const std::string& workDir);

// The folder of the running test program, with a trailing separator; zevdt
// and the libraries are built into the same folder.
std::string ProgramFolder();

std::string ReadFile(const std::string& path);
void WriteFile(const std::string& path, const std::string& text);
void SetEnv(const std::string& name, const std::string& value);  // empty value: unset

}  // namespace zevdt_test

#endif
