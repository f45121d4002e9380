// The window-free parts of zevdt: its command line, how it places the
// library's items, and its output formats read back by independent readers.
#include <gtest/gtest.h>

#include <clocale>
#include <cstring>
#include <regex>
#include <sstream>

#include "command_line.h"
#include "formats.h"
#include "host_text.h"
#include "readers.h"
#include "report.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace {

using zevdt::CommandLine;
using zevdt::ParseCommandLine;

CommandLine Parse(std::vector<std::string> args, bool expectOk = true, std::string* errorOut = nullptr) {
    CommandLine line;
    std::string error;
    EXPECT_EQ(ParseCommandLine(args, &line, &error), expectOk) << error;
    if (errorOut) {
        *errorOut = error;
    }
    return line;
}

TEST(ZevdtCommandLine, DrillOptionsInBothSpellings) {
    CommandLine line = Parse({"drill", "--member", "Year=2024", "--member=Region=East", "--password", "",
                              "--format=json", "--output", "out.json", "--ui-script=a b.ui", "--database",
                              "x.db", "--context", "18446744073709551615"});
    EXPECT_EQ(line.command, zevdt::Command::kDrill);
    EXPECT_FALSE(line.help);
    ASSERT_EQ(line.drill.members.size(), 2u);
    EXPECT_EQ(line.drill.members[0], "Year=2024\n");
    // Only the first '=' separates the option from its value.
    EXPECT_EQ(line.drill.members[1], "Region=East\n");
    ASSERT_TRUE(line.drill.password.has_value());
    EXPECT_EQ(*line.drill.password, "");
    EXPECT_EQ(line.drill.format, zevdt::OutputFormat::kJson);
    EXPECT_EQ(line.drill.output, "out.json");
    EXPECT_EQ(line.drill.uiScript, "a b.ui");
    EXPECT_EQ(line.drill.database, "x.db");
    EXPECT_EQ(line.drill.context, 18446744073709551615ull);
}

TEST(ZevdtCommandLine, UsageErrorsNameTheirCause) {
    struct Case {
        std::vector<std::string> args;
        const char* mentions;
    } cases[] = {
        {{}, "no command"},
        {{"frobnicate"}, "unknown command frobnicate"},
        {{"--verbose"}, "unknown option --verbose"},
        {{"drill", "--colour"}, "unknown option --colour"},
        {{"drill", "stray"}, "unexpected argument stray"},
        {{"drill", "--member"}, "--member needs a value"},
        {{"drill", "--format", "xml"}, "unknown format 'xml'"},
        {{"drill", "--format", "xlsx"}, "--format xlsx needs --output FILE"},
        {{"drill", "--context", "-1"}, "context '-1'"},
        {{"drill", "--context", "18446744073709551616"}, "context"},
        {{"drill", "--output="}, "non-empty"},
        {{"drill", "--member", "a\\"}, "lone backslash"},
        {{"drill", "--member", "a\\x"}, "unknown escape \\x"},
        {{"sample", "--database"}, "--database needs a value"},
        {{"sample", "--replace=yes"}, "unknown option"},
        {{"--version", "drill"}, "--version takes nothing"},
        {{"drill", "--version"}, "unknown option --version"},
    };
    for (const Case& c : cases) {
        std::string error;
        Parse(c.args, false, &error);
        EXPECT_NE(error.find(c.mentions), std::string::npos) << "error: " << error;
    }
}

TEST(ZevdtCommandLine, HelpOfEachCommand) {
    EXPECT_TRUE(Parse({"--help"}).help);
    CommandLine drill = Parse({"drill", "--member", "A=B", "--help"});
    EXPECT_TRUE(drill.help);
    EXPECT_EQ(drill.command, zevdt::Command::kDrill);
    CommandLine sample = Parse({"sample", "-h"});
    EXPECT_TRUE(sample.help);
    EXPECT_EQ(sample.command, zevdt::Command::kSample);
    EXPECT_NE(zevdt::UsageText(zevdt::Command::kDrill).find("--ui-script"), std::string::npos);
    EXPECT_NE(zevdt::UsageText(zevdt::Command::kSample).find("--replace"), std::string::npos);
}

