// Keys reach the real dialog manager: they are posted to the focused control
// as the keyboard would deliver them, and the modal loop's IsDialogMessage
// gives them their meaning (default button, Cancel, tab order, accelerators)
// or hands them to the control (arrows in a list).
#include "win32_backend.h"
#include "win32_platform.h"

namespace fw {

namespace {
HWND W(Hwnd h) {
    return reinterpret_cast<HWND>(h);
}
// Not in every SDK's headers; the value is the system's.
constexpr UINT kWmKeyF1 = 0x004D;

// The edit no longer asks for every key: the dialog manager keeps Enter,
// Esc and Tab for the window the user works in.
LRESULT CALLBACK LeaveDialogKeysProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                     DWORD_PTR) {
    LRESULT result = ::DefSubclassProc(hwnd, msg, wParam, lParam);
    if (msg == WM_GETDLGCODE)
        result &= ~static_cast<LRESULT>(DLGC_WANTALLKEYS | DLGC_WANTTAB);
    else if (msg == WM_NCDESTROY)
        ::RemoveWindowSubclass(hwnd, &LeaveDialogKeysProc, id);
    return result;
}
}  // namespace

void Win32Backend::LeaveDialogKeysToDialog(Hwnd edit) {
    if (edit)
        ::SetWindowSubclass(W(edit), &LeaveDialogKeysProc, 1, 0);
}

Hwnd Win32Backend::OwnerFor(Hwnd parent) {
    HWND owner = W(parent);
    if (!owner)
        owner = W(ActiveWindow());
    if (!owner)
        owner = ::GetActiveWindow();
    return owner ? reinterpret_cast<Hwnd>(::GetAncestor(owner, GA_ROOT)) : nullptr;
}

Hwnd Win32Backend::GetFocus() {
    return reinterpret_cast<Hwnd>(::GetFocus());
}

void Win32Backend::PressKey(Hwnd window, Key key) {
    HWND root = ::GetAncestor(W(window), GA_ROOT);
    if (!root)
        return;
    HWND focus = ::GetFocus();
    if (!focus || (focus != root && !::IsChild(root, focus)))
        focus = root;
    UINT vk = 0;
    switch (key) {
        case Key::Enter:
            vk = VK_RETURN;
            break;
        case Key::Escape:
            vk = VK_ESCAPE;
            break;
        case Key::Tab:
            vk = VK_TAB;
            break;
        case Key::ShiftTab:
            // A posted key carries no Shift state; this is what the dialog manager does with it.
            ::SendMessageA(root, WM_NEXTDLGCTL, TRUE, FALSE);
            return;
        case Key::Up:
            vk = VK_UP;
            break;
        case Key::Down:
            vk = VK_DOWN;
            break;
        case Key::Home:
            vk = VK_HOME;
            break;
        case Key::End:
            vk = VK_END;
            break;
        case Key::Space:
            vk = VK_SPACE;
            break;
        case Key::F1:
            // The system turns a typed F1 into WM_KEYF1, which the default
            // window procedure makes a help request; a posted key is not typed.
            ::PostMessageA(focus, kWmKeyF1, 0, 0);
            return;
    }
    ::PostMessageA(focus, WM_KEYDOWN, vk, 1);
    ::PostMessageA(focus, WM_KEYUP, vk, static_cast<LPARAM>(0xC0000001u));
}

void Win32Backend::TypeText(Hwnd window, const std::string& text) {
    HWND root = ::GetAncestor(W(window), GA_ROOT);
    if (!root)
        return;
    HWND focus = ::GetFocus();
    if (!focus || (focus != root && !::IsChild(root, focus)))
        return;
    // Posted together, the characters arrive within the list view's
    // type-ahead delay: one search for the whole text.
    for (char c : text) ::PostMessageA(focus, WM_CHAR, static_cast<WPARAM>(static_cast<unsigned char>(c)), 1);
}

void Win32Backend::PressAccelerator(Hwnd window, char letter) {
    HWND root = ::GetAncestor(W(window), GA_ROOT);
    if (!root)
        return;
    HWND focus = ::GetFocus();
    if (!focus || (focus != root && !::IsChild(root, focus)))
        focus = root;
    // Alt held: the context bit of the key data.
    ::PostMessageA(focus, WM_SYSCHAR, static_cast<WPARAM>(static_cast<unsigned char>(letter)),
                   static_cast<LPARAM>(0x20000001u));
}

}  // namespace fw
