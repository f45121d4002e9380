// Saved-filter records as the library hands them over: name, description,
// then key and condition pairs, all joined by the separator.
#pragma once

#include <initializer_list>
#include <string>

namespace testsupport {

inline const std::string kFilterSeparator = "$*$";

inline std::string Record(std::initializer_list<std::string> fields) {
    std::string out;
    for (const std::string& field : fields) {
        if (&field != fields.begin())
            out += kFilterSeparator;
        out += field;
    }
    return out;
}

}  // namespace testsupport
