// What the Win32 backend offers beyond the backend seam: the module whose
// resources it loads (DllMain hands it the DLL's handle) and the busy
// cursor's depth and the thread's windows for tests. No platform header: any code may include it.
#pragma once

namespace fw {
// The module whose dialogs, strings and bitmaps are loaded. Until it is set,
// the module that contains the framework's code (the DLL, or a test program
// that links the framework statically).
void SetResourceModule(void* hinstance);
void* ResourceModule();
// How many Begin calls of the busy cursor are still open.
int Win32WaitCursorDepth();
// How many top-level windows the calling thread has: a dialog, sheet or box
// that outlived its modal run is still among them.
unsigned Win32ThreadWindowCount();
}  // namespace fw
