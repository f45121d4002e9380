#include <dlfcn.h>

#include <climits>
#include <cstdlib>

#include "../shared_library.h"

namespace fw {
namespace {

// The folder of the module holding this code, as an absolute path. The
// loader may have been given a relative path, which names another folder as
// soon as the host changes its current one: resolve it while the module is
// being loaded, before any host code runs.
std::string ResolveOwnFolder() {
    Dl_info info{};
    if (!dladdr(reinterpret_cast<void*>(&ResolveOwnFolder), &info) || !info.dli_fname)
        return {};
    char resolved[PATH_MAX];
    if (!realpath(info.dli_fname, resolved))
        return {};
    std::string path = resolved;
    size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

const std::string& LoadTimeFolder() {
    static const std::string folder = ResolveOwnFolder();
    return folder;
}

[[maybe_unused]] const bool g_folderResolved = !LoadTimeFolder().empty();

}  // namespace

void* OpenLibrary(const std::string& path, bool /*searchByName*/, std::string* error) {
    // A bare name goes through the dynamic loader's own search; a full path is taken as given.
    void* library = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!library && error) {
        const char* why = dlerror();
        *error = why ? why : path + " cannot be loaded";
    }
    return library;
}

void* FindSymbol(void* library, const char* name) {
    return dlsym(library, name);
}

void CloseLibrary(void* library) {
    dlclose(library);
}

std::string OwnModuleFolder() {
    return LoadTimeFolder();
}

bool IsAbsolutePath(const std::string& path) {
    return !path.empty() && path[0] == '/';
}

}  // namespace fw
