// zevdt drill --format xlsx: the report as a typed spreadsheet.
#ifndef ZEVDT_XLSX_FORMAT_H
#define ZEVDT_XLSX_FORMAT_H

#include <cstddef>
#include <string>

#include "report.h"

namespace zevdt {

// Rows of one sheet, the header's included: the most a spreadsheet program opens.
constexpr std::size_t kXlsxSheetRows = 1048576;

// Writes `report` to the file `path`. Each column's cells are typed by the
// header-info data type: dates (11, YYYY-MM-DD) as dates, integers (20) and
// decimals (21) as numbers, anything else, and any cell whose text is not a
// value of its type, as text. The header row is bold and frozen, with an
// autofilter. A report longer than one sheet goes on in further sheets
// ("Report", "Report (2)", ...), each under its own header; `sheetRows` is the
// sheets' length (tests make it short). Texts are converted from the host's
// code page to UTF-8. Returns false with the reason in *error.
bool WriteXlsx(const Report& report, const std::string& path, std::string* error,
               std::size_t sheetRows = kXlsxSheetRows);

}  // namespace zevdt

#endif
