// zevdt -> ZEVDTU -> stand-in -> SQLite, as a user runs it: the program is
// started as a process, its dialogs driven by UI scripts, its output read
// back and checked against hand-written queries on the same database.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <map>
#include <stdexcept>

#ifdef _WIN32
#include <windows.h>
#else
#include "pg_server.h"
#endif
#include "code_page.h"
#include "host_text.h"
#include "process.h"
#include "readers.h"
#include "support/drill_scripts.h"
#include "support/sqlite_rows.h"

namespace {

using zevdt_test::Records;
using zevdt_test::RunResult;

const std::vector<std::string> kSampleCell = {"--member",    "Year=2024", "--member",
                                              "Region=East", "--member",  "Category=Beverages"};

// The rows of Sales Detail for the sample cell, written out by hand: the
// displayed columns in display order, sorted by sale date, then sale id.
const char* const kSalesDetailQuery = R"SQL(
SELECT sales.sale_date, region.region, region.city, product.category, product.product,
       customer.customer, sales.quantity, sales.amount, sales.channel
  FROM sales
  JOIN region ON region.region_id = sales.region_id
  JOIN product ON product.product_id = sales.product_id
  JOIN customer ON customer.customer_id = sales.customer_id
 WHERE sales.year = 2024 AND region.region = 'East' AND product.category = 'Beverages'
 ORDER BY sales.sale_date, sales.sale_id)SQL";

const char* const kSalesDetailCount = R"SQL(
SELECT count(*) FROM sales
  JOIN region ON region.region_id = sales.region_id
  JOIN product ON product.product_id = sales.product_id
 WHERE sales.year = 2024 AND region.region = 'East' AND product.category = 'Beverages')SQL";

// Regional Revenue maps Year and Region only; Category restricts nothing.
const char* const kRegionalRevenueQuery = R"SQL(
SELECT region.region, region.city, sales.year, sales.amount
  FROM sales JOIN region ON region.region_id = sales.region_id
 WHERE sales.year = 2024 AND region.region = 'East'
 ORDER BY region.region, region.city, sales.sale_id)SQL";

const std::vector<std::string> kSalesDetailHeader = {"sale_date", "region",   "city",   "category", "product",
                                                     "customer",  "quantity", "amount", "channel"};

// A text as a host item carries it: in the code page zevdt runs in (this
// process's: the same environment), and only its first 240 bytes, on both
// sides: an item cut at 255 bytes may end a character or a reference short of
// that (a reference is at most 10 bytes), so its length tells nothing.
std::string AsDelivered(const std::string& text, const zevdtapi::HostText* host) {
    std::string bytes = host ? host->Out(text) : text;
    return bytes.substr(0, 240);
}

Records Clipped(Records records) {
    for (auto& row : records)
        for (auto& field : row) field = AsDelivered(field, nullptr);
    return records;
}

// Runs SQL on a database and returns its rows as texts (NULL as "") as a host
// would receive them (see AsDelivered).
Records Query(const std::string& path, const std::string& sql) {
    zevdtapi::HostText host;
    Records rows = testsupport::SqliteRows(path, sql);
    for (auto& row : rows)
        for (auto& field : row) field = AsDelivered(field, &host);
    return rows;
}

// A copy of a warehouse file, changed by sql. By bytes: the mingw runtime's
// copy_file refuses to overwrite.
void CopyWarehouse(const std::string& from, const std::string& to, const std::string& sql) {
    zevdt_test::WriteFile(to, zevdt_test::ReadFile(from));
    testsupport::SqliteRows(to, sql);
}

// The rows of one city (the third column), and the rows without their last column.
Records OfCity(const Records& rows, const std::string& city) {
    Records out;
    for (const auto& row : rows)
        if (row[2] == city)
            out.push_back(row);
    return out;
}
Records WithoutLastColumn(Records rows) {
    for (auto& row : rows) row.pop_back();
    return rows;
}

// A run ended with the status, and its standard error holds every text given.
void ExpectEnded(const RunResult& run, int status, std::initializer_list<std::string> says = {}) {
    EXPECT_EQ(run.status, status) << run.err;
    for (const std::string& text : says)
        EXPECT_NE(run.err.find(text), std::string::npos) << text << "\nnot in: " << run.err;
}

