/*
 * zevdtapi.h - the data-transfer library contract.
 *
 * Seventeen functions and the records they exchange. ZEVDTU loads a library
 * with this contract by name and knows nothing else of it; the stand-in in
 * dtapi/ and the test fakes are built against this header alone.
 *
 * Every function takes the library handle made by ZevDTAPIInit first and
 * returns a status: 0 is success, anything else is the library's error number
 * (ZevDTAPIGetError gives its text). 2003000 means the login was refused.
 *
 * Everything the library hands out (report list, column list, cells, filter
 * records, value batches) belongs to the library and stays valid until the
 * next call of the same kind, ZevDTAPIClose or ZevDTAPIExit. Callers never
 * free it. The column records are writable: the caller stores display, sort
 * and filter choices in them and the library reads them back on
 * ZevDTAPIGetData.
 *
 * All integers are little-endian; texts are NUL-terminated byte strings in the
 * process's ANSI code page.
 */
#ifndef ZEVDTAPI_H
#define ZEVDTAPI_H

#include <stddef.h>
#include <stdint.h>

#if defined(_WIN32) && !defined(_WIN64)
#define ZEVDT_CALL __stdcall
#else
#define ZEVDT_CALL
#endif

#if defined(_WIN32)
#define ZEVDTAPI_EXPORT __declspec(dllexport)
#elif defined(__GNUC__)
#define ZEVDTAPI_EXPORT __attribute__((visibility("default")))
#else
#define ZEVDTAPI_EXPORT
#endif

#ifdef ZEVDTAPI_BUILDING
#define ZEVDTAPI_FN ZEVDTAPI_EXPORT
#else
#define ZEVDTAPI_FN
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* Status of a refused login. */
#define ZEVDTAPI_LOGIN_REFUSED 2003000u

/* Capacity the caller passes to ZevDTAPIGetError (the buffer is one byte more). */
#define ZEVDTAPI_ERROR_TEXT_CAPACITY 255u

/* Field widths. A text field of N bytes holds at most N-1 bytes of text. */
#define ZEVDTAPI_LOGIN_FIELD 31
#define ZEVDTAPI_NAME_FIELD 4101
#define ZEVDTAPI_CONDITION_FIELD 8193
#define ZEVDTAPI_REPORT_NAME_FIELD 84

/* Data type code of character data. */
#define ZEVDTAPI_TYPE_CHAR 10

/* Sort directions. */
#define ZEVDTAPI_SORT_ASCENDING 1
#define ZEVDTAPI_SORT_DESCENDING 2

/* Login flags of the connection-info record. */
#define ZEVDTAPI_LOGIN_SERVER 0x0001u /* the server name is to be entered */
#define ZEVDTAPI_LOGIN_USER 0x0002u   /* user name and password are to be entered */

/* Report record: the caller reads only the name and the customisable flag. */
typedef struct ZevDTAPIReport {
    uint32_t reserved;                     /* 0 */
    char name[ZEVDTAPI_REPORT_NAME_FIELD]; /* 4 */
    uint32_t customisable;                 /* 88: nonzero: may be opened in the wizard */
} ZevDTAPIReport;

/* Column record, one per column of the executed report. */
typedef struct ZevDTAPIColumn {
    uint32_t reserved;                        /* 0 */
    int32_t displayPosition;                  /* 4: 1..N place among displayed columns; <= 0 hidden */
    char tableName[ZEVDTAPI_NAME_FIELD];      /* 8 */
    char columnName[ZEVDTAPI_NAME_FIELD];     /* 4109 */
    uint16_t dataType;                        /* 8210: 10 = character data */
    int32_t sortPosition;                     /* 8212: 1..N, 0 not sorted */
    int32_t sortDirection;                    /* 8216: 1 ascending, 2 descending */
    uint8_t filterOnly;                       /* 8220 */
    char condition[ZEVDTAPI_CONDITION_FIELD]; /* 8221: condition text of the column's filter */
} ZevDTAPIColumn;

/* Connection-info record: 126 bytes, exchanged with GetInfo/SetInfo. */
typedef struct ZevDTAPIConnectionInfo {
    char serverName[ZEVDTAPI_LOGIN_FIELD];     /* 0 */
    char dataSourceName[ZEVDTAPI_LOGIN_FIELD]; /* 31 */
    char userName[ZEVDTAPI_LOGIN_FIELD];       /* 62 */
    char password[ZEVDTAPI_LOGIN_FIELD];       /* 93 */
    uint16_t loginFlags;                       /* 124 */
} ZevDTAPIConnectionInfo;

