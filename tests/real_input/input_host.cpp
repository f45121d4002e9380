// Opens one of the library's dialogs with sample contents and waits for a real
// user (the real-input driver types and clicks through X). Everything that a
// user's keys and clicks change is written to a transcript, one line per event,
// for the driver to wait for:
//
//   window 129 "Drill-Through Login"   the library's own lines (windows, pages, message boxes)
//   active "Drill-Through Login"       the window the user works in changed
//   at 1 212 330                       screen position (centre) of a control of that window
//   state focus=1001 default=1         the focused control and the button Enter presses now
//   rows 1040 1                        the selected rows of the focused list
//   clicked 1                          button 1 was pressed (by click, key or accelerator)
//   host-click 40 80                   the host window received a mouse click
//   result reports 1 selected=1 customize=0   what the dialog handed back
//   text 1030 "Krak\xf3w"             an edit's text changed (bytes beyond ASCII as \xNN)
//   filter NAME$*$DESCRIPTION...       a saved filter the wizard left with the library
//
//   real-input-host TRANSCRIPT login|host-login|reports|wizard [step
//   [unsavable]]|pick|values|name|builder|city-filter
//
// city-filter drills the sample cell through the library and the stand-in
// (the database that ZEVDTAPI_DATABASE names): a script customizes Sales
// Detail and opens the builder on the city, then the user types the value.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "dialogs/login_dlg.h"
#include "dialogs/reports_dlg.h"
#include "filters/df_property_sheet.h"
#include "filters/get_filter_name_dlg.h"
#include "filters/member_value_select_dlg.h"
#include "filters/pick_string_item_dlg.h"
#include "framework/script/environment.h"
#include "framework/script/script_driver.h"
#include "framework/script/test_driver.h"
#include "framework/script/ui.h"
#include "framework/shell_hook.h"
#include "input_watch.h"
#include "sample_dialogs.h"
#include "support/drill_scripts.h"
#include "wizard/dt_attr_sheet.h"
#include "zevdtu.h"

namespace {

class FileTranscript : public fw::Transcript {
  public:
    void Line(const std::string& line) override { Write(line); }
};

intptr_t NoShell(const std::string& path) {
    Write("help " + path);
    return 42;
}

// The login dialog with sample contents. The library opens its dialogs
// without naming a parent.
struct SampleLogin : CLoginDlg {
    SampleLogin() {
        m_nLoginFlags = 3;
        m_strServerName = "olap-east";
        m_strDataSourceName = "WAREHOUSE";
    }
};

int OpenLogin() {
    SampleLogin dlg;
    int rc = static_cast<int>(dlg.DoModal());
    Write("result login " + std::to_string(rc));
    return rc;
}

void WriteColumns(sample::SampleColumns& owner) {
    for (int i = 0; i < owner.GetColumnCount(); ++i) {
        const ZevDTAPIColumn* c = owner.GetColumnList()[i];
        Write(std::string("column ") + c->tableName + "." + c->columnName +
              " display=" + std::to_string(c->displayPosition) + " sort=" + std::to_string(c->sortPosition) +
              "/" + std::to_string(c->sortDirection));
    }
    for (const std::string& record : owner.SavedFilters()) Write("filter " + record);
}

// Performs a script, then hands the windows to the user; the watch notes
// nothing until then. A failed script leaves them to their defaults, so the
// run ends.
class ScriptThenUser : public fw::Driver {
  public:
    ScriptThenUser(const char* name, const std::string& text) : script_(Parse(text), name) {
        script_.SetTranscript(fw::ActiveTranscript());
    }
    // Installs the driver on this thread's windows.
    void Start() {
        HoldWatching(true);
        fw::PushDrivers(this, fw::ActiveTranscript());
    }
    bool Step(fw::Hwnd active) override {
        if (script_.Failed())
            return false;
        if (!script_.Finished())
            return script_.Step(active);
        HoldWatching(false);
        fw::PopDrivers();
        return true;
    }