TEST(ZevdtCommandLine, VersionIsOneLineOfThreeNumbers) {
    CommandLine line = Parse({"--version"});
    EXPECT_TRUE(line.version);
    EXPECT_FALSE(line.help);
    EXPECT_FALSE(Parse({"--help"}).version);
    // Scripts compare it: "zevdt MAJOR.MINOR.PATCH" and a line break, nothing else.
    EXPECT_TRUE(std::regex_match(zevdt::VersionText(), std::regex("zevdt [0-9]+\\.[0-9]+\\.[0-9]+\n")))
        << zevdt::VersionText();
}

TEST(ZevdtCommandLine, MemberEscapesMakeMultiLineStrings) {
    std::string member, error;
    ASSERT_TRUE(zevdt::UnescapeMember("Region=East\\nSYSDBV=\\n", &member, &error));
    EXPECT_EQ(member, "Region=East\nSYSDBV=\n");  // no second final line break
    ASSERT_TRUE(zevdt::UnescapeMember("Path=C:\\\\dir", &member, &error));
    EXPECT_EQ(member, "Path=C:\\dir\n");
    ASSERT_TRUE(zevdt::UnescapeMember("", &member, &error));
    EXPECT_EQ(member, "\n");
}

// Items as the library lays them out; texts copied into the fixed fields.
ZevDTHeaderItem Header(uint32_t position, const char* name) {
    ZevDTHeaderItem item{};
    item.column = position;
    std::strncpy(item.name, name, sizeof item.name - 1);
    return item;
}
ZevDTDataItem Cell(uint32_t row, uint32_t column, const char* text) {
    ZevDTDataItem item{};
    item.row = row;
    item.column = column;
    std::strncpy(item.text, text, sizeof item.text - 1);
    return item;
}

// The report built from the items; the build must succeed. The report reads
// its cells from the data items, which must outlive it.
zevdt::Report Built(const std::vector<ZevDTHeaderItem>& header, std::vector<ZevDTDataItem>& data,
                    const ZevDTHeaderInfoItem* info = nullptr, uint32_t infoCount = 0) {
    zevdt::Report report;
    std::string error;
    EXPECT_TRUE(zevdt::BuildReport(header.data(), uint32_t(header.size()), info, infoCount, data.data(),
                                   uint32_t(data.size()), &report, &error))
        << error;
    return report;
}

// A built report reads its cells from the items; one row of it as texts.
std::vector<std::string> Row(const zevdt::Report& report, size_t r) {
    std::vector<std::string> row;
    for (size_t c = 0; c < report.columns.size(); ++c) row.emplace_back(report.Cell(r, c));
    return row;
}

// A report of named columns and rows of texts, and what a format writes of it.
zevdt::Report Texts(const std::vector<std::string>& names, zevdt_test::Records rows) {
    zevdt::Report report;
    report.columns.resize(names.size());
    for (size_t c = 0; c < names.size(); ++c) {
        report.columns[c].position = uint32_t(c + 1);
        report.columns[c].name = names[c];
    }
    report.rows = std::move(rows);
    return report;
}
std::string Written(const zevdt::Report& report, zevdt::OutputFormat format,
                    zevdt::TextEncoding encoding = zevdt::TextEncoding::kCodePage) {
    std::ostringstream out;
    zevdt::WriteReport(report, format, out, encoding);
    return out.str();
}
using F = zevdt::OutputFormat;

TEST(ZevdtReport, CellsArePlacedByTheirNumbersNotTheirOrder) {
    static ZevDTHeaderInfoItem info[2] = {};
    info[0].column = 1;
    std::strcpy(info[0].tableName, "region");
    std::strcpy(info[0].columnName, "region");
    info[0].dataType = 10;
    std::vector<ZevDTDataItem> data = {Cell(2, 1, "Leeds"), Cell(1, 0, "East"), Cell(2, 0, "North"),
                                       Cell(1, 1, "Ely")};
    zevdt::Report report = Built({Header(2, "city"), Header(1, "region")}, data, info, 1);
    ASSERT_EQ(report.columns.size(), 2u);
    EXPECT_EQ(report.columns[0].name, "region");
    EXPECT_TRUE(report.columns[0].hasInfo);
    EXPECT_EQ(report.columns[0].dataType, 10);
    EXPECT_EQ(report.columns[1].name, "city");
    EXPECT_FALSE(report.columns[1].hasInfo);
    ASSERT_EQ(report.RowCount(), 2u);
    EXPECT_EQ(Row(report, 0), (std::vector<std::string>{"East", "Ely"}));
    EXPECT_EQ(Row(report, 1), (std::vector<std::string>{"North", "Leeds"}));
}

