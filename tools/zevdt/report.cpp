#include "report.h"

#include <algorithm>
#include <cstring>

namespace zevdt {
namespace {

// Item texts are NUL-terminated within their field; a field without a NUL is
// read to its end rather than past it.
std::string FieldText(const char* field, size_t size) {
    const void* nul = std::memchr(field, '\0', size);
    return std::string(field, nul ? static_cast<const char*>(nul) - field : size);
}

}  // namespace

std::string_view Report::Cell(std::size_t row, std::size_t column) const {
    if (!items) {
        return row < rows.size() && column < rows[row].size() ? std::string_view(rows[row][column])
                                                              : std::string_view();
    }
    size_t at = row * width + column;
    if (!itemOf.empty()) {
        if (itemOf[at] == kNoItem) {
            return std::string_view();
        }
        at = itemOf[at];
    }
    const char* text = items[at].text;
    return std::string_view(text, strnlen(text, sizeof items[at].text));
}

bool BuildReport(const ZevDTHeaderItem* header, std::uint32_t headerCount, const ZevDTHeaderInfoItem* info,
                 std::uint32_t infoCount, const ZevDTDataItem* data, std::uint32_t dataCount, Report* report,
                 std::string* error) {
    Report out;
    if (!header) {
        headerCount = 0;
    }
    if (!info) {
        infoCount = 0;
    }
    if (!data) {
        dataCount = 0;
    }

    out.columns.resize(headerCount);
    std::vector<bool> seen(headerCount, false);
    for (std::uint32_t i = 0; i < headerCount; ++i) {
        std::uint32_t position = header[i].column;
        if (position < 1 || position > headerCount || seen[position - 1]) {
            *error = "header item " + std::to_string(i) + " has display position " +
                     std::to_string(position) + ", not a free one of 1.." + std::to_string(headerCount);
            return false;
        }
        seen[position - 1] = true;
        ReportColumn& column = out.columns[position - 1];
        column.position = position;
        column.name = FieldText(header[i].name, sizeof header[i].name);
    }

    std::vector<bool> described(headerCount, false);
    for (std::uint32_t i = 0; i < infoCount; ++i) {
        std::uint32_t position = info[i].column;
        if (position < 1 || position > headerCount || described[position - 1]) {
            *error = "header-info item " + std::to_string(i) + " has display position " +
                     std::to_string(position) + ", not a free one of 1.." + std::to_string(headerCount);
            return false;
        }
        described[position - 1] = true;
        ReportColumn& column = out.columns[position - 1];
        column.hasInfo = true;
        column.table = FieldText(info[i].tableName, sizeof info[i].tableName);
        column.column = FieldText(info[i].columnName, sizeof info[i].columnName);
        column.dataType = info[i].dataType;
    }

    // Every cell is one item, so no valid row or column number exceeds the
    // item count; checking that first keeps a corrupt number from sizing the grid.
    // The same pass sees whether the items stand row by row at their own
    // places, as a library delivers them: millions of 264-byte items are
    // read from memory once more for every pass.
    std::uint32_t rowCount = 0;
    std::uint32_t width = headerCount;
    bool inPlace = headerCount > 0;
    std::uint32_t expectRow = 1, expectColumn = 0;
    for (std::uint32_t i = 0; i < dataCount; ++i) {
        const std::uint32_t row = data[i].row, column = data[i].column;
        if (row < 1 || row > dataCount || column >= dataCount) {
            *error = "data item " + std::to_string(i) + " has row " + std::to_string(row) + " and column " +
                     std::to_string(column) + ", outside a result of " + std::to_string(dataCount) + " cells";
            return false;
        }
        rowCount = std::max(rowCount, row);
        width = std::max(width, column + 1);
        inPlace = inPlace && row == expectRow && column == expectColumn;
        if (++expectColumn == headerCount) {
            expectColumn = 0;
            ++expectRow;
        }
    }
    if (static_cast<std::uint64_t>(rowCount) * width > 4ull * dataCount + 1024) {
        *error = "data items spread " + std::to_string(dataCount) + " cells over " +
                 std::to_string(rowCount) + " rows of " + std::to_string(width) + " columns";
        return false;
    }
    // Cells the library gave no header for still get a column, unnamed.
    for (std::uint32_t c = headerCount; c < width; ++c) {
        ReportColumn column;
        column.position = c + 1;
        out.columns.push_back(column);
    }
    out.items = dataCount ? data : nullptr;
    out.itemRows = rowCount;
    out.width = width;
    const std::uint64_t cells = static_cast<std::uint64_t>(rowCount) * width;
    // Every item at its own place, and as many items as places: the grid is full.
    inPlace = inPlace && cells == dataCount;
    if (!inPlace && dataCount) {
        out.itemOf.assign(static_cast<size_t>(cells), Report::kNoItem);
        for (std::uint32_t i = 0; i < dataCount; ++i) {
            size_t at = static_cast<size_t>(data[i].row - 1) * width + data[i].column;
            if (out.itemOf[at] != Report::kNoItem) {
                *error = "data item " + std::to_string(i) + " gives row " + std::to_string(data[i].row) +
                         " column " + std::to_string(data[i].column) + " a second time";
                return false;
            }
            out.itemOf[at] = i;
        }
    }
    *report = std::move(out);
    return true;
}

}  // namespace zevdt
