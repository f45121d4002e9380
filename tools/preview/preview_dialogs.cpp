// The library's dialogs with sample contents, as the preview and the
// real-input tests show them.
#include "preview_dialogs.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "dialogs/login_dlg.h"
#include "dialogs/reports_dlg.h"
#include "dialogs/wait_dialog.h"
#include "filters/df_property_sheet.h"
#include "filters/get_filter_name_dlg.h"
#include "filters/member_value_select_dlg.h"
#include "filters/pick_string_item_dlg.h"
#include "framework/script/environment.h"
#include "framework/script/ui.h"
#include "sample_dialogs.h"
#include "wizard/dt_attr_sheet.h"

namespace {

using sample::SampleColumns;
using sample::SampleReports;

// Walks the wizard to a step as a user does, with Next from the first one,
// so that every step shows what the steps before it chose (the sort step
// the columns chosen on the column step); then hands over to the user, or
// to the UI script in force.
class WalkToStep : public fw::Driver {
  public:
    explicit WalkToStep(unsigned steps) : left_(steps) {}
    bool Step(fw::Hwnd active) override {
        if (left_ == 0)
            return false;
        fw::Ui(active).Press(fw::SheetButton::Next);
        if (--left_ == 0)
            fw::PopDrivers();
        return true;
    }

  private:
    unsigned left_;
};

}  // namespace

int ShowPreviewDialog(int argc, char** argv, std::FILE* results) {
    std::string which = argc > 1 ? argv[1] : "";
    if (which == "login") {
        CLoginDlg dlg;
        dlg.m_nLoginFlags = 3;
        dlg.m_strServerName = "olap-east";
        dlg.m_strDataSourceName = "WAREHOUSE";
        dlg.m_strUserName = "demo";
        dlg.m_strPassword = "demo";
        return static_cast<int>(dlg.DoModal());
    }
    if (which == "reports") {
        SampleReports reports;
        CReportsDlg dlg;
        dlg.m_pDrillThrough = &reports;
        int result = static_cast<int>(dlg.DoModal());
        if (results)
            std::fprintf(results, "reports %d selected %u customise %d\n", result, dlg.m_nSelected,
                         dlg.m_bCustomize);
        return result;
    }
    if (which == "wait") {
        int running = 1;
        CString title, message;
        title.LoadString(IDS_APP_TITLE);
        message.LoadString(IDS_GETTING_DATA);
        CWaitDialog dlg(nullptr, &running, title, message, TRUE);
        while (running && dlg.IsWindow() && fw::PumpMessage()) {
        }
        return 0;
    }
    if (which == "wizard") {
        // An optional step number (0 to 3): the wizard is walked there.
        int step = argc > 2 ? std::atoi(argv[2]) : 0;
        step = step < 0 ? 0 : (step > 3 ? 3 : step);
        SampleColumns owner;
        CDTAttrSheet sheet(IDS_DRILL_THROUGH_REPORT, nullptr, 0);
        sample::SetUpWizard(sheet, owner);
        WalkToStep walk(static_cast<unsigned>(step));
        if (step > 0) {
            // The backend first: it installs the script and transcript in force.
            fw::CurrentBackend();
            fw::PushDrivers(&walk, fw::ActiveTranscript());
        }
        return static_cast<int>(sheet.DoModal());
    }
    if (which == "pick") {
        CPickStringItemDlg dlg;
        sample::SetUpOrderBy(dlg);
        return static_cast<int>(dlg.DoModal());
    }
    if (which == "values") {
        CMemberValueSelectDlg dlg;
        sample::SetUpValues(dlg);
        // With a count: that many customers' names of about 20 bytes instead,
        // arriving in no order, as a long column's values do.
        if (argc > 2) {
            const long long count = std::strtoll(argv[2], nullptr, 10);
            static const char* const first[] = {"Alder", "Birch", "Cedar", "Dune", "Elm", "Fjord"};
            static const char* const second[] = {"Trading", "Foods", "Market", "Stores"};
            dlg.m_Values.RemoveAll();
            for (long long i = 1; i <= count; ++i) {
                const long long n = (i * 7919) % count + 1;
                CString value;
                value.Format("%s %s %lld", first[n % 6], second[n / 6 % 4], n);
                dlg.m_Values.AddTail(value);
            }
        }
        return static_cast<int>(dlg.DoModal());
    }
    if (which == "name") {
        GetFilterNameDlg dlg;
        sample::SetUpFilterName(dlg);
        return static_cast<int>(dlg.DoModal());
    }
    if (which == "builder") {
        SampleColumns owner;
        CDFPropertySheet sheet(sample::BuilderCaption());
        sample::SetUpBuilder(sheet, owner, "REGION.CITY in ('Brno','Krakow') OR \r\nREGION.CITY = Debrecen");
        return static_cast<int>(sheet.DoModal());
    }
    if (which == "message") {
        // A message by its string id, with the buttons the system asks it with.
        UINT id = argc > 2 ? static_cast<UINT>(std::strtoul(argv[2], nullptr, 10)) : IDS_NEED_SERVER_NAME;
        UINT type = MB_OK;
        if (id == IDS_RECURSIVE_HIERARCHY)
            type = MB_YESNO;
        else if (id == IDS_CONFIRM_DELETE_FILTER)
            type = MB_YESNOCANCEL | MB_ICONQUESTION;
        return AfxMessageBox(id, type);
    }
    std::fprintf(stderr,
                 "usage: zevdt-preview login|reports|wait|wizard [step]|pick|values [count]|name|builder|"
                 "message [id]\n");
    return 2;
}
