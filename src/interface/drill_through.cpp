#include "drill_through.h"

#include <cstdlib>
#include <cstring>

#include "framework/bounded_copy.h"
#include "resources/resource.h"

CDrillThrough::CDrillThrough(const zevdt::DTAPITable& api)
    : CDTAttrSheet(IDS_DRILL_THROUGH_REPORT, nullptr, 0), m_api(api) {
    SetOwner(this);
    m_pSourcePassword = new char[ZEVDT_PASSWORD_FIELD]();
}

CDrillThrough::~CDrillThrough() {
    std::free(m_pData);
    std::free(m_pHeader);
    std::free(m_pHeaderInfo);
    delete[] m_pSourcePassword;
    // Also for a null handle: the library may have set up something for the
    // call that made none, and only its exit can release it.
    m_api.Exit(m_hLibrary);
}

void CDrillThrough::InitLibrary(uintptr_t value) {
    m_api.Init(value, &m_hLibrary);
}

void CDrillThrough::ShowLibraryError() {
    char text[ZEVDTAPI_ERROR_TEXT_CAPACITY + 1] = {};
    uint32_t number = 0;
    m_api.GetError(m_hLibrary, &number, text, ZEVDTAPI_ERROR_TEXT_CAPACITY);
    // The library may fill the buffer to its end: never read past it.
    text[ZEVDTAPI_ERROR_TEXT_CAPACITY] = '\0';
    CString message(text);
    message.TrimRight();
    if (message.IsEmpty()) {
        CString format;
        format.LoadString(IDS_DRILL_THROUGH_ERROR);
        message = format;
        message.Replace("%d", std::to_string(number).c_str());
    }
    AfxMessageBox(message, MB_OK);
}

uint32_t CDrillThrough::CancelServerRequest() {
    uint32_t status = m_api.ServerCancel(m_hLibrary);
    if (status != 0)
        ShowLibraryError();
    return status;
}

int32_t CDrillThrough::GetFilterDescConditions(char*** records, int32_t* count) {
    return m_api.GetFilterDescConditions(m_hLibrary, records, count);
}

int32_t CDrillThrough::SetFilterDescConditions(char** records, int32_t count) {
    return m_api.SetFilterDescConditions(m_hLibrary, records, count);
}

int32_t CDrillThrough::GetFilterData(ZevDTAPIColumn* column, char*** values, int32_t* count) {
    return m_api.GetFilterData(m_hLibrary, column, values, count);
}

uint32_t CDrillThrough::Close() {
    uint32_t status = m_api.Close(m_hLibrary);
    // The library's report and column records end with the report.
    ForgetReport();
    if (status != 0)
        ShowLibraryError();
    return status;
}

void CDrillThrough::ForgetReport() {
    m_bReportOpen = false;
    m_ppReports = nullptr;
    m_nReportCount = 0;
    m_ppColumns = nullptr;
    m_nColumnCount = 0;
    m_nSelectedReport = 0;
}

void CDrillThrough::SetSourcePassword(const char* password) {
    fw::BoundedCopy(m_pSourcePassword, ZEVDT_PASSWORD_FIELD - 1, password);
}

void CDrillThrough::ClearSourcePassword() {
    std::memset(m_pSourcePassword, 0, ZEVDT_PASSWORD_FIELD);
}
