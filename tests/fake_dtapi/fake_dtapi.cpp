#include "fake_dtapi.h"

#include <cstring>
#include <mutex>

namespace {

FakeDTAPIControlBlock g_control;
// The handle Init hands out: an address only this library gives away.
char g_handle;
// Hosts' threads may call into the library at the same moment (the first
// ZevDTInit of a process on several threads); the counts must not lose one.
std::mutex g_record;

uint32_t Called(FakeFn fn, void* library) {
    std::lock_guard<std::mutex> lock(g_record);
    FakeDTAPIControlBlock& c = g_control;
    uint32_t n = c.calls[fn]++;
    if (c.logCount < sizeof c.log / sizeof c.log[0])
        c.log[c.logCount++] = fn;
    if (fn != kFakeInit && library != &g_handle)
        ++c.foreignHandleCalls;
    const FakeStatuses& s = c.status[fn];
    if (s.count == 0)
        return 0;
    return s.values[n < s.count ? n : s.count - 1];
}

bool AllZero(const void* bytes, size_t size) {
    const unsigned char* p = static_cast<const unsigned char*>(bytes);
    for (size_t i = 0; i < size; ++i)
        if (p[i])
            return false;
    return true;
}

// Counts a call that received a record or out value it should have found zeroed.
void ExpectZeroed(FakeFn fn, bool zeroed) {
    if (!zeroed) {
        std::lock_guard<std::mutex> lock(g_record);
        ++g_control.notZeroed[fn];
    }
}

}  // namespace

extern "C" {

FAKE_DTAPI_FN FakeDTAPIControlBlock* FakeDTAPIControl() {
    return &g_control;
}

#ifdef FAKE_DTAPI_INCOMPLETE
// Built without one function, to show that such a library is refused.
#else
ZEVDTAPI_EXPORT int32_t ZEVDT_CALL ZevDTAPIGetFilterData(void* library, ZevDTAPIColumn*, char*** values,
                                                         int32_t* count) {
    FakeDTAPIControlBlock& c = g_control;
    *values = nullptr;
    *count = 0;
    int32_t status = static_cast<int32_t>(Called(kFakeGetFilterData, library));
    if (status == 0 && c.filterValues && c.filterValuesGiven < c.filterValueCount) {
        int32_t left = c.filterValueCount - c.filterValuesGiven;
        int32_t size = c.filterBatchSize > 0 && c.filterBatchSize < left ? c.filterBatchSize : left;
        *values = c.filterValues + c.filterValuesGiven;
        *count = size;
        c.filterValuesGiven += size;
    }
    return status;
}
#endif

ZEVDTAPI_EXPORT uint32_t ZEVDT_CALL ZevDTAPIInit(uintptr_t value, void** library) {
    g_control.initValue = value;
    *library = g_control.initGivesNoHandle ? nullptr : &g_handle;
    return Called(kFakeInit, &g_handle);
}

ZEVDTAPI_EXPORT uint32_t ZEVDT_CALL ZevDTAPISetConnection(void* library, char** members, uint32_t count,
                                                          uint64_t context) {
    g_control.members = members;
    g_control.memberCount = count;
    g_control.context = context;
    return Called(kFakeSetConnection, library);
}

ZEVDTAPI_EXPORT uint32_t ZEVDT_CALL ZevDTAPIGetInfo(void* library, ZevDTAPIConnectionInfo* info) {
    ExpectZeroed(kFakeGetInfo, AllZero(info, sizeof *info));
    uint32_t status = Called(kFakeGetInfo, library);
    if (status == 0)
        *info = g_control.info;
    return status;
}

ZEVDTAPI_EXPORT uint32_t ZEVDT_CALL ZevDTAPISetInfo(void* library, ZevDTAPIConnectionInfo* info) {
    g_control.setInfo = *info;
    return Called(kFakeSetInfo, library);
}

ZEVDTAPI_EXPORT uint32_t ZEVDT_CALL ZevDTAPISetInfoWithOptionOn(void* library, ZevDTAPIConnectionInfo* info) {
    g_control.setInfoWithOptionOn = *info;
    return Called(kFakeSetInfoWithOptionOn, library);
}

ZEVDTAPI_EXPORT uint32_t ZEVDT_CALL ZevDTAPIConnect(void* library) {
    return Called(kFakeConnect, library);
}

ZEVDTAPI_EXPORT uint32_t ZEVDT_CALL ZevDTAPIGetReports(void* library, ZevDTAPIReport*** reports,
                                                       uint32_t* count) {
    uint32_t status = Called(kFakeGetReports, library);
    if (status == 0) {
        *reports = g_control.reports;
        *count = g_control.reportCount;
    }
    return status;
}

ZEVDTAPI_EXPORT uint32_t ZEVDT_CALL ZevDTAPIExecuteReport(void* library, uint32_t index) {
    g_control.executedReport = index;
    return Called(kFakeExecuteReport, library);
}

ZEVDTAPI_EXPORT uint32_t ZEVDT_CALL ZevDTAPIGetColumns(void* library, ZevDTAPIColumn*** columns,
                                                       int32_t* count) {
    ExpectZeroed(kFakeGetColumns, *columns == nullptr && *count == 0);
    uint32_t status = Called(kFakeGetColumns, library);
    if (status == 0) {
        *columns = g_control.columns;
        *count = g_control.columnCount;
    }
    return status;
}

ZEVDTAPI_EXPORT uint32_t ZEVDT_CALL ZevDTAPIGetData(void* library, ZevDTAPICell*** cells, uint32_t* rows,
                                                    uint32_t* columns) {
    uint32_t status = Called(kFakeGetData, library);
    if (status == 0) {
        *cells = g_control.cells;
        *rows = g_control.rows;
        *columns = g_control.columnsOfData;
    }
    return status;
}

ZEVDTAPI_EXPORT uint32_t ZEVDT_CALL ZevDTAPIGetError(void* library, uint32_t* number, char* text,
                                                     uint32_t capacity) {
    g_control.errorCapacity = capacity;
    ExpectZeroed(kFakeGetError, AllZero(text, capacity));
    *number = g_control.errorNumber;
    // As a library would: at most `capacity` bytes, terminated when there is room.
    size_t length = strnlen(g_control.errorText, sizeof g_control.errorText);
    if (length > capacity)
        length = capacity;
    std::memcpy(text, g_control.errorText, length);
    if (length < capacity)
        text[length] = '\0';
    return Called(kFakeGetError, library);
}

ZEVDTAPI_EXPORT uint32_t ZEVDT_CALL ZevDTAPIServerCancel(void* library) {
    return Called(kFakeServerCancel, library);
}

ZEVDTAPI_EXPORT uint32_t ZEVDT_CALL ZevDTAPIClose(void* library) {
    return Called(kFakeClose, library);
}

ZEVDTAPI_EXPORT uint32_t ZEVDT_CALL ZevDTAPIExit(void* library) {
    if (!library)
        ++g_control.exitsWithNoHandle;
    return Called(kFakeExit, library);
}

ZEVDTAPI_EXPORT int32_t ZEVDT_CALL ZevDTAPIGetFilterDescConditions(void* library, char*** records,
                                                                   int32_t* count) {
    ExpectZeroed(kFakeGetFilterDescConditions, *records == nullptr && *count == 0);
    return static_cast<int32_t>(Called(kFakeGetFilterDescConditions, library));
}

ZEVDTAPI_EXPORT int32_t ZEVDT_CALL ZevDTAPISetFilterDescConditions(void* library, char**, int32_t) {
    return static_cast<int32_t>(Called(kFakeSetFilterDescConditions, library));
}

}  // extern "C"
