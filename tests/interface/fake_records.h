// Pieces of the interface tests that need nothing but the contract headers,
// so that a host-side test linking only the shared library can use them:
// where the fake library lies, message lines of a transcript, and the
// records the fake hands out.
#pragma once

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "zevdtapi.h"

#ifdef _WIN32
#include <cstdlib>
#else
#include <unistd.h>
#endif

namespace ifacetest {

// The folder of the running test program, in the platform's own form (which
// Wine needs as much as Windows does); the fake and scripts are copied there.
inline std::string ProgramFolder() {
#ifdef _WIN32
    // <windows.h> would rename framework methods (LoadString, MessageBox) in every test including this.
    const char* program = _pgmptr;
    std::string self = program ? program : "";
#else
    char path[4096] = {};
    ssize_t n = readlink("/proc/self/exe", path, sizeof path - 1);
    std::string self(path, n > 0 ? static_cast<size_t>(n) : 0);
#endif
    return self.substr(0, self.find_last_of("\\/") + 1);
}

inline std::string FakeLibraryPath(const char* fileName = FAKE_DTAPI_FILE) {
    return ProgramFolder() + fileName;
}

inline std::string Message(unsigned helpId, const std::string& text, const char* buttons = "OK",
                           const char* answer = "OK") {
    std::string quoted;
    for (char c : text) {
        if (c == '"' || c == '\\')
            quoted += '\\';
        quoted += c;
    }
    return "messagebox " + std::to_string(helpId) + " \"" + quoted + "\" " + buttons + " -> " + answer;
}

// Report, column and cell records as the library would hand them out. They
// live in the test; the fake passes their addresses on.
struct Records {
    std::vector<std::unique_ptr<ZevDTAPIReport>> reports;
    std::vector<ZevDTAPIReport*> reportList;
    std::vector<std::unique_ptr<ZevDTAPIColumn>> columns;
    std::vector<ZevDTAPIColumn*> columnList;
    std::vector<std::vector<char>> cellStore;
    std::vector<ZevDTAPICell*> cellList;

    void AddReport(const std::string& name, uint32_t customisable) {
        auto r = std::make_unique<ZevDTAPIReport>();
        std::memset(r.get(), 0, sizeof *r);
        std::strncpy(r->name, name.c_str(), sizeof r->name - 1);
        r->customisable = customisable;
        reportList.push_back(r.get());
        reports.push_back(std::move(r));
    }
    ZevDTAPIColumn* AddColumn(const std::string& table, const std::string& name, int32_t display,
                              uint16_t type = ZEVDTAPI_TYPE_CHAR) {
        auto c = std::make_unique<ZevDTAPIColumn>();
        std::memset(c.get(), 0, sizeof *c);
        std::strncpy(c->tableName, table.c_str(), sizeof c->tableName - 1);
        std::strncpy(c->columnName, name.c_str(), sizeof c->columnName - 1);
        c->displayPosition = display;
        c->dataType = type;
        columnList.push_back(c.get());
        columns.push_back(std::move(c));
        return columnList.back();
    }
    // A row-by-row grid of cells; a null text is a missing cell.
    void SetCells(const std::vector<const char*>& texts) {
        cellStore.clear();
        cellList.clear();
        cellStore.reserve(texts.size());
        for (const char* text : texts) {
            if (!text) {
                cellList.push_back(nullptr);
                continue;
            }
            std::vector<char> cell(ZEVDTAPI_CELL_TEXT_OFFSET + std::strlen(text) + 1, '\x7f');
            std::memcpy(cell.data() + ZEVDTAPI_CELL_TEXT_OFFSET, text, std::strlen(text) + 1);
            cellStore.push_back(std::move(cell));
            cellList.push_back(reinterpret_cast<ZevDTAPICell*>(cellStore.back().data()));
        }
    }
};

}  // namespace ifacetest
