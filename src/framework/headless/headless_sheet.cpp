// Property sheets in wizard mode, in the order Win32 follows: Next sends
// PSN_WIZNEXT, then PSN_KILLACTIVE, then the new page's WM_INITDIALOG (first
// visit only) and PSN_SETACTIVE; Cancel sends PSN_QUERYCANCEL, then PSN_RESET
// to every page created so far. The platform sends PSN_WIZBACK and PSN_WIZNEXT
// even for a disabled button: pages check the buttons themselves.
#include <iterator>

#include "../scope_exit.h"
#include "../transcript_lines.h"
#include "headless_backend.h"

namespace fw {
namespace headless {

namespace {
Window* Child(Window* w, int id) {
    for (Window* c : w->children)
        if (c->kind == WindowKind::Control && c->id == id)
            return c;
    return nullptr;
}
}  // namespace

intptr_t HeadlessBackend::RunPropertySheet(const SheetRun& run) {
    if (run.pages.empty())
        return -1;
    Window* owner = OwnerFor(W(run.parent));
    Window* sheet = NewWindow(WindowKind::Sheet, "#32770", owner);
    // Every way out takes the sheet and its pages away and tells the sheet's
    // object, a failed allocation in a page's handler too.
    bool attached = false;
    ScopeExit gone([&] {
        Destroy(sheet);
        if (attached) {
            try {
                run.sheetSink->DetachWindow();
            } catch (...) {
            }
        }
    });
    sheet->text = run.caption;
    sheet->style = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_VISIBLE;
    sheet->sheet = std::make_unique<SheetState>();
    sheet->sheet->run = run;
    sheet->sheet->pages.assign(run.pages.size(), nullptr);
    bool wizard = (run.flags & PSH_WIZARD) != 0;
    sheet->defId = wizard ? ID_WIZNEXT : IDOK;
    struct ButtonDef {
        int id;
        const char* text;
        bool visible;
    };
    static const ButtonDef kWizardButtons[] = {{ID_WIZBACK, "< &Back", true},
                                               {ID_WIZNEXT, "&Next >", true},
                                               {ID_WIZFINISH, "Finish", false},
                                               {IDCANCEL, "Cancel", true},
                                               {IDHELP, "&Help", true}};
    static const ButtonDef kSheetButtons[] = {
        {IDOK, "OK", true}, {IDCANCEL, "Cancel", true}, {IDHELP, "&Help", true}};
    const ButtonDef* first = wizard ? kWizardButtons : kSheetButtons;
    const ButtonDef* last = wizard ? std::end(kWizardButtons) : std::end(kSheetButtons);
    for (const ButtonDef* def = first; def != last; ++def) {
        if (def->id == IDHELP && !(run.flags & PSH_HASHELP))
            continue;
        Window* b = NewWindow(WindowKind::Control, "Button", sheet);
        b->id = def->id;
        b->text = def->text;
        b->style = WS_CHILD | WS_TABSTOP | (def->visible ? WS_VISIBLE : 0u) |
                   (def->id == sheet->defId ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON);
    }
    Note(transcript::SheetOpened(run.caption));
    if (run.sheetSink) {
        run.sheetSink->AttachWindow(H(sheet));
        attached = true;
    }
    unsigned start = run.startPage < run.pages.size() ? run.startPage : 0;
    SheetShowPage(sheet, static_cast<int>(start));
    intptr_t result = live_.count(sheet) ? RunModal(sheet, owner) : IDCANCEL;
    if (result != ID_WIZFINISH && result != IDOK)
        result = IDCANCEL;
    Note(transcript::SheetClosed(result));
    if (live_.count(sheet)) {
        for (Window* page : sheet->sheet->pages)
            if (page)
                Destroy(page);
    }
    return result;
}

void HeadlessBackend::SheetShowPage(Window* sheet, int index) {
    SheetState& s = *sheet->sheet;
    if (index < 0 || index >= static_cast<int>(s.pages.size()))
        return;
    const SheetPage& pageDef = s.run.pages[static_cast<size_t>(index)];
    Window*& page = s.pages[static_cast<size_t>(index)];
    if (!page) {
        page = CreateFromTemplate(pageDef.templateId, sheet, WindowKind::Page, pageDef.sink);
        if (!page)
            return;
        page->style &= ~WS_VISIBLE;
        Note(transcript::PageShown(pageDef.templateId, page->text));
        if (pageDef.sink)
            Deliver(page, WM_INITDIALOG, 0, 0);
    }
    if (s.current >= 0 && s.pages[static_cast<size_t>(s.current)]) {
        // A page that hides with the focus inside hands it to the sheet.
        Window* old = s.pages[static_cast<size_t>(s.current)];
        if (sheet->focus && sheet->focus->parent == old)
            SetFocusTo(sheet, nullptr);
        if (!live_.count(sheet) || !live_.count(old))
            return;
        old->style &= ~WS_VISIBLE;
    }
    s.current = index;
    page->style |= WS_VISIBLE;
    // A wizard's title bar shows the caption of the page it shows.
    if (s.run.flags & PSH_WIZARD)
        sheet->text = page->text;
    if (Window* help = Child(sheet, IDHELP)) {
        if (pageDef.hasHelp)
            help->style &= ~WS_DISABLED;
        else
            help->style |= WS_DISABLED;
    }
    Notify(page, sheet, PSN_SETACTIVE);
    // The new page starts with the focus on its first control.
    if (live_.count(sheet) && live_.count(page))
        FocusFirst(sheet);
}

void HeadlessBackend::SheetSetButtons(Window* sheet, uint32_t flags) {
    Window* back = Child(sheet, ID_WIZBACK);
    Window* next = Child(sheet, ID_WIZNEXT);
    Window* finish = Child(sheet, ID_WIZFINISH);
    if (!back || !next || !finish)
        return;
    auto set = [](Window* b, bool visible, bool enabled) {
        b->style = (b->style & ~(WS_VISIBLE | WS_DISABLED)) | (visible ? WS_VISIBLE : 0u) |
                   (enabled ? 0u : WS_DISABLED);
    };
    set(back, true, (flags & PSWIZB_BACK) != 0);
    if (flags & (PSWIZB_FINISH | PSWIZB_DISABLEDFINISH)) {
        // Finish takes the place of Next.
        set(next, false, false);
        set(finish, true, (flags & PSWIZB_FINISH) != 0);
    } else {
        set(next, true, (flags & PSWIZB_NEXT) != 0);
        set(finish, false, false);
    }
    // The platform moves the default to a button the flags enable: Finish,
    // else Next, else Back, else Cancel.
    int def = (flags & PSWIZB_FINISH) ? ID_WIZFINISH
              : (flags & PSWIZB_NEXT) ? ID_WIZNEXT
              : (flags & PSWIZB_BACK) ? ID_WIZBACK
                                      : IDCANCEL;
    Deliver(sheet, DM_SETDEFID, static_cast<uintptr_t>(def), 0);
}

void HeadlessBackend::SheetEnd(Window* sheet, intptr_t result) {
    sheet->ended = true;
    sheet->result = result;
}

void HeadlessBackend::SheetPress(Window* sheet, int button) {
    SheetState& s = *sheet->sheet;
    Window* page = s.current >= 0 ? s.pages[static_cast<size_t>(s.current)] : nullptr;
    if (!page)
        return;
    switch (button) {
        case PSBTN_BACK:
        case PSBTN_NEXT: {
            bool forward = button == PSBTN_NEXT;
            intptr_t r = Notify(page, sheet, forward ? PSN_WIZNEXT : PSN_WIZBACK);
            if (r == -1 || !live_.count(page))
                return;
            int target = s.current + (forward ? 1 : -1);
            if (r != 0)  // a page may name the template of the page to go to
                for (size_t i = 0; i < s.run.pages.size(); ++i)
                    if (static_cast<intptr_t>(s.run.pages[i].templateId) == r)
                        target = static_cast<int>(i);
            if (target < 0 || target >= static_cast<int>(s.pages.size()))
                return;
            if (Notify(page, sheet, PSN_KILLACTIVE) != 0)
                return;
            SheetShowPage(sheet, target);
            return;
        }
        case PSBTN_FINISH:
        case PSBTN_OK: {
            if (Notify(page, sheet, button == PSBTN_FINISH ? PSN_WIZFINISH : PSN_KILLACTIVE) != 0)
                return;
            SheetEnd(sheet, button == PSBTN_FINISH ? ID_WIZFINISH : IDOK);
            return;
        }
        case PSBTN_CANCEL: {
            if (Notify(page, sheet, PSN_QUERYCANCEL) != 0)
                return;
            for (Window* p : s.pages)
                if (p && live_.count(p))
                    Notify(p, sheet, PSN_RESET);
            SheetEnd(sheet, IDCANCEL);
            return;
        }
        case PSBTN_HELP:
            Notify(page, sheet, PSN_HELP);
            return;
        default:
            return;
    }
}

intptr_t HeadlessBackend::SheetMessage(Window* sheet, uint32_t msg, uintptr_t wParam, intptr_t lParam,
                                       bool* handled) {
    *handled = true;
    SheetState& s = *sheet->sheet;
    switch (msg) {
        case PSM_SETWIZBUTTONS:
            SheetSetButtons(sheet, static_cast<uint32_t>(lParam));
            return 0;
        case PSM_PRESSBUTTON:
            SheetPress(sheet, static_cast<int>(wParam));
            return 0;
        case PSM_GETCURRENTPAGEHWND:
            return s.current >= 0 ? reinterpret_cast<intptr_t>(s.pages[static_cast<size_t>(s.current)]) : 0;
        case WM_COMMAND: {
            // The sheet's own buttons, clicked.
            switch (LOWORD(wParam)) {
                case ID_WIZBACK:
                    SheetPress(sheet, PSBTN_BACK);
                    return 0;
                case ID_WIZNEXT:
                    SheetPress(sheet, PSBTN_NEXT);
                    return 0;
                case ID_WIZFINISH:
                    SheetPress(sheet, PSBTN_FINISH);
                    return 0;
                case IDOK:
                    SheetPress(sheet, PSBTN_OK);
                    return 0;
                case IDCANCEL:
                    SheetPress(sheet, PSBTN_CANCEL);
                    return 0;
                case IDHELP:
                    SheetPress(sheet, PSBTN_HELP);
                    return 0;
                default:
                    break;
            }
            *handled = false;
            return 0;
        }
        default:
            *handled = false;
            return 0;
    }
}

}  // namespace headless
}  // namespace fw
