// A data-transfer library for tests: the seventeen functions of the contract,
// programmed through a control block and recording every call. It is a real
// shared library, so that ZEVDTU's loader finds it by path. The records it
// hands out are the test's own (the same process), placed in the block.
#pragma once

#include <cstdint>
#include <cstring>
#include <initializer_list>

#include "zevdtapi.h"

#if defined(FAKE_DTAPI_BUILDING)
#define FAKE_DTAPI_FN ZEVDTAPI_EXPORT
#else
#define FAKE_DTAPI_FN
#endif

enum FakeFn : uint32_t {
    kFakeInit,
    kFakeSetConnection,
    kFakeGetInfo,
    kFakeSetInfo,
    kFakeSetInfoWithOptionOn,
    kFakeConnect,
    kFakeGetReports,
    kFakeExecuteReport,
    kFakeGetColumns,
    kFakeGetData,
    kFakeGetError,
    kFakeServerCancel,
    kFakeClose,
    kFakeExit,
    kFakeGetFilterDescConditions,
    kFakeSetFilterDescConditions,
    kFakeGetFilterData,
    kFakeFnCount
};

// The statuses one function answers: call n gets values[n]; calls beyond the
// list get its last value; an empty list answers 0.
struct FakeStatuses {
    uint32_t values[8];
    uint32_t count;
};

struct FakeDTAPIControlBlock {
    // Programmed by the test.
    FakeStatuses status[kFakeFnCount];
    ZevDTAPIConnectionInfo info;  // what GetInfo hands over
    ZevDTAPIReport** reports;
    uint32_t reportCount;
    ZevDTAPIColumn** columns;
    int32_t columnCount;
    ZevDTAPICell** cells;
    uint32_t rows;
    uint32_t columnsOfData;
    uint32_t errorNumber;
    uint32_t initGivesNoHandle;  // Init leaves the library handle NULL
    char errorText[1024];        // copied bounded by the caller's capacity

    // Recorded by the library.
    uint32_t calls[kFakeFnCount];
    uint32_t log[512];  // FakeFn of each call in order
    uint32_t logCount;
    uint32_t foreignHandleCalls;  // calls whose library handle Init did not make
    uintptr_t initValue;
    uint32_t memberCount;
    char** members;
    uint64_t context;
    ZevDTAPIConnectionInfo setInfo;              // the last record SetInfo received
    ZevDTAPIConnectionInfo setInfoWithOptionOn;  // the last record SetInfoWithOptionOn received
    uint32_t exitsWithNoHandle;                  // Exit calls given a NULL library handle
    uint32_t executedReport;
    uint32_t errorCapacity;  // the capacity the last GetError was given
    // Calls whose record or out values were not zeroed where the caller must
    // zero them first: GetInfo's record, GetError's text buffer, GetColumns'
    // and GetFilterDescConditions' out values.
    uint32_t notZeroed[kFakeFnCount];
    // GetFilterData hands out filterValues one batch of filterBatchSize at a
    // time, then a count of 0.
    char** filterValues;
    int32_t filterValueCount;
    int32_t filterBatchSize;
    int32_t filterValuesGiven;
};

extern "C" FAKE_DTAPI_FN FakeDTAPIControlBlock* FakeDTAPIControl();

// Test-side helpers.
inline void FakeReset(FakeDTAPIControlBlock* c) {
    std::memset(c, 0, sizeof *c);
}
inline void FakeProgram(FakeDTAPIControlBlock* c, FakeFn fn, std::initializer_list<uint32_t> statuses) {
    FakeStatuses& s = c->status[fn];
    s.count = 0;
    for (uint32_t v : statuses)
        if (s.count < 8)
            s.values[s.count++] = v;
}
inline const char* FakeFnName(uint32_t fn) {
    static const char* const names[kFakeFnCount] = {"Init",
                                                    "SetConnection",
                                                    "GetInfo",
                                                    "SetInfo",
                                                    "SetInfoWithOptionOn",
                                                    "Connect",
                                                    "GetReports",
                                                    "ExecuteReport",
                                                    "GetColumns",
                                                    "GetData",
                                                    "GetError",
                                                    "ServerCancel",
                                                    "Close",
                                                    "Exit",
                                                    "GetFilterDescConditions",
                                                    "SetFilterDescConditions",
                                                    "GetFilterData"};
    return fn < kFakeFnCount ? names[fn] : "?";
}
