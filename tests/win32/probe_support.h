// Pieces the Win32 backend tests share: a sink that records what reaches a
// window and answers through handlers, and a button pressed as a user would.
#pragma once

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "framework/backend.h"
#include "framework/win32/win32_platform.h"

namespace probe {

inline fw::Backend& B() {
    return fw::CurrentBackend();
}
inline HWND W(fw::Hwnd h) {
    return reinterpret_cast<HWND>(h);
}
inline fw::Hwnd H(HWND h) {
    return reinterpret_cast<fw::Hwnd>(h);
}

// One message as the window saw it: WM_COMMAND with its notification code
// and control id, WM_NOTIFY with its code and sender id.
struct Seen {
    UINT msg;
    UINT code;
    UINT id;
    bool operator==(const Seen& o) const { return msg == o.msg && code == o.code && id == o.id; }
};

class RecordingSink : public fw::WindowSink {
  public:
    using Handler = std::function<intptr_t(UINT msg, WPARAM, LPARAM, bool* handled)>;

    void AttachWindow(fw::Hwnd hwnd) override {
        hwnd_ = hwnd;
        ++attached;
    }
    void DetachWindow() override {
        hwnd_ = nullptr;
        ++detached;
    }
    intptr_t HandleMessage(uint32_t msg, uintptr_t wParam, intptr_t lParam, bool* handled) override {
        if (msg == WM_INITDIALOG)
            seen.push_back({msg, 0, 0});
        if (msg == WM_COMMAND)
            seen.push_back({msg, HIWORD(wParam), LOWORD(wParam)});
        if (msg == WM_NOTIFY) {
            const NMHDR* nm = reinterpret_cast<const NMHDR*>(lParam);
            seen.push_back({msg, nm->code, static_cast<UINT>(nm->idFrom)});
        }
        *handled = false;
        return handler ? handler(msg, wParam, lParam, handled) : 0;
    }

    fw::Hwnd hwnd() const { return hwnd_; }
    // What arrived with this message number, in order.
    std::vector<Seen> Of(UINT msg) const {
        std::vector<Seen> out;
        for (const Seen& s : seen)
            if (s.msg == msg)
                out.push_back(s);
        return out;
    }

    Handler handler;
    std::vector<Seen> seen;
    int attached = 0;
    int detached = 0;

  private:
    fw::Hwnd hwnd_ = nullptr;
};

// Presses a button as a user would.
inline void Click(fw::Hwnd window, int id) {
    ::SendMessageA(::GetDlgItem(W(window), id), BM_CLICK, 0, 0);
}

}  // namespace probe
