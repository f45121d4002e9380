#include "afxapp.h"

#include <cstdlib>

#include "backend.h"
#include "message_capture.h"

namespace {
thread_local std::string* t_lastMessage = nullptr;
}  // namespace

fw::MessageCapture::MessageCapture(std::string* last) : previous_(t_lastMessage) {
    t_lastMessage = last;
}

fw::MessageCapture::~MessageCapture() {
    t_lastMessage = previous_;
}

int AfxMessageBox(LPCTSTR text, UINT type, UINT helpId) {
    fw::Backend& b = fw::CurrentBackend();
    if (t_lastMessage) {
        // Keeping the text is a courtesy: without the memory for it, the box
        // and the caller's code still go on.
        try {
            *t_lastMessage = text ? text : "";
        } catch (...) {
            t_lastMessage->clear();
        }
    }
    return b.MessageBox(nullptr, text ? text : "", b.ApplicationName(), type, helpId);
}

int AfxMessageBox(UINT id, UINT type, UINT helpId) {
    CString text;
    text.LoadString(id);
    return AfxMessageBox(text, type, helpId == static_cast<UINT>(-1) ? id : helpId);
}

namespace {
AFX_MODULE_STATE g_libraryState = {"library"};
AFX_MODULE_STATE g_hostState = {"host"};
thread_local AFX_MODULE_STATE* g_current = &g_hostState;
}  // namespace

AFX_MODULE_STATE* AfxGetStaticModuleState() {
    return &g_libraryState;
}
AFX_MODULE_STATE* AfxGetModuleState() {
    return g_current;
}

AFX_MAINTAIN_STATE::AFX_MAINTAIN_STATE(AFX_MODULE_STATE* state) : previous_(g_current) {
    if (state)
        g_current = state;
}

AFX_MAINTAIN_STATE::~AFX_MAINTAIN_STATE() {
    g_current = previous_;
}

void AfxBeginWaitCursor() {
    fw::CurrentBackend().BeginWaitCursor();
}
void AfxEndWaitCursor() {
    fw::CurrentBackend().EndWaitCursor();
}
void AfxRestoreWaitCursor() {
    fw::CurrentBackend().RestoreWaitCursor();
}

namespace fw {
CString GetEnvironment(const char* name) {
    const char* value = std::getenv(name);
    return CString(value ? value : "");
}

intptr_t ShellOpen(const char* path) {
    return CurrentBackend().ShellOpen(path ? path : "");
}
bool HasWaitingMessage() {
    return CurrentBackend().HasWaitingMessage();
}
bool PumpMessage() {
    return CurrentBackend().PumpMessage();
}
void PostQuitMessage(int exitCode) {
    CurrentBackend().PostQuitMessage(exitCode);
}
}  // namespace fw
