// Two and four threads, each with its own handle, through whole drills with
// the login dialog, the report list and the wizard, all at once. Each
// thread's dialogs are its own: every thread's script must meet exactly its
// own windows, and every drill must give what it gives alone.
#include <gtest/gtest.h>

#include <atomic>
#include <condition_variable>
#include <cstdlib>
#include <cstring>
#include <map>
#include <mutex>
#include <thread>

#include "drill_session.h"
#include "drill_through.h"
#include "text_cache_pin.h"
#include "zevdtu.h"

namespace {

int Rounds() {
    const char* env = std::getenv("ZEVDT_STRESS_ROUNDS");
    int n = env ? std::atoi(env) : 0;
    return n > 0 ? n : 4;
}

class ThreadStress : public ::testing::TestWithParam<int> {
  protected:
    static void SetUpTestSuite() {
        drilltest::PrepareWarehouse(STANDIN_LIBRARY_FILE);
        // What each drill gives on its own, on this thread.
        for (drilltest::Drill d : drilltest::kAllDrills) alone_[d] = drilltest::RunDrill(d);
    }
    static std::map<drilltest::Drill, drilltest::Outcome> alone_;
};
std::map<drilltest::Drill, drilltest::Outcome> ThreadStress::alone_;

TEST(ThreadStressAlone, EveryDrillGivesItsResultAlone) {
    drilltest::PrepareWarehouse(STANDIN_LIBRARY_FILE);
    using drilltest::Drill;
    drilltest::Outcome plain = drilltest::RunDrill(Drill::LoginReportChoice);
    EXPECT_EQ(plain.code, 0u) << plain.failedCall;
    EXPECT_FALSE(plain.scriptFailed) << plain.scriptError;
    EXPECT_EQ(plain.columns, 9u);
    EXPECT_EQ(plain.cells, 2143u * 9u);
    drilltest::Outcome filtered = drilltest::RunDrill(Drill::WizardFilter);
    EXPECT_FALSE(filtered.scriptFailed) << filtered.scriptError;
    EXPECT_EQ(filtered.code, static_cast<uint32_t>(ZEVDT_CANCELLED)) << filtered.failedCall;
    drilltest::Outcome fewer = drilltest::RunDrill(Drill::WizardColumns);
    EXPECT_EQ(fewer.code, 0u) << fewer.failedCall;
    EXPECT_EQ(fewer.columns, 8u);
    EXPECT_EQ(fewer.cells, 2143u * 8u);
    // Taken out for one open only: the next open shows every column again.
    EXPECT_EQ(drilltest::RunDrill(Drill::WizardColumns).columns, 8u);
    EXPECT_EQ(drilltest::RunDrill(Drill::LoginReportChoice).checksum, plain.checksum);
    drilltest::Outcome cancelled = drilltest::RunDrill(Drill::Cancelled);
    EXPECT_EQ(cancelled.code, static_cast<uint32_t>(ZEVDT_CANCELLED));
    EXPECT_EQ(cancelled.failedCall, "ZevDTOpen");
}

TEST_P(ThreadStress, EachThreadsDialogsAreItsOwn) {
    const int threads = GetParam();
    const int rounds = Rounds();
    drilltest::TextCachePin pin;
    ASSERT_TRUE(pin.Held());
    // All threads start together, so that their modal runs overlap.
    std::mutex m;
    std::condition_variable cv;
    int waiting = 0;
    std::atomic<int> drills{0}, mismatches{0};
    std::vector<std::string> failures(static_cast<size_t>(threads));
    auto work = [&](int index) {
        {
            std::unique_lock<std::mutex> lock(m);
            if (++waiting == threads)
                cv.notify_all();
            cv.wait(lock, [&] { return waiting == threads; });
        }
        const size_t kinds = sizeof drilltest::kAllDrills / sizeof drilltest::kAllDrills[0];
        for (int r = 0; r < rounds; ++r) {
            drilltest::Drill d = drilltest::kAllDrills[static_cast<size_t>(index + r) % kinds];
            drilltest::Outcome got = drilltest::RunDrill(d);
            const drilltest::Outcome& want = alone_.at(d);
            ++drills;
            if (got.code != want.code || got.columns != want.columns || got.cells != want.cells ||
                got.checksum != want.checksum || got.scriptFailed) {
                ++mismatches;
                failures[static_cast<size_t>(index)] += std::string(drilltest::DrillName(d)) + ": code " +
                                                        std::to_string(got.code) + " " + got.failedCall +
                                                        ", cells " + std::to_string(got.cells) + ", script " +
                                                        got.scriptError + "\n";
            }
        }
    };
    std::vector<std::thread> pool;
    for (int i = 0; i < threads; ++i) pool.emplace_back(work, i);
    for (std::thread& t : pool) t.join();

    EXPECT_EQ(drills.load(), threads * rounds);
    EXPECT_EQ(mismatches.load(), 0);
    for (int i = 0; i < threads; ++i) EXPECT_EQ(failures[static_cast<size_t>(i)], "") << "thread " << i;
    std::printf("%d threads: %d drills, %d differ from the drill alone\n", threads, drills.load(),
                mismatches.load());
}

// A result above the fill threshold (131,072 cells) is filled by the caller
// and the fill's worker at once; two callers do so at the same time, each
// into its own block, a fresh fill and a reuse, so that the sanitizer of the
// thread phase watches the worker as hosts meet it.
TEST(ThreadStressFill, LargeResultsAreFilledByTwoThreadsEach) {
    const uint32_t columns = 5;
    const uint64_t total = (uint64_t(1) << 17) + 3;  // the halves meet inside a row
    std::vector<char> record(ZEVDTAPI_CELL_TEXT_OFFSET + 16, '\0');
    std::memcpy(record.data() + ZEVDTAPI_CELL_TEXT_OFFSET, "Krak\xc3\xb3w", 8);
    std::vector<ZevDTAPICell*> cells(total, reinterpret_cast<ZevDTAPICell*>(record.data()));
    for (uint64_t i = 0; i < total; i += 7) cells[i] = nullptr;
    std::vector<std::vector<ZevDTDataItem>> blocks(2, std::vector<ZevDTDataItem>(total));
    std::vector<std::thread> callers;
    for (auto& block : blocks)
        callers.emplace_back([&] {
            zevdt::FillDataItems(block.data(), cells.data(), total, columns, false);
            zevdt::FillDataItems(block.data(), cells.data(), total, columns, true);
        });
    for (std::thread& t : callers) t.join();
    for (const auto& block : blocks)
        for (uint64_t i : {uint64_t(0), total / 2 - 1, total / 2, total - 1}) {
            EXPECT_EQ(block[i].row, uint32_t(i / columns + 1)) << i;
            EXPECT_EQ(block[i].column, uint32_t(i % columns)) << i;
            EXPECT_STREQ(block[i].text, i % 7 ? "Krak\xc3\xb3w" : "") << i;
        }
}

INSTANTIATE_TEST_SUITE_P(Threads, ThreadStress, ::testing::Values(2, 4), ::testing::PrintToStringParamName());

}  // namespace
