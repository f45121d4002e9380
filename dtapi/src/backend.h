// The storage seam: everything the library asks of the database it serves
// reports from. One implementation per engine (SQLite, PostgreSQL); the catalog,
// the query builder and the library above them are the same for both.
#ifndef ZEVDTAPI_BACKEND_H
#define ZEVDTAPI_BACKEND_H

#include <atomic>
#include <cstdint>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "bound_value.h"
#include "cell_writer.h"

namespace zevdtapi {

using DbRow = std::vector<std::optional<std::string>>;

// A distinct-value list that is read a batch at a time across calls.
class ValueCursor {
  public:
    virtual ~ValueCursor() = default;
    // Appends up to max values; false once the list has ended.
    virtual bool Next(size_t max, bool decimal, std::vector<std::string>* out) = 0;
};

class Backend {
  public:
    virtual ~Backend() = default;
    virtual Engine engine() const = 0;

    // Catalog statements: fixed SQL with ? placeholders and bound values.
    virtual std::vector<DbRow> CatalogRows(const std::string& sql, const std::vector<BoundValue>& params) = 0;
    virtual bool HasTable(const std::string& name) = 0;
    virtual std::vector<std::string> LoadFilters(int64_t reportId) = 0;
    // Replaces all saved filters of the report in one transaction; savers queue up.
    virtual void ReplaceFilters(int64_t reportId, const std::vector<std::string>& records) = 0;

    // From now on report queries may read only these tables (lower case);
    // probeSql must run within them, else the report is refused (kReportDefinition).
    virtual void UseReport(int64_t reportId, const std::set<std::string>& lowerCaseTables,
                           const std::string& probeSql) = 0;
    virtual void FetchRows(const BoundQuery& q, CellWriter& out) = 0;
    virtual std::unique_ptr<ValueCursor> OpenValues(const BoundQuery& q) = 0;
    // From any thread, while FetchRows or ValueCursor::Next runs.
    virtual void Interrupt() = 0;
};

// where: a file path (SQLite) or a postgresql:// / postgres:// URI. cancel is
// set by the library while a cancel is pending; it must outlive the backend.
std::unique_ptr<Backend> OpenBackend(const std::string& where, const std::atomic<bool>* cancel);

bool IsPostgresUri(const std::string& where);

}  // namespace zevdtapi

#endif
