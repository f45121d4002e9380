// Property sheets through comctl32. The sheet window is the platform's; we
// learn its handle from the first of its callback and its first page's
// WM_INITDIALOG, and give it to the sheet's sink for the length of the run.
#include <vector>

#include "../scope_exit.h"
#include "../transcript_lines.h"
#include "win32_dialog_proc.h"

namespace fw {

namespace {
// Framework results.
constexpr intptr_t kResultFinish = ID_WIZFINISH;
constexpr intptr_t kResultCancel = IDCANCEL;
}  // namespace

struct SheetRunState {
    const SheetRun* run = nullptr;
    Hwnd sheet = nullptr;
    SheetRunState* outer = nullptr;
};

namespace {
int CALLBACK SheetCallback(HWND hwnd, UINT msg, LPARAM) {
    if (msg == PSCB_INITIALIZED)
        if (Win32Backend* b = win32::GetBackend()) {
            try {
                b->SheetStarted(reinterpret_cast<Hwnd>(hwnd));
            } catch (...) {
                b->AbandonRun(std::current_exception());
            }
        }
    return 0;
}
}  // namespace

void Win32Backend::SheetStarted(Hwnd sheet) {
    SheetRunState* state = sheetRun_;
    if (!state || state->sheet || !sheet)
        return;
    state->sheet = sheet;
    // The run knows its window first: what follows may fail, and a failed
    // run is ended through it.
    for (auto it = frames_.rbegin(); it != frames_.rend(); ++it)
        if (it->kind == WindowKind::Sheet && !it->hwnd) {
            it->hwnd = sheet;
            break;
        }
    EndAbandonedRun();
    // The sink hears only what the backend passes on (a message box's help
    // request): the sheet's window procedure is the platform's.
    Register(sheet, {0, WindowKind::Sheet, state->run->sheetSink});
    Note(transcript::SheetOpened(state->run->caption));
    if (state->run->sheetSink)
        state->run->sheetSink->AttachWindow(sheet);
}

intptr_t Win32Backend::RunPropertySheet(const SheetRun& run) {
    RethrowPending();
    if (run.pages.empty())
        return -1;
    std::vector<win32::PageContext> contexts;
    contexts.reserve(run.pages.size());
    std::vector<HPROPSHEETPAGE> pages;
    for (const SheetPage& p : run.pages) {
        contexts.push_back({p.sink, p.templateId});
        PROPSHEETPAGEA psp{};
        psp.dwSize = sizeof psp;
        // The title is the template's caption.
        psp.dwFlags = PSP_DEFAULT | (p.hasHelp ? PSP_HASHELP : 0);
        psp.hInstance = win32::Module();
        psp.pszTemplate = MAKEINTRESOURCEA(p.templateId);
        psp.pfnDlgProc = &win32::PageProc;
        psp.lParam = reinterpret_cast<LPARAM>(&contexts.back());
        HPROPSHEETPAGE page = ::CreatePropertySheetPageA(&psp);
        if (!page) {
            for (HPROPSHEETPAGE made : pages) ::DestroyPropertySheetPage(made);
            return -1;
        }
        pages.push_back(page);
    }

    PROPSHEETHEADERA psh{};
    psh.dwSize = sizeof psh;
    psh.dwFlags = PSH_USECALLBACK | (run.flags & (PSH_WIZARD | PSH_HASHELP | PSH_NOAPPLYNOW));
    // A modal sheet disables its owner for the run.
    psh.hwndParent = reinterpret_cast<HWND>(OwnerFor(run.parent));
    psh.hInstance = win32::Module();
    psh.pszCaption = run.caption.c_str();
    psh.nPages = static_cast<UINT>(pages.size());
    psh.nStartPage = run.startPage < pages.size() ? run.startPage : 0;
    psh.phpage = pages.data();
    psh.pfnCallback = &SheetCallback;

    SheetRunState state;
    state.run = &run;
    state.outer = sheetRun_;
    sheetRun_ = &state;
    frames_.push_back({WindowKind::Sheet, nullptr, 0, ::GetTickCount64()});
    // The frame and the outer run come back whatever way the run is left.
    ScopeExit unstack([&] {
        frames_.pop_back();
        sheetRun_ = state.outer;
    });
    INT_PTR answer = ::PropertySheetA(&psh);
    std::exception_ptr failed = TakePending();
    unstack.Dismiss();
    frames_.pop_back();
    sheetRun_ = state.outer;

    // In wizard mode the sheet answers 1 for Finish and 0 for Cancel.
    intptr_t result = answer > 0 ? ((run.flags & PSH_WIZARD) ? kResultFinish : IDOK) : kResultCancel;
    if (state.sheet) {
        Forget(state.sheet);
        if (!failed)
            Note(transcript::SheetClosed(result));
        if (run.sheetSink)
            run.sheetSink->DetachWindow();
    }
    if (failed)
        std::rethrow_exception(failed);
    return result;
}

}  // namespace fw
