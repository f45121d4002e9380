#include "default_action.h"

#include "../diagnostics.h"
#include "../transcript_lines.h"
#include "../win_types.h"
#include "environment.h"

namespace fw {

void ApplyDefaultAction(Hwnd active) {
    Backend& b = CurrentBackend();
    if (!active || !b.IsWindow(active))
        return;
    auto note = [](const std::string& what) {
        if (Transcript* t = ActiveTranscript())
            t->Line(transcript::DefaultAction(what));
    };
    switch (b.KindOf(active)) {
        case WindowKind::MessageBox: {
            // Nobody read it: its text is all that tells why a call failed.
            ReportDiagnostic("message box taken by its default: " +
                             b.GetWindowText(b.GetDlgItem(active, 0xFFFF)));
            // The default button, as Enter would press it.
            for (int id : {IDOK, IDYES, IDNO, IDCANCEL}) {
                Hwnd button = b.GetDlgItem(active, id);
                if (button && (b.GetWindowLong(button, GWL_STYLE) & BS_TYPEMASK) == BS_DEFPUSHBUTTON) {
                    note("answer " + transcript::ResultName(id));
                    b.SendMessage(button, BM_CLICK, 0, 0);
                    return;
                }
            }
            for (int id : {IDOK, IDYES, IDCANCEL, IDNO})
                if (Hwnd button = b.GetDlgItem(active, id)) {
                    note("answer " + transcript::ResultName(id));
                    b.SendMessage(button, BM_CLICK, 0, 0);
                    return;
                }
            return;
        }
        case WindowKind::Sheet:
            note("cancel sheet");
            b.SendMessage(active, PSM_PRESSBUTTON, PSBTN_CANCEL, 0);
            return;
        default:
            // What Esc does: the dialog's Cancel command, whether or not it shows a Cancel button.
            note("cancel " + std::to_string(b.TemplateOf(active)));
            b.SendMessage(active, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
            return;
    }
}

}  // namespace fw
