// What zevdt needs from its platform around the drill-through library: the
// text of a code, where the library lives, and setting the environment the
// library reads.
#ifndef ZEVDT_HOST_LIBRARY_H
#define ZEVDT_HOST_LIBRARY_H

#include <cstdint>
#include <string>

namespace zevdt {

// The library's text for a code (its string table); empty when it has none,
// as for the data-transfer library's own statuses.
std::string CodeText(std::uint32_t code);

// "code 50007: There are no reports ...", or for a status of the
// data-transfer library "code 2002001: " and the message the library showed
// for it (`lastMessage`), or where that is not known, where its text went.
std::string DescribeCode(std::uint32_t code, const std::string& lastMessage = std::string());

// The text of the last message box the handle's latest call showed
// (ZevDTGetLastMessage); empty where the library has no such function, as on
// Windows, where the user saw the box.
std::string LastMessage(void* handle);

// Whether the library's dialogs are windows a user sees (Windows), or are
// answered only by a UI script (Linux, where they are cancelled without one).
bool DialogsAreSeen();

// The folder holding the drill-through library, with a trailing separator;
// empty if it cannot be found.
std::string LibraryFolder();

// Where the stand-in reads its database when nothing else is given: the
// value of ZEVDTAPI_DATABASE, else zevdtapi.db beside the data-transfer
// library (ZEVDTAPI_LIBRARY, or the folder of the drill-through library).
std::string DefaultDatabasePath();

bool SetEnvironment(const std::string& name, const std::string& value);

}  // namespace zevdt

#endif
