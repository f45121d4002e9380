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

#include "dtapi_table.h"
#include "fake_dtapi.h"
#include "fake_records.h"
#include "framework/script/test_driver.h"
#include "resources/resource.h"
#include "support/test_env.h"
#include "zevdtu.h"

#ifndef _WIN32
#include <sys/wait.h>
#include <unistd.h>

#include "framework/headless/headless_backend.h"
#endif

namespace ifacetest {

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
        if (handle)
            ZevDTExit(handle);
        handle = nullptr;
        if (tableChanged)
            zevdt::SetDTAPIForTesting(nullptr);
        EXPECT_EQ(WaitCursorDepth(), 0);
        // Every record and out value that the caller must zero first was.
        for (uint32_t fn = 0; fn < kFakeFnCount; ++fn)
            EXPECT_EQ(control->notZeroed[fn], 0u) << FakeFnName(fn) << " received a value not zeroed";
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

    // Ends the handle and makes a new one over a copy of the loaded library's
    // functions that `change` edits (to make one throw, say); TearDown ends
    // that handle and loads the library's own functions again.
    template <typename Change>
    void InitWithTable(Change change) {
        if (handle)
            ZevDTExit(handle);
        handle = nullptr;
        const zevdt::DTAPITable* loaded = zevdt::LoadDTAPI();
        ASSERT_NE(loaded, nullptr);
        table = *loaded;
        change(table);
        zevdt::SetDTAPIForTesting(&table);
        tableChanged = true;
        Init();
    }

    // The login dialog's steps added to `driver`: each field given typed in
    // (an empty one left as it is), then OK.
    static fw::TestDriver& Login(fw::TestDriver& driver, const std::string& server, const std::string& user,
                                 const std::string& password) {
        for (auto field : {std::make_pair(IDC_LOGIN_SERVER, server), std::make_pair(IDC_LOGIN_USER, user),
                           std::make_pair(IDC_LOGIN_PASSWORD, password)}) {
            if (!field.second.empty())
                driver.Then([field](fw::Ui& ui) { ui.Type(field.first, field.second); });
        }
        return driver.Then([](fw::Ui& ui) { ui.Click(IDOK); });
    }

    // A user who answers `boxes` message boxes with `button`, one after another.
    static fw::TestDriver Answering(int button, int boxes = 1) {
        fw::TestDriver driver;
        for (int i = 0; i < boxes; ++i) driver.Then([button](fw::Ui& ui) { ui.Answer(button); });
        return driver;
    }
    static fw::TestDriver AnswersOk(int boxes = 1) { return Answering(IDOK, boxes); }

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
    template <typename Fn>
    uint32_t Run(fw::TestDriver&& driver, Fn call) {
        return Run(driver, call);
    }
    uint32_t Open(fw::TestDriver& driver, std::vector<const char*> members = {"Year\n", "East\n"},
                  uint64_t context = 0x1122334455667788ull) {
        memberStore.assign(members.begin(), members.end());
        return Run(driver, [&] {
            return ZevDTOpen(handle, static_cast<uint32_t>(memberStore.size()),
                             const_cast<char**>(memberStore.data()), context);
        });
    }
    uint32_t Open(fw::TestDriver&& driver, std::vector<const char*> members = {"Year\n", "East\n"}) {
        return Open(driver, std::move(members));
    }
    uint32_t Open() { return Open(fw::TestDriver()); }

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
    zevdt::DTAPITable table{};
    bool tableChanged = false;
};

using Calls = std::vector<std::string>;

#ifndef _WIN32
// Runs `body` in a forked child and gives the code it exits with, or minus
// the signal that ended it (-1000 when no child could be started).
template <typename Body>
int ExitCodeInAChild(Body body) {
    pid_t child = fork();
    if (child == 0)
        _exit(body());
    int status = 0;
    if (child < 0 || waitpid(child, &status, 0) != child)
        return -1000;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -WTERMSIG(status);
}
#endif

}  // namespace ifacetest
