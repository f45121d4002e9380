#include "transcript_lines.h"

#include <cstdio>

#include "win_types.h"

namespace fw {
namespace transcript {

std::string Quote(const std::string& text) {
    std::string out = "\"";
    for (unsigned char c : text) {
        switch (c) {
            case '"':
                out += "\\\"";
                break;
            case '\\':
                out += "\\\\";
                break;
            case '\r':
                out += "\\r";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\t':
                out += "\\t";
                break;
            default:
                if (c < 0x20) {
                    char buf[8];
                    std::snprintf(buf, sizeof buf, "\\x%02x", c);
                    out += buf;
                } else {
                    out += static_cast<char>(c);
                }
        }
    }
    return out + "\"";
}

std::string ButtonsName(uint32_t type) {
    switch (type & MB_TYPEMASK) {
        case MB_OKCANCEL:
            return "OKCANCEL";
        case MB_YESNO:
            return "YESNO";
        case MB_YESNOCANCEL:
            return "YESNOCANCEL";
        default:
            return "OK";
    }
}

std::string ResultName(intptr_t result) {
    switch (result) {
        case IDOK:
            return "OK";
        case IDCANCEL:
            return "CANCEL";
        case IDYES:
            return "YES";
        case IDNO:
            return "NO";
        case ID_WIZFINISH:
            return "FINISH";
        default:
            return std::to_string(static_cast<long long>(result));
    }
}

std::string WindowOpened(unsigned templateId, const std::string& caption) {
    return "window " + std::to_string(templateId) + " " + Quote(caption);
}

std::string WindowClosed(unsigned templateId, intptr_t result) {
    return "close " + std::to_string(templateId) + " " + ResultName(result);
}

std::string SheetOpened(const std::string& caption) {
    return "sheet " + Quote(caption);
}

std::string PageShown(unsigned templateId, const std::string& title) {
    return "page " + std::to_string(templateId) + " " + Quote(title);
}

std::string SheetClosed(intptr_t result) {
    return "close sheet " + ResultName(result);
}

std::string MessageBoxShown(unsigned helpId, const std::string& text, uint32_t type, int answer) {
    return "messagebox " + std::to_string(helpId) + " " + Quote(text) + " " + ButtonsName(type) + " -> " +
           ResultName(answer);
}

std::string HelpOpened(const std::string& path, intptr_t result) {
    return "shell-open " + Quote(path) + " " + std::to_string(static_cast<long long>(result));
}

std::string ScriptAction(int line, const std::string& text) {
    return "script " + std::to_string(line) + ": " + text;
}

std::string ScriptError(int line, const std::string& message) {
    return "script-error " + std::to_string(line) + ": " + message;
}

std::string DefaultAction(const std::string& what) {
    return "default " + what;
}

std::string Diagnostic(const std::string& text) {
    return "diagnostic " + Quote(text);
}

}  // namespace transcript
}  // namespace fw