TEST(ZevdtReport, MissingCellsAndUnnamedColumnsStayInPlace) {
    // Row 1 has no cell in column 1; column 2 has no header.
    std::vector<ZevDTDataItem> data = {Cell(1, 0, "x"), Cell(1, 2, "z"), Cell(2, 1, "y")};
    zevdt::Report report = Built({Header(1, "a")}, data);
    ASSERT_EQ(report.columns.size(), 3u);
    EXPECT_EQ(report.columns[2].position, 3u);
    EXPECT_EQ(report.columns[2].name, "");
    EXPECT_EQ(Row(report, 0), (std::vector<std::string>{"x", "", "z"}));
    EXPECT_EQ(Row(report, 1), (std::vector<std::string>{"", "y", ""}));
}

// Items in their own places are written straight from the array; any other
// order goes through the index. Both must give the same bytes in every format,
// long fields cut at their NUL, a missing cell empty.
TEST(ZevdtReport, ItemsInPlaceAndShuffledWriteTheSameReport) {
    const std::vector<ZevDTHeaderItem> header = {Header(1, "a"), Header(2, "b")};
    const std::string longText(255, 'w');
    std::vector<ZevDTDataItem> inPlace = {Cell(1, 0, "x,y"),       Cell(1, 1, longText.c_str()),
                                          Cell(2, 0, "tab\there"), Cell(2, 1, ""),
                                          Cell(3, 0, "\"q\""),     Cell(3, 1, "z")};
    std::vector<ZevDTDataItem> shuffled = {inPlace[5], inPlace[2], inPlace[0],
                                           inPlace[4], inPlace[1], inPlace[3]};
    zevdt::Report direct = Built(header, inPlace), indexed = Built(header, shuffled);
    EXPECT_TRUE(direct.itemOf.empty());
    EXPECT_FALSE(indexed.itemOf.empty());
    for (F format : {F::kCsv, F::kTsv, F::kJson, F::kTable})
        EXPECT_EQ(Written(direct, format), Written(indexed, format)) << static_cast<int>(format);
    EXPECT_EQ(Written(direct, F::kCsv),
              "a,b\r\n\"x,y\"," + longText + "\r\ntab\there,\r\n\"\"\"q\"\"\",z\r\n");
}

// A report larger than the writer's block comes out whole and in order.
TEST(ZevdtFormats, CsvLongerThanOneBlockIsComplete) {
    zevdt::Report report = Texts({"n"}, {});
    std::string expected = "n\r\n";
    for (int i = 0; i < 20000; ++i) {
        report.rows.push_back({std::to_string(i)});
        expected += std::to_string(i) + "\r\n";
    }
    EXPECT_EQ(Written(report, F::kCsv), expected);
}

TEST(ZevdtReport, ImpossibleNumbersAreRefused) {
    struct Case {
        const char* what;
        std::vector<ZevDTHeaderItem> header;
        std::vector<ZevDTDataItem> data;
    } cases[] = {
        {"a gap", {Header(1, "a"), Header(3, "c")}, {}},
        {"a column twice", {Header(1, "a"), Header(1, "b")}, {}},
        {"row 0", {}, {Cell(0, 0, "x")}},
        {"a huge row", {}, {Cell(4000000000u, 0, "x")}},
        {"a cell twice", {}, {Cell(1, 0, "x"), Cell(1, 0, "y")}},
    };
    zevdt::Report report;
    std::string error;
    for (const Case& c : cases)
        EXPECT_FALSE(zevdt::BuildReport(c.header.data(), uint32_t(c.header.size()), nullptr, 0, c.data.data(),
                                        uint32_t(c.data.size()), &report, &error))
            << c.what;
    EXPECT_NE(error.find("second time"), std::string::npos) << error;
}

