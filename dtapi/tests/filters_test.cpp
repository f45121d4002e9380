// Saved filters: exact round trips, whole replacement, concurrent savers, and a
// database that another program keeps locked.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <chrono>

#ifdef ZEVDTAPI_WITH_POSTGRES
#include <libpq-fe.h>
#endif

#ifndef _WIN32
#include <sys/wait.h>
#include <unistd.h>
#endif

#include "test_session.h"

namespace zevdtapi_test {
namespace {

// Another program's lock on the whole database (SQLite) or on the saved
// filters' table (PostgreSQL), which readers and writers both wait for.
class OtherProgramsLock {
  public:
    explicit OtherProgramsLock(const std::string& db) {
#ifdef ZEVDTAPI_WITH_POSTGRES
        if (db.rfind("postgresql://", 0) == 0) {
            pg_ = PQconnectdb(db.c_str());
            PGresult* r = PQexec(pg_, "BEGIN; LOCK TABLE dt_saved_filter IN ACCESS EXCLUSIVE MODE");
            held_ = PQresultStatus(r) == PGRES_COMMAND_OK;
            PQclear(r);
            return;
        }
#endif
        held_ = sqlite3_open(db.c_str(), &lite_) == SQLITE_OK &&
                sqlite3_exec(lite_, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr) == SQLITE_OK;
    }
    ~OtherProgramsLock() {
        Release();
    }
    bool held() const {
        return held_;
    }
    void Release() {
#ifdef ZEVDTAPI_WITH_POSTGRES
        if (pg_)
            PQfinish(pg_);
        pg_ = nullptr;
#endif
        if (lite_)
            sqlite3_close(lite_);  // rolls the open transaction back
        lite_ = nullptr;
    }

  private:
    bool held_ = false;
    sqlite3* lite_ = nullptr;
#ifdef ZEVDTAPI_WITH_POSTGRES
    PGconn* pg_ = nullptr;
#endif
};

void OpenReport(Session& s, const std::string& report) {
    ASSERT_EQ(0u, s.OpenReport({"Year=2024\n"}, report)) << s.ErrorText();
}

TEST(SavedFilters, RoundTripByteForBytePerReport) {
    std::string db = FreshSample();
    std::string big(100000, 'x');
    const std::vector<std::string> records = {
        "Default$*$Default filter",
        "Q1$*$$*$region.region$*$region.region = East OR \r\nregion.region in ('East','O''Neil')",
        "High bytes \xe9\xff\x01$*$two\r\nlines \t $*$sales.amount$*$sales.amount > 5",
        "  untrimmed  $*$" + big,
        "name only",
    };
    {
        Session s(db);
        OpenReport(s, "Sales Detail");
        EXPECT_TRUE(s.SavedFilters().empty());
        ASSERT_EQ(0, s.SaveFilters(records)) << s.ErrorText();
        EXPECT_EQ(records, s.SavedFilters());
    }
    Session other(db);  // another handle, as a later run of the wizard would be
    OpenReport(other, "Sales Detail");
    EXPECT_EQ(records, other.SavedFilters());
    OpenReport(other, "Customer Orders");
    EXPECT_TRUE(other.SavedFilters().empty());
}

TEST(SavedFilters, ASaveReplacesTheWholeListOrNothing) {
    std::string db = FreshSample();
    Session s(db);
    OpenReport(s, "Sales Detail");
    ASSERT_EQ(0, s.SaveFilters({"A$*$", "B$*$", "C$*$"}));
    ASSERT_EQ(0, s.SaveFilters({"B$*$changed"}));
    EXPECT_EQ(std::vector<std::string>{"B$*$changed"}, s.SavedFilters());

    std::string a = "A$*$new";
    char* withNull[] = {&a[0], nullptr};
    EXPECT_EQ(2007001, ZevDTAPISetFilterDescConditions(s.lib, withNull, 2));
    EXPECT_FALSE(s.ErrorText().empty());
    EXPECT_EQ(2007001, ZevDTAPISetFilterDescConditions(s.lib, withNull, -1));
    EXPECT_FALSE(s.ErrorText().empty());
    EXPECT_EQ(std::vector<std::string>{"B$*$changed"}, s.SavedFilters());

    ASSERT_EQ(0, s.SaveFilters({}));
    EXPECT_TRUE(s.SavedFilters().empty());
}

#ifndef _WIN32
TEST(SavedFilters, TwoProcessesSavingAtOnceLeaveOneCompleteSave) {
    std::string db = FreshSample();
    auto setOf = [](int process) {
        std::vector<std::string> records;
        for (int i = 0; i < 6; ++i) {
            records.push_back("P" + std::to_string(process) + "-" + std::to_string(i) + "$*$" +
                              std::string(2000, char('a' + process)));
        }
        return records;
    };
    pid_t children[2];
    for (int p = 0; p < 2; ++p) {
        pid_t pid = fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            int failures = 0;
            {
                Session s(db);
                if (s.OpenReport({"Year=2024\n"}, "Sales Detail") != 0)
                    _exit(3);
                for (int round = 0; round < 40; ++round) failures += s.SaveFilters(setOf(p)) != 0;
            }
            _exit(failures == 0 ? 0 : 1);
        }
        children[p] = pid;
    }
    // Meanwhile every read sees one complete save.
    Session reader(db);
    OpenReport(reader, "Sales Detail");
    for (int i = 0; i < 40; ++i) {
        auto seen = reader.SavedFilters();
        EXPECT_TRUE(seen.empty() || seen == setOf(0) || seen == setOf(1)) << "mixture of " << seen.size();
    }
    for (pid_t child : children) {
        int status = 0;
        waitpid(child, &status, 0);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "a saver failed";
    }
    auto last = reader.SavedFilters();
    EXPECT_TRUE(last == setOf(0) || last == setOf(1));
}
#endif

// Another program holding the database's lock keeps the user waiting under a
// busy cursor: briefly, and then the user learns why nothing happened.
TEST(SavedFilters, ALockHeldByAnotherProgramEndsTheWaitSoonAndSaysSo) {
    std::string db = FreshSample();
    Session s(db);
    OpenReport(s, "Sales Detail");
    OtherProgramsLock other(db);
    ASSERT_TRUE(other.held());

    auto started = std::chrono::steady_clock::now();
    EXPECT_EQ(2007002, s.SaveFilters({"A$*$"}));
    EXPECT_NE(std::string::npos, s.ErrorText().find("locked by another program")) << s.ErrorText();
    char** records = nullptr;
    int32_t count = 0;
    EXPECT_NE(0, ZevDTAPIGetFilterDescConditions(s.lib, &records, &count));
    EXPECT_NE(std::string::npos, s.ErrorText().find("locked by another program")) << s.ErrorText();
    double waited = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    // Two waits of about two seconds each, never the ten seconds a person gives up after.
    EXPECT_LT(waited, 7.0);

    other.Release();
    EXPECT_EQ(0, s.SaveFilters({"A$*$"})) << s.ErrorText();
}

}  // namespace
}  // namespace zevdtapi_test
