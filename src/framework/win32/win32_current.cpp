// The backend of the Windows build, and the check that the framework's
// mirrored structs are the platform's.
#include <memory>

#include "../per_thread.h"
#include "../script/environment.h"
#include "struct_sizes.h"
#include "win32_backend.h"
#include "win32_platform.h"

namespace fw {

namespace {

Win32Backend* MakeBackend() {
    auto b = std::make_unique<Win32Backend>();
    InstallDriversFromEnvironment(*b);
    return b.release();
}

}  // namespace

// Every thread has its own windows, modal loops and thread timer: its
// backend is its own too, so nothing a modal run touches is shared with
// another thread's host and no lock is held while it waits for its user.
Backend& CurrentBackend() {
    return PerThread<Win32Backend>::Get(&MakeBackend);
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
static_assert(sizeof(NMLVDISPINFOA) == layout::kNmLvDispInfoA, "NMLVDISPINFOA");
static_assert(sizeof(NMLVFINDITEMA) == layout::kNmLvFindItemA, "NMLVFINDITEMA");
static_assert(sizeof(NMLVODSTATECHANGE) == layout::kNmLvOdStateChange, "NMLVODSTATECHANGE");
#endif

}  // namespace fw
