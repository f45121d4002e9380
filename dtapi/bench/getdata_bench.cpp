// ZevDTAPIGetData against a bare sqlite3_step loop that reads the same columns'
// text with the same query in the same process.
//
//   zevdtapi-bench [--database FILE] [--rows N] [--iterations K]
//
// Without --database the sample warehouse is created in a temporary file. All
// eleven columns of "Sales Detail" are displayed, so the full warehouse gives
// 1.1 million cells; --rows N keeps the first N sales.
#include <sqlite3.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#ifndef _WIN32
#include <sys/resource.h>
#endif

#include "sample_warehouse.h"
#include "zevdtapi.h"

namespace {

using Clock = std::chrono::steady_clock;

double Ms(Clock::time_point a, Clock::time_point b) {
    return std::chrono::duration<double, std::milli>(b - a).count();
}

long PeakRssKb() {
#ifndef _WIN32
    struct rusage u;
    getrusage(RUSAGE_SELF, &u);
    return u.ru_maxrss;
#else
    return -1;
#endif
}

const char* const kColumns[] = {"sales.sale_date", "region.region",     "region.city",    "product.category",
                                "product.product", "customer.customer", "sales.quantity", "sales.amount",
                                "sales.channel",   "customer.segment",  "sales.sale_id"};

int Fail(const char* what) {
    std::fprintf(stderr, "zevdtapi-bench: %s\n", what);
    return 1;
}

}  // namespace

int main(int argc, char** argv) {
    std::string database;
    long rowLimit = 0;
    int iterations = 5;
    for (int i = 1; i < argc; ++i) {
        if (!std::strcmp(argv[i], "--database") && i + 1 < argc) {
            database = argv[++i];
        } else if (!std::strcmp(argv[i], "--rows") && i + 1 < argc) {
            rowLimit = std::atol(argv[++i]);
        } else if (!std::strcmp(argv[i], "--iterations") && i + 1 < argc) {
            iterations = std::max(1, std::atoi(argv[++i]));
        } else {
            std::fprintf(stderr, "usage: zevdtapi-bench [--database FILE] [--rows N] [--iterations K]\n");
            return 2;
        }
    }
    std::filesystem::path temp;
    if (database.empty()) {
        temp = std::filesystem::temp_directory_path() /
               ("zevdtapi-bench-" + std::to_string(Clock::now().time_since_epoch().count()) + ".db");
        database = temp.string();
        std::string error;
        if (!zevdtapi::CreateSampleWarehouse(database, &error))
            return Fail(error.c_str());
    }
#ifdef _WIN32
    _putenv_s("ZEVDTAPI_DATABASE", database.c_str());
#else
    setenv("ZEVDTAPI_DATABASE", database.c_str(), 1);
#endif

    void* lib = nullptr;
    ZevDTAPIInit(0, &lib);
    ZevDTAPIReport** reports = nullptr;
    uint32_t reportCount = 0;
    ZevDTAPIColumn** columns = nullptr;
    int32_t columnCount = 0;
    if (ZevDTAPISetConnection(lib, nullptr, 0, 0) || ZevDTAPIConnect(lib) ||
        ZevDTAPIGetReports(lib, &reports, &reportCount) || reportCount == 0 ||
        ZevDTAPIExecuteReport(lib, 0) || ZevDTAPIGetColumns(lib, &columns, &columnCount)) {
        return Fail("cannot open the report");
    }
    // Show every column, in catalog order, sorted as the catalog says.
    std::string where;
    for (int32_t i = 0; i < columnCount; ++i) {
        columns[i]->displayPosition = i + 1;
        if (rowLimit > 0 && !std::strcmp(columns[i]->columnName, "sale_id")) {
            std::snprintf(columns[i]->condition, sizeof(columns[i]->condition), "sales.sale_id <= %ld",
                          rowLimit);
            where = " WHERE sales.sale_id <= " + std::to_string(rowLimit);
        }
    }
    std::string sql = "SELECT ";
    for (size_t i = 0; i < sizeof(kColumns) / sizeof(kColumns[0]); ++i)
        sql += (i ? ", " : "") + std::string(kColumns[i]);
    sql +=
        " FROM sales JOIN region ON region.region_id = sales.region_id"
        " JOIN product ON product.product_id = sales.product_id"
        " JOIN customer ON customer.customer_id = sales.customer_id" +
        where + " ORDER BY sales.sale_date, sales.sale_id";

    sqlite3* db = nullptr;
    if (sqlite3_open_v2(database.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
        return Fail("cannot open the database");
    }

    double first = 0, best = 1e300, baseline = 1e300;
    uint64_t cellsSeen = 0, baselineCells = 0;
    size_t checksum = 0;
    for (int it = 0; it < iterations + 1; ++it) {
        ZevDTAPICell** cells = nullptr;
        uint32_t rows = 0, cols = 0;
        auto a = Clock::now();
        if (ZevDTAPIGetData(lib, &cells, &rows, &cols))
            return Fail("ZevDTAPIGetData failed");
        auto b = Clock::now();
        cellsSeen = uint64_t(rows) * cols;
        if (it == 0) {
            first = Ms(a, b);
        } else {
            best = std::min(best, Ms(a, b));
        }

        sqlite3_stmt* st = nullptr;
        auto c = Clock::now();
        sqlite3_prepare_v2(db, sql.c_str(), -1, &st, nullptr);
        uint64_t n = 0;
        while (sqlite3_step(st) == SQLITE_ROW) {
            for (int k = 0; k < sqlite3_column_count(st); ++k) {
                const unsigned char* t = sqlite3_column_text(st, k);
                checksum += t ? size_t(sqlite3_column_bytes(st, k)) : 0;
                ++n;
            }
        }
        sqlite3_finalize(st);
        auto d = Clock::now();
        baselineCells = n;
        if (it > 0)
            baseline = std::min(baseline, Ms(c, d));
    }
    sqlite3_close(db);
    ZevDTAPIClose(lib);
    ZevDTAPIExit(lib);
    if (!temp.empty())
        std::filesystem::remove(temp);

    std::printf("cells            %llu (baseline %llu)\n", (unsigned long long)cellsSeen,
                (unsigned long long)baselineCells);
    std::printf("GetData first    %.1f ms (fresh memory)\n", first);
    std::printf("GetData best     %.1f ms\n", best);
    std::printf("sqlite3_step     %.1f ms (best of %d)\n", baseline, iterations);
    std::printf("ratio            %.2f (first call %.2f)\n", best / baseline, first / baseline);
    std::printf("peak memory      %ld KB\n", PeakRssKb());
    std::printf("checksum         %zu\n", checksum);
    return cellsSeen == baselineCells ? 0 : Fail("cell counts differ");
}
