// The few platform calls the library loader needs, behind portable names so
// that only two small files include a platform header.
#pragma once

#include <string>

namespace zevdt {
namespace platform {

// Opens a library by full path, or by bare name through the platform's safe
// search. Null on failure; *error says why.
void* OpenLibrary(const std::string& path, bool searchByName, std::string* error);
void* FindSymbol(void* library, const char* name);
void CloseLibrary(void* library);
// The folder of the module that holds this code (ZEVDTU, or a test program it
// is linked into), ending in a separator; empty when it cannot be found.
std::string OwnModuleFolder();

}  // namespace platform
}  // namespace zevdt
