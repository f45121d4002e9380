// The C functions as a caller sees them: arguments, call order, login, report
// list, and an error text for every failure.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>

#include "database_path.h"
#include "test_session.h"

namespace zevdtapi_test {
namespace {

// A call that failed with `number`, which the library keeps with a text for it.
void ExpectFailure(const Session& s, uint32_t status, uint32_t number) {
    EXPECT_EQ(number, status);
    EXPECT_EQ(number, s.ErrorNumber());
    EXPECT_FALSE(s.ErrorText().empty()) << "no text for error " << number;
}

TEST(Contract, NullHandleAndNullArgumentsAreRefusedWithText) {
    uint32_t number = 0;
    char text[256] = {0};
    EXPECT_NE(0u, ZevDTAPIInit(0, nullptr));
    EXPECT_NE(0u, ZevDTAPISetConnection(nullptr, nullptr, 0, 0));
    EXPECT_NE(0u, ZevDTAPIGetInfo(nullptr, nullptr));
    EXPECT_NE(0u, ZevDTAPISetInfo(nullptr, nullptr));
    EXPECT_NE(0u, ZevDTAPISetInfoWithOptionOn(nullptr, nullptr));
    EXPECT_NE(0u, ZevDTAPIConnect(nullptr));
    EXPECT_NE(0u, ZevDTAPIGetReports(nullptr, nullptr, nullptr));
    EXPECT_NE(0u, ZevDTAPIExecuteReport(nullptr, 0));
    EXPECT_NE(0u, ZevDTAPIGetColumns(nullptr, nullptr, nullptr));
    EXPECT_NE(0u, ZevDTAPIGetData(nullptr, nullptr, nullptr, nullptr));
    EXPECT_NE(0u, ZevDTAPIServerCancel(nullptr));
    EXPECT_NE(0u, ZevDTAPIClose(nullptr));
    EXPECT_NE(0u, ZevDTAPIExit(nullptr));
    EXPECT_NE(0, ZevDTAPIGetFilterDescConditions(nullptr, nullptr, nullptr));
    EXPECT_NE(0, ZevDTAPISetFilterDescConditions(nullptr, nullptr, 0));
    EXPECT_NE(0, ZevDTAPIGetFilterData(nullptr, nullptr, nullptr, nullptr));
    ZevDTAPIGetError(nullptr, &number, text, 255);
    EXPECT_NE(0u, number);
    EXPECT_NE(0u, std::strlen(text));

    Session s;
    ASSERT_EQ(0u, s.Open({"Year=2024\n"}));
    ExpectFailure(s, ZevDTAPIGetInfo(s.lib, nullptr), 2001001);
    ExpectFailure(s, ZevDTAPIGetReports(s.lib, nullptr, nullptr), 2001001);
    char* members[] = {nullptr};
    ExpectFailure(s, ZevDTAPISetConnection(s.lib, members, 1, 0), 2005003);
    ExpectFailure(s, ZevDTAPISetConnection(s.lib, nullptr, 3, 0), 2001001);
    EXPECT_EQ(0u, ZevDTAPIGetError(s.lib, nullptr, nullptr, 0) == 0 ? 1u : 0u);  // nothing to write to
}

TEST(Contract, ErrorTextIsCutToTheCapacityAndTerminated) {
    Session s;
    ASSERT_EQ(0u, s.OpenReport({"Year=2024\n"}, "Sales Detail")) << s.ErrorText();
    ZevDTAPIColumn* c = s.columns[0];
    std::memset(c->tableName, 'T', 3000);
    c->tableName[3000] = 0;
    std::memset(c->columnName, 'C', 3000);
    c->columnName[3000] = 0;
    ZevDTAPICell** cells = nullptr;
    uint32_t rows = 0, cols = 0;
    ASSERT_EQ(2005001u, ZevDTAPIGetData(s.lib, &cells, &rows, &cols));
    char text[300];
    std::memset(text, 'X', sizeof(text));
    uint32_t number = 0;
    EXPECT_EQ(0u, ZevDTAPIGetError(s.lib, &number, text, ZEVDTAPI_ERROR_TEXT_CAPACITY));
    EXPECT_EQ(2005001u, number);
    EXPECT_EQ(255u, std::strlen(text));
    EXPECT_EQ('X', text[256]);  // the caller's 256-byte buffer is never overrun

    std::memset(text, 'X', sizeof(text));
    ZevDTAPIGetError(s.lib, &number, text, 0);
    EXPECT_EQ(0, text[0]);
    EXPECT_EQ('X', text[1]);
}

TEST(Contract, LoginIsCheckedAgainstTheStoredHash) {
    Session s;
    ASSERT_EQ(0u, ZevDTAPISetConnection(s.lib, nullptr, 0, 2));
    ZevDTAPIConnectionInfo info{};
    ASSERT_EQ(0u, ZevDTAPIGetInfo(s.lib, &info));
    EXPECT_STREQ("securehost", info.serverName);
    EXPECT_STREQ("SecureSales", info.dataSourceName);
    EXPECT_EQ(ZEVDTAPI_LOGIN_USER, info.loginFlags);

    std::strcpy(info.userName, "demo");
    std::strcpy(info.password, "wrong");
    ASSERT_EQ(0u, ZevDTAPISetInfo(s.lib, &info));
    ExpectFailure(s, ZevDTAPIConnect(s.lib), ZEVDTAPI_LOGIN_REFUSED);
    uint32_t count = 0;
    ZevDTAPIReport** reports = nullptr;
    EXPECT_NE(0u, ZevDTAPIGetReports(s.lib, &reports, &count));  // a refused login opens nothing

    std::strcpy(info.userName, "nobody");
    std::strcpy(info.password, "demo-2024");
    ASSERT_EQ(0u, ZevDTAPISetInfoWithOptionOn(s.lib, &info));
    EXPECT_EQ(ZEVDTAPI_LOGIN_REFUSED, ZevDTAPIConnect(s.lib));

    std::strcpy(info.serverName, "otherhost");
    std::strcpy(info.userName, "DEMO");
    ASSERT_EQ(0u, ZevDTAPISetInfoWithOptionOn(s.lib, &info));
    EXPECT_EQ(ZEVDTAPI_LOGIN_REFUSED, ZevDTAPIConnect(s.lib));
    EXPECT_NE(std::string::npos, s.ErrorText().find("otherhost"));

    std::strcpy(info.serverName, "securehost");
    ASSERT_EQ(0u, ZevDTAPISetInfoWithOptionOn(s.lib, &info));
    EXPECT_EQ(0u, ZevDTAPIConnect(s.lib)) << s.ErrorText();
    EXPECT_EQ(0u, ZevDTAPIGetReports(s.lib, &reports, &count));
    ASSERT_EQ(1u, count);
    EXPECT_STREQ("Regional Revenue", reports[0]->name);
    EXPECT_EQ(0u, reports[0]->customisable);

    // A password filling the whole field is read as its first 30 bytes, never past the field.
    std::memset(info.password, 'p', sizeof(info.password));
    ASSERT_EQ(0u, ZevDTAPISetInfo(s.lib, &info));
    EXPECT_EQ(ZEVDTAPI_LOGIN_REFUSED, ZevDTAPIConnect(s.lib));
}

TEST(Contract, DataSourceWithoutLoginAndUnknownContexts) {
    Session s;
    ASSERT_EQ(0u, ZevDTAPISetConnection(s.lib, nullptr, 0, 0));
    ZevDTAPIConnectionInfo info{};
    ASSERT_EQ(0u, ZevDTAPIGetInfo(s.lib, &info));
    EXPECT_STREQ("SalesDW", info.dataSourceName);
    EXPECT_EQ(0u, info.loginFlags);
    EXPECT_EQ(0u, ZevDTAPIConnect(s.lib));

    ExpectFailure(s, ZevDTAPISetConnection(s.lib, nullptr, 0, 99), 2002003);
    // Nothing to describe after a failed connection.
    ExpectFailure(s, ZevDTAPIGetInfo(s.lib, &info), 2001002);
}

TEST(Contract, ReportsApplyToTheDimensionsTheyMap) {
    Session s;
    ASSERT_EQ(0u, s.Open({"Year=2024\n", "Region=East\n", "Category=Beverages\n"}));
    EXPECT_EQ((std::vector<std::string>{"Sales Detail", "Product Summary", "Customer Orders"}),
              s.ReportNames());
    ASSERT_EQ(0u, s.Open({"Category=Dairy\n"}));
    EXPECT_EQ((std::vector<std::string>{"Sales Detail", "Product Summary"}), s.ReportNames());
    ASSERT_EQ(0u, s.Open({"Measures=Units\n"}));
    ZevDTAPIReport** reports = reinterpret_cast<ZevDTAPIReport**>(1);
    uint32_t count = 7;
    EXPECT_EQ(0u, ZevDTAPIGetReports(s.lib, &reports, &count));
    EXPECT_EQ(0u, count);
    EXPECT_EQ(nullptr, reports);
}

TEST(Contract, CallsOutOfOrderFailWithText) {
    Session s;
    ZevDTAPIReport** reports = nullptr;
    uint32_t count = 0;
    ExpectFailure(s, ZevDTAPIGetReports(s.lib, &reports, &count), 2001002);
    EXPECT_EQ(2001002u, ZevDTAPIConnect(s.lib));
    ZevDTAPICell** cells = nullptr;
    uint32_t rows = 0, cols = 0;
    ExpectFailure(s, ZevDTAPIGetData(s.lib, &cells, &rows, &cols), 2001002);
    char** records = nullptr;
    int32_t n = 0;
    EXPECT_EQ(2001002, ZevDTAPIGetFilterDescConditions(s.lib, &records, &n));
    ASSERT_EQ(0u, s.Open({"Year=2024\n"}));
    EXPECT_EQ(0u, ZevDTAPIGetReports(s.lib, &reports, &count));
    ExpectFailure(s, ZevDTAPIExecuteReport(s.lib, count), 2004001);
    EXPECT_EQ(0u, ZevDTAPIClose(s.lib));
    EXPECT_EQ(2001002u, ZevDTAPIExecuteReport(s.lib, 0));
    // A success clears the last error.
    ASSERT_EQ(0u, s.Open({"Year=2024\n"}));
    EXPECT_EQ(0u, s.ErrorNumber());
    EXPECT_EQ("", s.ErrorText());
}

TEST(Contract, MissingDatabaseOrCatalogIsReported) {
    std::string dir = MakeTempDir();
    Session missing(dir + "/none.db");
    EXPECT_EQ(2002001u, ZevDTAPISetConnection(missing.lib, nullptr, 0, 0));
    EXPECT_NE(std::string::npos, missing.ErrorText().find("none.db"));
    EXPECT_FALSE(std::filesystem::exists(dir + "/none.db"));  // never created by a lookup

    std::string plain = dir + "/plain.db";
    sqlite3* db = nullptr;
    sqlite3_open(plain.c_str(), &db);
    sqlite3_exec(db, "CREATE TABLE t(x)", nullptr, nullptr, nullptr);
    sqlite3_close(db);
    Session noCatalog(plain);
    EXPECT_EQ(2002002u, ZevDTAPISetConnection(noCatalog.lib, nullptr, 0, 0));
    EXPECT_NE(std::string::npos, noCatalog.ErrorText().find("dt_"));
}

TEST(Contract, RecordsStayValidAcrossOtherCallsAndReopens) {
    Session s;
    ASSERT_EQ(0u, s.OpenReport({"Year=2024\n", "Region=East\n", "Category=Beverages\n"}, "Sales Detail"))
        << s.ErrorText();
    ZevDTAPICell** cells = nullptr;
    uint32_t rows = 0, cols = 0;
    ASSERT_EQ(0u, ZevDTAPIGetData(s.lib, &cells, &rows, &cols));
    std::string first = ZEVDTAPI_CELL_TEXT(cells[0]);
    char** values = nullptr;
    int32_t n = 0;
    ASSERT_EQ(0, ZevDTAPIGetFilterData(s.lib, s.columns[1], &values, &n));
    ASSERT_EQ(0u, ZevDTAPIExecuteReport(s.lib, 1));  // the column records are kept until GetColumns
    EXPECT_EQ(first, ZEVDTAPI_CELL_TEXT(cells[0]));
    EXPECT_STREQ("sales", s.columns[0]->tableName);
    ASSERT_EQ(0u, ZevDTAPIClose(s.lib));
    ASSERT_EQ(0u, s.OpenReport({"Year=2024\n"}, "Sales Detail"))
        << s.ErrorText();  // a new open on the same handle
    EXPECT_GT(s.Data().size(), 10000u);
}

TEST(Contract, DatabaseDefaultsToTheLibraryFolder) {
#ifndef _WIN32
    const char* saved = std::getenv("ZEVDTAPI_DATABASE");
    std::string keep = saved ? saved : "";
    unsetenv("ZEVDTAPI_DATABASE");
    std::string path = zevdtapi::DatabasePath();
    if (saved)
        setenv("ZEVDTAPI_DATABASE", keep.c_str(), 1);
    EXPECT_EQ("zevdtapi.db", std::filesystem::path(path).filename().string());
    EXPECT_TRUE(std::filesystem::path(path).is_absolute()) << path;
#endif
}

}  // namespace
}  // namespace zevdtapi_test
