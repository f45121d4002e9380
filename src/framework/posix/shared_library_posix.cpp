#include <dlfcn.h>

#include "../shared_library.h"

namespace fw {

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
    Dl_info info{};
    if (!dladdr(reinterpret_cast<void*>(&OwnModuleFolder), &info) || !info.dli_fname)
        return {};
    std::string path = info.dli_fname;
    size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

}  // namespace fw