/* Cell record: the text starts at byte 8 and runs on to its NUL, past the
 * end of this struct; read it with ZEVDTAPI_CELL_TEXT. */
typedef struct ZevDTAPICell {
    uint8_t reserved[8];
    char text[8];
} ZevDTAPICell;

#define ZEVDTAPI_CELL_TEXT_OFFSET 8
#define ZEVDTAPI_CELL_TEXT(cell) ((const char*)(cell) + ZEVDTAPI_CELL_TEXT_OFFSET)

ZEVDTAPI_FN uint32_t ZEVDT_CALL ZevDTAPIInit(uintptr_t value, void** library);
ZEVDTAPI_FN uint32_t ZEVDT_CALL ZevDTAPISetConnection(void* library, char** members, uint32_t count,
                                                      uint64_t context);
ZEVDTAPI_FN uint32_t ZEVDT_CALL ZevDTAPIGetInfo(void* library, ZevDTAPIConnectionInfo* info);
ZEVDTAPI_FN uint32_t ZEVDT_CALL ZevDTAPISetInfo(void* library, ZevDTAPIConnectionInfo* info);
ZEVDTAPI_FN uint32_t ZEVDT_CALL ZevDTAPISetInfoWithOptionOn(void* library, ZevDTAPIConnectionInfo* info);
ZEVDTAPI_FN uint32_t ZEVDT_CALL ZevDTAPIConnect(void* library);
ZEVDTAPI_FN uint32_t ZEVDT_CALL ZevDTAPIGetReports(void* library, ZevDTAPIReport*** reports, uint32_t* count);
ZEVDTAPI_FN uint32_t ZEVDT_CALL ZevDTAPIExecuteReport(void* library, uint32_t reportIndex);
ZEVDTAPI_FN uint32_t ZEVDT_CALL ZevDTAPIGetColumns(void* library, ZevDTAPIColumn*** columns, int32_t* count);
ZEVDTAPI_FN uint32_t ZEVDT_CALL ZevDTAPIGetData(void* library, ZevDTAPICell*** cells, uint32_t* rows,
                                                uint32_t* columns);
ZEVDTAPI_FN uint32_t ZEVDT_CALL ZevDTAPIGetError(void* library, uint32_t* number, char* text,
                                                 uint32_t capacity);
ZEVDTAPI_FN uint32_t ZEVDT_CALL ZevDTAPIServerCancel(void* library);
ZEVDTAPI_FN uint32_t ZEVDT_CALL ZevDTAPIClose(void* library);
ZEVDTAPI_FN uint32_t ZEVDT_CALL ZevDTAPIExit(void* library);
ZEVDTAPI_FN int32_t ZEVDT_CALL ZevDTAPIGetFilterDescConditions(void* library, char*** records,
                                                               int32_t* count);
ZEVDTAPI_FN int32_t ZEVDT_CALL ZevDTAPISetFilterDescConditions(void* library, char** records, int32_t count);
ZEVDTAPI_FN int32_t ZEVDT_CALL ZevDTAPIGetFilterData(void* library, ZevDTAPIColumn* column, char*** values,
                                                     int32_t* count);

