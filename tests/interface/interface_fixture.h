// What the interface tests share: the fake data-transfer library loaded by
// path as ZEVDTU would load the real one, records the fake hands out, and one
// way to run an export with the user's answers given in advance.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "fake_dtapi.h"
#include "framework/script/test_driver.h"
#include "support/test_env.h"
#include "zevdtu.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <unistd.h>

#include "framework/headless/headless_backend.h"
#endif

namespace ifacetest {

// The fake beside the test program: a path in the platform's own form, which
// Wine needs as much as Windows does.
inline std::string FakeLibraryPath(const char* fileName = FAKE_DTAPI_FILE) {
    char path[4096] = {};
#ifdef _WIN32
    DWORD n = GetModuleFileNameA(nullptr, path, sizeof path - 1);
    std::string self(path, n);
#else
    ssize_t n = readlink("/proc/self/exe", path, sizeof path - 1);
    std::string self(path, n > 0 ? static_cast<size_t>(n) : 0);
#endif
    size_t slash = self.find_last_of("\\/");
    return self.substr(0, slash + 1) + fileName;
}

// The busy cursor's depth where the backend can tell it (headless); 0 elsewhere.
inline int WaitCursorDepth() {
#ifdef _WIN32
    return 0;
#else
    return static_cast<fw::headless::HeadlessBackend&>(fw::CurrentBackend()).WaitCursorDepth();
#endif
}
inline int WaitCursorRestores() {
#ifdef _WIN32
    return 1;
#else
    return static_cast<fw::headless::HeadlessBackend&>(fw::CurrentBackend()).WaitCursorRestores();
#endif
}

inline std::string Message(unsigned helpId, const std::string& text, const char* buttons = "OK",
                           const char* answer = "OK") {
    std::string quoted;
    for (char c : text) {
        if (c == '"' || c == '\\') quoted += '\\';
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

// Each test starts with a fresh fake that answers a plain open: no login,
// one report that cannot be customised, two displayed columns, no cells.
class InterfaceTest : public ::testing::Test {
protected:
    void SetUp() override {
        control = FakeDTAPIControl();
        FakeReset(control);
        std::strcpy(control->info.serverName, "olap1");
        std::strcpy(control->info.dataSourceName, "Sales");
        std::strcpy(control->info.userName, "ann");
        records.AddReport("Orders", 0);
        records.AddColumn("SALES", "REGION", 1);
        records.AddColumn("SALES", "AMOUNT", 2, 3);
        Publish();
    }
    void TearDown() override {
        if (handle) ZevDTExit(handle);
        EXPECT_EQ(WaitCursorDepth(), 0);
    }

    // Hands the records to the fake (call after changing them).
    void Publish() {
        control->reports = records.reportList.empty() ? nullptr : records.reportList.data();
        control->reportCount = static_cast<uint32_t>(records.reportList.size());
        control->columns = records.columnList.empty() ? nullptr : records.columnList.data();
        control->columnCount = static_cast<int32_t>(records.columnList.size());
        control->cells = records.cellList.empty() ? nullptr : records.cellList.data();
    }

    void Init() {
        ASSERT_EQ(ZevDTInit(7, &handle), ZEVDT_OK);
        ASSERT_NE(handle, nullptr);
    }

    // Runs one export with the user's steps; keeps the transcript and checks
    // that every step was used and none failed.
    template <typename Fn>
    uint32_t Run(fw::TestDriver& driver, Fn call) {
        transcript.lines.clear();
        uint32_t code;
        {
            fw::ScopedDriver scope(&driver, &transcript);
            code = call();
        }
        EXPECT_TRUE(driver.Failures().empty()) << driver.Failures().front();
        EXPECT_TRUE(driver.Done()) << driver.Remaining() << " steps left";
        EXPECT_EQ(WaitCursorDepth(), 0) << "a way out left the busy cursor on";
        return code;
    }
    uint32_t Open(fw::TestDriver& driver, std::vector<const char*> members = {"Year\n", "East\n"},
                  uint64_t context = 0x1122334455667788ull) {
        memberStore.assign(members.begin(), members.end());
        return Run(driver, [&] {
            return ZevDTOpen(handle, static_cast<uint32_t>(memberStore.size()),
                             const_cast<char**>(memberStore.data()), context);
        });
    }
    uint32_t Open() {
        fw::TestDriver none;
        return Open(none);
    }

    std::vector<std::string> CallNames() const {
        std::vector<std::string> names;
        for (uint32_t i = 0; i < control->logCount; ++i) names.push_back(FakeFnName(control->log[i]));
        return names;
    }
    int Count(const std::string& line) const {
        return static_cast<int>(std::count(transcript.lines.begin(), transcript.lines.end(), line));
    }
    int CountPrefix(const std::string& prefix) const {
        int n = 0;
        for (const std::string& line : transcript.lines) n += line.compare(0, prefix.size(), prefix) == 0;
        return n;
    }

    testsupport::ScopedEnv library{"ZEVDTAPI_LIBRARY", FakeLibraryPath()};
    FakeDTAPIControlBlock* control = nullptr;
    Records records;
    void* handle = nullptr;
    fw::MemoryTranscript transcript;
    std::vector<const char*> memberStore;
};

using Calls = std::vector<std::string>;

}  // namespace ifacetest