// A report read back has the header and, row by row, the rows expected.
void ExpectReport(const Records& report, const std::vector<std::string>& header, const Records& rows) {
    ASSERT_FALSE(report.empty());
    EXPECT_EQ(report[0], header);
    ASSERT_EQ(report.size() - 1, rows.size());
    for (size_t r = 0; r < rows.size(); ++r) ASSERT_EQ(report[r + 1], rows[r]) << "row " << r + 1;
}

class DrillThrough : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        bin_ = zevdt_test::ProgramFolder();
        work_ = bin_ + "e2e-work" + static_cast<char>(std::filesystem::path::preferred_separator);
        std::filesystem::create_directories(work_);
#if defined(_WIN32)
        zevdt_ = bin_ + "zevdt.exe";
#else
        zevdt_ = bin_ + "zevdt";
#endif
        database_ = work_ + "sample.db";
        loginDatabase_ = work_ + "sample-login.db";
        serverDatabase_ = work_ + "sample-server.db";
        RunResult made = zevdt_test::Run({zevdt_, "sample", "--replace", "--database", database_}, work_);
        ASSERT_EQ(made.status, 0) << made.err;
        // The same warehouse, but its first data source asks for a login, so
        // that one drill-through meets both the login and the report choice.
        CopyWarehouse(database_, loginDatabase_,
                      "UPDATE dt_data_source SET login_flags = 2 WHERE name = 'SalesDW'");
        CopyWarehouse(database_, serverDatabase_,
                      "UPDATE dt_data_source SET login_flags = 1 WHERE name = 'SalesDW'");
    }

    void SetUp() override {
        name_ = ::testing::UnitTest::GetInstance()->current_test_info()->name();
        transcript_ = work_ + name_ + ".transcript";
        zevdt_test::SetEnv("ZEVDT_UI_TRANSCRIPT", transcript_);
    }

    void TearDown() override {
        if (HasFailure()) {
            std::cout << "transcript " << transcript_ << ":\n" << zevdt_test::ReadFile(transcript_);
        }
    }

    // zevdt drill with a UI script (written to a file first) and more arguments.
    RunResult Drill(const std::string& script, std::vector<std::string> args,
                    const std::string& database = "") {
        std::string scriptPath = work_ + name_ + ".ui";
        zevdt_test::WriteFile(scriptPath, script);
        std::vector<std::string> command = {zevdt_,        "drill",
                                            "--ui-script", scriptPath,
                                            "--database",  database.empty() ? database_ : database};
        command.insert(command.end(), args.begin(), args.end());
        return zevdt_test::Run(command, work_);
    }

    // zevdt drill of the sample cell into a file of the test's own in a
    // format; the file's text. As CSV, its records clipped as Query's.
    std::string DrillInto(const std::string& script, const std::string& format) {
        const std::string path = work_ + name_ + "." + format;
        std::remove(path.c_str());
        RunResult run = Drill(script, Cell("1", {"--format", format, "--output", path}));
        EXPECT_EQ(run.status, 0) << format << ": " << run.err;
        return zevdt_test::ReadFile(path);
    }
    Records DrillCsv(const std::string& script) {
        return Clipped(zevdt_test::ReadCsv(DrillInto(script, "csv")));
    }

    // The sample cell's arguments in a context, and more.
    static std::vector<std::string> Cell(const char* context, const std::vector<std::string>& more = {}) {
        return With(With({"--context", context}, kSampleCell), more);
    }

    static std::vector<std::string> With(std::vector<std::string> first,
                                         const std::vector<std::string>& more) {
        first.insert(first.end(), more.begin(), more.end());
        return first;
    }

    static std::string bin_, work_, zevdt_, database_, loginDatabase_, serverDatabase_;
    std::string name_, transcript_;
};
std::string DrillThrough::bin_, DrillThrough::work_, DrillThrough::zevdt_, DrillThrough::database_,
    DrillThrough::loginDatabase_, DrillThrough::serverDatabase_;

using drillscripts::kPickSalesDetail;
// Customize: the last column is taken out on the column step.
const std::string& kCustomizeScript = drillscripts::kCustomize;
// A condition on the city, built on the filter step.
const std::string kFilterScript = drillscripts::kFilterOnCity + "press finish\n";
// A login refused, its message answered.
const std::string kWrongLogin =
    "window 129\ntype 1014 demo\ntype 1015 wrong\nclick 1\nwindow messagebox\nanswer ok\n";

