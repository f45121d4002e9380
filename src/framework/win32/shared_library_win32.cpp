#include <windows.h>

#include "../shared_library.h"

namespace fw {
namespace {

std::string LastErrorText(const std::string& path) {
    return path + " cannot be loaded (error " + std::to_string(GetLastError()) + ")";
}

// The application's folder, System32 and folders added with AddDllDirectory:
// never the current directory, which a document's folder may have become.
HMODULE LoadFromSafeFolders(const char* name) {
    HMODULE module = LoadLibraryExA(name, nullptr, LOAD_LIBRARY_SEARCH_DEFAULT_DIRS);
    if (module || GetLastError() != ERROR_INVALID_PARAMETER)
        return module;
    // Systems without the search flags: take the current directory out of the
    // search for this one call, then give the host its own setting back.
    char previous[MAX_PATH + 1] = {};
    DWORD kept = GetDllDirectoryA(sizeof previous, previous);
    bool restore = kept > 0 && kept < sizeof previous;
    SetDllDirectoryA("");
    module = LoadLibraryA(name);
    DWORD loadError = GetLastError();
    SetDllDirectoryA(restore ? previous : nullptr);
    SetLastError(loadError);
    return module;
}

}  // namespace

void* OpenLibrary(const std::string& path, bool searchByName, std::string* error) {
    HMODULE module = searchByName ? LoadFromSafeFolders(path.c_str())
                                  // A full path: its own dependencies are looked for beside it.
                                  : LoadLibraryExA(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
    if (!module && error)
        *error = LastErrorText(path);
    return reinterpret_cast<void*>(module);
}

void* FindSymbol(void* library, const char* name) {
    return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(library), name));
}

void CloseLibrary(void* library) {
    FreeLibrary(static_cast<HMODULE>(library));
}

std::string OwnModuleFolder() {
    HMODULE self = nullptr;
    if (!GetModuleHandleExA(
            GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
            reinterpret_cast<LPCSTR>(&OwnModuleFolder), &self))
        return {};
    char path[MAX_PATH + 1] = {};
    DWORD length = GetModuleFileNameA(self, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return {};
    std::string text(path, length);
    size_t slash = text.find_last_of("\\/");
    return slash == std::string::npos ? std::string() : text.substr(0, slash + 1);
}

}  // namespace fw
