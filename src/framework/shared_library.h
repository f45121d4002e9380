// Loading a shared library by path or by name, behind portable names: the
// platform's loader calls live in one file per platform.
#pragma once

#include <string>

namespace fw {

// Opens a library by full path, or by bare name through the platform's safe
// search. Null on failure; *error says why.
void* OpenLibrary(const std::string& path, bool searchByName, std::string* error);
void* FindSymbol(void* library, const char* name);
void CloseLibrary(void* library);
// The folder of the module that holds this code (the library the framework
// is linked into, or a test program) as an absolute path ending in a
// separator, resolved when the module was loaded; empty when it cannot be found.
std::string OwnModuleFolder();
// Whether a path names its file without reference to the current folder.
bool IsAbsolutePath(const std::string& path);

}  // namespace fw