TEST_F(DrillThrough, SampleCellGivesTheRowsOfTheHandWrittenQuery) {
    Records expected = Query(database_, kSalesDetailQuery);
    EXPECT_EQ(Query(database_, kSalesDetailCount)[0][0], std::to_string(expected.size()));
    EXPECT_EQ(expected.size(), 2143u);  // the count the stand-in's documentation gives
    ExpectReport(DrillCsv(kPickSalesDetail), kSalesDetailHeader, expected);
}

// Customize: the last column is taken out on the wizard's column step, and
// Finish opens the report with what the steps wrote into the column records.
TEST_F(DrillThrough, CustomizedReportFollowsTheWizard) {
    const std::vector<std::string> header(kSalesDetailHeader.begin(), kSalesDetailHeader.end() - 1);
    ExpectReport(DrillCsv(kCustomizeScript), header, WithoutLastColumn(Query(database_, kSalesDetailQuery)));
}

// A condition built on the filter step reaches the stand-in as condition
// text, which it reads back and applies: only the city typed remains.
TEST_F(DrillThrough, FilterBuiltInTheWizardRestrictsTheRows) {
    Records all = Query(database_, kSalesDetailQuery), expected = OfCity(all, "Brno");
    ASSERT_FALSE(expected.empty());
    ASSERT_LT(expected.size(), all.size());
    ExpectReport(DrillCsv(kFilterScript), kSalesDetailHeader, expected);
}

// The sample's own names in the code page zevdt runs in: the cells, a city
// typed into the condition builder and one picked from its values list (one
// that code page 1252 cannot show). Natively in a UTF-8 and in a single-byte
// locale; under Wine in the code page of the test's LANG (1252, 1250, 932).
TEST_F(DrillThrough, NamesBeyondAsciiInTheCodePage) {
    const char* const kKrakow = "Krak\u00f3w";
    const char* const kPlzen = "Plze\u0148";
    const char* const kMatcha = "\u62b9\u8336 Matcha";
    auto count = [&](const char* column, const char* utf8) -> size_t {
        return std::stoul(testsupport::SqliteRows(
            database_, std::string(kSalesDetailCount) + " AND " + column + " = ?", {utf8})[0][0]);
    };
    const size_t krakow = count("region.city", kKrakow), plzen = count("region.city", kPlzen),
                 matcha = count("product.product", kMatcha);
    ASSERT_GT(krakow * plzen * matcha, 0u);
#ifdef _WIN32
    const std::vector<std::string> locales = {""};
#else
    const std::vector<std::string> locales = {"C.UTF-8", "de_DE.ISO-8859-1"};
#endif
    for (const std::string& locale : locales) {
#ifdef _WIN32
        const unsigned page = GetACP();
#else
        zevdt_test::SetEnv("LC_ALL", locale);
        const unsigned page = locale == "C.UTF-8" ? 65001 : 28591;
#endif
        // The bytes of each name in this code page, written out by hand.
        auto host = [&](const char* utf8) -> std::string {
            if (page == 65001)
                return utf8;
            if (utf8 == kKrakow)
                return page == 932 ? "Krak&#243;w" : "Krak\xf3w";
            if (utf8 == kPlzen)
                return page == 1250 ? "Plze\xf2" : "Plze&#328;";
            return page == 932 ? "\x96\x95\x92\x83 Matcha" : "&#25273;&#33590; Matcha";
        };
        auto rowsOf = [&](const std::string& script, size_t column, const std::string& value) {
            // A fresh warehouse each time: the wizard saves its filters.
            const std::string fresh = work_ + "code-page.db";
            CopyWarehouse(database_, fresh, "DELETE FROM dt_saved_filter");
            RunResult run = Drill(script, Cell("1", {"--format", "csv"}), fresh);
            EXPECT_EQ(run.status, 0) << locale << page << ": " << run.err;
            Records csv = zevdt_test::ReadCsv(run.out);
            size_t n = 0;
            for (size_t r = 1; r < csv.size(); ++r) n += csv[r][column] == value;
            EXPECT_EQ(run.out.find("\xC3\xB3") != std::string::npos, page == 65001) << locale << page;
            return std::make_pair(n, csv.empty() ? 0 : csv.size() - 1);
        };
        // Every cell of the sample cell; Kraków's and the matcha's in the code page's bytes.
        EXPECT_EQ(rowsOf(kPickSalesDetail, 2, host(kKrakow)).first, krakow) << locale << page;
        EXPECT_EQ(rowsOf(kPickSalesDetail, 4, host(kMatcha)).first, matcha) << locale << page;

        // Typed as the user of this code page types it.
        std::string typed = drillscripts::kFilterOnCity + "press finish\n";
        typed.replace(typed.find("type 1030 Brno"), 14, "type 1030 " + host(kKrakow));
        EXPECT_EQ(rowsOf(typed, 2, host(kKrakow)), std::make_pair(krakow, krakow)) << locale << page;

        // Picked from the values list (Brno, Kraków, Plzeň): the third.
        std::string picked = drillscripts::kFilterOnCity + "press finish\n";
        picked.replace(picked.find("type 1030 Brno\n"), 15,
                       "click 1031\nwindow 136\nexpect-rows 1036 3\nselect 1036 2\nclick 1\nwindow 134\n");
        EXPECT_EQ(rowsOf(picked, 2, host(kPlzen)), std::make_pair(plzen, plzen)) << locale << page;
    }
#ifndef _WIN32
    zevdt_test::SetEnv("LC_ALL", "");
#endif
}

