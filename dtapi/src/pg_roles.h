// The PostgreSQL side of the catalog tooling: the reader role of a report,
// granting it the report's tables, and copying a SQLite warehouse with its
// catalog into a PostgreSQL database.
#ifndef ZEVDTAPI_PG_ROLES_H
#define ZEVDTAPI_PG_ROLES_H

#include <cstdint>
#include <string>

namespace zevdtapi {

class PgConnection;

// A report statement that runs longer is stopped by the server, unless the
// URI or the server set a timeout of their own.
constexpr long long kDefaultStatementTimeoutMs = 300000;

// The role a report's data queries run as: it may read the report's tables
// and nothing else. Roles belong to the whole server, so the name carries the
// database's; a name PostgreSQL would cut at 63 bytes carries its hash instead.
std::string ReportReaderRole(const std::string& database, int64_t reportId);

// Creates or refreshes the reader role of every report in the catalog: SELECT
// on exactly the report's tables, granted to the connecting user and, when
// given, to the user that serves the reports. Throws Failure (kCatalog).
void GrantReportReaders(PgConnection& c, const std::string& servingUser = "");

// Copies every table of the SQLite database, the catalog included, into the
// PostgreSQL database at uri, in one transaction, then grants the reader
// roles. Existing tables of the same names are dropped first when replace is
// true; otherwise a database that already holds a catalog is refused.
void CopyIntoPostgres(const std::string& sqlitePath, const std::string& uri, bool replace);

}  // namespace zevdtapi

#endif
