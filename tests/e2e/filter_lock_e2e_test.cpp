// Saved filters survive another program's lock: the filter step's load waits
// for the lock, fails and says so; the lock goes; Finish then leaves what the
// library holds as it was, byte for byte. Host, ZEVDTU and the stand-in in
// this process, the dialogs driven as a user would; the lock in another.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#ifndef _WIN32
#include "pg_server.h"
#endif
#include "framework/script/test_driver.h"
#include "framework/win_types.h"
#include "process.h"
#include "resources/resource.h"
#include "sample_warehouse.h"
#include "support/sqlite_rows.h"
#include "zevdtu.h"

namespace {

using fw::SheetButton;
using fw::Ui;

// Three filters of Sales Detail, and one of another report, as a page
// saved them: name order, a condition, text beyond ASCII.
const std::vector<std::string> kHeld = {
    "A$*$first$*$region.city$*$= 'Brno'",
    "b$*$Krak\xc3\xb3w and Plze\xc5\x88$*$region.region$*$in ('East','West')",
    "C$*$two\r\nlines$*$sales.amount$*$> 100",
};

std::string Hex(const std::string& bytes) {
    static const char digits[] = "0123456789ABCDEF";
    std::string out;
    for (unsigned char c : bytes) {
        out += digits[c >> 4];
        out += digits[c & 15];
    }
    return out;
}

// Rows of a statement on a SQLite file, each row's columns joined by "|".
std::vector<std::string> LiteRows(const std::string& path, const std::string& sql) {
    std::vector<std::string> rows;
    for (const auto& row : testsupport::SqliteRows(path, sql)) {
        rows.emplace_back();
        for (size_t c = 0; c < row.size(); ++c) rows.back() += (c ? "|" : "") + row[c];
    }
    return rows;
}

// The statements that seed the filters; `blob` writes a byte string's literal.
std::string SeedSql(const std::function<std::string(const std::string&)>& blob) {
    std::string sql = "DELETE FROM dt_saved_filter;";
    for (size_t i = 0; i < kHeld.size(); ++i)
        sql += "INSERT INTO dt_saved_filter (report_id, position, record) VALUES (1, " + std::to_string(i) +
               ", " + blob(Hex(kHeld[i])) + ");";
    return sql + "INSERT INTO dt_saved_filter (report_id, position, record) VALUES (2, 0, " +
           blob(Hex("Other$*$")) + ");";
}
// The statement that reads them back; `hex` writes a record's bytes in hex.
std::string ReadBackSql(const std::string& hex) {
    return "SELECT report_id, position, " + hex + " FROM dt_saved_filter ORDER BY report_id, position";
}

class FilterLock : public ::testing::Test {
  protected:
    void SetUp() override {
        work_ = zevdt_test::ProgramFolder() + "filter-lock-work" +
                static_cast<char>(std::filesystem::path::preferred_separator);
        std::filesystem::create_directories(work_);
        zevdt_test::SetEnv("ZEVDTAPI_LIBRARY", zevdt_test::ProgramFolder() + STANDIN_LIBRARY_NAME);
    }

