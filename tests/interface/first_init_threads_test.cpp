// Two hosts' threads making the first ZevDTInit of the process at the same
// moment: the library table is loaded once and shared, whichever thread gets
// there first. A program of its own, so that no earlier test has loaded it.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "drill_through.h"
#include "fake_dtapi.h"
#include "fake_records.h"
#include "support/test_env.h"
#include "zevdtu.h"

namespace {

TEST(FirstInit, ThreadsStartingTogetherShareOneLoadedLibrary) {
    testsupport::ScopedEnv library{"ZEVDTAPI_LIBRARY", ifacetest::FakeLibraryPath()};
    FakeDTAPIControlBlock* control = FakeDTAPIControl();
    FakeReset(control);
    constexpr int kThreads = 8;
    std::vector<void*> handles(kThreads, nullptr);
    std::vector<uint32_t> codes(kThreads, 99);
    std::atomic<int> ready{0};
    std::atomic<bool> go{false};
    std::vector<std::thread> threads;
    for (int i = 0; i < kThreads; ++i) {
        threads.emplace_back([&, i] {
            ++ready;
            while (!go.load()) std::this_thread::yield();
            codes[i] = ZevDTInit(static_cast<uintptr_t>(i), &handles[i]);
        });
    }
    while (ready.load() < kThreads) std::this_thread::yield();
    go = true;
    for (std::thread& t : threads) t.join();

    const zevdt::DTAPITable* shared = nullptr;
    for (int i = 0; i < kThreads; ++i) {
        ASSERT_EQ(codes[i], ZEVDT_OK) << i;
        ASSERT_NE(handles[i], nullptr) << i;
        const zevdt::DTAPITable* table = &static_cast<CDrillThrough*>(handles[i])->Api();
        if (!shared)
            shared = table;
        EXPECT_EQ(table, shared) << "thread " << i << " loaded the library a second time";
    }
    for (void* handle : handles) EXPECT_EQ(ZevDTExit(handle), ZEVDT_OK);
    EXPECT_EQ(control->calls[kFakeInit], static_cast<uint32_t>(kThreads));
    EXPECT_EQ(control->calls[kFakeExit], static_cast<uint32_t>(kThreads));
}

}  // namespace
