// A page of the library's templates that runs a probe once it is up and notes
// the commands and notifications its controls send meanwhile; and a control
// object put on one of the page's controls for the length of a probe.
#pragma once

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "framework/afxwin.h"
#include "support/probe_sheet.h"

namespace testsupport {

class ProbePage : public CPropertyPage {
  public:
    ProbePage(UINT id, std::function<void(ProbePage&)> probe) : CPropertyPage(id), probe_(std::move(probe)) {}
    std::vector<std::string> events;  // "command ID CODE", "notify ID CODE"

  protected:
    BOOL OnInitDialog() override {
        CPropertyPage::OnInitDialog();
        recording_ = true;
        probe_(*this);
        recording_ = false;
        return TRUE;
    }
    bool OnWndMsg(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* result) override {
        if (recording_ && msg == WM_COMMAND)
            events.push_back("command " + std::to_string(LOWORD(wParam)) + " " +
                             std::to_string(HIWORD(wParam)));
        if (recording_ && msg == WM_NOTIFY) {
            auto* nm = reinterpret_cast<NMHDR*>(lParam);
            events.push_back("notify " + std::to_string(nm->idFrom) + " " +
                             std::to_string(static_cast<int>(nm->code)));
        }
        return CPropertyPage::OnWndMsg(msg, wParam, lParam, result);
    }

  private:
    std::function<void(ProbePage&)> probe_;
    bool recording_ = false;
};

// The page of the template shown alone in a wizard, as on the platform a child
// template can only be shown; what the probe made its controls send.
inline std::vector<std::string> ProbeEvents(UINT templateId, std::function<void(ProbePage&)> probe) {
    ProbePage page(templateId, std::move(probe));
    RunAloneInAWizard(page);
    return page.events;
}

// A control object on the page's control of that id; let go, not destroyed, at the end.
template <class Control>
struct Attached : Control {
    Attached(CWnd& page, int id) { this->m_hWnd = page.GetDlgItem(id)->m_hWnd; }
    ~Attached() { this->m_hWnd = nullptr; }
};

}  // namespace testsupport
