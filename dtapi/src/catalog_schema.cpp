#include "catalog_schema.h"

namespace zevdtapi {

const char* CatalogSchemaSql() {
    return R"SQL(
CREATE TABLE dt_data_source (
    id INTEGER PRIMARY KEY,
    server_name TEXT NOT NULL DEFAULT '',
    name TEXT NOT NULL UNIQUE COLLATE NOCASE,
    login_flags INTEGER NOT NULL DEFAULT 0 CHECK (login_flags BETWEEN 0 AND 3)
);
CREATE TABLE dt_user (
    name TEXT PRIMARY KEY COLLATE NOCASE,
    password_hash TEXT NOT NULL
);
CREATE TABLE dt_report (
    id INTEGER PRIMARY KEY,
    data_source_id INTEGER NOT NULL REFERENCES dt_data_source(id),
    name TEXT NOT NULL,
    customisable INTEGER NOT NULL DEFAULT 1,
    list_position INTEGER NOT NULL DEFAULT 0
);
CREATE TABLE dt_report_table (
    report_id INTEGER NOT NULL REFERENCES dt_report(id),
    position INTEGER NOT NULL,
    table_name TEXT NOT NULL,
    join_column TEXT,
    parent_table TEXT,
    parent_column TEXT,
    PRIMARY KEY (report_id, position)
);
CREATE TABLE dt_report_column (
    report_id INTEGER NOT NULL REFERENCES dt_report(id),
    position INTEGER NOT NULL,
    table_name TEXT NOT NULL,
    column_name TEXT NOT NULL,
    data_type INTEGER NOT NULL DEFAULT 10,
    display_position INTEGER NOT NULL DEFAULT 0,
    sort_position INTEGER NOT NULL DEFAULT 0,
    sort_direction INTEGER NOT NULL DEFAULT 1,
    PRIMARY KEY (report_id, position)
);
CREATE TABLE dt_member_map (
    report_id INTEGER NOT NULL REFERENCES dt_report(id),
    dimension TEXT NOT NULL COLLATE NOCASE,
    table_name TEXT NOT NULL,
    column_name TEXT NOT NULL,
    PRIMARY KEY (report_id, dimension)
);
CREATE TABLE dt_saved_filter (
    report_id INTEGER NOT NULL REFERENCES dt_report(id),
    position INTEGER NOT NULL,
    record BLOB NOT NULL,
    PRIMARY KEY (report_id, position)
);
)SQL";
}

const char* PostgresCatalogSchemaSql() {
    // The same tables; names compared without regard to case get a unique
    // index on their lower-case form instead of SQLite's NOCASE collation.
    return R"SQL(
CREATE TABLE dt_data_source (
    id bigint PRIMARY KEY,
    server_name text NOT NULL DEFAULT '',
    name text NOT NULL,
    login_flags bigint NOT NULL DEFAULT 0 CHECK (login_flags BETWEEN 0 AND 3)
);
CREATE UNIQUE INDEX dt_data_source_name ON dt_data_source (lower(name));
CREATE TABLE dt_user (
    name text NOT NULL,
    password_hash text NOT NULL
);
CREATE UNIQUE INDEX dt_user_name ON dt_user (lower(name));
CREATE TABLE dt_report (
    id bigint PRIMARY KEY,
    data_source_id bigint NOT NULL REFERENCES dt_data_source(id),
    name text NOT NULL,
    customisable bigint NOT NULL DEFAULT 1,
    list_position bigint NOT NULL DEFAULT 0
);
CREATE TABLE dt_report_table (
    report_id bigint NOT NULL REFERENCES dt_report(id),
    position bigint NOT NULL,
    table_name text NOT NULL,
    join_column text,
    parent_table text,
    parent_column text,
    PRIMARY KEY (report_id, position)
);
CREATE TABLE dt_report_column (
    report_id bigint NOT NULL REFERENCES dt_report(id),
    position bigint NOT NULL,
    table_name text NOT NULL,
    column_name text NOT NULL,
    data_type bigint NOT NULL DEFAULT 10,
    display_position bigint NOT NULL DEFAULT 0,
    sort_position bigint NOT NULL DEFAULT 0,
    sort_direction bigint NOT NULL DEFAULT 1,
    PRIMARY KEY (report_id, position)
);
CREATE TABLE dt_member_map (
    report_id bigint NOT NULL REFERENCES dt_report(id),
    dimension text NOT NULL,
    table_name text NOT NULL,
    column_name text NOT NULL
);
CREATE UNIQUE INDEX dt_member_map_dimension ON dt_member_map (report_id, lower(dimension));
CREATE TABLE dt_saved_filter (
    report_id bigint NOT NULL REFERENCES dt_report(id),
    position bigint NOT NULL,
    record bytea NOT NULL,
    PRIMARY KEY (report_id, position)
);
)SQL";
}

const char* const kCatalogTables[] = {"dt_data_source",  "dt_user",          "dt_report",
                                      "dt_report_table", "dt_report_column", "dt_member_map",
                                      "dt_saved_filter"};
const int kCatalogTableCount = 7;

}  // namespace zevdtapi
