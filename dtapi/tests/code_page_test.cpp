// Texts at the library's boundary in the caller's code page: cells, values,
// typed and picked conditions, saved filters, logins and error texts. Under
// Wine the code page is the one the test was started in (LANG); natively each
// test runs in a UTF-8 and in a single-byte locale.
#include <gtest/gtest.h>

#include <algorithm>
#include <clocale>
#include <cstdlib>
#include <cstring>

#ifdef _WIN32
#include <windows.h>
#else
#include <langinfo.h>
#endif

#include "sample_warehouse.h"
#include "test_session.h"

namespace zevdtapi_test {
namespace {

const char kKrakow[] = "Krak\u00f3w";
const char kPlzen[] = "Plze\u0148";
const char kMatcha[] = "\u62b9\u8336 Matcha";

class CodePages : public ::testing::TestWithParam<const char*> {
  protected:
    void SetUp() override {
#ifndef _WIN32
        ASSERT_TRUE(std::setlocale(LC_ALL, GetParam()))
            << GetParam() << " is not installed (scripts/test generates it)";
        page_ = std::strcmp(nl_langinfo(CODESET), "UTF-8") == 0 ? 65001 : 28591;
#else
        page_ = GetACP();
#endif
    }
    void TearDown() override {
#ifndef _WIN32
        std::setlocale(LC_ALL, "C");
#endif
    }

    // How a text of the sample reaches this code page: letters it holds as
    // its own bytes, the others as references.
    std::string Host(const std::string& utf8) const {
        struct Form {
            const char* utf8;
            const char* latin;     // 1252 and ISO-8859-1
            const char* central;   // 1250
            const char* japanese;  // 932
        };
        static const Form kForms[] = {
            {kKrakow, "Krak\xf3w", "Krak\xf3w", "Krak&#243;w"},
            {kPlzen, "Plze&#328;", "Plze\xf2", "Plze&#328;"},
            {kMatcha, "&#25273;&#33590; Matcha", "&#25273;&#33590; Matcha", "\x96\x95\x92\x83 Matcha"},
            {zevdtapi::kSampleUser2, "J\xf3zef", "J\xf3zef", "J&#243;zef"},
            {"J\u00d3ZEF", "J\xd3ZEF", "J\xd3ZEF", "J&#211;ZEF"},
            {zevdtapi::kSamplePassword2, "M\xf3j-Krak\xf3w-2024", "M\xf3j-Krak\xf3w-2024", ""},
        };
        for (const Form& f : kForms) {
            if (utf8 == f.utf8)
                return page_ == 65001  ? utf8
                       : page_ == 1250 ? f.central
                       : page_ == 932  ? f.japanese
                                       : f.latin;
        }
        ADD_FAILURE() << "no form for " << utf8;
        return utf8;
    }

    // Rows of 2024 whose column holds the UTF-8 text, counted by the database itself.
    static size_t StoredRows(const std::string& column, const std::string& utf8) {
        return std::stoul(
            *QueryRows(SampleDatabase(),
                       "SELECT COUNT(*) FROM sales s JOIN region r ON r.region_id = s.region_id "
                       "JOIN product p ON p.product_id = s.product_id WHERE s.year = 2024 AND " +
                           column + " = ?",
                       {utf8})[0][0]);
    }

    // True when the text is whole characters of the code page and ends in no half reference.
    static bool WholeCharacters(const std::string& text) {
        size_t amp = text.rfind("&#");
        if (amp != std::string::npos && text.find(';', amp) == std::string::npos)
            return false;
#ifdef _WIN32
        return text.empty() || MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, text.data(),
                                                   int(text.size()), nullptr, 0) > 0;
#else
        return std::mbstowcs(nullptr, text.c_str(), 0) != size_t(-1);
#endif
    }

