// The command line of zevdt: commands, their options and the usage texts.
// Parsing is kept apart from running so that every rule can be tested
// without the drill-through library.
#ifndef ZEVDT_COMMAND_LINE_H
#define ZEVDT_COMMAND_LINE_H

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace zevdt {

// Exit statuses. A host script must tell "the user said no" from "it broke".
enum ExitStatus : int {
    kExitOk = 0,
    kExitCancelled = 1,
    kExitUsage = 2,
    kExitFailed = 3,
};

enum class OutputFormat { kTable, kCsv, kTsv, kJson, kXlsx };
enum class TextEncoding { kCodePage, kUtf8 };

struct DrillOptions {
    std::vector<std::string> members;     // with escapes resolved and a final line break
    std::optional<std::string> password;  // preset source password
    std::string uiScript;                 // ZEVDT_UI_SCRIPT for the library
    std::string database;                 // ZEVDTAPI_DATABASE for the stand-in
    std::string output;                   // empty: standard output
    OutputFormat format = OutputFormat::kTable;
    TextEncoding encoding = TextEncoding::kCodePage;  // of table, CSV and TSV
    std::uint64_t context = 0;                        // handed to ZevDTOpen unchanged
};

struct SampleOptions {
    std::string database;  // empty: the stand-in's default place
    bool replace = false;
};

enum class Command { kHelp, kDrill, kSample };

struct CommandLine {
    Command command = Command::kHelp;
    bool help = false;     // --help given to a command (or no command at all)
    bool version = false;  // --version: print VersionText() and nothing else
    DrillOptions drill;
    SampleOptions sample;
};

// Parses argv[1..]. On a usage error returns false with the reason in *error;
// the caller prints it with the usage of the command (UsageText(line.command)).
bool ParseCommandLine(const std::vector<std::string>& args, CommandLine* line, std::string* error);

// Resolves the escapes of a --member text ("\n" line break, "\\" backslash)
// and adds the final line break that every member string ends with.
bool UnescapeMember(const std::string& text, std::string* member, std::string* error);

std::string UsageText(Command command);

// "zevdt 1.0.0\n": the project's version, which the libraries carry as well.
std::string VersionText();

}  // namespace zevdt

#endif
