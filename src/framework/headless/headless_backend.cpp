#include "headless_backend.h"

#include <errno.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstdlib>
#include <memory>

#include "../resfile/embedded.h"
#include "../script/default_action.h"
#include "../scope_exit.h"
#include "../shell_hook.h"
#include "../transcript_lines.h"

namespace fw {
namespace headless {

namespace {
// A modal loop that neither the driver nor the default action ends within
// this many idle turns is ended by force: a test must fail, not hang.
constexpr int kWatchdogTurns = 2000;
}  // namespace

HeadlessBackend::HeadlessBackend() {
    ResourceBlob sys = SystemResources();
    ResourceBlob frame = FrameworkResources();
    resources_.Parse(sys.data, sys.size);
    resources_.Merge(frame.data, frame.size);
}

HeadlessBackend::~HeadlessBackend() {
    // Windows left behind by a crashed test are dropped without notifying anyone.
    for (Window* w : live_) delete w;
    for (void* b : bitmaps_) delete static_cast<char*>(b);
}

Window* HeadlessBackend::W(Hwnd h) const {
    Window* w = reinterpret_cast<Window*>(h);
    return live_.count(w) ? w : nullptr;
}

void HeadlessBackend::Note(const std::string& line) {
    if (transcript_)
        transcript_->Line(line);
}

bool HeadlessBackend::LoadString(unsigned id, std::string* text) {
    std::string found;
    bool ok = resources_.FindString(id, &found);
    if (text)
        *text = ok ? found : std::string();
    return ok;
}

Window* HeadlessBackend::NewWindow(WindowKind kind, const std::string& cls, Window* parent) {
    // Entered in the tables only once it is whole, and in both or neither:
    // a failed allocation leaves no handle to a window that is not there.
    std::unique_ptr<Window> w = std::make_unique<Window>();
    w->kind = kind;
    w->cls = cls;
    w->parent = parent;
    bool child = parent && (kind == WindowKind::Control || kind == WindowKind::Page);
    if (child)
        parent->children.reserve(parent->children.size() + 1);
    live_.insert(w.get());
    if (child)
        parent->children.push_back(w.get());
    return w.release();
}

Window* HeadlessBackend::CreateFromTemplate(unsigned templateId, Window* parent, WindowKind kind,
                                            WindowSink* sink) {
    const DialogTemplate* t = resources_.FindDialog(templateId);
    if (!t)
        return nullptr;
    Window* w = NewWindow(kind, "#32770", parent);
    // Until the sink is attached nobody knows the window: a failure while
    // its controls are made takes it away again without a message.
    ScopeExit unmade([&] { Destroy(w); });
    w->templateId = templateId;
    w->text = t->caption;
    w->style = t->style;
    w->exStyle = t->exStyle;
    for (const ControlTemplate& c : t->controls) {
        Window* child = NewWindow(WindowKind::Control, c.windowClass, w);
        child->id = c.id;
        child->text = c.text;
        child->style = c.style;
        child->exStyle = c.exStyle;
        // Dialog units of "MS Sans Serif" 8 at 96 dpi (base units 6 x 13), less a one-pixel border.
        int border = (c.style & WS_BORDER) ? 2 : 0;
        child->clientWidth = std::max(0, c.cx * 6 / 4 - border);
        child->clientHeight = std::max(0, c.cy * 13 / 8 - border);
    }
    unmade.Dismiss();
    // The sink learns of the window first; only then does the window know it.
    if (sink) {
        sink->AttachWindow(H(w));
        w->sink = sink;
    }
    return w;
}

void HeadlessBackend::Destroy(Window* w) noexcept {
    if (!live_.count(w))
        return;
    // It runs on the way out of failed runs as well: what a handler throws
    // while its window goes cannot stop the window from going.
    auto tell = [w](uint32_t msg) {
        try {
            bool handled = false;
            w->sink->HandleMessage(msg, 0, 0, &handled);
        } catch (...) {
        }
    };
    // A window going away takes the focus from the control inside it first,
    // as on the platform; the control's window hears of it while it exists.
    if (w->focus && live_.count(w->focus) && w->focus->cls == "Edit") {
        Window* had = w->focus;
        w->focus = nullptr;
        try {
            Command(had, EN_KILLFOCUS);
        } catch (...) {
        }
        if (!live_.count(w))
            return;
    }
    if (w->sink)
        tell(WM_DESTROY);
    // Each child takes itself out of the list (no copy: that could fail).
    while (!w->children.empty()) {
        Window* c = w->children.back();
        if (live_.count(c))
            Destroy(c);
        if (!w->children.empty() && w->children.back() == c)
            w->children.pop_back();
    }
    if (w->parent && live_.count(w->parent)) {
        auto& siblings = w->parent->children;
        siblings.erase(std::remove(siblings.begin(), siblings.end(), w), siblings.end());
    }
    live_.erase(w);
    modeless_.erase(std::remove(modeless_.begin(), modeless_.end(), w), modeless_.end());
    for (Window* top : modal_)
        if (top->focus == w)
            top->focus = nullptr;
    posted_.erase(
        std::remove_if(posted_.begin(), posted_.end(), [w](const Posted& p) { return p.target == w; }),
        posted_.end());
    if (w->sink) {
        tell(WM_NCDESTROY);
        try {
            w->sink->DetachWindow();
        } catch (...) {
        }
    }
    delete w;
}

intptr_t HeadlessBackend::Deliver(Window* w, uint32_t msg, uintptr_t wParam, intptr_t lParam) {
    if (!w)
        return 0;
    bool handled = false;
    intptr_t result = 0;
    if (w->kind == WindowKind::Sheet) {
        result = SheetMessage(w, msg, wParam, lParam, &handled);
        if (handled)
            return result;
    }
    if (w->sink) {
        result = w->sink->HandleMessage(msg, wParam, lParam, &handled);
        if (handled || !live_.count(w))
            return result;
    }
    if (w->kind == WindowKind::MessageBox && msg == WM_COMMAND) {
        int id = LOWORD(wParam);
        Window* button = W(GetDlgItem(H(w), id));
        // Esc closes a box that only has OK, with OK.
        if (!button && id == IDCANCEL && w->children.size() == 2 && W(GetDlgItem(H(w), IDOK))) {
            id = IDOK;
            button = w;
        }
        if (button) {
            w->ended = true;
            w->result = id;
        }
        return 0;
    }
    if (w->kind == WindowKind::Control) {
        result = ControlMessage(w, msg, wParam, lParam, &handled);
        if (handled)
            return result;
    } else {
        result = DialogManagerMessage(w, msg, wParam, lParam, &handled);
        if (handled)
            return result;
    }
    switch (msg) {
        case WM_SETTEXT:
            SetWindowText(H(w),
                          reinterpret_cast<const char*>(lParam) ? reinterpret_cast<const char*>(lParam) : "");
            return TRUE;
        case WM_GETTEXTLENGTH:
            return static_cast<intptr_t>(w->text.size());
        case WM_GETTEXT: {
            char* buf = reinterpret_cast<char*>(lParam);
            size_t cap = static_cast<size_t>(wParam);
            if (!buf || cap == 0)
                return 0;
            size_t n = std::min(cap - 1, w->text.size());
            w->text.copy(buf, n);
            buf[n] = '\0';
            return static_cast<intptr_t>(n);
        }
        default:
            return 0;
    }
}

intptr_t HeadlessBackend::Notify(Window* to, Window* from, UINT code, intptr_t) {
    NMHDR nm{};
    nm.hwndFrom = reinterpret_cast<HWND>(from);
    nm.idFrom = static_cast<UINT_PTR>(from ? from->id : 0);
    nm.code = code;
    return Deliver(to, WM_NOTIFY, nm.idFrom, reinterpret_cast<LPARAM>(&nm));
}

void HeadlessBackend::Command(Window* control, int code) {
    if (!control || !control->parent)
        return;
    Deliver(control->parent, WM_COMMAND, MAKEWPARAM(control->id, code), reinterpret_cast<LPARAM>(control));
}

void HeadlessBackend::DispatchPosted() {
    while (!posted_.empty()) {
        Posted p = posted_.front();
        posted_.pop_front();
        if (live_.count(p.target))
            Deliver(p.target, p.msg, p.wParam, p.lParam);
    }
}

void HeadlessBackend::Idle(Window* w) {
    Hwnd active = ActiveWindow();
    if (!active)
        active = H(w);
    if (driver_ && driver_->Step(active))
        return;
    ApplyDefaultAction(active);
}

// The window beneath loses the focus to this one while it runs, and gets it
// back once this one has let go of its own, as the platform's activation does.
intptr_t HeadlessBackend::RunModalLoop(Window* w) {
    auto focusedEdit = [this](Window* top) -> Window* {
        return top && live_.count(top) && top->focus && live_.count(top->focus) && top->focus->cls == "Edit"
                   ? top->focus
                   : nullptr;
    };
    Window* beneath = modal_.empty() ? nullptr : modal_.back();
    intptr_t result = IDCANCEL;
    {
        modal_.push_back(w);
        // Whatever way the loop is left, the window is no longer modal.
        ScopeExit unstack([&] { modal_.erase(std::remove(modal_.begin(), modal_.end(), w), modal_.end()); });
        if (Window* edit = focusedEdit(beneath))
            Command(edit, EN_KILLFOCUS);
        int turns = 0;
        while (live_.count(w) && !w->ended) {
            DispatchPosted();
            if (!live_.count(w) || w->ended)
                break;
            if (++turns > kWatchdogTurns) {
                Note("watchdog " + std::to_string(w->templateId));
                w->ended = true;
                w->result = IDCANCEL;
                break;
            }
            Idle(w);
        }
        if (!live_.count(w))
            return IDCANCEL;
        result = w->result;
        if (Window* edit = focusedEdit(w)) {
            w->focus = nullptr;
            Command(edit, EN_KILLFOCUS);
        }
    }
    if (Window* edit = focusedEdit(beneath))
        Command(edit, EN_SETFOCUS);
    return result;
}

intptr_t HeadlessBackend::RunModalDialog(unsigned templateId, Hwnd parent, WindowSink* sink) {
    Window* owner = OwnerFor(W(parent));
    Window* w = CreateFromTemplate(templateId, owner, WindowKind::Dialog, sink);
    if (!w)
        return -1;
    ScopeExit gone([&] { Destroy(w); });
    Note(transcript::WindowOpened(templateId, w->text));
    w->style |= WS_VISIBLE;
    bool focusFirst = true;
    if (sink) {
        Window* before = w->focus;
        // A dialog that set the focus itself answers FALSE, and keeps it.
        focusFirst = Deliver(w, WM_INITDIALOG, 0, 0) != 0 || (live_.count(w) && w->focus == before);
    }
    if (live_.count(w) && focusFirst)
        FocusFirst(w);
    intptr_t result = RunModal(w, owner);
    Note(transcript::WindowClosed(templateId, result));
    return result;
}

intptr_t HeadlessBackend::RunModal(Window* w, Window* owner) {
    // The owner takes no input while the window runs, as on the platform.
    bool disabled = owner && live_.count(owner) && !(owner->style & WS_DISABLED);
    if (disabled)
        owner->style |= WS_DISABLED;
    ScopeExit enable([&] {
        if (disabled && live_.count(owner))
            owner->style &= ~WS_DISABLED;
    });
    return RunModalLoop(w);
}

Hwnd HeadlessBackend::CreateModelessDialog(unsigned templateId, Hwnd parent, WindowSink* sink) {
    Window* w = CreateFromTemplate(templateId, W(parent), WindowKind::Dialog, sink);
    if (!w)
        return nullptr;
    // The caller has no handle until this returns: a failure before takes the window away.
    ScopeExit gone([&] { Destroy(w); });
    Note(transcript::WindowOpened(templateId, w->text));
    modeless_.push_back(w);
    if (sink)
        Deliver(w, WM_INITDIALOG, 0, 0);
    if (live_.count(w) && !w->focus)
        FocusFirst(w);
    gone.Dismiss();
    return live_.count(w) ? H(w) : nullptr;
}

void HeadlessBackend::EndDialog(Hwnd dialog, intptr_t result) {
    if (Window* w = W(dialog)) {
        w->ended = true;
        w->result = result;
    }
}

unsigned HeadlessBackend::TemplateOf(Hwnd hwnd) {
    Window* w = W(hwnd);
    return w ? w->templateId : 0;
}

WindowKind HeadlessBackend::KindOf(Hwnd hwnd) {
    Window* w = W(hwnd);
    return w ? w->kind : WindowKind::None;
}

bool HeadlessBackend::IsWindow(Hwnd hwnd) {
    return W(hwnd) != nullptr;
}

bool HeadlessBackend::DestroyWindow(Hwnd hwnd) {
    Window* w = W(hwnd);
    if (!w)
        return false;
    Destroy(w);
    return true;
}

Hwnd HeadlessBackend::GetDlgItem(Hwnd dialog, int id) {
    Window* w = W(dialog);
    if (!w)
        return nullptr;
    for (Window* c : w->children)
        if (c->kind == WindowKind::Control && c->id == id)
            return H(c);
    return nullptr;
}

int HeadlessBackend::GetDlgCtrlID(Hwnd hwnd) {
    Window* w = W(hwnd);
    return w ? w->id : 0;
}

Hwnd HeadlessBackend::GetParent(Hwnd hwnd) {
    Window* w = W(hwnd);
    return w && live_.count(w->parent) ? H(w->parent) : nullptr;
}

std::string HeadlessBackend::GetClassName(Hwnd hwnd) {
    Window* w = W(hwnd);
    return w ? w->cls : std::string();
}

intptr_t HeadlessBackend::SendMessage(Hwnd hwnd, uint32_t msg, uintptr_t wParam, intptr_t lParam) {
    return Deliver(W(hwnd), msg, wParam, lParam);
}

bool HeadlessBackend::PostMessage(Hwnd hwnd, uint32_t msg, uintptr_t wParam, intptr_t lParam) {
    Window* w = W(hwnd);
    if (!w)
        return false;
    posted_.push_back({w, msg, wParam, lParam});
    return true;
}

std::string HeadlessBackend::GetWindowText(Hwnd hwnd) {
    Window* w = W(hwnd);
    return w ? w->text : std::string();
}

void HeadlessBackend::SetWindowText(Hwnd hwnd, const std::string& text) {
    Window* w = W(hwnd);
    if (!w)
        return;
    w->text = text;
    // A single-line edit tells its parent about every change of its text, also
    // one made by code; a multi-line edit reports only what the user types.
    if (w->cls == "Edit" && !(w->style & ES_MULTILINE)) {
        Command(w, EN_UPDATE);
        if (live_.count(w))
            Command(w, EN_CHANGE);
    }
}

bool HeadlessBackend::EnableWindow(Hwnd hwnd, bool enable) {
    Window* w = W(hwnd);
    if (!w)
        return false;
    bool wasDisabled = (w->style & WS_DISABLED) != 0;
    if (enable)
        w->style &= ~WS_DISABLED;
    else
        w->style |= WS_DISABLED;
    return wasDisabled;
}

bool HeadlessBackend::IsWindowEnabled(Hwnd hwnd) {
    Window* w = W(hwnd);
    return w && !(w->style & WS_DISABLED);
}

bool HeadlessBackend::ShowWindow(Hwnd hwnd, int command) {
    Window* w = W(hwnd);
    if (!w)
        return false;
    bool wasVisible = (w->style & WS_VISIBLE) != 0;
    if (command == SW_HIDE)
        w->style &= ~WS_VISIBLE;
    else
        w->style |= WS_VISIBLE;
    return wasVisible;
}

bool HeadlessBackend::IsWindowVisible(Hwnd hwnd) {
    // As on Win32: visible only when the window and every parent are.
    for (Window* w = W(hwnd); w; w = live_.count(w->parent) ? w->parent : nullptr)
        if (!(w->style & WS_VISIBLE))
            return false;
    return W(hwnd) != nullptr;
}

intptr_t HeadlessBackend::GetWindowLong(Hwnd hwnd, int index) {
    Window* w = W(hwnd);
    if (!w)
        return 0;
    if (index == GWL_STYLE)
        return static_cast<intptr_t>(w->style);
    if (index == GWL_EXSTYLE)
        return static_cast<intptr_t>(w->exStyle);
    return 0;
}

intptr_t HeadlessBackend::SetWindowLong(Hwnd hwnd, int index, intptr_t value) {
    Window* w = W(hwnd);
    if (!w)
        return 0;
    uint32_t* field = index == GWL_STYLE ? &w->style : index == GWL_EXSTYLE ? &w->exStyle : nullptr;
    if (!field)
        return 0;
    intptr_t old = static_cast<intptr_t>(*field);
    *field = static_cast<uint32_t>(value);
    return old;
}

void HeadlessBackend::CenterWindow(Hwnd, Hwnd) {}
void HeadlessBackend::UpdateWindow(Hwnd) {}

void HeadlessBackend::GetClientSize(Hwnd hwnd, int* width, int* height) {
    Window* w = W(hwnd);
    *width = w ? w->clientWidth : 0;
    *height = w ? w->clientHeight : 0;
}

int HeadlessBackend::TextWidth(Hwnd, const std::string& text) {
    // About what "MS Sans Serif" 8 averages per character at 96 dpi.
    return static_cast<int>(text.size()) * 6;
}

Hwnd HeadlessBackend::ActiveWindow() {
    return modal_.empty() ? nullptr : H(modal_.back());
}

void* HeadlessBackend::LoadBitmap(unsigned id) {
    if (!resources_.FindBitmap(id))
        return nullptr;
    auto token = std::make_unique<char>(0);
    // The set grows first: a token it cannot take is not handed out.
    bitmaps_.insert(token.get());
    return token.release();
}

void HeadlessBackend::DeleteObject(void* object) {
    if (bitmaps_.erase(object))
        delete static_cast<char*>(object);
}

int HeadlessBackend::MessageBox(Hwnd ownerHwnd, const std::string& text, const std::string& caption,
                                uint32_t type, unsigned helpId) {
    Window* owner = OwnerFor(W(ownerHwnd));
    Window* w = NewWindow(WindowKind::MessageBox, "#32770", owner);
    ScopeExit gone([&] { Destroy(w); });
    w->text = caption;
    w->style = WS_POPUP | WS_CAPTION | WS_VISIBLE;
    w->helpId = helpId;
    Window* label = NewWindow(WindowKind::Control, "Static", w);
    label->id = 0xFFFF;
    label->text = text;
    label->style = WS_CHILD | WS_VISIBLE | SS_NOPREFIX;
    std::vector<std::pair<int, const char*>> buttons;
    switch (type & MB_TYPEMASK) {
        case MB_OKCANCEL:
            buttons = {{IDOK, "OK"}, {IDCANCEL, "Cancel"}};
            break;
        case MB_YESNO:
            buttons = {{IDYES, "&Yes"}, {IDNO, "&No"}};
            break;
        case MB_YESNOCANCEL:
            buttons = {{IDYES, "&Yes"}, {IDNO, "&No"}, {IDCANCEL, "Cancel"}};
            break;
        default:
            buttons = {{IDOK, "OK"}};
            break;
    }
    size_t def = (type & MB_DEFMASK) >> 8;
    if (def >= buttons.size())
        def = 0;
    for (size_t i = 0; i < buttons.size(); ++i) {
        Window* b = NewWindow(WindowKind::Control, "Button", w);
        b->id = buttons[i].first;
        b->text = buttons[i].second;
        b->style = WS_CHILD | WS_VISIBLE | WS_TABSTOP | (i == def ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON);
    }
    FocusFirst(w);
    intptr_t answer = RunModal(w, owner);
    Note(transcript::MessageBoxShown(helpId, text, type, static_cast<int>(answer)));
    return static_cast<int>(answer);
}

void HeadlessBackend::BeginWaitCursor() {
    ++waitDepth_;
}

void HeadlessBackend::EndWaitCursor() {
    if (waitDepth_ > 0)
        --waitDepth_;
}

void HeadlessBackend::RestoreWaitCursor() {
    ++waitRestores_;
}

intptr_t HeadlessBackend::ShellOpen(const std::string& path) {
    intptr_t result;
    if (ShellOpenHook hook = GetShellOpenHook()) {
        result = hook(path);
    } else {
        // No shell here: answer what the platform's shell would for this path,
        // and open nothing.
        std::string local = path;
        std::replace(local.begin(), local.end(), '\\', '/');
        struct stat st {};
        if (::stat(local.c_str(), &st) == 0) {
            result = 42;
        } else {
            std::string folder =
                local.substr(0, local.find_last_of('/') == std::string::npos ? 0 : local.find_last_of('/'));
            result = (folder.empty() || ::stat(folder.c_str(), &st) == 0) ? 2 : 3;
        }
    }
    Note(transcript::HelpOpened(path, result));
    return result;
}

bool HeadlessBackend::HasWaitingMessage() {
    return !posted_.empty() || quitPosted_;
}

bool HeadlessBackend::PumpMessage() {
    if (!posted_.empty()) {
        Posted p = posted_.front();
        posted_.pop_front();
        if (live_.count(p.target))
            Deliver(p.target, p.msg, p.wParam, p.lParam);
        return true;
    }
    if (quitPosted_) {
        quitPosted_ = false;
        return false;
    }
    return true;
}

void HeadlessBackend::PostQuitMessage(int exitCode) {
    quitPosted_ = true;
    quitCode_ = exitCode;
}

std::string HeadlessBackend::ApplicationName() {
    return ::program_invocation_short_name ? ::program_invocation_short_name : "application";
}

}  // namespace headless
}  // namespace fw
