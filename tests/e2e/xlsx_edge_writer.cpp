// Writes a hand-made report with the cells a typed sheet must get right, in
// sheets of three rows, for xlsx_check.py to read back: zevdt's xlsx writer as
// the build made it (under Wine in the Windows builds).
#include <iostream>
#include <string>

#include "xlsx_format.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace {

// A host's text for the UTF-8 written here. On Windows that is the ANSI code
// page, with "&#N;" for a letter it cannot hold, as the stand-in hands it out;
// the tests' C locale elsewhere keeps UTF-8 as it is.
std::string Host(const std::string& utf8) {
#ifdef _WIN32
    std::wstring wide(utf8.size(), L'\0');
    wide.resize(size_t(
        MultiByteToWideChar(CP_UTF8, 0, utf8.data(), int(utf8.size()), wide.data(), int(wide.size()))));
    std::string out;
    for (wchar_t c : wide) {  // the texts below need no surrogate pairs
        char bytes[4];
        BOOL lossy = FALSE;
        int n =
            WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, &c, 1, bytes, sizeof bytes, nullptr, &lossy);
        out += n > 0 && !lossy ? std::string(bytes, size_t(n)) : "&#" + std::to_string(unsigned(c)) + ";";
    }
    return out;
#else
    return utf8;
#endif
}

}  // namespace

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
        column.name = Host(names[c]);
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
    for (auto& row : report.rows)
        for (auto& text : row) text = Host(text);
    std::string error;
    if (!zevdt::WriteXlsx(report, argv[1], &error, 4)) {
        std::cerr << "xlsx_edge_writer: " << error << "\n";
        return 1;
    }
    return 0;
}
