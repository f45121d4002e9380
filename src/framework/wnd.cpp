#include "wnd.h"

namespace {
fw::Backend& B() {
    return fw::CurrentBackend();
}
}  // namespace

CWnd::~CWnd() = default;

const AFX_MSGMAP* CWnd::GetThisMessageMap() {
    static const AFX_MSGMAP_ENTRY entries[] = {{0, 0, 0, AfxSig::Command, nullptr}};
    static const AFX_MSGMAP map = {nullptr, &entries[0]};
    return &map;
}

const AFX_MSGMAP* CWnd::GetMessageMap() const {
    return GetThisMessageMap();
}

LRESULT CWnd::SendMessage(UINT msg, WPARAM wParam, LPARAM lParam) const {
    return B().SendMessage(m_hWnd, msg, wParam, lParam);
}

BOOL CWnd::PostMessage(UINT msg, WPARAM wParam, LPARAM lParam) const {
    return B().PostMessage(m_hWnd, msg, wParam, lParam) ? TRUE : FALSE;
}

void CWnd::SetWindowText(LPCTSTR text) {
    B().SetWindowText(m_hWnd, text ? text : "");
}

void CWnd::GetWindowText(CString& text) const {
    text = B().GetWindowText(m_hWnd);
}

int CWnd::GetWindowTextLength() const {
    return static_cast<int>(B().GetWindowText(m_hWnd).size());
}

void CWnd::SetRedraw(BOOL redraw) {
    SendMessage(WM_SETREDRAW, redraw ? TRUE : FALSE, 0);
}

BOOL CWnd::EnableWindow(BOOL enable) {
    return B().EnableWindow(m_hWnd, enable != FALSE) ? TRUE : FALSE;
}

BOOL CWnd::IsWindowEnabled() const {
    return B().IsWindowEnabled(m_hWnd) ? TRUE : FALSE;
}

BOOL CWnd::ShowWindow(int command) {
    return B().ShowWindow(m_hWnd, command) ? TRUE : FALSE;
}

BOOL CWnd::IsWindowVisible() const {
    return B().IsWindowVisible(m_hWnd) ? TRUE : FALSE;
}

DWORD CWnd::GetStyle() const {
    return static_cast<DWORD>(B().GetWindowLong(m_hWnd, GWL_STYLE));
}

DWORD CWnd::GetExStyle() const {
    return static_cast<DWORD>(B().GetWindowLong(m_hWnd, GWL_EXSTYLE));
}

BOOL CWnd::ModifyStyle(DWORD remove, DWORD add) {
    DWORD style = GetStyle();
    DWORD changed = (style & ~remove) | add;
    if (style == changed)
        return FALSE;
    B().SetWindowLong(m_hWnd, GWL_STYLE, static_cast<intptr_t>(changed));
    return TRUE;
}

void CWnd::CenterWindow(CWnd* alternateOwner) {
    B().CenterWindow(m_hWnd, alternateOwner ? alternateOwner->m_hWnd : B().GetParent(m_hWnd));
}

void CWnd::GetClientRect(RECT* rect) const {
    int width = 0, height = 0;
    B().GetClientSize(m_hWnd, &width, &height);
    *rect = RECT{0, 0, width, height};
}

void CWnd::UpdateWindow() {
    B().UpdateWindow(m_hWnd);
}

BOOL CWnd::DestroyWindow() {
    if (!m_hWnd)
        return FALSE;
    return B().DestroyWindow(m_hWnd) ? TRUE : FALSE;
}

CWnd* CWnd::GetDlgItem(int id) const {
    HWND child = B().GetDlgItem(m_hWnd, id);
    if (!child)
        return nullptr;
    std::unique_ptr<CWnd>& slot = temporaries_[id];
    if (!slot)
        slot = std::make_unique<CWnd>();
    slot->m_hWnd = child;
    return slot.get();
}

int CWnd::GetDlgCtrlID() const {
    return B().GetDlgCtrlID(m_hWnd);
}

void CWnd::SetDlgItemText(int id, LPCTSTR text) {
    if (CWnd* item = GetDlgItem(id))
        item->SetWindowText(text);
}

