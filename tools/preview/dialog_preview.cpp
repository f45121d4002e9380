// Shows one of the library's dialogs with sample contents and waits for the
// user: how screenshots of the real dialogs are taken.
//
//   zevdt-preview login|reports|wait|wizard [step]|pick|values|name|builder
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
#include "wizard/dt_attr_sheet.h"
#include "sample_data.h"

int main(int argc, char** argv) {
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
        sample::SampleReports reports;
        CReportsDlg dlg;
        dlg.m_pDrillThrough = &reports;
        return static_cast<int>(dlg.DoModal());
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
        // An optional step number (0 to 3) opens the wizard at that step.
        UINT step = argc > 2 ? static_cast<UINT>(std::atoi(argv[2])) : 0;
        sample::SampleColumns owner;
        CDTAttrSheet sheet(IDS_DRILL_THROUGH_REPORT, nullptr, step);
        sheet.SetOwner(&owner);
        sheet.SetReportName("Sales Detail");
        return static_cast<int>(sheet.DoModal());
    }
    if (which == "pick") {
        CPickStringItemDlg dlg;
        CString text;
        text.LoadString(IDS_ASCENDING);
        dlg.m_Items.AddTail(text);
        text.LoadString(IDS_DESCENDING);
        dlg.m_Items.AddTail(text);
        dlg.m_strTitle.LoadString(IDS_ORDER_BY);
        dlg.m_nSelectedIndex = 1;
        return static_cast<int>(dlg.DoModal());
    }
    if (which == "values") {
        CMemberValueSelectDlg dlg;
        for (const char* v : {"Krakow", "Brno", "Debrecen", "Bratislava", "Ljubljana", "Zagreb"})
            dlg.m_Values.AddTail(v);
        dlg.m_strTitle.LoadString(IDS_SELECT_FILTER_VALUES);
        return static_cast<int>(dlg.DoModal());
    }
    if (which == "name") {
        GetFilterNameDlg dlg;
        dlg.m_existingNames.AddTail("Eastern sales");
        dlg.SetCurrentName("Eastern sales");
        return static_cast<int>(dlg.DoModal());
    }
    if (which == "builder") {
        sample::SampleColumns owner;
        CString caption, format;
        format.LoadString(IDS_SET_FILTER_ON_COLUMN);
        caption.Format(format, "REGION.CITY");
        CDFPropertySheet sheet(caption);
        sheet.m_filtersPage.m_pOwner = &owner;
        sheet.m_filtersPage.m_pColumn = owner.GetColumnList()[2];
        sheet.m_filtersPage.m_strFilters = "REGION.CITY in ('Brno','Krakow') OR \r\nREGION.CITY = Debrecen";
        return static_cast<int>(sheet.DoModal());
    }
    std::fprintf(stderr, "usage: zevdt-preview login|reports|wait|wizard [step]|pick|values|name|builder\n");
    return 2;
}
