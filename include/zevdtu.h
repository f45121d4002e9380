/*
 * zevdtu.h - the drill-through library as a host sees it.
 *
 * A host calls ZevDTInit once, ZevDTOpen for each report the user asks for,
 * then ZevDTGetHeader, ZevDTGetHeaderInfo and ZevDTGetData to collect it,
 * ZevDTClose to end it and ZevDTExit to destroy the handle. Everything runs
 * on the caller's thread; dialogs are modal. A handle is used by one thread at
 * a time.
 *
 * One exception: ZevDTGetData, for a result of 131,072 cells or more on a
 * machine with more than one core, fills half of the data items on a worker
 * thread while the caller's thread fills the other half. The worker is
 * started and joined inside that call and does nothing but copy cell texts;
 * when it cannot be had, the caller's thread fills all. The host's C++
 * exception handling is not needed for it (nothing it does throws); on
 * Windows a structured exception handler around ZevDTGetData does not cover
 * the worker's thread. It shortens the wait for fresh pages of a large
 * result when a core is free (about a third at a million cells on an idle
 * machine); on a busy machine it gains nothing.
 *
 * Every export but ZevDTGetSourcePassword returns a code: 0 success, 1 the
 * user cancelled ZevDTOpen, a ZEVDT_E_* code (its number is also the id of
 * its text in the library's string table), or a status of the data-transfer
 * library passed on unchanged.
 *
 * The item arrays belong to the handle and stay valid until the same export
 * is called again or ZevDTExit. Hosts never free them.
 */
#ifndef ZEVDTU_H
#define ZEVDTU_H

#include <stddef.h>
#include <stdint.h>

#if defined(_WIN32) && !defined(_WIN64)
#define ZEVDT_CALL __stdcall
#elif !defined(ZEVDT_CALL)
#define ZEVDT_CALL
#endif

#if defined(ZEVDTU_BUILDING)
#if defined(_WIN32)
#define ZEVDTU_FN __declspec(dllexport)
#elif defined(__GNUC__)
#define ZEVDTU_FN __attribute__((visibility("default")))
#else
#define ZEVDTU_FN
#endif
#else
#define ZEVDTU_FN
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* Result codes. */
#define ZEVDT_OK 0u
#define ZEVDT_CANCELLED 1u            /* the user cancelled ZevDTOpen; no text */
#define ZEVDT_E_EXCEPTION 50001u      /* "Caught unknown exception" */
#define ZEVDT_E_NO_REPORTS 50007u     /* "There are no reports defined for selected intersection." */
#define ZEVDT_E_NO_COLUMNS 50008u     /* "There are no display columns defined in a selected report." */
#define ZEVDT_E_ALLOCATION 50009u     /* "Failed to allocate [%d] bytes of memory." */
#define ZEVDT_E_DISPLAY_ORDER 50011u  /* "Invalid display order sequence found" */
#define ZEVDT_E_NO_DATA_SOURCE 50012u /* "Datasource name is not available." */
#define ZEVDT_E_NULL_PARAMETER 50513u /* "Null Parameter" */

/* Capacity of the source password buffer: 30 bytes of text and a NUL. */
#define ZEVDT_PASSWORD_FIELD 31
#define ZEVDT_ITEM_TEXT_FIELD 256
#define ZEVDT_INFO_NAME_FIELD 4101

/* One item per displayed column, in display order. 264 bytes. */
typedef struct ZevDTHeaderItem {
    uint32_t row;                     /* 0: always 0 */
    uint32_t column;                  /* 4: display position, 1..N */
    char name[ZEVDT_ITEM_TEXT_FIELD]; /* 8: column name, at most 255 bytes */
} ZevDTHeaderItem;

/* One item per displayed column, in display order. 8208 bytes. */
typedef struct ZevDTHeaderInfoItem {
    uint32_t column;                        /* 0: display position, 1..N */
    char tableName[ZEVDT_INFO_NAME_FIELD];  /* 4 */
    char columnName[ZEVDT_INFO_NAME_FIELD]; /* 4105 */
    uint16_t dataType;                      /* 8206: 10 = character data */
} ZevDTHeaderInfoItem;

