// The backend of the Windows build, and the check that the framework's
// mirrored structs are the platform's.
#include "../script/environment.h"
#include "struct_sizes.h"
#include "win32_backend.h"
#include "win32_platform.h"

namespace fw {

namespace {

// Every thread has its own windows, modal loops and thread timer: its
// backend is its own too, so nothing a modal run touches is shared with
// another thread's host and no lock is held while it waits for its user.
struct ThreadBackend {
    Win32Backend* backend = nullptr;
    ~ThreadBackend();
};
// Trivially destructible, so still readable after the thread's objects are
// gone (a host calling in from a static destructor after main returned).
thread_local bool t_ended = false;
thread_local ThreadBackend t_backend;

Win32Backend* MakeBackend() {
    auto* b = new Win32Backend;
    InstallDriversFromEnvironment(*b);
    return b;
}

ThreadBackend::~ThreadBackend() {
    t_ended = true;
    delete backend;
    backend = nullptr;
}

}  // namespace

Backend& CurrentBackend() {
    if (t_ended) {
        // Lives as long as the process from here on.
        static thread_local Win32Backend* late = nullptr;
        if (!late)
            late = MakeBackend();
        return *late;
    }
    ThreadBackend& mine = t_backend;
    if (!mine.backend)
        mine.backend = MakeBackend();
    return *mine.backend;
}

#ifdef ZEVDT_CHECK_STRUCT_SIZES
static_assert(sizeof(NMHDR) == layout::kNmHdr, "NMHDR");
static_assert(sizeof(LVITEMA) == layout::kLvItemA, "LVITEMA");
static_assert(sizeof(LVCOLUMNA) == layout::kLvColumnA, "LVCOLUMNA");
static_assert(sizeof(NMLISTVIEW) == layout::kNmListView, "NMLISTVIEW");
static_assert(sizeof(TVITEMA) == layout::kTvItemA, "TVITEMA");
static_assert(sizeof(TVINSERTSTRUCTA) == layout::kTvInsertStructA, "TVINSERTSTRUCTA");
static_assert(sizeof(NMTREEVIEWA) == layout::kNmTreeViewA, "NMTREEVIEWA");
static_assert(sizeof(HELPINFO) == layout::kHelpInfo, "HELPINFO");
#endif

}  // namespace fw
