#include "member_strings.h"

#include "errors.h"
#include "text_copy.h"

namespace zevdtapi {

Member ParseMemberString(const std::string& text, size_t index) {
    std::vector<std::string> lines;
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        std::string line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        lines.push_back(line);
        start = end + 1;
    }
    size_t eq = lines[0].find('=');
    Member m;
    if (eq != std::string::npos) {
        m.dimension = Trim(lines[0].substr(0, eq));
        m.value = Trim(lines[0].substr(eq + 1));
    }
    if (m.dimension.empty() || m.value.empty()) {
        Fail(kMemberString, "Member string " + std::to_string(index + 1) +
                                " does not start with a line of the form Dimension=Member.");
    }
    bool recursive = false, itself = false;
    for (size_t i = 1; i < lines.size(); ++i) {
        if (lines[i] == "-1") {
            itself = true;
        } else if (lines[i].compare(0, 7, "SYSDBV=") == 0) {
            std::string key = Trim(lines[i].substr(7));
            if (key.empty()) {
                recursive = true;
            } else {
                m.value = key;
            }
        }
    }
    m.restricts = !recursive || itself;
    return m;
}

}  // namespace zevdtapi