/* One item per cell, row by row. 264 bytes. */
typedef struct ZevDTDataItem {
    uint32_t row;                     /* 0: from 1 within this result */
    uint32_t column;                  /* 4: from 0, in the library's column order */
    char text[ZEVDT_ITEM_TEXT_FIELD]; /* 8: at most 255 bytes; empty for a missing cell */
} ZevDTDataItem;

ZEVDTU_FN uint32_t ZEVDT_CALL ZevDTInit(uintptr_t value, void** handle);
ZEVDTU_FN uint32_t ZEVDT_CALL ZevDTOpen(void* handle, uint32_t memberCount, char** members, uint64_t context);
ZEVDTU_FN uint32_t ZEVDT_CALL ZevDTGetHeader(void* handle, ZevDTHeaderItem** items, uint32_t* count);
ZEVDTU_FN uint32_t ZEVDT_CALL ZevDTGetHeaderInfo(void* handle, ZevDTHeaderInfoItem** items, uint32_t* count);
ZEVDTU_FN uint32_t ZEVDT_CALL ZevDTGetData(void* handle, ZevDTDataItem** items, uint32_t* count);
ZEVDTU_FN uint32_t ZEVDT_CALL ZevDTClose(void* handle);
ZEVDTU_FN char* ZEVDT_CALL ZevDTGetSourcePassword(void* handle);
ZEVDTU_FN uint32_t ZEVDT_CALL ZevDTSetSourcePassword(void* handle, const char* password);
ZEVDTU_FN uint32_t ZEVDT_CALL ZevDTExit(void* handle);

#if !defined(_WIN32)
/* The text of a code (a string of the library's table), for hosts on systems
 * without the platform's string loading; on Windows, load string `id` from
 * the ZEVDTU.dll module with LoadStringA instead. Copies at most capacity-1
 * bytes and a NUL, as LoadStringA does, and returns the bytes copied; 0 when
 * the id has no text (buffer then holds the empty text). */
ZEVDTU_FN uint32_t ZEVDT_CALL ZevDTLoadString(uint32_t id, char* buffer, uint32_t capacity);
/* The text of the last message box that the handle's latest ZevDTOpen,
 * ZevDTGetHeader, ZevDTGetHeaderInfo, ZevDTGetData or ZevDTClose showed: on
 * Linux no one sees those boxes, and for a status of the data-transfer
 * library this is the only place its text reaches the host. Empty when that
 * call showed none. Copies as ZevDTLoadString does; 0 for an unknown handle.
 * On Windows the user has seen the box; a host that must log its text names
 * a UI transcript (ZEVDT_UI_TRANSCRIPT), where every box is a line. */
ZEVDTU_FN uint32_t ZEVDT_CALL ZevDTGetLastMessage(void* handle, char* buffer, uint32_t capacity);
#endif

#ifdef __cplusplus
} /* extern "C" */
#endif

#ifdef __cplusplus
#define ZEVDTU_STATIC_ASSERT(c, m) static_assert(c, m)
#else
#define ZEVDTU_STATIC_ASSERT(c, m) _Static_assert(c, m)
#endif
ZEVDTU_STATIC_ASSERT(offsetof(ZevDTHeaderItem, column) == 4, "header column at 4");
ZEVDTU_STATIC_ASSERT(offsetof(ZevDTHeaderItem, name) == 8, "header name at 8");
ZEVDTU_STATIC_ASSERT(sizeof(ZevDTHeaderItem) == 264, "header item is 264 bytes");
ZEVDTU_STATIC_ASSERT(offsetof(ZevDTHeaderInfoItem, tableName) == 4, "info table at 4");
ZEVDTU_STATIC_ASSERT(offsetof(ZevDTHeaderInfoItem, columnName) == 4105, "info column at 4105");
ZEVDTU_STATIC_ASSERT(offsetof(ZevDTHeaderInfoItem, dataType) == 8206, "info type at 8206");
ZEVDTU_STATIC_ASSERT(sizeof(ZevDTHeaderInfoItem) == 8208, "header-info item is 8208 bytes");
ZEVDTU_STATIC_ASSERT(offsetof(ZevDTDataItem, column) == 4, "data column at 4");
ZEVDTU_STATIC_ASSERT(offsetof(ZevDTDataItem, text) == 8, "data text at 8");
ZEVDTU_STATIC_ASSERT(sizeof(ZevDTDataItem) == 264, "data item is 264 bytes");

#endif /* ZEVDTU_H */
