// Allocation failures over whole drills, ZevDTInit to ZevDTExit, with the
// login dialog, the report list and the wizard (a filter saved under a name
// with a value from the value list, then Finish): the k-th allocation fails
// once, or from k on. Every run must end with a code the host can read
// (success, cancel, 50001, 50009, a status of the library, or 50513 from
// ZevDTInit when the object itself cannot be allocated), the process
// must live on (no destructor may throw, no window may outlive its
// controls), leave no leak and no busy cursor, and the drill must work as
// before once memory is back.
//
// k is sampled: every k up to kEveryUpTo (20), then ZEVDT_SWEEP_SAMPLES (default
// 20) more spread evenly over the rest of the run, each at a seeded random
// place within its stretch. ZEVDT_SWEEP_FULL=1 tries every k.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <random>
#include <set>
#include <thread>

#include "allocation_shim.h"
#include "drill_session.h"
#include "filters/filter_list.h"
#include "support/column_owner.h"
#include "support/test_env.h"
#include "interface/drill_through.h"
#include "interface/dtapi_table.h"
#include "zevdtu.h"

#ifdef _WIN32
#include "framework/win32/win32_api.h"
#else
#include "framework/headless/headless_backend.h"

extern "C" int __lsan_do_recoverable_leak_check() __attribute__((weak));
#endif

