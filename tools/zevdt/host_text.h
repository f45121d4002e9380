// Texts from the host's code page, as Unicode files need them.
#ifndef ZEVDT_HOST_TEXT_H
#define ZEVDT_HOST_TEXT_H

#include <string>
#include <string_view>

namespace zevdt {

// A text of the library's items, in the host's code page, as UTF-8.
std::string HostToUtf8(std::string_view text);

}  // namespace zevdt

#endif
