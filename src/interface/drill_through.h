// The drill-through object: the customisation wizard itself, extended by the
// connection, the report and column lists of the current report and the
// arrays handed to the host. The host holds its address as the handle.
#pragma once

#include <cstdint>
#include <string>

#include "dialogs/report_source.h"
#include "dtapi_table.h"
#include "wizard/dt_attr_sheet.h"
#include "zevdtu.h"

namespace zevdt {
// How the arrays handed to the host are allocated: zero-filled, freed with
// std::free. Tests replace it to make an allocation fail.
using ZeroAllocator = void* (*)(size_t bytes);
void SetZeroAllocatorForTesting(ZeroAllocator allocator);  // null: the default
// Runs just before the fill's worker thread is started; tests make it throw
// to stand for a worker that cannot be had.
using FillThreadHook = void (*)();
void SetFillThreadHookForTesting(FillThreadHook hook);  // null: none
// Fills `total` data items, row by row `columns` wide, from the library's
// cells (a null cell gives an empty text). `reuse`: the block holds an
// earlier result and is zeroed as it is filled; otherwise it comes zeroed.
void FillDataItems(ZevDTDataItem* items, ZevDTAPICell* const* cells, uint64_t total, uint32_t columns,
                   bool reuse);
}  // namespace zevdt

class CDrillThrough : public CDTAttrSheet, public CReportSource, public CDTOwner {
  public:
    explicit CDrillThrough(const zevdt::DTAPITable& api);
    ~CDrillThrough() override;
    CDrillThrough(const CDrillThrough&) = delete;
    CDrillThrough& operator=(const CDrillThrough&) = delete;

    // ZevDTAPIInit with the host's value; its status tells nothing the
    // library will not report again on the first real call.
    void InitLibrary(uintptr_t value);

    // The open sequence behind ZevDTOpen: 0 ready, 1 cancelled, a message
    // code, or the failing library status.
    uint32_t Open(uint32_t memberCount, char** members, uint64_t context);
    uint32_t GetHeader(ZevDTHeaderItem** items, uint32_t* count);
    uint32_t GetHeaderInfo(ZevDTHeaderInfoItem** items, uint32_t* count);
    uint32_t GetData(ZevDTDataItem** items, uint32_t* count);
    uint32_t Close();
    char* GetSourcePassword() { return m_pSourcePassword; }
    void SetSourcePassword(const char* password);

    // CReportSource
    ZevDTAPIReport** GetReportList() const override { return m_ppReports; }
    uint32_t GetReportCount() const override { return m_nReportCount; }
    // CDTOwner
    ZevDTAPIColumn** GetColumnList() const override { return m_ppColumns; }
    int32_t GetColumnCount() const override { return m_nColumnCount; }
    void ShowLibraryError() override;
    uint32_t CancelServerRequest() override;
    int32_t GetFilterDescConditions(char*** records, int32_t* count) override;
    int32_t SetFilterDescConditions(char** records, int32_t count) override;
    int32_t GetFilterData(ZevDTAPIColumn* column, char*** values, int32_t* count) override;

    const zevdt::DTAPITable& Api() const { return m_api; }
    uint32_t GetDataRowCount() const { return m_nDataRows; }
    // The text of the last message box that the latest ZevDTOpen, delivery
    // or ZevDTClose on this handle showed; empty when it showed none.
    std::string& LastMessage() { return m_strLastMessage; }

  protected:
    uint32_t RunOpenSequence(uint32_t memberCount, char** members, uint64_t context);
    uint32_t ConnectWithRetries(ZevDTAPIConnectionInfo* info);
    void ForgetReport();
    void ClearSourcePassword();
    void FreeDataBlock();

    const zevdt::DTAPITable& m_api;

    ZevDTDataItem* m_pData = nullptr;
    uint32_t m_nDataRows = 0;
    uint32_t m_nDataColumns = 0;
    void* m_hLibrary = nullptr;
    ZevDTAPIReport** m_ppReports = nullptr;
    uint32_t m_nReportCount = 0;
    ZevDTAPIColumn** m_ppColumns = nullptr;
    int32_t m_nColumnCount = 0;
    ZevDTHeaderItem* m_pHeader = nullptr;
    ZevDTHeaderInfoItem* m_pHeaderInfo = nullptr;
    uint32_t m_nSelectedReport = 0;
    char* m_pSourcePassword = nullptr;
    // Whether the last ZevDTOpen succeeded: after a cancelled or failed one
    // the report list may still be set, but there is no report to deliver.
    bool m_bReportOpen = false;
    // Items the data block can hold: a repeat drill that needs at least half
    // of it reuses it instead of paying every page fault again.
    uint64_t m_nDataCapacity = 0;
    std::string m_strLastMessage;
};
