// The framework's string lists as plain vectors, for comparing in tests.
#pragma once

#include <string>
#include <vector>

#include "framework/afxwin.h"

namespace testsupport {

inline std::vector<std::string> Texts(const CStringList& list) {
    std::vector<std::string> out;
    for (POSITION pos = list.GetHeadPosition(); pos;) out.push_back(list.GetNext(pos).str());
    return out;
}

inline void Fill(CStringList& list, const std::vector<std::string>& items) {
    list.RemoveAll();
    for (const std::string& item : items) list.AddTail(CString(item));
}

}  // namespace testsupport
