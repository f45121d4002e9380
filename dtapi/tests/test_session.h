// Helpers for tests that drive the library through its C functions.
#ifndef ZEVDTAPI_TEST_SESSION_H
#define ZEVDTAPI_TEST_SESSION_H

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "zevdtapi.h"

namespace zevdtapi_test {

using Cell = std::optional<std::string>;
using Row = std::vector<Cell>;

// A fresh folder under the system's temp folder.
std::string MakeTempDir();

// True when ZEVDTAPI_TEST_BACKEND=postgres runs the tests on PostgreSQL.
bool OnPostgres();

// The sample warehouse, created once per test process (a file, or a
// PostgreSQL URI when OnPostgres()).
const std::string& SampleDatabase();

// A copy of the sample warehouse of the caller's own, for a test that writes
// to it or must prove that nothing did: a file, or a PostgreSQL database.
std::string FreshSample();

// Everything a database holds, to prove that it was left unchanged: the file's
// bytes, or on PostgreSQL the rows of every table and view, and every grant.
std::string Snapshot(const std::string& database);

// Statements that set a test's database up; a failure fails the test.
void ExecuteSql(const std::string& database, const std::string& sql);

// Rows of a hand-written query, every value read as text (NULL stays NULL);
// "?" placeholders on both engines.
std::vector<Row> QueryRows(const std::string& database, const std::string& sql,
                           const std::vector<std::string>& params = {});

// Rows as the library hands them to its caller: on Windows each text in the
// ANSI code page, a character it cannot hold as "&#N;"; elsewhere as they are
// (the tests run in the C locale, where the library converts nothing).
std::vector<Row> AsHanded(std::vector<Row> rows);

// Bytes of a file, to prove that a database was left unchanged.
std::string FileBytes(const std::string& path);

// One library handle on a database.
class Session {
  public:
    explicit Session(const std::string& database = SampleDatabase());
    ~Session();
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    // SetConnection, GetInfo, SetInfo when asked for, Connect.
    uint32_t Open(const std::vector<std::string>& members, uint64_t context = 0, const std::string& user = "",
                  const std::string& password = "");
    // GetReports, ExecuteReport of the named report, GetColumns.
    uint32_t Execute(const std::string& report);
    // Open, then Execute: the first status that is not 0, or 0.
    uint32_t OpenReport(const std::vector<std::string>& members, const std::string& report,
                        uint64_t context = 0);
    ZevDTAPIColumn* Column(const std::string& table, const std::string& column) const;
    std::vector<std::string> ReportNames();
    std::vector<Row> Data(uint32_t* status = nullptr);
    std::string ErrorText() const;
    // GetFilterData until it hands out no value: each batch, in order. A
    // failure, or a list that never ends, fails the test.
    std::vector<std::vector<std::string>> ValueBatches(ZevDTAPIColumn* column);
    // The same values in one list.
    std::vector<std::string> Values(ZevDTAPIColumn* column);
    // SetFilterDescConditions with these records; its status.
    int32_t SaveFilters(std::vector<std::string> records);
    // GetFilterDescConditions' records; a failure fails the test.
    std::vector<std::string> SavedFilters();
    uint32_t ErrorNumber() const;

    void* lib = nullptr;
    std::vector<ZevDTAPIColumn*> columns;
    std::vector<std::string> members;
};

void SetCondition(ZevDTAPIColumn* column, const std::string& condition);

}  // namespace zevdtapi_test

#endif