  private:
    static std::vector<fw::ScriptLine> Parse(const std::string& text) {
        std::vector<fw::ScriptLine> lines;
        std::string error;
        fw::ParseScript(text, &lines, &error);
        return lines;
    }
    fw::ScriptDriver script_;
};

// The sample cell's Sales Detail, customized up to the builder with the city
// chosen; the user then types the value, adds it and finishes. Notes the rows
// delivered and how many of them are Krakow in the code page's bytes.
int DrillCityFilter() {
    const std::string& filter = drillscripts::kFilterOnCity;
    ScriptThenUser driver("city-filter", filter.substr(0, filter.find("type 1030 ")));
    driver.Start();
    void* handle = nullptr;
    if (ZevDTInit(1, &handle) != ZEVDT_OK)
        return 2;
    char members[][24] = {"Year=2024", "Region=East", "Category=Beverages"};
    char* memberList[] = {members[0], members[1], members[2]};
    uint32_t rc = ZevDTOpen(handle, 3, memberList, 1);
    ZevDTDataItem* cells = nullptr;
    uint32_t count = 0;
    uint32_t rows = 0, krakow = 0;
    if (rc == ZEVDT_OK && ZevDTGetData(handle, &cells, &count) == ZEVDT_OK) {
        for (uint32_t i = 0; i < count; ++i) {
            rows = cells[i].row > rows ? cells[i].row : rows;
            krakow += std::string(cells[i].text) == "Krak\xf3w";
        }
    }
    ZevDTClose(handle);
    ZevDTExit(handle);
    Write("result city-filter " + std::to_string(rc) + " rows=" + std::to_string(rows) +
          " krakow=" + std::to_string(krakow));
    return static_cast<int>(rc);
}

int Run(const std::string& which, int argc, char** argv) {
    if (which == "login") {
        SampleLogin dlg;
        int rc = static_cast<int>(dlg.DoModal());
        Write("result login " + std::to_string(rc) + " server=" + std::string(dlg.m_strServerName) +
              " user=" + std::string(dlg.m_strUserName));
        return rc;
    }
    if (which == "host-login")
        return RunHostWindow(&OpenLogin);
    if (which == "reports") {
        const char* names[3] = {"Sales Detail", "Customer Orders", "Returns (fixed layout)"};
        sample::SampleReports reports(names);
        CReportsDlg dlg;
        dlg.m_pDrillThrough = &reports;
        int rc = static_cast<int>(dlg.DoModal());
        Write("result reports " + std::to_string(rc) + " selected=" + std::to_string(dlg.m_nSelected) +
              " customize=" + std::to_string(dlg.m_bCustomize));
        return rc;
    }
    if (which == "wizard") {
        // The wizard is walked to the step with Next, as a user reaches it: each
        // step then shows what the steps before it chose.
        unsigned step = argc > 0 ? static_cast<unsigned>(std::atoi(argv[0])) : 0;
        sample::SampleColumns owner;
        // "unsavable": the first column's name ends in "$*", which no saved filter can keep.
        if (argc > 1 && std::string(argv[1]) == "unsavable")
            std::strcpy(owner.GetColumnList()[0]->columnName, "SALE_DATE$*");
        CDTAttrSheet sheet(IDS_DRILL_THROUGH_REPORT, nullptr, 0);
        sample::SetUpWizard(sheet, owner);
        std::string walk;
        for (unsigned i = 0; i < step; ++i) walk += "press next\n";
        ScriptThenUser walker("wizard", walk);
        if (step > 0)
            walker.Start();
        int rc = static_cast<int>(sheet.DoModal());
        Write("result wizard " + std::to_string(rc));
        WriteColumns(owner);
        return rc;
    }
    if (which == "pick") {
        CPickStringItemDlg dlg;
        sample::SetUpOrderBy(dlg);
        int rc = static_cast<int>(dlg.DoModal());
        Write("result pick " + std::to_string(rc) + " selected=" + std::to_string(dlg.m_nSelectedIndex));
        return rc;
    }
    if (which == "values") {
        CMemberValueSelectDlg dlg;
        sample::SetUpValues(dlg);
        int rc = static_cast<int>(dlg.DoModal());
        std::string chosen;
        for (POSITION p = dlg.m_Values.GetHeadPosition(); p;)
            chosen += std::string(chosen.empty() ? "" : ",") + std::string(dlg.m_Values.GetNext(p));
        Write("result values " + std::to_string(rc) + " chosen=" + chosen);
        return rc;
    }
    if (which == "name") {
        GetFilterNameDlg dlg;
        sample::SetUpFilterName(dlg);
        int rc = static_cast<int>(dlg.DoModal());
        Write("result name " + std::to_string(rc) + " name=" + std::string(dlg.m_strName) +
              " copy=" + std::to_string(dlg.m_nCopyDefinition));
        return rc;
    }
    if (which == "builder") {
        sample::SampleColumns owner;
        CDFPropertySheet sheet(sample::BuilderCaption());
        sample::SetUpBuilder(sheet, owner, "REGION.CITY = 'Brno'");
        int rc = static_cast<int>(sheet.DoModal());
        Write("result builder " + std::to_string(rc));
        return rc;
    }
    if (which == "city-filter")
        return DrillCityFilter();
    std::fprintf(stderr,
                 "usage: real-input-host TRANSCRIPT login|host-login|reports|wizard [step "
                 "[unsavable]]|pick|values|name|builder|"
                 "city-filter\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        Run("", 0, nullptr);
        return 2;
    }
    if (!OpenTranscript(argv[1])) {
        std::fprintf(stderr, "real-input-host: cannot write %s\n", argv[1]);
        return 2;
    }
    FileTranscript transcript;
    fw::ScopedDriver scope(nullptr, &transcript);
    fw::SetShellOpenHook(&NoShell);
    StartWatching();
    int rc = Run(argv[2], argc - 3, argv + 3);
    Write("exit " + std::to_string(rc));
    CloseTranscript();
    return rc;
}
