#include "cell_array.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace {

using zevdtapi::CellArray;

ZevDTAPICell* Fake(uintptr_t i) {
    return reinterpret_cast<ZevDTAPICell*>(i * 8 + 8);
}

TEST(CellArray, KeepsEveryCellInOrderAcrossGrowth) {
    CellArray cells;
    cells.push_back(nullptr);  // a NULL cell is a null pointer
    const size_t n = 300000;   // many doublings, into blocks the allocator maps
    for (size_t i = 1; i < n; ++i) cells.push_back(Fake(i));
    ASSERT_EQ(n, cells.size());
    EXPECT_EQ(nullptr, cells.data()[0]);
    size_t wrong = 0;
    for (size_t i = 1; i < n; ++i) wrong += cells.data()[i] != Fake(i);
    EXPECT_EQ(0u, wrong);
}

TEST(CellArray, ARepeatOfTheSameSizeReusesTheBlock) {
    CellArray cells;
    for (size_t i = 0; i < 50000; ++i) cells.push_back(Fake(i));
    ZevDTAPICell** first = cells.data();
    size_t capacity = cells.capacity();
    cells.clear();
    EXPECT_EQ(0u, cells.size());
    for (size_t i = 0; i < 50000; ++i) cells.push_back(Fake(i + 1));
    EXPECT_EQ(first, cells.data());
    EXPECT_EQ(capacity, cells.capacity());
    EXPECT_EQ(Fake(50000), cells.data()[49999]);

    cells.Reserve(capacity + 1);
    EXPECT_GE(cells.capacity(), capacity + 1);
    EXPECT_EQ(Fake(1), cells.data()[0]);  // reserving keeps what is there

    cells.Release();
    EXPECT_EQ(nullptr, cells.data());
    EXPECT_EQ(0u, cells.capacity());
    cells.push_back(Fake(7));  // usable again after a release
    EXPECT_EQ(Fake(7), cells.data()[0]);
}

TEST(CellArray, AnImpossibleSizeIsAnAllocationFailure) {
    CellArray cells;
    cells.push_back(Fake(1));
    EXPECT_THROW(cells.Reserve(~size_t(0) / 4), std::bad_alloc);
    EXPECT_EQ(1u, cells.size());
    EXPECT_EQ(Fake(1), cells.data()[0]);
}

}  // namespace
