#include <windows.h>

namespace fw {
// The module whose resources dialogs, strings and bitmaps load from.
void SetResourceModule(void* hinstance);
}  // namespace fw

// Only remembers the module: anything more under the loader lock risks a deadlock.
BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID /*reserved*/) {
    if (reason == DLL_PROCESS_ATTACH) fw::SetResourceModule(instance);
    return TRUE;
}