int CWnd::GetDlgItemText(int id, CString& text) const {
    text.Empty();
    if (CWnd* item = GetDlgItem(id))
        item->GetWindowText(text);
    return text.GetLength();
}

CWnd* CWnd::GetParent() const {
    HWND parent = B().GetParent(m_hWnd);
    if (!parent)
        return nullptr;
    std::unique_ptr<CWnd>& slot = temporaries_[-1];
    if (!slot)
        slot = std::make_unique<CWnd>();
    slot->m_hWnd = parent;
    return slot.get();
}

BOOL CWnd::IsWindow() const {
    return m_hWnd && B().IsWindow(m_hWnd) ? TRUE : FALSE;
}

void CWnd::BindControl(int id, CWnd& control) {
    control.m_hWnd = B().GetDlgItem(m_hWnd, id);
    for (CWnd* c : bound_)
        if (c == &control)
            return;
    bound_.push_back(&control);
}

void CWnd::AttachWindow(fw::Hwnd hwnd) {
    m_hWnd = hwnd;
}

void CWnd::DetachWindow() {
    // The window and its controls are gone: nothing may keep their handles.
    for (CWnd* c : bound_) c->m_hWnd = nullptr;
    bound_.clear();
    temporaries_.clear();
    m_hWnd = nullptr;
    PostNcDestroy();
}

bool CWnd::FindAndCall(UINT msg, UINT code, UINT id, NMHDR* nm, LPARAM lParam, LRESULT* result) {
    for (const AFX_MSGMAP* map = GetMessageMap(); map;
         map = map->pfnGetBaseMap ? map->pfnGetBaseMap() : nullptr) {
        for (const AFX_MSGMAP_ENTRY* e = map->lpEntries; e->message != 0; ++e) {
            if (e->message != msg)
                continue;
            if (msg != WM_HELP && (e->code != code || e->id != id))
                continue;
            LRESULT r = e->thunk(this, nm, result, lParam);
            if (e->sig == AfxSig::HelpInfo && result)
                *result = r;
            return true;
        }
        if (map->pfnGetBaseMap == nullptr)
            break;
    }
    return false;
}

BOOL CWnd::DispatchCommand(UINT id, UINT code) {
    return FindAndCall(WM_COMMAND, code, id, nullptr, 0, nullptr) ? TRUE : FALSE;
}

BOOL CWnd::OnCommand(WPARAM wParam, LPARAM) {
    return FindAndCall(WM_COMMAND, HIWORD(wParam), LOWORD(wParam), nullptr, 0, nullptr) ? TRUE : FALSE;
}

BOOL CWnd::OnNotify(WPARAM, LPARAM lParam, LRESULT* result) {
    NMHDR* nm = reinterpret_cast<NMHDR*>(lParam);
    if (!nm)
        return FALSE;
    return FindAndCall(WM_NOTIFY, nm->code, static_cast<UINT>(nm->idFrom), nm, lParam, result) ? TRUE : FALSE;
}

bool CWnd::OnWndMsg(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* result) {
    switch (msg) {
        case WM_COMMAND:
            return OnCommand(wParam, lParam) != FALSE;
        case WM_NOTIFY:
            return OnNotify(wParam, lParam, result) != FALSE;
        case WM_HELP: {
            if (FindAndCall(WM_HELP, 0, 0, nullptr, lParam, result))
                return true;
            // Only a message box's request carries a help context: a plain F1
            // in a dialog without a handler of its own stays unanswered.
            const HELPINFO* info = reinterpret_cast<const HELPINFO*>(lParam);
            if (!info || info->dwContextId == 0 || messageBoxHelp_ == 0)
                return false;
            DispatchCommand(messageBoxHelp_, BN_CLICKED);
            if (result)
                *result = TRUE;
            return true;
        }
        default:
            return false;
    }
}

intptr_t CWnd::HandleMessage(uint32_t msg, uintptr_t wParam, intptr_t lParam, bool* handled) {
    LRESULT result = 0;
    bool done = OnWndMsg(msg, wParam, lParam, &result);
    if (handled)
        *handled = done;
    return result;
}
