#include "database_path.h"

#include <cstdlib>

#ifdef _WIN32
#include <windows.h>
#else
#include <dlfcn.h>
#endif

namespace zevdtapi {
namespace {

// The folder of the module that holds this code, with a trailing separator;
// empty when it cannot be found (the name then resolves against the current folder).
std::string ModuleFolder() {
#ifdef _WIN32
    HMODULE module = nullptr;
    if (!GetModuleHandleExA(
            GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
            reinterpret_cast<LPCSTR>(&ModuleFolder), &module)) {
        return std::string();
    }
    char path[MAX_PATH + 1] = {0};
    DWORD n = GetModuleFileNameA(module, path, MAX_PATH);
    if (n == 0 || n >= MAX_PATH)
        return std::string();
    std::string p(path, n);
    size_t slash = p.find_last_of("\\/");
    return slash == std::string::npos ? std::string() : p.substr(0, slash + 1);
#else
    Dl_info info;
    if (!dladdr(reinterpret_cast<void*>(&ModuleFolder), &info) || !info.dli_fname)
        return std::string();
    std::string p = info.dli_fname;
    if (char* full = realpath(info.dli_fname, nullptr)) {
        p = full;
        std::free(full);
    }
    size_t slash = p.find_last_of('/');
    return slash == std::string::npos ? std::string() : p.substr(0, slash + 1);
#endif
}

}  // namespace

std::string DatabasePath() {
    const char* env = std::getenv("ZEVDTAPI_DATABASE");
    if (env && *env)
        return env;
    return ModuleFolder() + "zevdtapi.db";
}

}  // namespace zevdtapi
