#include "catalog.h"

#include <cstdlib>
#include <set>

#include "ascii_lower.h"
#include "backend.h"
#include "catalog_schema.h"
#include "errors.h"
#include "text_copy.h"

namespace zevdtapi {
namespace {

[[noreturn]] void BadReport(const std::string& report, const std::string& why) {
    Fail(kReportDefinition, "Report \"" + report + "\" is not defined correctly in the catalog: " + why);
}

std::string Text(const DbRow& r, size_t i) {
    return i < r.size() && r[i] ? *r[i] : std::string();
}

int64_t Int(const DbRow& r, size_t i) {
    return i < r.size() && r[i] ? std::strtoll(r[i]->c_str(), nullptr, 10) : 0;
}

BoundValue Number(int64_t v) {
    return BoundValue(std::to_string(v), BoundValue::Number);
}

}  // namespace

void Catalog::CheckPresent() const {
    for (int i = 0; i < kCatalogTableCount; ++i) {
        if (!db_.HasTable(kCatalogTables[i])) {
            Fail(kCatalog, std::string("The database holds no report catalog: table ") + kCatalogTables[i] +
                               " is missing.");
        }
    }
}

DataSource Catalog::FindDataSource(uint64_t context) const {
    std::vector<BoundValue> params;
    if (context != 0) {
        if (context > uint64_t(INT64_MAX)) {
            Fail(kDataSourceUnknown, "No data source has the number " + std::to_string(context) + ".");
        }
        params.push_back(Number(int64_t(context)));
    }
    auto rows = db_.CatalogRows(
        context == 0 ? "SELECT id, server_name, name, login_flags FROM dt_data_source ORDER BY id LIMIT 1"
                     : "SELECT id, server_name, name, login_flags FROM dt_data_source WHERE id = ?",
        params);
    if (rows.empty()) {
        Fail(kDataSourceUnknown, context == 0
                                     ? std::string("The catalog defines no data source.")
                                     : "No data source has the number " + std::to_string(context) + ".");
    }
    DataSource d;
    d.id = Int(rows[0], 0);
    d.serverName = Text(rows[0], 1);
    d.name = Text(rows[0], 2);
    d.loginFlags = uint16_t(Int(rows[0], 3) & 3);
    return d;
}

bool Catalog::FindPasswordHash(const std::string& user, std::string* hash) const {
    // User names are compared without regard to the case of their letters, beyond
    // ASCII too, the same way on both engines: the folding is the library's own.
    const std::string wanted = FoldCase(user);
    for (const DbRow& r : db_.CatalogRows("SELECT name, password_hash FROM dt_user ORDER BY name", {})) {
        if (FoldCase(Text(r, 0)) == wanted) {
            *hash = Text(r, 1);
            return true;
        }
    }
    return false;
}

bool Catalog::AnyPasswordHash(std::string* hash) const {
    auto rows = db_.CatalogRows("SELECT password_hash FROM dt_user ORDER BY name LIMIT 1", {});
    if (rows.empty())
        return false;
    *hash = Text(rows[0], 0);
    return true;
}

std::vector<MemberMap> Catalog::LoadMaps(int64_t reportId) const {
    std::vector<MemberMap> maps;
    for (const DbRow& r : db_.CatalogRows("SELECT dimension, table_name, column_name FROM dt_member_map "
                                          "WHERE report_id = ? ORDER BY dimension",
                                          {Number(reportId)})) {
        maps.push_back({Text(r, 0), Text(r, 1), Text(r, 2)});
    }
    return maps;
}

std::vector<ReportSummary> Catalog::ReportsFor(int64_t dataSourceId,
                                               const std::vector<std::string>& dimensions) const {
    std::vector<ReportSummary> out;
    for (const DbRow& row :
         db_.CatalogRows("SELECT id, name, customisable FROM dt_report WHERE data_source_id = ? "
                         "ORDER BY list_position, id",
                         {Number(dataSourceId)})) {
        ReportSummary r{Int(row, 0), Text(row, 1), Int(row, 2) != 0};
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
    for (const DbRow& row :
         db_.CatalogRows("SELECT table_name, join_column, parent_table, parent_column FROM dt_report_table "
                         "WHERE report_id = ? ORDER BY position",
                         {Number(r.id)})) {
        ReportTable t{Text(row, 0), Text(row, 1), Text(row, 2), Text(row, 3)};
        if (t.name.empty())
            BadReport(r.name, "a table has no name.");
        if (!r.tables.empty()) {
            if (t.joinColumn.empty() || t.parentColumn.empty() ||
                !tableNames.count(AsciiLower(t.parentTable))) {
                BadReport(r.name,
                          "table \"" + t.name + "\" is not joined to an earlier table of the report.");
            }
        }
        if (!tableNames.insert(AsciiLower(t.name)).second) {
            BadReport(r.name, "table \"" + t.name + "\" is listed twice.");
        }
        r.tables.push_back(t);
    }
    if (r.tables.empty())
        BadReport(r.name, "it reads no table.");

    std::set<std::string> keys;
    for (const DbRow& row : db_.CatalogRows(
             "SELECT table_name, column_name, data_type, display_position, sort_position, sort_direction "
             "FROM dt_report_column WHERE report_id = ? ORDER BY position",
             {Number(r.id)})) {
        ReportColumn c;
        c.table = Text(row, 0);
        c.column = Text(row, 1);
        c.dataType = uint16_t(Int(row, 2));
        c.displayPosition = int32_t(Int(row, 3));
        c.sortPosition = int32_t(Int(row, 4));
        c.sortDirection = int32_t(Int(row, 5));
        if (!tableNames.count(AsciiLower(c.table))) {
            BadReport(r.name, "column \"" + c.Key() + "\" belongs to a table the report does not read.");
        }
        if (!keys.insert(AsciiLower(c.Key())).second)
            BadReport(r.name, "column \"" + c.Key() + "\" is listed twice.");
        r.columns.push_back(c);
    }
    if (r.columns.empty())
        BadReport(r.name, "it has no column.");

    r.maps = LoadMaps(r.id);
    for (const MemberMap& m : r.maps) {
        if (!tableNames.count(AsciiLower(m.table))) {
            BadReport(r.name, "dimension \"" + m.dimension + "\" maps to a table the report does not read.");
        }
    }
    return r;
}

std::vector<std::string> Catalog::LoadFilters(int64_t reportId) const {
    return db_.LoadFilters(reportId);
}

void Catalog::ReplaceFilters(int64_t reportId, const std::vector<std::string>& records) const {
    db_.ReplaceFilters(reportId, records);
}

}  // namespace zevdtapi
