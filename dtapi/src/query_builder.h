// Builds the SQL of a report's data and value queries from the catalog's names
// and the caller's choices. Identifiers come from the catalog and are quoted;
// every value the caller or the intersection supplies becomes a bound parameter.
#ifndef ZEVDTAPI_QUERY_BUILDER_H
#define ZEVDTAPI_QUERY_BUILDER_H

#include <cstdint>
#include <string>
#include <vector>

#include "catalog.h"
#include "member_strings.h"

namespace zevdtapi {

// What the caller wrote into one column record, after its names were checked.
struct ColumnChoice {
    size_t column = 0;  // index into the report's columns
    int32_t displayPosition = 0;
    int32_t sortPosition = 0;
    int32_t sortDirection = 1;
    std::string condition;
};

struct BoundQuery {
    std::string sql;
    std::vector<std::string> values;  // bound to ?1, ?2, ... in order
    size_t resultColumns = 0;
};

// The displayed columns in display order, restricted by the intersection and by
// every column's condition, sorted by sort position and direction.
BoundQuery BuildDataQuery(const ReportDefinition& report, const std::vector<Member>& members,
                          const std::vector<ColumnChoice>& choices);

// The distinct non-NULL values of one column within the intersection, ascending.
BoundQuery BuildValueQuery(const ReportDefinition& report, const std::vector<Member>& members, size_t column);

// All columns of the report and no row: prepared once to check the definition.
std::string BuildProbeQuery(const ReportDefinition& report);

}  // namespace zevdtapi

#endif