TEST(ZevdtReport, TextWithoutNulIsReadToTheFieldEnd) {
    std::vector<ZevDTDataItem> cell = {Cell(1, 0, "")};
    std::memset(cell[0].text, 'q', sizeof cell[0].text);
    EXPECT_EQ(Built({}, cell).Cell(0, 0), std::string(256, 'q'));
}

// A report whose cells need every kind of quoting and escaping.
zevdt::Report AwkwardReport() {
    zevdt::Report report = Texts({"name, first", "say \"hi\"", "caf\xE9"},
                                 {{"plain", "", "a\r\nb"},
                                  {"tab\there", "back\\slash", "\"\""},
                                  {"\x80 euro", "\xC3\xA9 utf8", std::string("nul-free \x01\x1F\x7F")},
                                  {"", "", ""}});
    report.columns[0].hasInfo = true;
    report.columns[0].table = "t";
    report.columns[0].column = "c";
    report.columns[0].dataType = 21;
    return report;
}

// CSV (RFC 4180) and TSV (escapes) read back to the cells, every kind of them.
TEST(ZevdtFormats, CsvAndTsvReadBack) {
    zevdt::Report report = AwkwardReport();
    const std::string csv = Written(report, F::kCsv);
    EXPECT_EQ(csv.substr(0, csv.find("\r\n")), "\"name, first\",\"say \"\"hi\"\"\",caf\xE9");
    const zevdt_test::Records records[] = {zevdt_test::ReadCsv(csv),
                                           zevdt_test::ReadTsv(Written(report, F::kTsv))};
    for (const zevdt_test::Records& read : records) {
        ASSERT_EQ(read.size(), 5u);
        EXPECT_EQ(read[0], (std::vector<std::string>{"name, first", "say \"hi\"", "caf\xE9"}));
        for (size_t r = 0; r < report.rows.size(); ++r) EXPECT_EQ(read[r + 1], report.rows[r]) << "row " << r;
    }
}

TEST(ZevdtFormats, CsvSingleEmptyColumnKeepsItsRows) {
    zevdt_test::Records records = zevdt_test::ReadCsv(Written(Texts({"only"}, {{""}, {"x"}, {""}}), F::kCsv));
    ASSERT_EQ(records.size(), 4u);
    EXPECT_EQ(records[1], std::vector<std::string>{""});
    EXPECT_EQ(records[3], std::vector<std::string>{""});
}

TEST(ZevdtFormats, JsonCarriesInfoAndConvertsBytesToUtf8) {
    const std::string text = Written(AwkwardReport(), F::kJson);
    zevdt_test::Json doc = zevdt_test::ReadJson(text);
    const auto& columns = doc["columns"].items;
    ASSERT_EQ(columns.size(), 3u);
    EXPECT_EQ(columns[0]["table"].text, "t");
    EXPECT_EQ(columns[0]["column"].text, "c");
    EXPECT_EQ(columns[0]["dataType"].number, 21);
    EXPECT_EQ(columns[1]["table"].kind, zevdt_test::Json::kNull);
    EXPECT_EQ(columns[2]["name"].text, "caf\xC3\xA9");  // Windows-1252 e-acute
    const auto& rows = doc["rows"].items;
    ASSERT_EQ(rows.size(), 4u);
    EXPECT_EQ(rows[0].items[2].text, "a\r\nb");
    EXPECT_EQ(rows[1].items[0].text, "tab\there");
    EXPECT_EQ(rows[1].items[1].text, "back\\slash");
    EXPECT_EQ(rows[2].items[0].text, "\xE2\x82\xAC euro");  // 0x80 is the euro sign
#ifdef _WIN32
    // Windows reads the host's bytes in its ANSI code page (1252 here): two letters.
    EXPECT_EQ(rows[2].items[1].text, "\xC3\x83\xC2\xA9 utf8");
#else
    EXPECT_EQ(rows[2].items[1].text, "\xC3\xA9 utf8");  // the C locale keeps UTF-8 as it is
#endif
    EXPECT_EQ(rows[2].items[2].text, "nul-free \x01\x1F\x7F");
    // Control characters never appear raw in the document.
    EXPECT_EQ(text.find('\x01'), std::string::npos);
    EXPECT_EQ(text.find('\x7F'), std::string::npos);
}

