#include <windows.h>

#include <cctype>

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
    text = slash == std::string::npos ? std::string() : text.substr(0, slash + 1);
    return IsAbsolutePath(text) ? text : std::string();
}

bool IsAbsolutePath(const std::string& path) {
    // A drive and its root ("C:\\"), or a UNC or device path ("\\\\server\\share").
    // "C:name" and "\\name" depend on the current drive's folder or the current drive.
    auto separator = [](char c) { return c == '\\' || c == '/'; };
    if (path.size() >= 3 && std::isalpha(static_cast<unsigned char>(path[0])) && path[1] == ':' &&
        separator(path[2]))
        return true;
    return path.size() >= 2 && separator(path[0]) && separator(path[1]);
}

}  // namespace fw
