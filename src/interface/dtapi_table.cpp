#include "dtapi_table.h"

#include <cstdlib>
#include <map>
#include <memory>
#include <mutex>
#include <vector>

#include "framework/shared_library.h"

namespace zevdt {
namespace {

const DTAPITable* g_testTable = nullptr;

// Hosts may create drill-through objects on several threads at once.
std::mutex& LoadGuard() {
    static auto* guard = new std::mutex;
    return *guard;
}

// Libraries loaded so far, by the path they were asked for. Never destroyed:
// drill-through objects, and hosts that exit late, still call through them.
std::map<std::string, const DTAPITable*>& Loaded() {
    static auto* loaded = new std::map<std::string, const DTAPITable*>;
    return *loaded;
}

template <typename Fn>
bool Resolve(void* library, const char* name, Fn* slot, std::vector<std::string>* missing) {
    *slot = reinterpret_cast<Fn>(fw::FindSymbol(library, name));
    if (!*slot)
        missing->push_back(name);
    return *slot != nullptr;
}

const DTAPITable* Open(const std::string& path, bool searchByName, std::string* error) {
    auto found = Loaded().find(path);
    if (found != Loaded().end())
        return found->second;
    void* library = fw::OpenLibrary(path, searchByName, error);
    if (!library)
        return nullptr;
    auto table = std::make_unique<DTAPITable>();
    std::vector<std::string> missing;
    Resolve(library, "ZevDTAPIInit", &table->Init, &missing);
    Resolve(library, "ZevDTAPISetConnection", &table->SetConnection, &missing);
    Resolve(library, "ZevDTAPIGetInfo", &table->GetInfo, &missing);
    Resolve(library, "ZevDTAPISetInfo", &table->SetInfo, &missing);
    Resolve(library, "ZevDTAPISetInfoWithOptionOn", &table->SetInfoWithOptionOn, &missing);
    Resolve(library, "ZevDTAPIConnect", &table->Connect, &missing);
    Resolve(library, "ZevDTAPIGetReports", &table->GetReports, &missing);
    Resolve(library, "ZevDTAPIExecuteReport", &table->ExecuteReport, &missing);
    Resolve(library, "ZevDTAPIGetColumns", &table->GetColumns, &missing);
    Resolve(library, "ZevDTAPIGetData", &table->GetData, &missing);
    Resolve(library, "ZevDTAPIGetError", &table->GetError, &missing);
    Resolve(library, "ZevDTAPIServerCancel", &table->ServerCancel, &missing);
    Resolve(library, "ZevDTAPIClose", &table->Close, &missing);
    Resolve(library, "ZevDTAPIExit", &table->Exit, &missing);
    Resolve(library, "ZevDTAPIGetFilterDescConditions", &table->GetFilterDescConditions, &missing);
    Resolve(library, "ZevDTAPISetFilterDescConditions", &table->SetFilterDescConditions, &missing);
    Resolve(library, "ZevDTAPIGetFilterData", &table->GetFilterData, &missing);
    if (!missing.empty()) {
        // A library without the whole contract is not the data-transfer library.
        if (error) {
            *error = path + " lacks";
            for (const std::string& name : missing) *error += " " + name;
        }
        fw::CloseLibrary(library);
        return nullptr;
    }
    try {
        Loaded()[path] = table.get();
    } catch (...) {
        // Not kept: neither the table nor the library stays behind.
        fw::CloseLibrary(library);
        throw;
    }
    return table.release();
}

}  // namespace

const char* DTAPILibraryName() {
#ifdef _WIN32
    return "zevdtapiu.dll";
#else
    return "libzevdtapiu.so";
#endif
}

const DTAPITable* LoadDTAPI(std::string* error) {
    if (g_testTable)
        return g_testTable;
    std::string ignored;
    if (!error)
        error = &ignored;
    error->clear();
    std::lock_guard<std::mutex> lock(LoadGuard());
    if (const char* path = std::getenv("ZEVDTAPI_LIBRARY"); path && *path) {
        // A relative path would name whatever the current folder holds, and
        // that may be a document's folder. An explicit choice never falls
        // back to some other copy of the library.
        if (!fw::IsAbsolutePath(path)) {
            *error = std::string("ZEVDTAPI_LIBRARY must name a full path, not the relative \"") + path + "\"";
            return nullptr;
        }
        return Open(path, false, error);
    }
    std::string besideWhy;
    std::string folder = fw::OwnModuleFolder();
    if (!folder.empty()) {
        if (const DTAPITable* table = Open(folder + DTAPILibraryName(), false, &besideWhy))
            return table;
    } else {
        besideWhy = "the folder of ZEVDTU is not known";
    }
    std::string searchWhy;
    if (const DTAPITable* table = Open(DTAPILibraryName(), true, &searchWhy))
        return table;
    *error = "beside ZEVDTU: " + besideWhy + "; by the system's search: " + searchWhy;
    return nullptr;
}

void SetDTAPIForTesting(const DTAPITable* table) {
    g_testTable = table;
}

}  // namespace zevdt