TEST(ZevdtFormats, Utf8FromAnsiTellsValidSequencesFromSingleBytes) {
    using zevdt::Utf8FromAnsi;
    // Unassigned Windows-1252 bytes become C1 controls, written as escapes in JSON.
    EXPECT_EQ(Utf8FromAnsi("\x81"), "\xC2\x81");
    EXPECT_EQ(zevdt::JsonString("\x81\x9D"), "\"\\u0081\\u009d\"");
    // Overlong and surrogate forms are not UTF-8: each byte is Windows-1252.
    EXPECT_EQ(Utf8FromAnsi("\xC0\x80"), "\xC3\x80\xE2\x82\xAC");
    EXPECT_EQ(Utf8FromAnsi("\xED\xA0\x80"), "\xC3\xAD\xC2\xA0\xE2\x82\xAC");
    // A sequence cut short at the end of the text.
    EXPECT_EQ(Utf8FromAnsi("ab\xE2\x82"), "ab\xC3\xA2\xE2\x80\x9A");
    // Four-byte UTF-8 is kept whole.
    EXPECT_EQ(Utf8FromAnsi("\xF0\x9F\x98\x80"), "\xF0\x9F\x98\x80");
}

TEST(ZevdtFormats, TableAlignsByCharactersNotBytes) {
    EXPECT_EQ(Written(Texts({"k", "v"}, {{"\xC3\xA9\xC3\xA9", "1"}, {"abc", "2\n3"}}), F::kTable),
              "k    v\n"
              "---  ---\n"
              "\xC3\xA9\xC3\xA9   1\n"
              "abc  2 3\n"
              "(2 rows)\n");
}

// Table, CSV and TSV keep the code page's bytes unless UTF-8 is asked for (CSV
// then with a BOM); JSON is UTF-8. A reference to a letter the code page cannot
// hold is that letter in UTF-8; one to a letter it holds is text.
TEST(ZevdtFormats, CodePageByDefaultUtf8OnRequest) {
#ifdef _WIN32
    if (GetACP() != 1252)
        GTEST_SKIP() << "written for code page 1252";
#else
    ASSERT_TRUE(std::setlocale(LC_CTYPE, "de_DE.ISO-8859-1")) << "scripts/test generates this locale";
#endif
    const zevdt::Report report = Texts({"Stadt"}, {{"Krak\xF3w"}, {"Plze&#328;"}, {"&#65;"}});
    auto write = [&](F format, zevdt::TextEncoding encoding) { return Written(report, format, encoding); };
    using E = zevdt::TextEncoding;
    EXPECT_EQ(write(F::kCsv, E::kCodePage), "Stadt\r\nKrak\xF3w\r\nPlze&#328;\r\n&#65;\r\n");
    EXPECT_EQ(write(F::kCsv, E::kUtf8), "\xEF\xBB\xBFStadt\r\nKrak\xC3\xB3w\r\nPlze\xC5\x88\r\n&#65;\r\n");
    EXPECT_EQ(write(F::kTsv, E::kUtf8), "Stadt\nKrak\xC3\xB3w\nPlze\xC5\x88\n&#65;\n");
    const std::string json = write(F::kJson, E::kCodePage);
    EXPECT_EQ(json, write(F::kJson, E::kUtf8));
    for (const char* text : {"\"Krak\xC3\xB3w\"", "\"Plze\xC5\x88\"", "\"&#65;\""})
        EXPECT_NE(json.find(text), std::string::npos) << text;
    EXPECT_EQ(zevdt::HostToUtf8("Plze&#328"), "Plze&#328");  // no end: text
#ifndef _WIN32
    std::setlocale(LC_CTYPE, "C");
#endif
}

}  // namespace