namespace {

constexpr uint64_t kEveryUpTo = 20;

std::vector<uint64_t> SampleKs(uint64_t total) {
    std::vector<uint64_t> ks;
    const char* full = std::getenv("ZEVDT_SWEEP_FULL");
    if (full && std::string(full) == "1") {
        for (uint64_t k = 1; k <= total; ++k) ks.push_back(k);
        return ks;
    }
    // One k alone, to look at a run the sweep reported.
    if (const char* one = std::getenv("ZEVDT_SWEEP_K"))
        return {std::strtoull(one, nullptr, 10)};
    for (uint64_t k = 1; k <= std::min(total, kEveryUpTo); ++k) ks.push_back(k);
    if (total <= kEveryUpTo)
        return ks;
    const char* env = std::getenv("ZEVDT_SWEEP_SAMPLES");
    uint64_t samples = env ? std::strtoull(env, nullptr, 10) : 20;
    std::mt19937_64 rng(20261208);
    const uint64_t rest = total - kEveryUpTo;
    samples = std::min(samples, rest);
    for (uint64_t i = 0; i < samples; ++i) {
        uint64_t from = kEveryUpTo + 1 + rest * i / samples;
        uint64_t to = kEveryUpTo + rest * (i + 1) / samples;
        ks.push_back(from + rng() % (to - from + 1));
    }
    return ks;
}

// 50513 is ZevDTInit's answer when the drill-through object itself cannot
// be allocated (the null handle it leaves is what every other export meets).
bool Readable(uint32_t code, const std::string& call) {
    if (code == ZEVDT_E_NULL_PARAMETER)
        return call == "ZevDTInit";
    return code == ZEVDT_OK || code == ZEVDT_CANCELLED || code == ZEVDT_E_EXCEPTION ||
           code == ZEVDT_E_ALLOCATION || (code >= 2000000 && code < 3000000);
}

struct Armed {
    allocshim::Mode mode;
    uint64_t k;
    uint64_t seen = 0;
    uint64_t refused = 0;
};
void Begin(void* c) {
    auto* a = static_cast<Armed*>(c);
    allocshim::Arm(a->mode, a->k);
}
void End(void* c) {
    auto* a = static_cast<Armed*>(c);
    a->refused = allocshim::Refused();
    a->seen = allocshim::Disarm();
}

#ifdef _WIN32
// No leak check: the sanitizers are the Linux builds'.
int LeakCheck() {
    return 0;
}
int WaitCursorDepth() {
    return fw::Win32WaitCursorDepth();
}
size_t LiveWindows() {
    return fw::Win32ThreadWindowCount();
}
const bool kLeakCheck = false;
#else
int LeakCheck() {
    return __lsan_do_recoverable_leak_check();
}
int WaitCursorDepth() {
    return static_cast<fw::headless::HeadlessBackend&>(fw::CurrentBackend()).WaitCursorDepth();
}
size_t LiveWindows() {
    return static_cast<fw::headless::HeadlessBackend&>(fw::CurrentBackend()).LiveWindowCount();
}
const bool kLeakCheck = __lsan_do_recoverable_leak_check != nullptr;
#endif

class FaultSweep : public ::testing::TestWithParam<drilltest::Drill> {
  protected:
    void SetUp() override {
        drilltest::PrepareWarehouse(STANDIN_LIBRARY_FILE);
        zevdt::SetZeroAllocatorForTesting(&allocshim::ZeroAllocate);
    }
    void TearDown() override { zevdt::SetZeroAllocatorForTesting(nullptr); }
};

TEST_P(FaultSweep, EveryRunEndsWithACode) {
    const drilltest::Drill drill = GetParam();
    Armed counting{allocshim::Mode::Count, 0};
    drilltest::Outcome clean;
    // Windows a thread keeps between runs (none on the headless backend).
    size_t windowsBefore = 0;
    std::thread first([&] {
        clean = drilltest::RunDrill(drill, {&Begin, &End, &counting});
        windowsBefore = LiveWindows();
    });
    first.join();
    ASSERT_FALSE(clean.scriptFailed) << clean.scriptError;
    ASSERT_GT(counting.seen, 0u);
    if (drill == drilltest::Drill::WizardSavedFilter) {
        // The session went through the name dialog and the value list to Finish.
        ASSERT_EQ(clean.code, 0u) << clean.failedCall;
        // The default filter the empty list starts with, then the new one
        // (its texts pass the host's code page, hence only their ASCII parts).
        ASSERT_EQ(clean.savedFilters.size(), 2u);
        const std::string& saved = clean.savedFilters[1];
        EXPECT_EQ(saved.rfind("Krak", 0), 0u) << saved;
        EXPECT_NE(saved.find("region.city = 'Plz"), std::string::npos) << saved;
    }
    if (kLeakCheck) {
        ASSERT_EQ(LeakCheck(), 0) << "a leak before any failure";
    }

    std::vector<uint64_t> ks = SampleKs(counting.seen);
    std::map<uint32_t, int> codes;
    int runs = 0, refusedRuns = 0;
    for (allocshim::Mode mode : {allocshim::Mode::Once, allocshim::Mode::From}) {
        const char* modeName = mode == allocshim::Mode::Once ? "once" : "from";
        for (uint64_t k : ks) {
            Armed armed{mode, k};
            // On a thread of its own, as a host thread's first call: what the
            // library makes once per thread (its backend, the slot of its
            // thread-end calls) meets the failure too.
            drilltest::Outcome got;
            int depth = 0;
            size_t windows = windowsBefore;
            std::thread run([&] {
                got = drilltest::RunDrill(drill, {&Begin, &End, &armed});
                depth = WaitCursorDepth();
                windows = LiveWindows();
            });
            run.join();
            ++runs;
            refusedRuns += armed.refused > 0;
            ++codes[got.code];
            SCOPED_TRACE(std::string(modeName) + " k=" + std::to_string(k));
            EXPECT_TRUE(Readable(got.code, got.failedCall)) << got.code << " from " << got.failedCall;
            if (got.code == ZEVDT_OK) {
                // A run that succeeds despite a failure gives the whole result.
                EXPECT_EQ(got.cells, clean.cells);
                EXPECT_EQ(got.checksum, clean.checksum);
            }
            EXPECT_EQ(depth, 0) << "a way out left the busy cursor on";
            EXPECT_EQ(windows, windowsBefore) << "a window outlived its run";
            if (kLeakCheck) {
                EXPECT_EQ(LeakCheck(), 0) << "leak";
            }
            if (HasFailure()) {
                std::printf("  code %u from %s\n", got.code, got.failedCall.c_str());
                for (const std::string& line : got.transcript) std::printf("  | %s\n", line.c_str());
                return;
            }
        }
    }
    // Once memory is back, the drill gives what it gave before.
    drilltest::Outcome after = drilltest::RunDrill(drill);
    EXPECT_EQ(after.code, clean.code);
    EXPECT_EQ(after.checksum, clean.checksum);
    if (HasFailure()) {
        std::printf("  afterwards: code %u from %s\n", after.code, after.failedCall.c_str());
        for (const std::string& line : after.transcript) std::printf("  | %s\n", line.c_str());
    }

    std::string summary;
    for (const auto& [code, n] : codes) summary += " " + std::to_string(code) + "x" + std::to_string(n);
    std::printf("%s: %llu allocations, %zu k sampled, %d runs (%d with a refusal), codes:%s\n",
                drilltest::DrillName(drill), static_cast<unsigned long long>(counting.seen), ks.size(), runs,
                refusedRuns, summary.c_str());
}

// Fails each allocation of work in turn, once, until work runs without a
// refusal; prepare runs before each attempt, with nothing failing. Each run
// is on a thread of its own, gone before the leak check: a leaked block's
// address left behind in the checking thread's stack would pass for a live
// pointer.
template <typename Prepare, typename Work>
void FailEachAllocation(Prepare prepare, Work work) {
    for (uint64_t k = 1;; ++k) {
        prepare();
        uint64_t refused = 0;
        int depth = 0;
        std::thread run([&] {
            allocshim::Arm(allocshim::Mode::Once, k);
            try {
                work();
            } catch (const std::bad_alloc&) {
            }
            allocshim::Disarm();
            refused = allocshim::Refused();
            depth = WaitCursorDepth();
        });
        run.join();
        EXPECT_EQ(depth, 0) << "allocation " << k;
        if (refused == 0)
            return;
        if (kLeakCheck && LeakCheck() != 0) {
            ADD_FAILURE() << "leak, allocation " << k;
            return;
        }
    }
}
template <typename Work>
void FailEachAllocation(Work work) {
    FailEachAllocation([] {}, work);
}

// Saving the filters copies every record for the library: whichever of
// those allocations fails, the copies made so far are freed.
TEST(FaultSweepFilters, ASaveThatRunsOutOfMemoryLeaksNoCopy) {
    testsupport::ColumnOwner owner;
    for (int i = 0; i < 40; ++i) owner.savedFilters.push_back("F" + std::to_string(i) + "$*$d");
    CFilterList filters(&owner);
    filters.LoadFilters();
    FailEachAllocation([&] { filters.SaveFilters(0); });
}

// A thread's backend is made on its first need, with the drivers the
// environment names: whichever allocation of that fails, nothing of it stays.
// The drills above cannot reach this: their drivers are pushed first.
TEST(FaultSweepBackend, ABackendThatCannotBeMadeLeaksNothing) {
    const std::string script = ::testing::TempDir() + "fault-sweep-empty.ui";
    std::ofstream(script).close();
    testsupport::ScopedEnv env("ZEVDT_UI_SCRIPT", script);
    FailEachAllocation([] { (void)fw::CurrentBackend(); });
    std::remove(script.c_str());
}

#ifndef _WIN32
// The first load of the library under a path keeps its table for good:
// whichever allocation of that fails, neither the table nor the library stays.
// The drills cannot reach this, since a process loads the library once; here
// each attempt names it by a path not loaded before (one more "./").
TEST(FaultSweepLoad, AFirstLoadThatRunsOutOfMemoryLeaksNothing) {
    const std::string file = STANDIN_LIBRARY_FILE;
    const size_t slash = file.rfind('/');
    std::string folder = file.substr(0, slash + 1);
    testsupport::ScopedEnv env("ZEVDTAPI_LIBRARY", file);
    const zevdt::DTAPITable* table = nullptr;
    FailEachAllocation(
        [&] { setenv("ZEVDTAPI_LIBRARY", ((folder += "./") + file.substr(slash + 1)).c_str(), 1); },
        [&] { table = zevdt::LoadDTAPI(); });
    EXPECT_NE(table, nullptr) << "the load without a failure";
}
#endif

INSTANTIATE_TEST_SUITE_P(Drills, FaultSweep,
                         ::testing::Values(drilltest::Drill::WizardColumns,
                                           drilltest::Drill::WizardSavedFilter),
                         [](const ::testing::TestParamInfo<drilltest::Drill>& info) {
                             std::string name = drilltest::DrillName(info.param);
                             for (char& c : name)
                                 if (c == '-')
                                     c = '_';
                             return name;
                         });

}  // namespace
