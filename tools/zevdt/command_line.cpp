#include "command_line.h"

#include <cerrno>
#include <cstdlib>

namespace zevdt {
namespace {

// "--name=value" or "--name value": returns the value and advances i.
bool TakeValue(const std::vector<std::string>& args, size_t* i, const std::string& name,
               const std::string* inlineValue, std::string* value, std::string* error) {
    if (inlineValue) {
        *value = *inlineValue;
        return true;
    }
    if (*i + 1 >= args.size()) {
        *error = "option " + name + " needs a value";
        return false;
    }
    *value = args[++*i];
    return true;
}

bool ParseFormat(const std::string& text, OutputFormat* format, std::string* error) {
    if (text == "table") {
        *format = OutputFormat::kTable;
    } else if (text == "csv") {
        *format = OutputFormat::kCsv;
    } else if (text == "tsv") {
        *format = OutputFormat::kTsv;
    } else if (text == "json") {
        *format = OutputFormat::kJson;
    } else if (text == "xlsx") {
        *format = OutputFormat::kXlsx;
    } else {
        *error = "unknown format '" + text + "' (table, csv, tsv, json or xlsx)";
        return false;
    }
    return true;
}

bool ParseContext(const std::string& text, std::uint64_t* context, std::string* error) {
    // strtoull accepts a sign and blanks; a context is plain decimal digits.
    bool digits = !text.empty() && text.size() <= 20;
    for (char c : text) {
        digits = digits && c >= '0' && c <= '9';
    }
    errno = 0;
    unsigned long long value = digits ? std::strtoull(text.c_str(), nullptr, 10) : 0;
    if (!digits || errno == ERANGE) {
        *error = "context '" + text + "' is not a number from 0 to 18446744073709551615";
        return false;
    }
    *context = value;
    return true;
}

// "--name=value" becomes the name and its value; false for an argument without one.
bool SplitInlineValue(std::string* name, std::string* value) {
    size_t eq = name->find('=');
    if (name->rfind("--", 0) != 0 || eq == std::string::npos)
        return false;
    *value = name->substr(eq + 1);
    name->resize(eq);
    return true;
}

bool ParseDrill(const std::vector<std::string>& args, size_t first, CommandLine* line, std::string* error) {
    DrillOptions& o = line->drill;
    for (size_t i = first; i < args.size(); ++i) {
        std::string name = args[i];
        std::string inlineText;
        const std::string* inlineValue = SplitInlineValue(&name, &inlineText) ? &inlineText : nullptr;
        std::string value;
        if (name == "--help" || name == "-h") {
            line->help = true;
            continue;
        }
        if (name != "--member" && name != "--password" && name != "--ui-script" && name != "--format" &&
            name != "--output" && name != "--database" && name != "--context" && name != "--encoding") {
            *error = (name.rfind("-", 0) == 0 ? "unknown option " : "unexpected argument ") + name;
            return false;
        }
        if (!TakeValue(args, &i, name, inlineValue, &value, error)) {
            return false;
        }
        if (name == "--member") {
            std::string member;
            if (!UnescapeMember(value, &member, error)) {
                return false;
            }
            o.members.push_back(member);
        } else if (name == "--password") {
            o.password = value;
        } else if (name == "--ui-script") {
            o.uiScript = value;
        } else if (name == "--output") {
            o.output = value;
        } else if (name == "--database") {
            o.database = value;
        } else if (name == "--format") {
            if (!ParseFormat(value, &o.format, error)) {
                return false;
            }
        } else if (name == "--encoding") {
            if (value == "utf-8" || value == "UTF-8" || value == "utf8") {
                o.encoding = TextEncoding::kUtf8;
            } else if (value == "ansi") {
                o.encoding = TextEncoding::kCodePage;
            } else {
                *error = "unknown encoding '" + value + "' (utf-8 or ansi)";
                return false;
            }
        } else if (!ParseContext(value, &o.context, error)) {
            return false;
        }
        // An empty path would silently mean "the default" to the library.
        if (value.empty() && name != "--password" && name != "--member") {
            *error = "option " + name + " needs a non-empty value";
            return false;
        }
    }
    // A workbook is a zip file, no text for a terminal; known before any dialog opens.
    if (o.format == OutputFormat::kXlsx && o.output.empty() && !line->help) {
        *error = "--format xlsx needs --output FILE";
        return false;
    }
    return true;
}

bool ParseSample(const std::vector<std::string>& args, size_t first, CommandLine* line, std::string* error) {
    for (size_t i = first; i < args.size(); ++i) {
        std::string name = args[i];
        std::string inlineText;
        const std::string* inlineValue = SplitInlineValue(&name, &inlineText) ? &inlineText : nullptr;
        if (name == "--help" || name == "-h") {
            line->help = true;
        } else if (name == "--replace" && !inlineValue) {
            line->sample.replace = true;
        } else if (name == "--database") {
            if (!TakeValue(args, &i, name, inlineValue, &line->sample.database, error)) {
                return false;
            }
            if (line->sample.database.empty()) {
                *error = "option --database needs a non-empty value";
                return false;
            }
        } else {
            *error = (name.rfind("-", 0) == 0 ? "unknown option " : "unexpected argument ") + args[i];
            return false;
        }
    }
    return true;
}

}  // namespace

bool UnescapeMember(const std::string& text, std::string* member, std::string* error) {
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\') {
            out += text[i];
            continue;
        }
        if (i + 1 == text.size()) {
            *error = "member '" + text + "' ends with a lone backslash (write \\\\ for one)";
            return false;
        }
        char next = text[++i];
        if (next == 'n') {
            out += '\n';
        } else if (next == '\\') {
            out += '\\';
        } else {
            *error = std::string("member '") + text + "' has the unknown escape \\" + next +
                     " (\\n is a line break, \\\\ a backslash)";
            return false;
        }
    }
    if (out.empty() || out.back() != '\n') {
        out += '\n';
    }
    *member = out;
    return true;
}

