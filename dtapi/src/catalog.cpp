#include "catalog.h"

#include <set>

#include "catalog_schema.h"
#include "errors.h"
#include "sqlite_handle.h"
#include "text_copy.h"

namespace zevdtapi {
namespace {

std::string Lower(const std::string& s) {
    std::string out = s;
    for (char& c : out) {
        if (c >= 'A' && c <= 'Z')
            c = char(c + 32);
    }
    return out;
}

[[noreturn]] void BadReport(const std::string& report, const std::string& why) {
    Fail(kReportDefinition, "Report \"" + report + "\" is not defined correctly in the catalog: " + why);
}

}  // namespace

void Catalog::CheckPresent() const {
    Statement s(db_, "SELECT count(*) FROM sqlite_schema WHERE type = 'table' AND name = ?", kCatalog);
    for (int i = 0; i < kCatalogTableCount; ++i) {
        s.BindText(1, kCatalogTables[i]);
        s.Step(kCatalog);
        if (s.Int(0) == 0) {
            Fail(kCatalog, std::string("The database holds no report catalog: table ") + kCatalogTables[i] +
                               " is missing.");
        }
        sqlite3_reset(s.get());
    }
}

DataSource Catalog::FindDataSource(uint64_t context) const {
    Statement s(db_,
                context == 0
                    ? "SELECT id, server_name, name, login_flags FROM dt_data_source ORDER BY id LIMIT 1"
                    : "SELECT id, server_name, name, login_flags FROM dt_data_source WHERE id = ?",
                kCatalog);
    if (context != 0) {
        if (context > uint64_t(INT64_MAX)) {
            Fail(kDataSourceUnknown, "No data source has the number " + std::to_string(context) + ".");
        }
        s.BindInt(1, int64_t(context));
    }
    if (!s.Step(kCatalog)) {
        Fail(kDataSourceUnknown, context == 0
                                     ? std::string("The catalog defines no data source.")
                                     : "No data source has the number " + std::to_string(context) + ".");
    }
    DataSource d;
    d.id = s.Int(0);
    d.serverName = s.Text(1);
    d.name = s.Text(2);
    d.loginFlags = uint16_t(s.Int(3) & 3);
    return d;
}

bool Catalog::FindPasswordHash(const std::string& user, std::string* hash) const {
    Statement s(db_, "SELECT password_hash FROM dt_user WHERE name = ?", kCatalog);
    s.BindText(1, user);
    if (!s.Step(kCatalog))
        return false;
    *hash = s.Text(0);
    return true;
}

std::vector<MemberMap> Catalog::LoadMaps(int64_t reportId) const {
    Statement s(db_, "SELECT dimension, table_name, column_name FROM dt_member_map WHERE report_id = ?",
                kCatalog);
    s.BindInt(1, reportId);
    std::vector<MemberMap> maps;
    while (s.Step(kCatalog)) maps.push_back({s.Text(0), s.Text(1), s.Text(2)});
    return maps;
}

std::vector<ReportSummary> Catalog::ReportsFor(int64_t dataSourceId,
                                               const std::vector<std::string>& dimensions) const {
    Statement s(db_,
                "SELECT id, name, customisable FROM dt_report WHERE data_source_id = ? "
                "ORDER BY list_position, id",
                kCatalog);
    s.BindInt(1, dataSourceId);
    std::vector<ReportSummary> out;
    while (s.Step(kCatalog)) {
        ReportSummary r{s.Int(0), s.Text(1), s.Int(2) != 0};
        bool applies = dimensions.empty();
        for (const MemberMap& m : LoadMaps(r.id)) {
            for (const std::string& d : dimensions) applies = applies || EqualNoCase(m.dimension, d);
        }
        if (applies)
            out.push_back(r);
    }
    return out;
}

ReportDefinition Catalog::LoadReport(const ReportSummary& summary) const {
    ReportDefinition r;
    r.id = summary.id;
    r.name = summary.name;
    r.customisable = summary.customisable;

    std::set<std::string> tableNames;
    {
        Statement s(db_,
                    "SELECT table_name, join_column, parent_table, parent_column FROM dt_report_table "
                    "WHERE report_id = ? ORDER BY position",
                    kCatalog);
        s.BindInt(1, r.id);
        while (s.Step(kCatalog)) {
            ReportTable t{s.Text(0), s.Text(1), s.Text(2), s.Text(3)};
            if (t.name.empty())
                BadReport(r.name, "a table has no name.");
            if (!r.tables.empty()) {
                if (t.joinColumn.empty() || t.parentColumn.empty() ||
                    !tableNames.count(Lower(t.parentTable))) {
                    BadReport(r.name,
                              "table \"" + t.name + "\" is not joined to an earlier table of the report.");
                }
            }
            if (!tableNames.insert(Lower(t.name)).second) {
                BadReport(r.name, "table \"" + t.name + "\" is listed twice.");
            }
            r.tables.push_back(t);
        }
    }
    if (r.tables.empty())
        BadReport(r.name, "it reads no table.");

    std::set<std::string> keys;
    {
        Statement s(
            db_,
            "SELECT table_name, column_name, data_type, display_position, sort_position, sort_direction "
            "FROM dt_report_column WHERE report_id = ? ORDER BY position",
            kCatalog);
        s.BindInt(1, r.id);
        while (s.Step(kCatalog)) {
            ReportColumn c;
            c.table = s.Text(0);
            c.column = s.Text(1);
            c.dataType = uint16_t(s.Int(2));
            c.displayPosition = int32_t(s.Int(3));
            c.sortPosition = int32_t(s.Int(4));
            c.sortDirection = int32_t(s.Int(5));
            if (!tableNames.count(Lower(c.table))) {
                BadReport(r.name, "column \"" + c.Key() + "\" belongs to a table the report does not read.");
            }
            if (!keys.insert(Lower(c.Key())).second)
                BadReport(r.name, "column \"" + c.Key() + "\" is listed twice.");
            r.columns.push_back(c);
        }
    }
    if (r.columns.empty())
        BadReport(r.name, "it has no column.");

    r.maps = LoadMaps(r.id);
    for (const MemberMap& m : r.maps) {
        if (!tableNames.count(Lower(m.table))) {
            BadReport(r.name, "dimension \"" + m.dimension + "\" maps to a table the report does not read.");
        }
    }
    return r;
}

std::vector<std::string> Catalog::LoadFilters(int64_t reportId) const {
    Statement s(db_, "SELECT record FROM dt_saved_filter WHERE report_id = ? ORDER BY position", kCatalog);
    s.BindInt(1, reportId);
    std::vector<std::string> out;
    while (s.Step(kCatalog)) {
        const void* data = sqlite3_column_blob(s.get(), 0);
        int size = sqlite3_column_bytes(s.get(), 0);
        out.emplace_back(static_cast<const char*>(data), size_t(data ? size : 0));
    }
    return out;
}

void Catalog::ReplaceFilters(int64_t reportId, const std::vector<std::string>& records) const {
    // BEGIN IMMEDIATE takes the write lock before anything is read, so two
    // savers queue up behind each other instead of failing mid-way.
    char* message = nullptr;
    if (sqlite3_exec(db_, "BEGIN IMMEDIATE", nullptr, nullptr, &message) != SQLITE_OK) {
        sqlite3_free(message);
        Fail(kFilterSave, "The saved filters cannot be written: " + DatabaseMessage(db_));
    }
    try {
        Statement del(db_, "DELETE FROM dt_saved_filter WHERE report_id = ?", kFilterSave);
        del.BindInt(1, reportId);
        del.Step(kFilterSave);
        Statement ins(db_, "INSERT INTO dt_saved_filter (report_id, position, record) VALUES (?, ?, ?)",
                      kFilterSave);
        for (size_t i = 0; i < records.size(); ++i) {
            ins.BindInt(1, reportId);
            ins.BindInt(2, int64_t(i));
            ins.BindBlob(3, records[i].data(), records[i].size());
            ins.Step(kFilterSave);
            sqlite3_reset(ins.get());
        }
        if (sqlite3_exec(db_, "COMMIT", nullptr, nullptr, nullptr) != SQLITE_OK) {
            Fail(kFilterSave, "The saved filters cannot be written: " + DatabaseMessage(db_));
        }
    } catch (...) {
        sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
        throw;
    }
}

}  // namespace zevdtapi
