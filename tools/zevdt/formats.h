// The output formats of zevdt drill. Texts come from the library as bytes in
// the process's code page; table, CSV and TSV pass them through unless UTF-8
// is asked for, JSON needs UTF-8 and converts them (see HostToUtf8).
#ifndef ZEVDT_FORMATS_H
#define ZEVDT_FORMATS_H

#include <ostream>
#include <string>

#include "command_line.h"
#include "report.h"

namespace zevdt {

// Aligned columns under a header and a dashed rule, then "(N rows)".
void WriteTable(const Report& report, std::ostream& out);
// RFC 4180: a header record, CRLF after every record, fields with a comma,
// quote, CR or LF quoted, quotes doubled.
void WriteCsv(const Report& report, std::ostream& out);
// Tab-separated: tab, CR, LF and backslash in a field are written \t \r \n \\.
void WriteTsv(const Report& report, std::ostream& out);
// {"columns":[{"position","name","table","column","dataType"}...],"rows":[[...]...]}
void WriteJson(const Report& report, std::ostream& out);

// Table, CSV and TSV in the code page's bytes, or UTF-8 (CSV then with a BOM);
// JSON is UTF-8 either way.
void WriteReport(const Report& report, OutputFormat format, std::ostream& out,
                 TextEncoding encoding = TextEncoding::kCodePage);

// Every run of bytes that is well-formed UTF-8 is kept; every other byte is
// read as Windows-1252 (its five unassigned bytes as the C1 controls of the
// same number). So UTF-8 data stays as it is and Windows-1252 data comes out
// right, which covers the code pages our hosts run with.
std::string Utf8FromAnsi(const std::string& bytes);

// A JSON string literal, quotes included; control characters escaped.
std::string JsonString(const std::string& bytes);

}  // namespace zevdt

#endif
