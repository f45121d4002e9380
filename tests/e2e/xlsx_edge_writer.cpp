// Writes a hand-made report with the cells a typed sheet must get right, in
// sheets of three rows, for xlsx_check.py to read back: zevdt's xlsx writer as
// the build made it (under Wine in the Windows builds).
#include <iostream>

#include "xlsx_format.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: xlsx_edge_writer FILE.xlsx\n";
        return 2;
    }
    zevdt::Report report;
    const char* names[] = {"Datum", "Město", "Počet", "Částka", "Poznámka"};
    const std::uint16_t types[] = {11, 10, 20, 21, 0};
    for (std::uint32_t c = 0; c < 5; ++c) {
        zevdt::ReportColumn column;
        column.position = c + 1;
        column.name = names[c];
        column.hasInfo = types[c] != 0;  // the last column has no header-info item
        column.dataType = types[c];
        report.columns.push_back(column);
    }
    report.rows = {
        {"2024-02-29", "Plzeň", "12", "-0.5", "a,b"},
        {"2023-02-29", "東京", "1234567890123456", "18.40", ""},
        {"1899-12-31", "Kraków", "-7", "1e3", "42"},
        {"", "tab\there", "+3", ".5", "y"},
        {"2024-13-01", "<&>", "007", "12345678901234.5", "z"},
        {"2024-01-31", " lead", "1.0", "0.000000000000000001", ""},
        {"9999-12-31", "last", "0", "-0", "end"},
    };
    std::string error;
    if (!zevdt::WriteXlsx(report, argv[1], &error, 4)) {
        std::cerr << "xlsx_edge_writer: " << error << "\n";
        return 1;
    }
    return 0;
}
