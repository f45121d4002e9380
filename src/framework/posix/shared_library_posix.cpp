#include <dlfcn.h>
#include <unistd.h>

#include <climits>
#include <cstdlib>
#include <vector>

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

void* Load(const std::string& path, std::string* error) {
    void* library = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!library && error) {
        const char* why = dlerror();
        *error = why ? why : path + " cannot be loaded";
    }
    return library;
}

// Where a library is looked for by name: the absolute folders of
// LD_LIBRARY_PATH, then the system's. The loader's own search by a bare name
// takes an empty or relative entry of LD_LIBRARY_PATH as the current folder
// ("/opt/x:" is what appending to an empty variable gives), and the current
// folder may be a downloaded document's.
std::vector<std::string> SearchFolders() {
    std::vector<std::string> folders;
    if (const char* list = std::getenv("LD_LIBRARY_PATH")) {
        std::string entries = list;
        for (size_t start = 0; start <= entries.size();) {
            size_t end = entries.find_first_of(":;", start);
            if (end == std::string::npos)
                end = entries.size();
            std::string entry = entries.substr(start, end - start);
            if (IsAbsolutePath(entry))
                folders.push_back(entry);
            start = end + 1;
        }
    }
    for (const char* system : {
#if defined(__x86_64__)
             "/usr/local/lib/x86_64-linux-gnu", "/lib/x86_64-linux-gnu", "/usr/lib/x86_64-linux-gnu",
#elif defined(__aarch64__)
             "/usr/local/lib/aarch64-linux-gnu", "/lib/aarch64-linux-gnu", "/usr/lib/aarch64-linux-gnu",
#elif defined(__i386__)
             "/usr/local/lib/i386-linux-gnu", "/lib/i386-linux-gnu", "/usr/lib/i386-linux-gnu",
#endif
                 "/usr/local/lib", "/lib64", "/usr/lib64", "/lib", "/usr/lib"
         })
        folders.push_back(system);
    return folders;
}

}  // namespace

void* OpenLibrary(const std::string& path, bool searchByName, std::string* error) {
    // A full path is taken as given; a name is looked for, by full paths only,
    // in the folders above: dlopen is never handed a bare name.
    if (!searchByName || path.find('/') != std::string::npos)
        return Load(path, error);
    std::string tried;
    for (const std::string& folder : SearchFolders()) {
        std::string candidate = folder + (folder.back() == '/' ? "" : "/") + path;
        if (access(candidate.c_str(), F_OK) != 0)
            continue;
        if (void* library = Load(candidate, error))
            return library;
        tried = error ? *error : tried;
    }
    if (error && tried.empty())
        *error = path + " is in no folder of LD_LIBRARY_PATH (full paths) nor of the system";
    return nullptr;
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