TEST_F(DrillThrough, EveryFormatCarriesTheSameCells) {
    std::map<std::string, std::string> outputs;
    for (const char* format : {"csv", "tsv", "json", "table"})
        outputs[format] = DrillInto(kPickSalesDetail, format);
    Records csv = Clipped(zevdt_test::ReadCsv(outputs["csv"]));
    Records tsv = Clipped(zevdt_test::ReadTsv(outputs["tsv"]));
    EXPECT_EQ(tsv, csv);

    zevdt_test::Json json = zevdt_test::ReadJson(outputs["json"]);
    const auto& columns = json["columns"].items;
    ASSERT_EQ(columns.size(), kSalesDetailHeader.size());
    for (size_t c = 0; c < columns.size(); ++c) {
        EXPECT_EQ(columns[c]["position"].number, c + 1);
        EXPECT_EQ(columns[c]["name"].text, csv[0][c]);
        EXPECT_EQ(columns[c]["column"].text, kSalesDetailHeader[c]);
    }
    EXPECT_EQ(columns[0]["table"].text, "sales");
    EXPECT_EQ(columns[0]["dataType"].number, 11);  // date
    EXPECT_EQ(columns[1]["table"].text, "region");
    EXPECT_EQ(columns[1]["dataType"].number, 10);  // character
    // JSON is UTF-8: the code page's cells converted.
    Records utf8 = zevdt_test::ReadCsv(outputs["csv"]);
    for (auto& row : utf8)
        for (auto& field : row) field = AsDelivered(zevdt::HostToUtf8(field), nullptr);
    const auto& rows = json["rows"].items;
    ASSERT_EQ(rows.size() + 1, csv.size());
    for (size_t r = 0; r < rows.size(); ++r) {
        std::vector<std::string> row;
        for (const auto& cellValue : rows[r].items) {
            row.push_back(AsDelivered(cellValue.text, nullptr));
        }
        ASSERT_EQ(row, utf8[r + 1]) << "row " << r + 1;
    }

    // The table: header, rule, one line per row, the count.
    const std::string& table = outputs["table"];
    EXPECT_EQ(table.substr(0, table.find('\n')).substr(0, 11), "sale_date  ");
    EXPECT_EQ(std::count(table.begin(), table.end(), '\n'), static_cast<std::ptrdiff_t>(rows.size() + 3));
    EXPECT_NE(table.find("\n(" + std::to_string(rows.size()) + " rows)\n"), std::string::npos);
}

TEST_F(DrillThrough, LoginThenReportChoiceThenExecute) {
    RunResult run = Drill("window 129\nexpect-text 1002 SalesDW\n" + drillscripts::kLogin + kPickSalesDetail,
                          Cell("1", {"--format", "csv"}), loginDatabase_);
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(zevdt_test::ReadCsv(run.out).size() - 1, Query(loginDatabase_, kSalesDetailQuery).size());
}