/* Pointer types of the seventeen functions, for loaders and fakes. */
typedef uint32_t(ZEVDT_CALL* ZevDTAPIInitFn)(uintptr_t, void**);
typedef uint32_t(ZEVDT_CALL* ZevDTAPISetConnectionFn)(void*, char**, uint32_t, uint64_t);
typedef uint32_t(ZEVDT_CALL* ZevDTAPIGetInfoFn)(void*, ZevDTAPIConnectionInfo*);
typedef uint32_t(ZEVDT_CALL* ZevDTAPISetInfoFn)(void*, ZevDTAPIConnectionInfo*);
typedef uint32_t(ZEVDT_CALL* ZevDTAPISetInfoWithOptionOnFn)(void*, ZevDTAPIConnectionInfo*);
typedef uint32_t(ZEVDT_CALL* ZevDTAPIConnectFn)(void*);
typedef uint32_t(ZEVDT_CALL* ZevDTAPIGetReportsFn)(void*, ZevDTAPIReport***, uint32_t*);
typedef uint32_t(ZEVDT_CALL* ZevDTAPIExecuteReportFn)(void*, uint32_t);
typedef uint32_t(ZEVDT_CALL* ZevDTAPIGetColumnsFn)(void*, ZevDTAPIColumn***, int32_t*);
typedef uint32_t(ZEVDT_CALL* ZevDTAPIGetDataFn)(void*, ZevDTAPICell***, uint32_t*, uint32_t*);
typedef uint32_t(ZEVDT_CALL* ZevDTAPIGetErrorFn)(void*, uint32_t*, char*, uint32_t);
typedef uint32_t(ZEVDT_CALL* ZevDTAPIServerCancelFn)(void*);
typedef uint32_t(ZEVDT_CALL* ZevDTAPICloseFn)(void*);
typedef uint32_t(ZEVDT_CALL* ZevDTAPIExitFn)(void*);
typedef int32_t(ZEVDT_CALL* ZevDTAPIGetFilterDescConditionsFn)(void*, char***, int32_t*);
typedef int32_t(ZEVDT_CALL* ZevDTAPISetFilterDescConditionsFn)(void*, char**, int32_t);
typedef int32_t(ZEVDT_CALL* ZevDTAPIGetFilterDataFn)(void*, ZevDTAPIColumn*, char***, int32_t*);

#ifdef __cplusplus
} /* extern "C" */
#endif

/* The layouts are binary contracts: check every offset at compile time. */
#ifdef __cplusplus
#define ZEVDTAPI_STATIC_ASSERT(c, m) static_assert(c, m)
#else
#define ZEVDTAPI_STATIC_ASSERT(c, m) _Static_assert(c, m)
#endif
ZEVDTAPI_STATIC_ASSERT(offsetof(ZevDTAPIReport, name) == 4, "report name at 4");
ZEVDTAPI_STATIC_ASSERT(offsetof(ZevDTAPIReport, customisable) == 88, "customisable flag at 88");
ZEVDTAPI_STATIC_ASSERT(offsetof(ZevDTAPIColumn, displayPosition) == 4, "display position at 4");
ZEVDTAPI_STATIC_ASSERT(offsetof(ZevDTAPIColumn, tableName) == 8, "table name at 8");
ZEVDTAPI_STATIC_ASSERT(offsetof(ZevDTAPIColumn, columnName) == 4109, "column name at 4109");
ZEVDTAPI_STATIC_ASSERT(offsetof(ZevDTAPIColumn, dataType) == 8210, "data type at 8210");
ZEVDTAPI_STATIC_ASSERT(offsetof(ZevDTAPIColumn, sortPosition) == 8212, "sort position at 8212");
ZEVDTAPI_STATIC_ASSERT(offsetof(ZevDTAPIColumn, sortDirection) == 8216, "sort direction at 8216");
ZEVDTAPI_STATIC_ASSERT(offsetof(ZevDTAPIColumn, filterOnly) == 8220, "filter-only flag at 8220");
ZEVDTAPI_STATIC_ASSERT(offsetof(ZevDTAPIColumn, condition) == 8221, "condition at 8221");
ZEVDTAPI_STATIC_ASSERT(sizeof(ZevDTAPIColumn) >= 8221 + 8193, "condition field complete");
ZEVDTAPI_STATIC_ASSERT(offsetof(ZevDTAPIConnectionInfo, dataSourceName) == 31, "data source at 31");
ZEVDTAPI_STATIC_ASSERT(offsetof(ZevDTAPIConnectionInfo, userName) == 62, "user at 62");
ZEVDTAPI_STATIC_ASSERT(offsetof(ZevDTAPIConnectionInfo, password) == 93, "password at 93");
ZEVDTAPI_STATIC_ASSERT(offsetof(ZevDTAPIConnectionInfo, loginFlags) == 124, "login flags at 124");
ZEVDTAPI_STATIC_ASSERT(sizeof(ZevDTAPIConnectionInfo) == 126, "connection info is 126 bytes");
ZEVDTAPI_STATIC_ASSERT(offsetof(ZevDTAPICell, text) == ZEVDTAPI_CELL_TEXT_OFFSET, "cell text at 8");

#endif /* ZEVDTAPI_H */
