#include "pg_roles.h"

#include <cstdlib>
#include <set>
#include <vector>

#include "ascii_lower.h"
#include "catalog_schema.h"
#include "errors.h"
#include "pg_connection.h"
#include "sha256.h"
#include "sqlite_handle.h"

namespace zevdtapi {
namespace {

const char* const kPrefix = "The warehouse cannot be copied: ";

// The PostgreSQL type a column of a SQLite table becomes, by its declared
// type's affinity.
std::string PgType(const std::string& declared) {
    std::string t = AsciiLower(declared);
    if (t.find("int") != std::string::npos)
        return "bigint";
    if (t.find("char") != std::string::npos || t.find("clob") != std::string::npos ||
        t.find("text") != std::string::npos)
        return "text";
    if (t.find("blob") != std::string::npos)
        return "bytea";
    if (t.find("real") != std::string::npos || t.find("floa") != std::string::npos ||
        t.find("doub") != std::string::npos)
        return "double precision";
    if (t.find("dec") != std::string::npos || t.find("num") != std::string::npos)
        return "numeric";
    return "text";
}

// One value in COPY's text form.
void AppendCopyValue(sqlite3_stmt* st, int c, bool bytea, std::string* line) {
    if (sqlite3_column_type(st, c) == SQLITE_NULL) {
        *line += "\\N";
        return;
    }
    if (bytea) {
        static const char hex[] = "0123456789abcdef";
        const unsigned char* p = static_cast<const unsigned char*>(sqlite3_column_blob(st, c));
        int n = sqlite3_column_bytes(st, c);
        *line += "\\\\x";
        for (int i = 0; i < n; ++i) {
            *line += hex[p[i] >> 4];
            *line += hex[p[i] & 15];
        }
        return;
    }
    const unsigned char* t = sqlite3_column_text(st, c);
    int n = sqlite3_column_bytes(st, c);
    for (int i = 0; i < n; ++i) {
        char ch = char(t[i]);
        switch (ch) {
            case '\\':
                *line += "\\\\";
                break;
            case '\t':
                *line += "\\t";
                break;
            case '\n':
                *line += "\\n";
                break;
            case '\r':
                *line += "\\r";
                break;
            default:
                *line += ch;
        }
    }
}

struct SourceColumn {
    std::string name, type;
    int pk = 0;
};

void CopyTable(Connection& src, PgConnection& dst, const std::string& table, bool catalogTable) {
    std::vector<SourceColumn> columns;
    {
        Statement info(src.get(), "SELECT name, type, pk FROM pragma_table_info(?) ORDER BY cid", kCatalog);
        info.BindText(1, table);
        while (info.Step(kCatalog)) columns.push_back({info.Text(0), info.Text(1), int(info.Int(2))});
    }
    const std::string name = AsciiLower(table);
    if (!catalogTable) {
        std::string ddl = "CREATE TABLE " + PgQuoteIdentifier(name) + " (";
        std::vector<std::string> keys(columns.size());
        size_t keyCount = 0;
        for (size_t i = 0; i < columns.size(); ++i) {
            ddl += (i ? ", " : "") + PgQuoteIdentifier(AsciiLower(columns[i].name)) + " " +
                   PgType(columns[i].type);
            if (columns[i].pk > 0 && size_t(columns[i].pk) <= keys.size()) {
                keys[size_t(columns[i].pk) - 1] = PgQuoteIdentifier(AsciiLower(columns[i].name));
                ++keyCount;
            }
        }
        if (keyCount) {
            ddl += ", PRIMARY KEY (";
            for (size_t i = 0; i < keyCount; ++i) ddl += (i ? ", " : "") + keys[i];
            ddl += ")";
        }
        dst.Run(ddl + ")", kCatalog, kPrefix);
    }
    std::string list, select;
    std::vector<bool> bytea;
    for (size_t i = 0; i < columns.size(); ++i) {
        list += (i ? ", " : "") + PgQuoteIdentifier(AsciiLower(columns[i].name));
        select += (i ? ", " : "") + QuoteIdentifier(columns[i].name);
        bytea.push_back(PgType(columns[i].type) == "bytea");
    }
    PGconn* conn = dst.get();
    PgResult started(
        PQexec(conn, ("COPY " + PgQuoteIdentifier(name) + " (" + list + ") FROM STDIN").c_str()));
    if (PQresultStatus(started.get()) != PGRES_COPY_IN)
        Fail(kCatalog, kPrefix + started.Message());
    Statement rows(src.get(), "SELECT " + select + " FROM " + QuoteIdentifier(table), kCatalog);
    std::string buffer;
    auto flush = [&](bool last) {
        if (!buffer.empty() && PQputCopyData(conn, buffer.data(), int(buffer.size())) != 1)
            Fail(kCatalog, kPrefix + dst.ConnectionMessage());
        buffer.clear();
        if (last && PQputCopyEnd(conn, nullptr) != 1)
            Fail(kCatalog, kPrefix + dst.ConnectionMessage());
    };
    while (rows.Step(kCatalog)) {
        for (size_t c = 0; c < columns.size(); ++c) {
            if (c)
                buffer += '\t';
            AppendCopyValue(rows.get(), int(c), bytea[c], &buffer);
        }
        buffer += '\n';
        if (buffer.size() > (1u << 20))
            flush(false);
    }
    flush(true);
    PgResult done(PQgetResult(conn));
    if (PQresultStatus(done.get()) != PGRES_COMMAND_OK)
        Fail(kCatalog, kPrefix + done.Message());
    while (PGresult* rest = PQgetResult(conn)) PQclear(rest);
}

}  // namespace

std::string ReportReaderRole(const std::string& database, int64_t reportId) {
    std::string role = "zevdtapi_read_" + database + "_" + std::to_string(reportId);
    if (role.size() <= 63)
        return role;
    Sha256Digest d = Sha256Of(database.data(), database.size());
    static const char hex[] = "0123456789abcdef";
    std::string h;
    for (size_t i = 0; i < 8; ++i) {
        h += hex[d[i] >> 4];
        h += hex[d[i] & 15];
    }
    return "zevdtapi_read_" + h + "_" + std::to_string(reportId);
}

void GrantReportReaders(PgConnection& c, const std::string& servingUser) {
    const std::string prefix = "The report readers cannot be granted: ";
    PgResult db = c.Run("SELECT current_database(), current_schema()", kCatalog, prefix);
    const std::string database = db.Text(0, 0);
    const std::string schema = PgQuoteIdentifier(db.Text(0, 1));
    PgResult reports = c.Run("SELECT id FROM dt_report ORDER BY id", kCatalog, prefix);
    for (int i = 0; i < reports.rows(); ++i) {
        const std::string id = reports.Text(i, 0);
        const std::string role = ReportReaderRole(database, std::strtoll(id.c_str(), nullptr, 10));
        const std::string quoted = PgQuoteIdentifier(role);
        PgResult exists = c.Run("SELECT count(*) FROM pg_catalog.pg_roles WHERE rolname = $1",
                                {BoundValue(role)}, kCatalog, prefix);
        if (exists.Text(0, 0) == "0")
            c.Run("CREATE ROLE " + quoted + " NOLOGIN NOINHERIT", kCatalog, prefix);
        // Whatever it could read before, it reads the report's tables now and nothing else.
        c.Run("REVOKE ALL ON ALL TABLES IN SCHEMA " + schema + " FROM " + quoted, kCatalog, prefix);
        c.Run("GRANT USAGE ON SCHEMA " + schema + " TO " + quoted, kCatalog, prefix);
        PgResult tables = c.Run("SELECT DISTINCT lower(table_name) FROM dt_report_table WHERE report_id = $1",
                                {BoundValue(id, BoundValue::Number)}, kCatalog, prefix);
        for (int t = 0; t < tables.rows(); ++t) {
            c.Run("GRANT SELECT ON TABLE " + PgQuoteIdentifier(tables.Text(t, 0)) + " TO " + quoted, kCatalog,
                  prefix);
        }
        c.Run("GRANT " + quoted + " TO CURRENT_USER", kCatalog, prefix);
        if (!servingUser.empty())
            c.Run("GRANT " + quoted + " TO " + PgQuoteIdentifier(servingUser), kCatalog, prefix);
    }
}

void CopyIntoPostgres(const std::string& sqlitePath, const std::string& uri, bool replace) {
    Connection src;
    src.Open(sqlitePath, SQLITE_OPEN_READONLY);
    std::vector<std::string> tables;
    {
        Statement s(
            src.get(),
            "SELECT name FROM sqlite_schema WHERE type = 'table' AND name NOT LIKE 'sqlite_%' ORDER BY name",
            kCatalog);
        while (s.Step(kCatalog)) tables.push_back(s.Text(0));
    }
    std::set<std::string> catalogTables;
    for (int i = 0; i < kCatalogTableCount; ++i) catalogTables.insert(kCatalogTables[i]);

    PgConnection dst;
    dst.Open(uri);
    dst.Run("SET client_encoding = 'UTF8'", kCatalog, kPrefix);
    dst.Run("BEGIN", kCatalog, kPrefix);
    try {
        if (replace) {
            for (const std::string& t : tables)
                dst.Run("DROP TABLE IF EXISTS " + PgQuoteIdentifier(AsciiLower(t)) + " CASCADE", kCatalog,
                        kPrefix);
        } else {
            PgResult has = dst.Run("SELECT to_regclass('dt_report') IS NOT NULL", kCatalog, kPrefix);
            if (has.Text(0, 0) == "t")
                Fail(kCatalog, std::string(kPrefix) + "the database already holds a report catalog.");
        }
        dst.Run(PostgresCatalogSchemaSql(), kCatalog, kPrefix);
        // Catalog tables in the order their references need.
        for (int i = 0; i < kCatalogTableCount; ++i) CopyTable(src, dst, kCatalogTables[i], true);
        for (const std::string& t : tables) {
            if (!catalogTables.count(AsciiLower(t)))
                CopyTable(src, dst, t, false);
        }
        GrantReportReaders(dst);
        dst.Run("COMMIT", kCatalog, kPrefix);
    } catch (...) {
        dst.RunQuietly("ROLLBACK");
        throw;
    }
}

}  // namespace zevdtapi
