#include <windows.h>

#include "win32_api.h"

// Only remembers the module: anything more under the loader lock risks a deadlock.
BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID /*reserved*/) {
    if (reason == DLL_PROCESS_ATTACH)
        fw::SetResourceModule(instance);
    return TRUE;
}
