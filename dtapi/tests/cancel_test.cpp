// Value batches and ZevDTAPIServerCancel.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "catalog_schema.h"
#include "test_session.h"

namespace zevdtapi_test {
namespace {

using Clock = std::chrono::steady_clock;

TEST(ValueBatches, DistinctValuesComeInBatchesEndingWithZero) {
    Session s;
    ASSERT_EQ(0u, s.OpenReport({"Year=2024\n", "Region=East\n"}, "Sales Detail")) << s.ErrorText();
    // The batches end with an empty one, or ValueBatches fails the test.
    auto batches = s.ValueBatches(s.Column("sales", "sale_id"));
    std::vector<std::string> expected;
    for (const Row& r :
         QueryRows(SampleDatabase(),
                   "SELECT DISTINCT s.sale_id FROM sales s JOIN region r ON r.region_id = s.region_id"
                   " WHERE s.year = 2024 AND r.region = 'East' ORDER BY 1")) {
        expected.push_back(*r[0]);
    }
    std::vector<std::string> ids;
    for (const auto& batch : batches) ids.insert(ids.end(), batch.begin(), batch.end());
    EXPECT_EQ(expected, ids);
    ASSERT_GE(batches.size(), 2u);
    for (size_t i = 0; i + 1 < batches.size(); ++i) EXPECT_EQ(1000u, batches[i].size());

    // NULLs are no value; the next fetch starts afresh.
    EXPECT_EQ((std::vector<std::string>{"Online", "Phone", "Store"}), s.Values(s.Column("sales", "channel")));
}

TEST(ValueBatches, CancelBetweenBatchesEndsTheSequence) {
    Session s;
    ASSERT_EQ(0u, s.OpenReport({"Year=2024\n"}, "Sales Detail")) << s.ErrorText();
    ZevDTAPIColumn* id = s.Column("sales", "sale_id");
    char** values = nullptr;
    int32_t count = 0;
    ASSERT_EQ(0, ZevDTAPIGetFilterData(s.lib, id, &values, &count));
    std::string first = values[0];
    ASSERT_EQ(0, ZevDTAPIGetFilterData(s.lib, id, &values, &count));
    EXPECT_NE(first, values[0]);
    EXPECT_EQ(0u, ZevDTAPIServerCancel(s.lib));
    ASSERT_EQ(0, ZevDTAPIGetFilterData(s.lib, id, &values, &count));
    EXPECT_EQ(first, values[0]);  // a new list, not the rest of the cancelled one
    // A cancel with nothing running leaves later requests alone.
    EXPECT_EQ(0u, ZevDTAPIServerCancel(s.lib));
    EXPECT_GT(s.Data().size(), 1000u);
}

// A report whose join yields millions of rows, so that its queries run for seconds.
std::string SlowDatabase() {
    static std::string path;
    if (!path.empty())
        return path;
    path = MakeTempDir() + "/slow.db";
    sqlite3* db = nullptr;
    sqlite3_open(path.c_str(), &db);
    std::string sql =
        std::string(zevdtapi::CatalogSchemaSql()) +
        "CREATE TABLE a(k INTEGER, v TEXT); CREATE TABLE b(k INTEGER, w TEXT);"
        "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 4000)"
        "  INSERT INTO a SELECT 1, 'a' || i FROM n;"
        "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 4000)"
        "  INSERT INTO b SELECT 1, 'b' || i FROM n;"
        "INSERT INTO dt_data_source VALUES (1, 'h', 'Slow', 0);"
        "INSERT INTO dt_report VALUES (1, 1, 'Slow', 1, 1);"
        "INSERT INTO dt_report_table VALUES (1, 1, 'a', NULL, NULL, NULL), (1, 2, 'b', 'k', 'a', 'k');"
        "INSERT INTO dt_report_column VALUES (1, 1, 'a', 'v', 10, 1, 0, 1), (1, 2, 'b', 'w', 10, 2, 2, 1);";
    EXPECT_EQ(SQLITE_OK, sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr)) << sqlite3_errmsg(db);
    sqlite3_close(db);
    return path;
}

// The 100 ms is the user's: a native build must keep it. Under AddressSanitizer
// every step between the cancel and the return runs several times slower, and a
// loaded machine made a sanitized run miss it by tens of milliseconds; there the
// test asks for the same order of magnitude.
#if defined(__SANITIZE_ADDRESS__)
constexpr int64_t kCancelLimitMs = 400;
#else
constexpr int64_t kCancelLimitMs = 100;
#endif

template <class Call>
void ExpectCancelStopsWithin100ms(Session& s, Call call) {
    std::atomic<bool> done{false};
    std::atomic<int64_t> returnedAt{0};
    uint32_t status = 0;
    std::thread worker([&] {
        status = call();
        returnedAt = Clock::now().time_since_epoch().count();
        done = true;
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(150));
    ASSERT_FALSE(done) << "the request ended before it could be cancelled; make the slow report slower";
    auto cancelledAt = Clock::now();
    EXPECT_EQ(0u, ZevDTAPIServerCancel(s.lib));
    worker.join();
    auto stop = Clock::time_point(Clock::duration(returnedAt.load()));
    EXPECT_LE(std::chrono::duration_cast<std::chrono::milliseconds>(stop - cancelledAt).count(),
              kCancelLimitMs);
    EXPECT_EQ(2006002u, status);
    EXPECT_FALSE(s.ErrorText().empty());
}

TEST(Cancel, StopsALongDistinctValueFetchWithin100ms) {
    Session s(SlowDatabase());
    ASSERT_EQ(0u, s.OpenReport({}, "Slow")) << s.ErrorText();
    ZevDTAPIColumn* w = s.Column("b", "w");
    ExpectCancelStopsWithin100ms(s, [&] {
        char** values = nullptr;
        int32_t count = 0;
        return uint32_t(ZevDTAPIGetFilterData(s.lib, w, &values, &count));
    });
    // The handle works on afterwards.
    SetCondition(s.Column("a", "v"), "a.v = a1");
    SetCondition(w, "b.w in (b1, b2)");
    EXPECT_EQ(2u, s.Data().size());
}

TEST(Cancel, StopsALongDataFetchWithin100ms) {
    Session s(SlowDatabase());
    ASSERT_EQ(0u, s.OpenReport({}, "Slow")) << s.ErrorText();
    ExpectCancelStopsWithin100ms(s, [&] {
        ZevDTAPICell** cells = nullptr;
        uint32_t rows = 0, cols = 0;
        return ZevDTAPIGetData(s.lib, &cells, &rows, &cols);
    });
}

}  // namespace
}  // namespace zevdtapi_test
