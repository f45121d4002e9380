// One whole drill-through as a host performs it, in-process: ZevDTInit to
// ZevDTExit against the stand-in library and the sample warehouse, with the
// dialogs answered by a UI script installed on the calling thread only.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace drilltest {

// The drills the tests run, each a UI script and the cell it opens.
enum class Drill {
    LoginReportChoice,  // login dialog, then the report list, execute
    WizardFilter,       // customise: a filter on the city built in the wizard, then the wizard cancelled
    WizardColumns,      // customise: a column taken out in the wizard
    Cancelled,          // the report list cancelled
    // customise: a filter added under a name, its condition picked from the
    // value list, saved by Finish. Not among kAllDrills: it writes the
    // warehouse, and removes what it saved before and after it runs.
    WizardSavedFilter,
};
constexpr Drill kAllDrills[] = {Drill::LoginReportChoice, Drill::WizardFilter, Drill::WizardColumns,
                                Drill::Cancelled};
const char* DrillName(Drill drill);

// What a drill ends with: the first code that was not OK (0 when all were),
// and what the host collected.
struct Outcome {
    uint32_t code = 0;
    std::string failedCall;  // the export that gave code
    uint32_t columns = 0;
    uint32_t cells = 0;
    uint64_t checksum = 0;  // over the header names and every cell's row, column and text
    bool scriptFailed = false;
    std::string scriptError;
    std::vector<std::string> transcript;    // what the backend and the script wrote
    std::vector<std::string> savedFilters;  // the records the drill left in the warehouse
};

// Creates the sample warehouse once per process (in a temporary folder), with
// its first data source asking for a login, and points the stand-in at it.
// libraryPath is the stand-in's file. Call before any thread starts.
void PrepareWarehouse(const std::string& libraryPath);
// The warehouse file, to check that nothing wrote to it.
const std::string& WarehousePath();

// Called just before ZevDTInit and just after ZevDTExit (a fault injector's
// window: the script and its driver are made before, checks come after).
struct Hooks {
    void (*begin)(void* context) = nullptr;
    void (*end)(void* context) = nullptr;
    void* context = nullptr;
};

// Runs one drill on the calling thread. Every export is called whatever the
// one before answered, as a careless host would; the first failure is kept.
Outcome RunDrill(Drill drill, const Hooks& hooks = Hooks());

}  // namespace drilltest