TEST_F(DrillThrough, RefusedLoginIsAskedAgain) {
    // SecureSales has one report that cannot be customised: no report dialog.
    RunResult run = Drill(kWrongLogin + drillscripts::kLogin, Cell("2", {"--format", "tsv"}));
    ASSERT_EQ(run.status, 0) << run.err;
    ExpectReport(zevdt_test::ReadTsv(run.out), {"region", "city", "year", "amount"},
                 Query(database_, kRegionalRevenueQuery));
    // Two login dialogs were shown, the first answered by a refusal.
    std::string transcript = zevdt_test::ReadFile(transcript_);
    size_t first = transcript.find("window 129");
    ASSERT_NE(first, std::string::npos) << transcript;
    EXPECT_NE(transcript.find("window 129", first + 1), std::string::npos) << transcript;
}

TEST_F(DrillThrough, PresetPasswordSkipsALoginThatAsksOnlyForTheServer) {
    // The data source asks for the server name only: a host that preset the
    // source password is not asked, so the report dialog comes first.
    RunResult preset =
        Drill(kPickSalesDetail, Cell("1", {"--password", "secret", "--format", "csv"}), serverDatabase_);
    ASSERT_EQ(preset.status, 0) << preset.err;
    EXPECT_EQ(zevdt_test::ReadCsv(preset.out).size(), 2144u);
    // Without it the login dialog comes, and the script, expecting the
    // report dialog, stops: the dialog is cancelled.
    ExpectEnded(Drill(kPickSalesDetail, Cell("1"), serverDatabase_), 1);
    EXPECT_NE(zevdt_test::ReadFile(transcript_).find("window 129"), std::string::npos);
}

TEST_F(DrillThrough, CancelGivesTheCancelledStatus) {
    RunResult inReports = Drill("window 138\nclick 2\n", Cell("1"));
    EXPECT_EQ(inReports.status, 1) << inReports.err;
    EXPECT_EQ(inReports.out, "");
    ExpectEnded(Drill("window 129\nclick 2\n", Cell("2")), 1);
}

TEST_F(DrillThrough, FailuresGiveTheCodeAndItsText) {
    // No report maps the dimension: the library's own message, then its code.
    ExpectEnded(Drill("window messagebox\nexpect-message 50007\nanswer ok\n",
                      {"--context", "1", "--member", "Planet=Mars"}),
                3, {"ZevDTOpen failed with code 50007: There are no reports defined"});

#ifndef _WIN32
    // A machine without the memory for the report: the refusal's code and its
    // text, with words where the message box showed the byte count.
    setenv("ZEVDT_MEMORY_LIMIT", "1", 1);
    RunResult noMemory = Drill(
        std::string(kPickSalesDetail) + "window messagebox\nexpect-message 50009\nanswer ok\n", Cell("1"));
    unsetenv("ZEVDT_MEMORY_LIMIT");
    ExpectEnded(noMemory, 3,
                {"failed with code 50009: Failed to allocate the requested number of bytes of memory."});
#endif

    // A status of the data-transfer library is passed on with its number.
    RunResult noDatabase = Drill("window messagebox\nanswer ok\n", Cell("1"), work_ + "missing.db");
    ExpectEnded(noDatabase, 3, {"code 2002001"});
#ifndef _WIN32
    // On Linux nobody saw the box: its text comes with the code, and a box
    // that no script line answered is also a diagnostic on standard error.
    ExpectEnded(noDatabase, 3, {"ZevDTOpen failed with code 2002001: The database"});
    ExpectEnded(Drill("", Cell("1"), work_ + "missing.db"), 3,
                {"ZEVDTU: message box taken by its default: The database"});
    EXPECT_NE(
        zevdt_test::ReadFile(transcript_).find("diagnostic \"message box taken by its default: The database"),
        std::string::npos);
    // A refused login that the script does not answer again ends as cancelled,
    // with the refusal's text.
    ExpectEnded(Drill(kWrongLogin, Cell("2")), 1,
                {"zevdt: cancelled after the message: The user name or password is not correct."});
    // Without any UI script every dialog is cancelled, and zevdt says so.
    ExpectEnded(zevdt_test::Run(With({zevdt_, "drill", "--database", database_}, Cell("1")), work_), 1,
                {"without one every dialog is cancelled", "--ui-script FILE"});
#endif

    // A URI libpq cannot read: its password shows in no text, neither the
    // message box's (in the transcript), nor standard error, nor a diagnostic.
    zevdt_test::SetEnv("ZEVDT_DIAGNOSTICS", "1");
    RunResult secret =
        Drill("window messagebox\nanswer ok\n", Cell("1"), "postgresql://reports:S3cretPW@[::1/warehouse");
    zevdt_test::SetEnv("ZEVDT_DIAGNOSTICS", "");
    ExpectEnded(secret, 3, {"code 2002001"});
    const std::string shown = zevdt_test::ReadFile(transcript_);
    for (const std::string& text : {secret.out, secret.err, shown})
        EXPECT_EQ(text.find("S3cretPW"), std::string::npos) << text;
#ifndef _WIN32
    EXPECT_NE(shown.find("reports:***@[::1/warehouse"), std::string::npos) << shown;
#endif
}

