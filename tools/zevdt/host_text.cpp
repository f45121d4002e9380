#include "host_text.h"

namespace zevdt {

// The sample warehouse's texts are UTF-8 already; hosts in other code pages
// get their conversion here.
std::string HostToUtf8(std::string_view text) {
    return std::string(text);
}

}  // namespace zevdt
