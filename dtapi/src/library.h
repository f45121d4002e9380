// One library handle: the connection to the database, the intersection, the
// login, the report being run and everything handed out to the caller.
#ifndef ZEVDTAPI_LIBRARY_H
#define ZEVDTAPI_LIBRARY_H

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "backend.h"
#include "catalog.h"
#include "cell_arena.h"
#include "cell_array.h"
#include "code_page.h"
#include "member_strings.h"
#include "query_builder.h"
#include "zevdtapi.h"

namespace zevdtapi {

// Distinct values are handed out in batches of this many.
constexpr int32_t kValueBatchSize = 1000;

class Library {
  public:
    static constexpr uint32_t kMagic = 0x5a444c42;  // marks a live handle

    explicit Library(uintptr_t initValue);
    ~Library();

    uint32_t magic = kMagic;

    void SetConnection(char** members, uint32_t count, uint64_t context);
    void GetInfo(ZevDTAPIConnectionInfo* info) const;
    void SetInfo(const ZevDTAPIConnectionInfo* info);
    void Connect();
    void GetReports(ZevDTAPIReport*** reports, uint32_t* count);
    void ExecuteReport(uint32_t index);
    void GetColumns(ZevDTAPIColumn*** columns, int32_t* count);
    void GetData(ZevDTAPICell*** cells, uint32_t* rows, uint32_t* columns);
    void ServerCancel();
    void Close();
    void GetFilters(char*** records, int32_t* count);
    void SetFilters(char** records, int32_t count);
    void GetFilterData(const ZevDTAPIColumn* column, char*** values, int32_t* count);

    void SetError(uint32_t number, const std::string& text) {
        errorNumber_ = number;
        errorText_ = text;
    }
    void ClearError() { SetError(0, std::string()); }
    uint32_t errorNumber() const { return errorNumber_; }
    const std::string& errorText() const { return errorText_; }
    uintptr_t initValue() const { return initValue_; }
    const std::string& databasePath() const { return databasePath_; }

  private:
    // Marks a statement as running, so that ServerCancel interrupts it rather
    // than ending the value sequence under its feet.
    class RunScope {
      public:
        explicit RunScope(Library& l);
        ~RunScope();

      private:
        Library& l_;
    };
    struct ValueSequence {
        size_t column = 0;
        std::unique_ptr<ValueCursor> cursor;
        bool finished = false;
    };

    void RequireConnection() const;
    void RequireExecuted() const;
    size_t FindColumn(const ZevDTAPIColumn& record, size_t index, const HostText& host) const;
    std::vector<ColumnChoice> ReadChoices() const;
    void ResetSession();

    uintptr_t initValue_;
    std::string databasePath_;
    uint32_t errorNumber_ = 0;
    std::string errorText_;

    std::unique_ptr<Backend> db_;

    bool haveConnection_ = false;
    bool connected_ = false;
    std::vector<Member> members_;
    DataSource dataSource_;
    std::string serverName_, userName_, password_;

    std::vector<ReportSummary> reports_;
    std::vector<ZevDTAPIReport> reportRecords_;
    std::vector<ZevDTAPIReport*> reportPointers_;

    bool executed_ = false;
    ReportDefinition report_;
    std::vector<std::unique_ptr<ZevDTAPIColumn>> columnRecords_, retiredColumns_;
    std::vector<ZevDTAPIColumn*> columnPointers_;

    CellArena arena_;
    CellArray cells_;

    std::vector<std::string> filterRecords_;
    std::vector<char*> filterPointers_;

    std::unique_ptr<ValueSequence> sequence_;
    std::vector<std::string> values_;
    std::vector<char*> valuePointers_;

    std::mutex runGuard_;
    bool running_ = false;
    std::atomic<bool> cancel_{false};
};

}  // namespace zevdtapi

#endif
