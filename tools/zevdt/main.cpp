// zevdt: a host program of the drill-through library. It does what an OLAP
// client does when the user drills through a cell, and prints the report.
#include <clocale>
#include <cstdio>
#include <exception>
#include <iostream>
#include <string>
#include <vector>

#include "command_line.h"
#include "drill.h"

#if defined(_WIN32)
#include <fcntl.h>
#include <io.h>
#endif

int main(int argc, char** argv) {
    try {
#if !defined(_WIN32)
        // A host owns its locale: texts then come in the user's character set
        // (Windows hands them out in the ANSI code page anyway). Only the
        // character type: numbers keep their C form.
        std::setlocale(LC_CTYPE, "");
#endif
#if defined(_WIN32)
        // CSV must end its records with exactly CRLF; text mode would add a CR.
        _setmode(_fileno(stdout), _O_BINARY);
#endif
        std::vector<std::string> args(argv + (argc > 0 ? 1 : 0), argv + (argc > 0 ? argc : 0));
        zevdt::CommandLine line;
        std::string error;
        if (!zevdt::ParseCommandLine(args, &line, &error)) {
            std::cerr << "zevdt: " << error << "\n\n" << zevdt::UsageText(line.command);
            return zevdt::kExitUsage;
        }
        if (line.version) {
            std::cout << zevdt::VersionText();
            return zevdt::kExitOk;
        }
        if (line.help) {
            std::cout << zevdt::UsageText(line.command);
            return zevdt::kExitOk;
        }
        switch (line.command) {
            case zevdt::Command::kDrill:
                return zevdt::RunDrill(line.drill, std::cout, std::cerr);
            case zevdt::Command::kSample:
                return zevdt::RunSample(line.sample, std::cout, std::cerr);
            case zevdt::Command::kHelp:
                break;
        }
        std::cout << zevdt::UsageText(zevdt::Command::kHelp);
        return zevdt::kExitOk;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "zevdt: %s\n", e.what());
    } catch (...) {
        std::fprintf(stderr, "zevdt: unexpected failure\n");
    }
    return zevdt::kExitFailed;
}
