// The backend of the Windows build, and the check that the framework's
// mirrored structs are the platform's.
#include "../script/environment.h"
#include "struct_sizes.h"
#include "win32_backend.h"
#include "win32_platform.h"

namespace fw {

Backend& CurrentBackend() {
    static Win32Backend* backend = [] {
        static Win32Backend instance;
        InstallDriversFromEnvironment(instance);
        return &instance;
    }();
    return *backend;
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
