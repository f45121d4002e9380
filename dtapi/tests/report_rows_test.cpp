// Each report's rows against a hand-written query on the same database.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <cstring>

#include "test_session.h"

namespace zevdtapi_test {
namespace {

const std::vector<std::string> kCell = {"Year=2024\n", "Region=East\n", "Category=Beverages\n",
                                        "Measures=Units\n"};

const char kDetailFrom[] =
    " FROM sales s JOIN region r ON r.region_id = s.region_id JOIN product p ON p.product_id = s.product_id"
    " JOIN customer c ON c.customer_id = s.customer_id";
const char kDetailColumns[] =
    "SELECT s.sale_date, r.region, r.city, p.category, p.product, c.customer, s.quantity, s.amount, "
    "s.channel";
const char kCellWhere[] = " WHERE s.year = 2024 AND r.region = 'East' AND p.category = 'Beverages'";

// A hand-written query's rows as the library would hand them out.
std::vector<Row> Handed(const std::string& sql, const std::vector<std::string>& params = {}) {
    return AsHanded(QueryRows(SampleDatabase(), sql, params));
}

std::vector<Row> Detail(const std::string& extraWhere = "", const std::vector<std::string>& params = {}) {
    return Handed(std::string(kDetailColumns) + kDetailFrom + kCellWhere + extraWhere +
                      " ORDER BY s.sale_date, s.sale_id",
                  params);
}

class ReportRows : public ::testing::Test {
  protected:
    void OpenDetail(const std::vector<std::string>& members = kCell) {
        ASSERT_EQ(0u, session.OpenReport(members, "Sales Detail")) << session.ErrorText();
    }
    Session session;
};

TEST_F(ReportRows, EveryReportOfTheSampleCellMatchesItsHandWrittenQuery) {
    OpenDetail();
    auto detail = session.Data();
    EXPECT_EQ(2143u, detail.size());  // the count docs/stand-in.md gives for this cell
    EXPECT_EQ(Detail(), detail);
    bool sawNull = false;
    for (const Row& r : detail) sawNull = sawNull || !r[8].has_value();
    EXPECT_TRUE(sawNull) << "the channel column has SQL NULLs that must arrive as NULL cells";

    ASSERT_EQ(0u, session.Execute("Product Summary"));
    EXPECT_EQ(
        Handed("SELECT p.category, p.product, s.sale_date, s.quantity, s.amount FROM sales s"
               " JOIN product p ON p.product_id = s.product_id JOIN region r ON r.region_id = s.region_id"
               " WHERE s.year = 2024 AND r.region = 'East' AND p.category = 'Beverages'"
               " ORDER BY p.product, s.sale_id"),
        session.Data());

    ASSERT_EQ(0u, session.Execute("Customer Orders"));
    EXPECT_EQ(
        Handed("SELECT c.customer, c.segment, s.sale_date, s.amount FROM sales s"
               " JOIN customer c ON c.customer_id = s.customer_id JOIN region r ON r.region_id = s.region_id"
               " WHERE s.year = 2024 AND r.region = 'East' ORDER BY s.sale_date DESC, s.sale_id"),
        session.Data());

    Session secure;
    ASSERT_EQ(0u, secure.Open({"Year=2025\n", "Region=West\n"}, 2, "demo", "demo-2024"))
        << secure.ErrorText();
    ASSERT_EQ(0u, secure.Execute("Regional Revenue"));
    EXPECT_EQ(
        Handed("SELECT r.region, r.city, s.year, s.amount FROM sales s JOIN region r ON r.region_id = "
               "s.region_id WHERE s.year = 2025 AND r.region = 'West' ORDER BY r.region, r.city, s.sale_id"),
        secure.Data());
}

TEST_F(ReportRows, DisplaySortAndFilterOnlyColumnsShapeTheQuery) {
    OpenDetail();
    for (ZevDTAPIColumn* c : session.columns) {
        c->displayPosition = 0;
        c->sortPosition = 0;
    }
    session.Column("sales", "amount")->displayPosition = 1;
    session.Column("product", "product")->displayPosition = 2;
    session.Column("sales", "sale_id")->displayPosition = 3;
    session.Column("sales", "amount")->sortPosition = 1;
    session.Column("sales", "amount")->sortDirection = 2;
    session.Column("sales", "sale_id")->sortPosition = 2;
    ZevDTAPIColumn* segment = session.Column("customer", "segment");
    segment->filterOnly = 1;
    SetCondition(segment, "customer.segment = 'Wholesale' OR \r\ncustomer.segment = Public Sector");
    auto rows = session.Data();
    EXPECT_EQ(Handed(std::string("SELECT s.amount, p.product, s.sale_id") + kDetailFrom + kCellWhere +
                     " AND c.segment IN ('Wholesale', 'Public Sector')"
                     " ORDER BY s.amount DESC, s.sale_id"),
              rows);
    EXPECT_FALSE(rows.empty());
    ASSERT_EQ(3u, rows[0].size());
}

TEST_F(ReportRows, EveryOperatorWithTypedAndQuotedValues) {
    OpenDetail();
    ZevDTAPIColumn* product = session.Column("product", "product");
    ZevDTAPIColumn* amount = session.Column("sales", "amount");
    ZevDTAPIColumn* date = session.Column("sales", "sale_date");
    struct Case {
        ZevDTAPIColumn* column;
        std::string condition;
        std::string where;
        std::vector<std::string> params;
    };
    const std::vector<Case> cases = {
        {product, "product.product in ('Cola','Iced Tea')", " AND p.product IN (?, ?)", {"Cola", "Iced Tea"}},
        {product, "product.product in Cola, Iced Tea", " AND p.product IN (?, ?)", {"Cola", "Iced Tea"}},
        {product, "product.product not in ('Cola')", " AND p.product NOT IN (?)", {"Cola"}},
        {product, "product.product like 'C%'", " AND p.product LIKE ?", {"C%"}},
        {product, "product.product like c%", " AND p.product LIKE ?", {"c%"}},
        {product, "product.product not like '%o%'", " AND p.product NOT LIKE ?", {"%o%"}},
        {product, "product.product = Lemonade", " AND p.product = ?", {"Lemonade"}},
        {product, "product.product <> 'Lemonade'", " AND p.product <> ?", {"Lemonade"}},
        {amount, "sales.amount < 5", " AND s.amount < ?", {"5"}},
        {amount, "sales.amount <= '5.5'", " AND s.amount <= ?", {"5.5"}},
        {amount, "sales.amount > 40", " AND s.amount > ?", {"40"}},
        {amount, "sales.amount >= 40.5", " AND s.amount >= ?", {"40.5"}},
        {amount, "sales.amount in (18.4,21.25)", " AND s.amount IN (?, ?)", {"18.4", "21.25"}},
        {date,
         "sales.sale_date >= '2024-06-01' AND \r\nsales.sale_date < 2024-07-01",
         " AND s.sale_date >= ? AND s.sale_date < ?",
         {"2024-06-01", "2024-07-01"}},
        {date,
         "sales.sale_date = '2024-01-05' OR \r\nsales.amount > 30 AND \r\nproduct.product = 'Cola'",
         " AND (s.sale_date = ? OR (s.amount > ? AND p.product = ?))",
         {"2024-01-05", "30", "Cola"}},
    };
    for (const Case& c : cases) {
        SetCondition(c.column, c.condition);
        // LIKE in the hand-written query is SQLite's, which ignores the case of
        // ASCII letters; on PostgreSQL that is ILIKE (the sample is ASCII).
        std::string where = c.where;
        for (size_t at; OnPostgres() && (at = where.find(" LIKE ")) != std::string::npos;)
            where.replace(at, 6, " ILIKE ");
        auto expected = Detail(where, c.params);
        EXPECT_EQ(expected, session.Data()) << c.condition;
        EXPECT_FALSE(expected.empty()) << c.condition;
        SetCondition(c.column, "");
    }
}

TEST_F(ReportRows, RecursiveMembersWidenAndMarkedOnesRestrict) {
    OpenDetail({"Year=2024\n", "Region=East\nSYSDBV=\n", "Category=Beverages\n"});
    EXPECT_EQ(Handed(std::string(kDetailColumns) + kDetailFrom +
                     " WHERE s.year = 2024 AND p.category = 'Beverages'"
                     " ORDER BY s.sale_date, s.sale_id"),
              session.Data());

    OpenDetail({"Year=2024\n", "Region=East\nSYSDBV=\n-1\n", "Category=Beverages\n"});
    EXPECT_EQ(Detail(), session.Data());

    OpenDetail({"Year=2024\n", "Region=Eastern Europe\nSYSDBV=East\n", "Category=Beverages\n"});
    EXPECT_EQ(Detail(), session.Data());
}

TEST_F(ReportRows, UnreadableConditionFailsTheFetchWithItsPlace) {
    OpenDetail();
    SetCondition(session.Column("sales", "channel"), "sales.channel = Store AND \r\nsales.channel 'Phone'");
    uint32_t status = 0;
    session.Data(&status);
    EXPECT_EQ(2005002u, status);
    EXPECT_NE(std::string::npos, session.ErrorText().find("sales.channel")) << session.ErrorText();
    EXPECT_NE(std::string::npos, session.ErrorText().find("line 2")) << session.ErrorText();
}

TEST_F(ReportRows, LongValueListsAndManyConditionsStayWithinSqlLimits) {
    OpenDetail();
    std::string list = "sales.sale_id in (";
    for (int i = 1; i <= 1500; ++i) list += (i > 1 ? "," : "") + std::to_string(i);
    SetCondition(session.Column("sales", "sale_id"), list + ")");
    std::string ors;
    for (int i = 0; i < 300; ++i)
        ors += (i ? " OR \r\n" : "") + std::string("sales.quantity = ") + std::to_string(i % 20 + 1);
    SetCondition(session.Column("sales", "quantity"), ors);
    uint32_t status = 1;
    auto rows = session.Data(&status);
    EXPECT_EQ(0u, status) << session.ErrorText();
    EXPECT_EQ(Detail(" AND s.sale_id <= 1500"), rows);
}

// Value lists are bound one value per variable: the Windows build's SQLite
// must allow as many as the native one, not SQLite's default of 32766.
TEST(SqliteBuild, AllowsAQuarterMillionBoundValues) {
    sqlite3* db = nullptr;
    ASSERT_EQ(SQLITE_OK, sqlite3_open(":memory:", &db));
    sqlite3_stmt* st = nullptr;
    EXPECT_EQ(SQLITE_OK, sqlite3_prepare_v2(db, "SELECT ?250000", -1, &st, nullptr)) << sqlite3_errmsg(db);
    sqlite3_finalize(st);
    sqlite3_close(db);
}

}  // namespace
}  // namespace zevdtapi_test
