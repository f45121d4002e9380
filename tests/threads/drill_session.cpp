#include "drill_session.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "framework/script/script_driver.h"
#include "framework/script/test_driver.h"
#include "sample_warehouse.h"
#include "sqlite3.h"
#include "support/drill_scripts.h"
#include "support/sqlite_rows.h"
#include "zevdtu.h"

namespace drilltest {
namespace {

std::string g_warehouse;

std::string Script(Drill drill) {
    using namespace drillscripts;
    switch (drill) {
        case Drill::LoginReportChoice:
            return kLogin + kPickSalesDetail;
        case Drill::WizardFilter:
            // The wizard cancelled after the filter is built: nothing is saved,
            // so drills do not depend on each other's order.
            return kLogin + kFilterOnCity +
                   "press cancel\n"
                   "window 138\n"
                   "click 2\n";
        case Drill::WizardColumns:
            return kLogin + kCustomize;
        case Drill::Cancelled:
            return kLogin +
                   "window 138\n"
                   "click 2\n";
        case Drill::WizardSavedFilter:
            return kLogin + kSavedFilterFromPicker;
    }
    return "";
}

uint64_t Mix(uint64_t h, const char* text) {
    for (; *text; ++text) h = (h ^ static_cast<unsigned char>(*text)) * 1099511628211ull;
    return (h ^ 0xff) * 1099511628211ull;
}
uint64_t Mix(uint64_t h, uint32_t n) {
    for (int i = 0; i < 4; ++i, n >>= 8) h = (h ^ (n & 0xff)) * 1099511628211ull;
    return h;
}

// Allocates nothing of its own, so that every allocation a fault injector
// counts is the library's.
template <typename Note>
void Exports(Outcome& out, Note note) {
    void* handle = nullptr;
    if (!note(ZevDTInit(1, &handle), "ZevDTInit"))
        return;
    char members[][24] = {"Year=2024\n", "Region=East\n", "Category=Beverages\n"};
    char* memberList[] = {members[0], members[1], members[2], nullptr};
    if (note(ZevDTOpen(handle, 3, memberList, 1), "ZevDTOpen")) {
        ZevDTHeaderItem* header = nullptr;
        ZevDTHeaderInfoItem* info = nullptr;
        ZevDTDataItem* data = nullptr;
        uint32_t count = 0;
        if (note(ZevDTGetHeader(handle, &header, &count), "ZevDTGetHeader")) {
            out.columns = count;
            for (uint32_t i = 0; i < count; ++i) out.checksum = Mix(out.checksum, header[i].name);
        }
        note(ZevDTGetHeaderInfo(handle, &info, &count), "ZevDTGetHeaderInfo");
        if (note(ZevDTGetData(handle, &data, &count), "ZevDTGetData")) {
            out.cells = count;
            for (uint32_t i = 0; i < count; ++i) {
                out.checksum = Mix(out.checksum, data[i].row);
                out.checksum = Mix(out.checksum, data[i].column);
                out.checksum = Mix(out.checksum, data[i].text);
            }
        }
        note(ZevDTClose(handle), "ZevDTClose");
    }
    note(ZevDTExit(handle), "ZevDTExit");
}

// Reads, then removes, the filters saved with the warehouse's reports, so
// that every drill starts from none whatever ran before it.
std::vector<std::string> TakeSavedFilters() {
    std::vector<std::string> records;
    for (const auto& row : testsupport::SqliteRows(g_warehouse,
                                                   "SELECT record FROM dt_saved_filter ORDER BY "
                                                   "report_id, position; DELETE FROM dt_saved_filter"))
        records.push_back(row[0]);
    return records;
}

}  // namespace

const char* DrillName(Drill drill) {
    // In the order of the enumeration.
    static const char* const kNames[] = {"login-report-choice", "wizard-filter", "wizard-columns",
                                         "cancelled", "wizard-saved-filter"};
    return kNames[static_cast<size_t>(drill)];
}

void PrepareWarehouse(const std::string& libraryPath) {
    if (!g_warehouse.empty())
        return;
    namespace fs = std::filesystem;
    const fs::path folder =
        fs::temp_directory_path() /
        ("zevdt-drills-" + std::to_string(std::chrono::steady_clock::now().time_since_epoch().count()));
    std::error_code made;
    if (!fs::create_directories(folder, made))
        std::abort();
    std::string path = (folder / "warehouse.db").string();
    std::string error;
    if (!zevdtapi::CreateSampleWarehouse(path, &error)) {
        std::fprintf(stderr, "sample warehouse: %s\n", error.c_str());
        std::abort();
    }
    sqlite3* db = nullptr;
    if (sqlite3_open(path.c_str(), &db) != SQLITE_OK ||
        sqlite3_exec(db, "UPDATE dt_data_source SET login_flags = 2 WHERE name = 'SalesDW'", nullptr, nullptr,
                     nullptr) != SQLITE_OK) {
        std::fprintf(stderr, "sample warehouse: %s\n", sqlite3_errmsg(db));
        std::abort();
    }
    sqlite3_close(db);
#ifdef _WIN32
    // The build names the library by its host path, which Windows does not
    // take as absolute: it lies beside the program, in the platform's own form.
    std::string program = _pgmptr ? _pgmptr : "";
    std::string library =
        program.substr(0, program.find_last_of("\\/") + 1) + fs::path(libraryPath).filename().string();
    _putenv_s("ZEVDTAPI_DATABASE", path.c_str());
    _putenv_s("ZEVDTAPI_LIBRARY", library.c_str());
#else
    setenv("ZEVDTAPI_DATABASE", path.c_str(), 1);
    setenv("ZEVDTAPI_LIBRARY", libraryPath.c_str(), 1);
#endif
    g_warehouse = path;
}

const std::string& WarehousePath() {
    return g_warehouse;
}

Outcome RunDrill(Drill drill, const Hooks& hooks) {
    Outcome out;
    std::vector<fw::ScriptLine> lines;
    std::string error;
    fw::ParseScript(Script(drill), &lines, &error);
    fw::ScriptDriver driver(lines, DrillName(drill));
    driver.SetErrorSink([](const std::string&) {});
    fw::MemoryTranscript transcript;
    driver.SetTranscript(&transcript);
    fw::ScopedDriver scope(&driver, &transcript);

    auto note = [&out](uint32_t code, const char* call) {
        if (code != ZEVDT_OK && out.code == ZEVDT_OK) {
            out.code = code;
            out.failedCall = call;
        }
        return code == ZEVDT_OK;
    };
    out.failedCall.reserve(32);
    const bool saves = drill == Drill::WizardSavedFilter;
    if (saves)
        TakeSavedFilters();
    if (hooks.begin)
        hooks.begin(hooks.context);
    Exports(out, note);
    if (hooks.end)
        hooks.end(hooks.context);
    out.scriptFailed = driver.Failed();
    out.scriptError = driver.Error();
    out.transcript = transcript.lines;
    if (saves)
        out.savedFilters = TakeSavedFilters();
    return out;
}

}  // namespace drilltest
