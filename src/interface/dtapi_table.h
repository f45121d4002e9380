// The data-transfer library as ZEVDTU calls it: seventeen function pointers,
// filled by loading the library by name. Nothing else of the library is known.
#pragma once

#include <string>

#include "zevdtapi.h"

namespace zevdt {

struct DTAPITable {
    ZevDTAPIInitFn Init = nullptr;
    ZevDTAPISetConnectionFn SetConnection = nullptr;
    ZevDTAPIGetInfoFn GetInfo = nullptr;
    ZevDTAPISetInfoFn SetInfo = nullptr;
    ZevDTAPISetInfoWithOptionOnFn SetInfoWithOptionOn = nullptr;
    ZevDTAPIConnectFn Connect = nullptr;
    ZevDTAPIGetReportsFn GetReports = nullptr;
    ZevDTAPIExecuteReportFn ExecuteReport = nullptr;
    ZevDTAPIGetColumnsFn GetColumns = nullptr;
    ZevDTAPIGetDataFn GetData = nullptr;
    ZevDTAPIGetErrorFn GetError = nullptr;
    ZevDTAPIServerCancelFn ServerCancel = nullptr;
    ZevDTAPICloseFn Close = nullptr;
    ZevDTAPIExitFn Exit = nullptr;
    ZevDTAPIGetFilterDescConditionsFn GetFilterDescConditions = nullptr;
    ZevDTAPISetFilterDescConditionsFn SetFilterDescConditions = nullptr;
    ZevDTAPIGetFilterDataFn GetFilterData = nullptr;
};

// The file name the library is looked for under.
const char* DTAPILibraryName();

// The table of the data-transfer library, loading it on first use:
// ZEVDTAPI_LIBRARY (a full path; a relative one is refused) when set,
// otherwise the library beside ZEVDTU (its folder resolved when ZEVDTU was
// loaded), then the platform's search (never the current directory on
// Windows). A library once loaded stays loaded for the process: drill-through
// objects keep pointers into it. Null when no library could be loaded or one
// of the seventeen functions is missing; *error then says why.
const DTAPITable* LoadDTAPI(std::string* error = nullptr);

// Tests: answer LoadDTAPI with this table instead of loading (null: load again).
void SetDTAPIForTesting(const DTAPITable* table);

}  // namespace zevdt