// A path that cannot be used is a usage error, told with the system's reason
// before the first dialog: the login is not asked for in vain.
TEST_F(DrillThrough, UnusablePathsAreRefusedBeforeAnyDialog) {
    const std::string missing =
        work_ + "no-such-folder" + static_cast<char>(std::filesystem::path::preferred_separator);
    struct Case {
        std::vector<std::string> args;
        const char* says;
    };
    for (const Case& c :
         {Case{{"--output", missing + "x.csv"}, "cannot write "}, Case{{"--output", work_}, "cannot write "},
          Case{{"--ui-script", missing + "login.ui"}, "cannot read the UI script "}}) {
        std::remove(transcript_.c_str());
        RunResult run = Drill("window 129\nclick 2\n", With(Cell("2"), c.args));
        ExpectEnded(run, 2, {c.says + c.args[1] + ": "});
        EXPECT_EQ(zevdt_test::ReadFile(transcript_).find("window 129"), std::string::npos) << c.args[1];
    }
    // An existing file keeps its content until a report replaces it.
    const std::string kept = work_ + "kept.csv";
    zevdt_test::WriteFile(kept, "earlier report\n");
    ExpectEnded(Drill("window 129\nclick 2\n", Cell("2", {"--output", kept})), 1);
    EXPECT_EQ(zevdt_test::ReadFile(kept), "earlier report\n");
}

TEST_F(DrillThrough, UsageErrorsAndHelp) {
    ExpectEnded(zevdt_test::Run({zevdt_, "drill", "--colour", "red"}, work_), 2,
                {"unknown option --colour", "usage: zevdt drill"});
    for (const char* command : {"drill", "sample"}) {
        RunResult help = zevdt_test::Run({zevdt_, command, "--help"}, work_);
        EXPECT_EQ(help.status, 0);
        EXPECT_NE(help.out.find(std::string("usage: zevdt ") + command), std::string::npos) << help.out;
    }
    ExpectEnded(zevdt_test::Run({zevdt_}, work_), 2);
}

TEST_F(DrillThrough, SampleGoesWhereTheLibraryLooksByDefault) {
    // Unset, the stand-in reads zevdtapi.db beside itself, in the program folder.
    zevdt_test::SetEnv("ZEVDTAPI_DATABASE", "");
    zevdt_test::SetEnv("ZEVDTAPI_LIBRARY", "");
    RunResult made = zevdt_test::Run({zevdt_, "sample", "--replace"}, work_);
    ASSERT_EQ(made.status, 0) << made.err;
    EXPECT_TRUE(std::filesystem::exists(bin_ + "zevdtapi.db")) << made.out;
    ExpectEnded(zevdt_test::Run({zevdt_, "sample"}, work_), 3, {"--replace"});

    std::string script = work_ + "default.ui";
    zevdt_test::WriteFile(script, kPickSalesDetail);
    RunResult drill = zevdt_test::Run(
        With({zevdt_, "drill", "--ui-script", script}, Cell("1", {"--format", "csv"})), work_);
    ASSERT_EQ(drill.status, 0) << drill.err;
    EXPECT_EQ(zevdt_test::ReadCsv(drill.out).size(), 2144u);
}

