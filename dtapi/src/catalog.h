// Reads and writes the catalog: data sources, users, reports and their saved
// filters. Only fixed statements with bound values run here.
#ifndef ZEVDTAPI_CATALOG_H
#define ZEVDTAPI_CATALOG_H

#include <cstdint>
#include <string>
#include <vector>

namespace zevdtapi {

struct DataSource {
    int64_t id = 0;
    std::string serverName;
    std::string name;
    uint16_t loginFlags = 0;
};

struct ReportSummary {
    int64_t id = 0;
    std::string name;
    bool customisable = false;
};

struct ReportTable {
    std::string name;
    std::string joinColumn;   // column of this table ...
    std::string parentTable;  // ... that equals this column of an earlier table
    std::string parentColumn;
};

struct ReportColumn {
    std::string table;
    std::string column;
    uint16_t dataType = 10;
    int32_t displayPosition = 0;
    int32_t sortPosition = 0;
    int32_t sortDirection = 1;
    std::string Key() const { return table + "." + column; }
};

struct MemberMap {
    std::string dimension;
    std::string table;
    std::string column;
};

struct ReportDefinition {
    int64_t id = 0;
    std::string name;
    bool customisable = false;
    std::vector<ReportTable> tables;  // the first is the one the report starts from
    std::vector<ReportColumn> columns;
    std::vector<MemberMap> maps;
};

class Backend;

class Catalog {
  public:
    explicit Catalog(Backend& db) : db_(db) {}

    void CheckPresent() const;
    DataSource FindDataSource(uint64_t context) const;
    bool FindPasswordHash(const std::string& user, std::string* hash) const;
    // The hash of one user, whoever it is: what an unknown user is checked
    // against, so that it costs what a known one does. False when there is none.
    bool AnyPasswordHash(std::string* hash) const;
    // Reports of the data source that apply to an intersection naming these dimensions.
    std::vector<ReportSummary> ReportsFor(int64_t dataSourceId,
                                          const std::vector<std::string>& dimensions) const;
    ReportDefinition LoadReport(const ReportSummary& summary) const;

    std::vector<std::string> LoadFilters(int64_t reportId) const;
    // Replaces all saved filters of the report in one transaction.
    void ReplaceFilters(int64_t reportId, const std::vector<std::string>& records) const;

  private:
    std::vector<MemberMap> LoadMaps(int64_t reportId) const;

    Backend& db_;
};

}  // namespace zevdtapi

#endif
