// A drill-through report as the host keeps it: the columns in display order
// and the cells placed by the row and column numbers the library gave them.
#ifndef ZEVDT_REPORT_H
#define ZEVDT_REPORT_H

#include <cstdint>
#include <string>
#include <string_view>
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

// The cells are read where the library's items hold them: a drill of
// millions of cells is written out without a second copy of its texts.
// Reports built by hand (tests, other hosts) keep their texts in `rows`.
struct Report {
    std::vector<ReportColumn> columns;
    std::vector<std::vector<std::string>> rows;  // hand-built: every row has columns.size() cells

    std::size_t RowCount() const { return items ? itemRows : rows.size(); }
    // The text of one cell, empty for a missing one; valid while the items are.
    std::string_view Cell(std::size_t row, std::size_t column) const;

    // From BuildReport: the data items, and where each cell's item is.
    const ZevDTDataItem* items = nullptr;
    std::size_t itemRows = 0;
    std::size_t width = 0;
    // Empty when every item stands at its own place (row by row, as the
    // library delivers them); otherwise the item of each cell, kNoItem if none.
    std::vector<std::uint32_t> itemOf;
    static constexpr std::uint32_t kNoItem = 0xFFFFFFFFu;
};

// Builds the report from the three item arrays (any of them may be empty).
// Items are placed by their numbers, not by their order in the array; the
// report reads the data items, which must outlive it. Fails,
// with the reason in *error, on numbers that cannot belong to a report of
// this many items: a position outside 1..N, a row 0, a cell given twice.
bool BuildReport(const ZevDTHeaderItem* header, std::uint32_t headerCount, const ZevDTHeaderInfoItem* info,
                 std::uint32_t infoCount, const ZevDTDataItem* data, std::uint32_t dataCount, Report* report,
                 std::string* error);

}  // namespace zevdt

#endif