#ifndef _WIN32
// The same drills with the warehouse in PostgreSQL: `zevdt sample --database`
// loads it there, and every output is the SQLite run's, byte for byte.
TEST_F(DrillThrough, PostgresWarehouseGivesTheSameBytesAsSqlite) {
    zevdtapi_test::PgServer& server = zevdtapi_test::PgServer::Get();
    ASSERT_TRUE(server.ok()) << server.failure();
    const std::string uri = server.CreateDatabase("e2e");
    RunResult made = zevdt_test::Run({zevdt_, "sample", "--database", uri}, work_);
    ASSERT_EQ(made.status, 0) << made.err;
    EXPECT_NE(made.out.find("sample warehouse written to postgresql://"), std::string::npos) << made.out;
    // A catalog is there: left alone without --replace.
    ExpectEnded(zevdt_test::Run({zevdt_, "sample", "--database", uri}, work_), 3,
                {"already holds a report catalog"});

    struct Case {
        const char* name;
        std::string script;
        std::vector<std::string> args;
        std::string locale = "";  // LC_ALL of the drill; empty: the test's own
    };
    // Kraków typed as a user of a single-byte locale types it: the condition and
    // the saved filter cross into UTF-8, the cells back into Latin-1.
    std::string typedKrakow = drillscripts::kFilterOnCity + "press finish\n";
    typedKrakow.replace(typedKrakow.find("Brno"), 4, "Krak\xF3w");
    const std::vector<Case> cases = {
        {"cell", kPickSalesDetail, Cell("1", {"--format", "csv"})},
        {"customize", kCustomizeScript, Cell("1", {"--format", "csv"})},
        {"filter", kFilterScript, Cell("1", {"--format", "csv"})},
        {"json", kPickSalesDetail, Cell("1", {"--format", "json"})},
        {"table", kPickSalesDetail, {"--context", "1", "--member", "Year=2023"}},
        {"login", "window 129\ntype 1014 DEMO\ntype 1015 demo-2024\nclick 1\n",
         Cell("2", {"--format", "csv"})},
        {"cancel", "window 138\nclick 2\n", Cell("1")},
        {"unknown source", "", Cell("9")},
        {"typed in Latin-1", typedKrakow, Cell("1", {"--format", "csv"}), "de_DE.ISO-8859-1"},
    };
    // A SQLite twin as fresh as the server's copy: earlier tests leave state
    // (saved filters among it) in the suite's file.
    const std::string twin = work_ + "sample-twin.db";
    RunResult twinMade = zevdt_test::Run({zevdt_, "sample", "--replace", "--database", twin}, work_);
    ASSERT_EQ(twinMade.status, 0) << twinMade.err;
    std::map<std::string, Records> pgCsv;
    for (const Case& c : cases) {
        zevdt_test::SetEnv("LC_ALL", c.locale);
        RunResult lite = Drill(c.script, c.args, twin);
        RunResult pg = Drill(c.script, c.args, uri);
        zevdt_test::SetEnv("LC_ALL", "");
        if (std::find(c.args.begin(), c.args.end(), "csv") != c.args.end())
            pgCsv[c.name] = Clipped(zevdt_test::ReadCsv(pg.out));
        EXPECT_EQ(lite.status, pg.status) << c.name << ": " << pg.err;
        EXPECT_TRUE(lite.out == pg.out)
            << c.name << ": " << lite.out.size() << " bytes against " << pg.out.size();
        EXPECT_EQ(lite.err, pg.err) << c.name;
    }
    // And the rows of the hand-written query: all of them, without the last
    // column after the wizard took it out, Brno's after its filter.
    Records all = Query(twin, kSalesDetailQuery);
    ASSERT_EQ(all.size(), 2143u);
    Records customized = WithoutLastColumn(all), filtered = OfCity(all, "Brno");
    const std::pair<const char*, const Records*> expected[] = {
        {"cell", &all}, {"customize", &customized}, {"filter", &filtered}};
    // Kraków's rows (the saved filter of the "filter" case adds Brno's) in Latin-1's byte.
    size_t krakow = OfCity(all, "Krak\xC3\xB3w").size(), latin = 0;
    for (const auto& row : pgCsv["typed in Latin-1"]) {
        latin += row[2] == "Krak\xF3w";
        for (const auto& field : row) EXPECT_EQ(field.find("\xC3\xB3"), std::string::npos) << field;
    }
    EXPECT_EQ(latin, krakow);
    for (const auto& e : expected) {
        const Records& csv = pgCsv[e.first];
        ASSERT_FALSE(csv.empty()) << e.first;
        EXPECT_TRUE(Records(csv.begin() + 1, csv.end()) == *e.second)
            << e.first << ": " << csv.size() - 1 << " rows against " << e.second->size();
    }
}
#endif

}  // namespace
