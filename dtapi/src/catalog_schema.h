// The catalog tables that describe data sources, users, reports and saved
// filters. docs/stand-in.md explains every column for people who write their
// own reports in plain SQL.
#ifndef ZEVDTAPI_CATALOG_SCHEMA_H
#define ZEVDTAPI_CATALOG_SCHEMA_H

namespace zevdtapi {

// CREATE TABLE statements, separated by semicolons, for sqlite3_exec.
const char* CatalogSchemaSql();

// The same tables for PostgreSQL, as one string of statements.
const char* PostgresCatalogSchemaSql();

// The catalog tables the library needs; used to tell a warehouse without a
// catalog from a broken one.
extern const char* const kCatalogTables[];
extern const int kCatalogTableCount;

}  // namespace zevdtapi

#endif
