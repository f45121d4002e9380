#include "host_library.h"

#include <cstdlib>

#include "zevdtu.h"

#if defined(_WIN32)
#include <windows.h>
#else
#include <dlfcn.h>
#endif

namespace zevdt {
namespace {

#if defined(_WIN32)
const char kSeparators[] = "\\/";
#else
const char kSeparators[] = "/";
#endif

std::string FolderOf(const std::string& path) {
    size_t slash = path.find_last_of(kSeparators);
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

}  // namespace

std::string CodeText(std::uint32_t code) {
    char buffer[512] = {0};
#if defined(_WIN32)
    // The texts are resources of the library module; a host loads them from there.
    HMODULE module = GetModuleHandleA("ZEVDTU.dll");
    if (!module || LoadStringA(module, code, buffer, sizeof buffer) <= 0) {
        return std::string();
    }
#else
    // Looked up at run time so that a library without the function still
    // gives the number of every code.
    using LoadString = std::uint32_t(ZEVDT_CALL*)(std::uint32_t, char*, std::uint32_t);
    auto load = reinterpret_cast<LoadString>(dlsym(RTLD_DEFAULT, "ZevDTLoadString"));
    if (!load || load(code, buffer, sizeof buffer) == 0) {
        return std::string();
    }
#endif
    buffer[sizeof buffer - 1] = '\0';
    return buffer;
}

std::string LastMessage(void* handle) {
#if defined(_WIN32)
    (void)handle;
    return std::string();
#else
    char buffer[1024] = {0};
    using GetLastMessage = std::uint32_t(ZEVDT_CALL*)(void*, char*, std::uint32_t);
    auto get = reinterpret_cast<GetLastMessage>(dlsym(RTLD_DEFAULT, "ZevDTGetLastMessage"));
    if (!get || !handle || get(handle, buffer, sizeof buffer) == 0) {
        return std::string();
    }
    buffer[sizeof buffer - 1] = '\0';
    return buffer;
#endif
}

bool DialogsAreSeen() {
#if defined(_WIN32)
    return true;
#else
    return false;
#endif
}

std::string DescribeCode(std::uint32_t code, const std::string& lastMessage) {
    std::string text = CodeText(code);
    // A text with a count in it ("[%d]") was shown with the count in the
    // library's message box; the host does not know the number, so it says
    // what the number was rather than printing the placeholder.
    size_t placeholder = text.find("[%d]");
    if (placeholder != std::string::npos) {
        text.replace(placeholder, 4, "the requested number of");
    }
    if (!text.empty()) {
        return "code " + std::to_string(code) + ": " + text;
    }
    if (code >= 2000000 && !lastMessage.empty()) {
        return "code " + std::to_string(code) + ": " + lastMessage;
    }
    if (code >= 2000000) {
        return "code " + std::to_string(code) +
               (DialogsAreSeen() ? " (a status of the data-transfer library; its text was shown "
                                   "in the library's message box)"
                                 : " (a status of the data-transfer library; its text is in the UI "
                                   "transcript, and on standard error with ZEVDT_DIAGNOSTICS=1)");
    }
    return "code " + std::to_string(code);
}

std::string LibraryFolder() {
#if defined(_WIN32)
    HMODULE module = GetModuleHandleA("ZEVDTU.dll");
    char path[MAX_PATH] = {0};
    DWORD length = module ? GetModuleFileNameA(module, path, MAX_PATH) : 0;
    if (length == 0 || length >= MAX_PATH) {
        return std::string();
    }
    return FolderOf(path);
#else
    Dl_info info{};
    if (!dladdr(reinterpret_cast<void*>(&ZevDTInit), &info) || !info.dli_fname) {
        return std::string();
    }
    return FolderOf(info.dli_fname);
#endif
}

std::string DefaultDatabasePath() {
    const char* database = std::getenv("ZEVDTAPI_DATABASE");
    if (database && *database) {
        return database;
    }
    const char* library = std::getenv("ZEVDTAPI_LIBRARY");
    std::string folder = library && *library ? FolderOf(library) : LibraryFolder();
    return folder + "zevdtapi.db";
}

bool SetEnvironment(const std::string& name, const std::string& value) {
#if defined(_WIN32)
    return _putenv_s(name.c_str(), value.c_str()) == 0;
#else
    return setenv(name.c_str(), value.c_str(), 1) == 0;
#endif
}

}  // namespace zevdt
