// A table or column name as both engines read it in SQL: in double quotes,
// an inner double quote doubled.
#pragma once

#include <string>

namespace zevdtapi {

inline std::string QuoteIdentifier(const std::string& name) {
    std::string out = "\"";
    for (char c : name) {
        out += c;
        if (c == '"')
            out += '"';
    }
    return out + "\"";
}

}  // namespace zevdtapi