    unsigned page_ = 0;
};

size_t RowsWhere(Session& s, const std::string& table, const std::string& column,
                 const std::string& condition) {
    ZevDTAPIColumn* c = s.Column(table, column);
    SetCondition(c, condition);
    uint32_t status = 0;
    size_t rows = s.Data(&status).size();
    EXPECT_EQ(0u, status) << condition << ": " << s.ErrorText();
    SetCondition(c, "");
    return rows;
}

TEST_P(CodePages, CellsValuesAndConditionsSpeakTheCodePage) {
    Session s;
    ASSERT_EQ(0u, s.OpenReport({"Year=2024\n"}, "Sales Detail")) << s.ErrorText();

    // The cells: Kraków's rows carry the code page's letters, none the database's UTF-8.
    size_t krakow = StoredRows("r.city", kKrakow), matcha = StoredRows("p.product", kMatcha);
    ASSERT_GT(krakow, 0u);
    ASSERT_GT(matcha, 0u);
    size_t cityCells = 0, productCells = 0;
    for (const Row& row : s.Data()) {
        for (const Cell& cell : row) {
            cityCells += cell && *cell == Host(kKrakow);
            productCells += cell && *cell == Host(kMatcha);
        }
    }
    EXPECT_EQ(krakow, cityCells);
    EXPECT_EQ(matcha, productCells);

    // The values list, and each value picked from it or typed matches its rows,
    // also where the code page cannot show every letter.
    std::vector<std::string> cities = s.Values(s.Column("region", "city"));
    for (const char* city : {kKrakow, kPlzen}) {
        EXPECT_NE(cities.end(), std::find(cities.begin(), cities.end(), Host(city))) << city;
        EXPECT_EQ(StoredRows("r.city", city),
                  RowsWhere(s, "region", "city", "region.city = '" + Host(city) + "'"));
    }
    EXPECT_EQ(matcha, RowsWhere(s, "product", "product", "product.product = '" + Host(kMatcha) + "'"));
    // A reference to a letter the code page holds is typed text, not that letter.
    EXPECT_EQ(0u, RowsWhere(s, "region", "city", "region.city = '&#66;rno'"));
}

TEST_P(CodePages, SavedFiltersAreUtf8AndComeBackUnchanged) {
    const std::string db = FreshSample();
    Session s(db);
    ASSERT_EQ(0u, s.OpenReport({}, "Sales Detail")) << s.ErrorText();
    const std::string asText = OnPostgres() ? "convert_from(record, 'UTF8')" : "CAST(record AS TEXT)";
    auto stored = [&] { return *QueryRows(db, "SELECT " + asText + " FROM dt_saved_filter")[0][0]; };

    // Saved from this code page: kept as UTF-8.
    EXPECT_EQ(0, s.SaveFilters({"region.city = '" + Host(kKrakow) + "'"})) << s.ErrorText();
    EXPECT_EQ(std::string("region.city = '") + kKrakow + "'", stored());

    // Saved by a caller whose code page held every letter, opened here, handed back unchanged.
    const std::string other =
        std::string("region.city in ('") + kKrakow + "', '" + kPlzen + "', '" + kMatcha + "')";
    std::string quoted;
    for (char c : other) quoted += c == '\'' ? std::string("''") : std::string(1, c);
    ExecuteSql(
        db, "UPDATE dt_saved_filter SET record = " +
                (OnPostgres() ? "convert_to('" + quoted + "', 'UTF8')" : "CAST('" + quoted + "' AS BLOB)"));
    const std::vector<std::string> loaded = s.SavedFilters();
    ASSERT_EQ(1u, loaded.size());
    EXPECT_EQ("region.city in ('" + Host(kKrakow) + "', '" + Host(kPlzen) + "', '" + Host(kMatcha) + "')",
              loaded[0]);
    EXPECT_EQ(0, s.SaveFilters(loaded)) << s.ErrorText();
    EXPECT_EQ(other, stored());
}

TEST_P(CodePages, LoginsAndErrorTextsInTheCodePage) {
    // Where the code page holds the password's letters: the user name in capitals, letters
    // beyond ASCII fold too.
    const std::string password = Host(zevdtapi::kSamplePassword2);
    if (!password.empty()) {
        Session right, wrong;
        EXPECT_EQ(0u, right.Open({}, 2, Host("J\u00d3ZEF"), password)) << right.ErrorText();
        EXPECT_EQ(uint32_t(ZEVDTAPI_LOGIN_REFUSED),
                  wrong.Open({}, 2, Host(zevdtapi::kSampleUser2), "Moj-Krakow-2024"));
    }

    // A server name that the data source does not have comes back in the error text in the
    // code page, and a short buffer never ends in half a character or half a reference.
    Session s;
    char* member = nullptr;
    ASSERT_EQ(0u, ZevDTAPISetConnection(s.lib, &member, 0, 1));
    ZevDTAPIConnectionInfo info{};
    std::string server = Host(kPlzen) + (page_ == 932 ? Host(kMatcha) : " " + Host(kKrakow));
    ASSERT_LE(server.size(), 30u);
    std::strncpy(info.serverName, server.c_str(), 30);
    ASSERT_EQ(0u, ZevDTAPISetInfo(s.lib, &info));
    ASSERT_EQ(uint32_t(ZEVDTAPI_LOGIN_REFUSED), ZevDTAPIConnect(s.lib));
    const std::string full = s.ErrorText();
    EXPECT_NE(std::string::npos, full.find("\"" + server + "\"")) << full;
    for (uint32_t capacity = 12; capacity < 14 + server.size(); ++capacity) {
        char text[64] = {};
        uint32_t number = 0;
        ZevDTAPIGetError(s.lib, &number, text, capacity);
        EXPECT_EQ(0u, full.rfind(text, 0)) << capacity;
        EXPECT_TRUE(WholeCharacters(text)) << capacity << ": " << text;
    }
}

#ifdef _WIN32
INSTANTIATE_TEST_SUITE_P(ThisCodePage, CodePages, ::testing::Values("ACP"));
#else
INSTANTIATE_TEST_SUITE_P(Locales, CodePages, ::testing::Values("C.UTF-8", "de_DE.ISO-8859-1"));
#endif

}  // namespace
}  // namespace zevdtapi_test
