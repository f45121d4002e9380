// Builds the SQL of a report's data and value queries from the catalog's names
// and the caller's choices. Identifiers come from the catalog and are quoted;
// every value the caller or the intersection supplies becomes a bound parameter.
// Each engine gets the SQL that gives a condition the one meaning described in
// docs/stand-in.md ("What a condition means").
#ifndef ZEVDTAPI_QUERY_BUILDER_H
#define ZEVDTAPI_QUERY_BUILDER_H

#include <cstdint>
#include <string>
#include <vector>

#include "bound_value.h"
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

// The displayed columns in display order, restricted by the intersection and by
// every column's condition, sorted by sort position and direction.
BoundQuery BuildDataQuery(Engine engine, const ReportDefinition& report, const std::vector<Member>& members,
                          const std::vector<ColumnChoice>& choices);

// The distinct non-NULL values of one column within the intersection, ascending.
BoundQuery BuildValueQuery(Engine engine, const ReportDefinition& report, const std::vector<Member>& members,
                           size_t column);

// All columns of the report and no row: run once to check the definition.
std::string BuildProbeQuery(Engine engine, const ReportDefinition& report);

// Numbers (20 integer, 21 decimal) compare as numbers; every other code as text.
inline bool IsNumericType(uint16_t dataType) {
    return dataType == 20 || dataType == 21;
}

// A name quoted for the engine. PostgreSQL folds the catalog's names to lower
// case, as it does for names written without quotes.
std::string QuoteName(Engine engine, const std::string& name);

}  // namespace zevdtapi

#endif