bool ParseCommandLine(const std::vector<std::string>& args, CommandLine* line, std::string* error) {
    *line = CommandLine();
    if (args.empty()) {
        *error = "no command given";
        return false;
    }
    const std::string& first = args[0];
    if (first == "--help" || first == "-h" || first == "help") {
        line->help = true;
        return true;
    }
    if (first == "--version") {
        if (args.size() > 1) {
            *error = "--version takes nothing after it";
            return false;
        }
        line->version = true;
        return true;
    }
    if (first == "drill") {
        line->command = Command::kDrill;
        return ParseDrill(args, 1, line, error);
    }
    if (first == "sample") {
        line->command = Command::kSample;
        return ParseSample(args, 1, line, error);
    }
    *error = (first.rfind("-", 0) == 0 ? "unknown option " : "unknown command ") + first;
    return false;
}

std::string UsageText(Command command) {
    switch (command) {
        case Command::kDrill:
            return "usage: zevdt drill [--member TEXT]... [options]\n"
                   "\n"
                   "Drills through one cell: hands its member strings to the drill-through\n"
                   "library, which asks for a login and a report where needed, and prints the\n"
                   "report's rows.\n"
                   "\n"
                   "  --member TEXT        one member string of the cell, e.g. Year=2024 (repeat it);\n"
                   "                       \\n in TEXT is a line break, \\\\ a backslash; a final\n"
                   "                       line break is added\n"
                   "  --context N          the context value handed to the library (default 0;\n"
                   "                       the stand-in takes it as the data source id)\n"
                   "  --password TEXT      preset the data source password (at most 30 bytes)\n"
                   "  --ui-script FILE     drive the dialogs with this UI script (ZEVDT_UI_SCRIPT)\n"
                   "  --database FILE|URI  the stand-in's database (ZEVDTAPI_DATABASE): a SQLite\n"
                   "                       file, or a postgresql:// URI (Linux builds)\n"
                   "  --format FORMAT      table (default), csv, tsv, json, or xlsx (typed cells;\n"
                   "                       needs --output)\n"
                   "  --encoding ENC       ansi (default: the code page) or utf-8 for table, csv\n"
                   "                       and tsv (csv then starts with a BOM); json is UTF-8\n"
                   "  --output FILE        write the report to FILE instead of standard output\n"
                   "  --help               this text\n"
                   "\n"
                   "Exit status: 0 report written, 1 cancelled by the user, 2 usage error,\n"
                   "3 failed (the code and its text are printed).\n";
        case Command::kSample:
            return "usage: zevdt sample [--database FILE|URI] [--replace]\n"
                   "\n"
                   "Creates the stand-in's sample warehouse.\n"
                   "\n"
                   "  --database FILE|URI  where to create it (default: ZEVDTAPI_DATABASE if set,\n"
                   "                       else zevdtapi.db beside the data-transfer library, which\n"
                   "                       is where the library looks when nothing is set); a\n"
                   "                       postgresql:// URI loads it into that existing database\n"
                   "                       with its reader roles (Linux builds)\n"
                   "  --replace            replace an existing file, or the tables of an existing\n"
                   "                       catalog\n"
                   "  --help               this text\n"
                   "\n"
                   "Exit status: 0 created, 2 usage error, 3 failed.\n";
        case Command::kHelp:
            break;
    }
    return "usage: zevdt COMMAND [options]\n"
           "\n"
           "A host program of the drill-through library.\n"
           "\n"
           "Commands:\n"
           "  drill     drill through one cell and print the report's rows\n"
           "  sample    create the sample warehouse of the stand-in data-transfer library\n"
           "\n"
           "zevdt COMMAND --help shows the options of a command; zevdt --version the version.\n"
           "Exit status: 0 ok, 1 cancelled by the user, 2 usage error, 3 failed.\n";
}

std::string VersionText() {
    return std::string("zevdt ") + ZEVDT_VERSION + "\n";
}

}  // namespace zevdt
