// The intersection's member strings. Each names one member of one dimension:
//
//   Dimension=Member\n         first line (the newline may be missing)
//   SYSDBV=<key>\n             optional: the member's key in the warehouse when it
//                              differs from its name; an empty key marks a member of a
//                              recursive hierarchy, which restricts nothing
//   -1\n                       optional: take the member by itself even then
//
// Other lines are ignored, so hosts may add their own.
#ifndef ZEVDTAPI_MEMBER_STRINGS_H
#define ZEVDTAPI_MEMBER_STRINGS_H

#include <string>
#include <vector>

namespace zevdtapi {

struct Member {
    std::string dimension;
    std::string value;      // what the mapped column must equal
    bool restricts = true;  // false for an unresolved recursive-hierarchy member
};

// Throws a Failure (kMemberString) naming the member's place for a string that
// has no "Dimension=Member" first line.
Member ParseMemberString(const std::string& text, size_t index);

}  // namespace zevdtapi

#endif
