// A drill-through report as the host keeps it: the columns in display order
// and the cells placed by the row and column numbers the library gave them.
#ifndef ZEVDT_REPORT_H
#define ZEVDT_REPORT_H

#include <cstdint>
#include <string>
#include <vector>

#include "zevdtu.h"

namespace zevdt {

struct ReportColumn {
    std::uint32_t position = 0;  // display position, from 1
    std::string name;            // from the header item
    bool hasInfo = false;        // a header-info item described it
    std::string table;
    std::string column;
    std::uint16_t dataType = 0;
};

struct Report {
    std::vector<ReportColumn> columns;
    std::vector<std::vector<std::string>> rows;  // every row has columns.size() cells
};

// Builds the report from the three item arrays (any of them may be empty).
// Items are placed by their numbers, not by their order in the array. Fails,
// with the reason in *error, on numbers that cannot belong to a report of
// this many items: a position outside 1..N, a row 0, a cell given twice.
bool BuildReport(const ZevDTHeaderItem* header, std::uint32_t headerCount, const ZevDTHeaderInfoItem* info,
                 std::uint32_t infoCount, const ZevDTDataItem* data, std::uint32_t dataCount, Report* report,
                 std::string* error);

}  // namespace zevdt

#endif