    // Customize on the sample cell; the lock is taken on the sort step and
    // let go once the filter step has shown the failed load; then Finish.
    void FinishAfterALockedLoad(const std::string& database) {
        zevdt_test::SetEnv("ZEVDTAPI_DATABASE", database);
        const std::string ready = work_ + "ready", release = work_ + "release";
        std::filesystem::remove(ready);
        std::filesystem::remove(release);
        std::thread holder;
        int holderStatus = -1;
        std::string shown;
        std::vector<std::string> combo;
        fw::TestDriver driver;
        driver.Then([](Ui& ui) {
            ui.SelectRow(IDC_REPORTS_LIST, 0);
            ui.Click(IDC_REPORTS_CUSTOMIZE);
        });
        driver.Then([](Ui& ui) { ui.Press(SheetButton::Next); });
        driver.Then([](Ui& ui) { ui.Press(SheetButton::Next); });
        driver.Then([&](Ui& ui) {
            holder = std::thread([&] {
                holderStatus =
                    zevdt_test::Run(
                        {zevdt_test::ProgramFolder() + LOCK_HOLDER_NAME, database, ready, release}, work_)
                        .status;
            });
            const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
            while (!std::filesystem::exists(ready) && std::chrono::steady_clock::now() < deadline)
                std::this_thread::sleep_for(std::chrono::milliseconds(20));
            ASSERT_TRUE(std::filesystem::exists(ready));
            ui.Press(SheetButton::Next);
        });
        // The lock goes before Finish, so that a save there would succeed.
        driver.Then([&](Ui& ui) {
            zevdt_test::WriteFile(release, "go\n");
            holder.join();
            if (ui.TemplateId() != 0) {
                ui.Press(SheetButton::Finish);  // no message: the step hid the failure
                return;
            }
            shown = ui.MessageText();
            ui.Answer(IDOK);
        });
        driver.Then([&](Ui& ui) {
            EXPECT_EQ(ui.TemplateId(), unsigned(IDD_FILTER));
            for (int i = 0; i < ui.RowCount(IDC_FILTER_COMBO); ++i)
                combo.push_back(ui.RowText(IDC_FILTER_COMBO, i));
            ui.Press(SheetButton::Finish);
        });
        void* handle = nullptr;
        ASSERT_EQ(ZevDTInit(1, &handle), ZEVDT_OK);
        char members[][24] = {"Year=2024\n", "Region=East\n", "Category=Beverages\n"};
        char* memberList[] = {members[0], members[1], members[2], nullptr};
        {
            fw::ScopedDriver scope(&driver);
            EXPECT_EQ(ZevDTOpen(handle, 3, memberList, 1), ZEVDT_OK);
        }
        if (holder.joinable()) {
            zevdt_test::WriteFile(release, "go\n");
            holder.join();
        }
        ZevDTClose(handle);
        ZevDTExit(handle);
        EXPECT_TRUE(driver.Failures().empty()) << driver.Failures().front();
        EXPECT_TRUE(driver.Done());
        EXPECT_EQ(holderStatus, 0);
        EXPECT_NE(shown.find("locked by another program"), std::string::npos) << shown;
        EXPECT_EQ(combo, std::vector<std::string>{"Default"});
    }

    // Finish after the locked load leaves the filters as the rows read back had them.
    void ExpectKeptAfterALockedLoad(const std::string& database,
                                    const std::function<std::vector<std::string>()>& rows) {
        const std::vector<std::string> before = rows();
        ASSERT_EQ(before.size(), kHeld.size() + 1);
        EXPECT_EQ(before[1], "1|1|" + Hex(kHeld[1]));
        FinishAfterALockedLoad(database);
        EXPECT_EQ(rows(), before);
    }

    std::string work_;
};

TEST_F(FilterLock, SqliteKeepsEverySavedFilter) {
    const std::string database = work_ + "sample.db";
    std::string error;
    ASSERT_TRUE(zevdtapi::CreateSampleWarehouse(database, true, &error)) << error;
    testsupport::SqliteRows(database, SeedSql([](const std::string& hex) { return "X'" + hex + "'"; }));
    ExpectKeptAfterALockedLoad(database, [&] { return LiteRows(database, ReadBackSql("hex(record)")); });
}

#ifndef _WIN32
TEST_F(FilterLock, PostgresKeepsEverySavedFilter) {
    zevdtapi_test::PgServer& server = zevdtapi_test::PgServer::Get();
    ASSERT_TRUE(server.ok()) << server.failure();
    const std::string uri = server.SampleCopy("filter_lock");
    ASSERT_TRUE(zevdtapi_test::PgExec(
        uri, SeedSql([](const std::string& hex) { return "decode('" + hex + "', 'hex')"; })));
    ExpectKeptAfterALockedLoad(uri, [&] {
        std::vector<std::string> out;
        for (const auto& row : zevdtapi_test::PgRows(uri, ReadBackSql("upper(encode(record, 'hex'))")))
            out.push_back(row[0].value_or("") + "|" + row[1].value_or("") + "|" + row[2].value_or(""));
        return out;
    });
}
#endif

}  // namespace
