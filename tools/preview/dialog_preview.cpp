// Shows one of the library's dialogs with sample contents and waits for the
// user: how screenshots of the real dialogs are taken.
//
//   zevdt-preview login|reports|wait|wizard
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "dialogs/login_dlg.h"
#include "dialogs/reports_dlg.h"
#include "dialogs/wait_dialog.h"
#include "wizard/dt_attr_sheet.h"

namespace {

class SampleReports : public CReportSource {
  public:
    SampleReports() {
        const char* names[] = {"Sales by Region", "Sales by Product and Month", "Returns (fixed layout)"};
        for (int i = 0; i < 3; ++i) {
            std::memset(&records_[i], 0, sizeof records_[i]);
            std::strncpy(records_[i].name, names[i], sizeof records_[i].name - 1);
            records_[i].customisable = i < 2;
            list_[i] = &records_[i];
        }
    }
    ZevDTAPIReport** GetReportList() const override { return const_cast<ZevDTAPIReport**>(list_); }
    uint32_t GetReportCount() const override { return 3; }

  private:
    ZevDTAPIReport records_[3];
    ZevDTAPIReport* list_[3];
};

// A report without columns: the wizard's first step needs none.
class NoColumns : public CDTOwner {
  public:
    ZevDTAPIColumn** GetColumnList() const override { return nullptr; }
    int32_t GetColumnCount() const override { return 0; }
    void ShowLibraryError() override {}
    uint32_t CancelServerRequest() override { return 0; }
    int32_t GetFilterDescConditions(char*** records, int32_t* count) override {
        return Nothing(records, count);
    }
    int32_t SetFilterDescConditions(char**, int32_t) override { return 0; }
    int32_t GetFilterData(ZevDTAPIColumn*, char*** values, int32_t* count) override {
        return Nothing(values, count);
    }

  private:
    static int32_t Nothing(char*** list, int32_t* count) {
        *list = nullptr;
        *count = 0;
        return 0;
    }
};

}  // namespace

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
        SampleReports reports;
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
        NoColumns owner;
        CDTAttrSheet sheet(IDS_DRILL_THROUGH_REPORT, nullptr, 0);
        sheet.SetOwner(&owner);
        return static_cast<int>(sheet.DoModal());
    }
    std::fprintf(stderr, "usage: zevdt-preview login|reports|wait|wizard\n");
    return 2;
}
