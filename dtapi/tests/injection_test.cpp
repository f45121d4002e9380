// Hostile input through every door: member strings, condition texts, column
// names and filter records. The database must stay unchanged, nothing outside
// the report may be read, and nothing may crash.
#include <gtest/gtest.h>
#include <algorithm>
#include <cstring>

#include "test_session.h"

namespace zevdtapi_test {
namespace {

class Injection : public ::testing::Test {
  protected:
    void SetUp() override {
        db = FreshSample();
        before = Snapshot(db);
    }
    void TearDown() override { EXPECT_TRUE(before == Snapshot(db)) << "the database changed"; }

    // No cell may carry what only the employee table holds.
    static void ExpectNoEmployeeData(const std::vector<Row>& rows) {
        for (const Row& r : rows) {
            for (const Cell& c : r) EXPECT_TRUE(!c || c->find("Employee") == std::string::npos) << *c;
        }
    }

    std::string db, before;
};

TEST_F(Injection, HostileMemberStringsAreValuesOnly) {
    const std::vector<std::string> hostile = {
        "Region=East' OR '1'='1\n",
        "Region=East\"; DROP TABLE sales; --\n",
        "Year=2024) OR (1=1\n",
        "Region\" = region OR \"x=East\n",
        "Region=\x01\x02\xff\xfe\n",
        "Region=East\nSYSDBV=x'); DELETE FROM sales; --\n",
        "Category=" + std::string(60000, '%') + "\n",
    };
    Session s(db);
    for (const std::string& m : hostile) {
        ASSERT_EQ(0u, s.Open({m})) << m;
        auto names = s.ReportNames();
        if (std::find(names.begin(), names.end(), "Sales Detail") == names.end())
            continue;
        ASSERT_EQ(0u, s.Execute("Sales Detail"));
        uint32_t status = 1;
        auto rows = s.Data(&status);
        EXPECT_EQ(0u, status) << s.ErrorText();
        EXPECT_TRUE(rows.empty()) << m << " matched " << rows.size() << " rows";
    }
    char* tooMany[5000];
    std::string m = "Year=2024";
    for (char*& p : tooMany) p = &m[0];
    EXPECT_EQ(2001003u, ZevDTAPISetConnection(s.lib, tooMany, 5000, 0));
    EXPECT_FALSE(s.ErrorText().empty());
}

TEST_F(Injection, HostileConditionsNeverReachSqlAsText) {
    Session s(db);
    ASSERT_EQ(0u, s.OpenReport({"Year=2024\n", "Region=East\n", "Category=Beverages\n"}, "Sales Detail"))
        << s.ErrorText();
    const size_t all = s.Data().size();
    ZevDTAPIColumn* region = s.Column("region", "region");
    const std::vector<std::string> hostile = {
        "region.region = East'; DROP TABLE sales; --",
        "region.region = 'x' OR 1=1",
        "region.region = 'x') OR (1=1",
        "employee.salary > 0",
        "region.region in (SELECT name FROM employee)",
        "region.region = \"region\"",
        "region.region = region.region",
        "region.region like '%' ESCAPE 'x'",
        "region.region in ('a'); ATTACH DATABASE 'x.db' AS x; --",
        "region.region = 'East' AND \r\nregion.region = (SELECT 1)",
        "region.region <> East OR \r\nsqlite_schema.sql like '%'",
        "region.region <> East OR \r\npg_catalog.pg_authid.rolpassword like '%'",
        "region.region = " + std::string(8000, '\''),
        std::string(8192, '('),
    };
    for (const std::string& c : hostile) {
        SetCondition(region, c);
        uint32_t status = 1;
        auto rows = s.Data(&status);
        EXPECT_TRUE(status == 0 || status == 2005002) << c << " gave " << status;
        EXPECT_FALSE(s.ErrorText().empty() && status != 0);
        EXPECT_LE(rows.size(), all) << c;
        ExpectNoEmployeeData(rows);
    }
    // A condition field without its NUL is refused, never read past.
    std::memset(region->condition, 'A', sizeof(region->condition));
    uint32_t status = 0;
    s.Data(&status);
    EXPECT_EQ(2005001u, status);
    EXPECT_FALSE(s.ErrorText().empty());
}

TEST_F(Injection, ColumnRecordsNamingOtherTablesAreRefused) {
    Session s(db);
    ASSERT_EQ(0u, s.OpenReport({"Year=2024\n"}, "Sales Detail")) << s.ErrorText();
    ZevDTAPIColumn* c = s.columns[0];
    const std::pair<const char*, const char*> hostile[] = {
        {"employee", "salary"},
        {"sales\" JOIN employee ON 1 --", "amount"},
        {"sales", "amount FROM employee --"},
        {"sqlite_schema", "sql"},
        {"pg_catalog.pg_authid", "rolpassword"},
        {"pg_authid", "rolpassword"},
        {"", ""},
    };
    char** values = nullptr;
    int32_t count = 0;
    for (const auto& h : hostile) {
        std::strcpy(c->tableName, h.first);
        std::strcpy(c->columnName, h.second);
        uint32_t status = 0;
        s.Data(&status);
        EXPECT_EQ(2005001u, status) << h.first;
        EXPECT_NE(std::string::npos, s.ErrorText().find("not a column")) << s.ErrorText();
        count = 5;
        EXPECT_EQ(2005001, ZevDTAPIGetFilterData(s.lib, c, &values, &count));
        EXPECT_EQ(0, count);  // a caller looping until the count is 0 stops after a failure
    }
    std::memset(c->tableName, 'x', sizeof(c->tableName));
    uint32_t status = 0;
    s.Data(&status);
    EXPECT_EQ(2005001u, status);
    // Names differing only in case still mean the report's own column.
    std::strcpy(c->tableName, "SALES");
    std::strcpy(c->columnName, "Sale_Date");
    EXPECT_EQ(QueryRows(db, "SELECT count(*) FROM sales WHERE year = 2024")[0][0],
              std::to_string(s.Data().size()));
}

TEST_F(Injection, HostileFilterRecordsAreStoredAsBytesAndChangeNothingElse) {
    const std::string dataBefore = "SELECT * FROM sales ORDER BY sale_id";
    auto salesBefore = QueryRows(db, dataBefore);
    {
        Session s(db);
        ASSERT_EQ(0u, s.OpenReport({"Year=2024\n"}, "Sales Detail")) << s.ErrorText();
        std::vector<std::string> records = {"x'); DROP TABLE sales; --$*$\"$*$sales.amount$*$1=1",
                                            "$*$$*$$*$$*$", "Q\r\n$*$\x7f\x80"};
        ASSERT_EQ(0, s.SaveFilters(records)) << s.ErrorText();
        EXPECT_EQ(records, s.SavedFilters());
        EXPECT_EQ(2007001, s.SaveFilters({std::string(1024 * 1024 + 1, 'h')}));
        EXPECT_FALSE(s.ErrorText().empty());
    }
    EXPECT_EQ(salesBefore, QueryRows(db, dataBefore));
    before = Snapshot(db);  // the saved filters are the only change
}

TEST_F(Injection, AReportOverAViewOfOtherTablesIsRefused) {
    // A report over a view reaches the employee table behind it: refused when it is executed.
    ExecuteSql(db,
               "CREATE VIEW staff AS SELECT name, salary FROM employee;"
               "INSERT INTO dt_report VALUES (9, 1, 'Staff', 1, 9);"
               "INSERT INTO dt_report_table VALUES (9, 1, 'staff', NULL, NULL, NULL);"
               "INSERT INTO dt_report_column VALUES (9, 1, 'staff', 'salary', 21, 1, 0, 1);"
               "INSERT INTO dt_member_map VALUES (9, 'Year', 'staff', 'name');");
    before = Snapshot(db);
    Session s(db);
    ASSERT_EQ(0u, s.Open({"Year=2024\n"}));
    EXPECT_EQ(2004002u, s.Execute("Staff"));  // fails the test too when there is no report "Staff"
    EXPECT_NE(std::string::npos, s.ErrorText().find("Staff")) << s.ErrorText();
}

}  // namespace
}  // namespace zevdtapi_test
