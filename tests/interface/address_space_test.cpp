// A 32-bit host process has at most 4 GiB of address space (2 GiB without the
// large-address flag), and a drill's items take 264 bytes a cell. A result
// that cannot be held ends in 50009 with nothing handed out, and the host and
// the handle stay usable; the largest drill that was delivered is measured.
// Built only where pointers are 32 bits wide.
#include <cstdio>
#include <cstdlib>
#include <new>

#include "drill_through.h"
#include "interface_fixture.h"

using ifacetest::Message;

namespace {

static_assert(sizeof(void*) == 4, "this test is for 32-bit builds");

class AddressSpace : public ifacetest::InterfaceTest {
  protected:
    void SetUp() override {
        InterfaceTest::SetUp();
        records.SetCells({"x"});
        Publish();
        Init();
        ASSERT_EQ(Open(), ZEVDT_OK);
    }
    void TearDown() override {
        std::free(claimed);
        InterfaceTest::TearDown();
    }
    // The fake claims rows × columns cells; every pointer of its cell array
    // leads to the same one-letter cell, as the library's arrays would.
    bool Claim(uint32_t rows, uint32_t columns, bool withCells) {
        std::free(claimed);
        claimed = nullptr;
        if (withCells) {
            size_t n = static_cast<size_t>(rows) * columns;
            claimed = static_cast<ZevDTAPICell**>(std::malloc(n * sizeof(ZevDTAPICell*)));
            if (!claimed)
                return false;
            for (size_t i = 0; i < n; ++i) claimed[i] = records.cellList[0];
        }
        control->cells = withCells ? claimed : records.cellList.data();
        control->rows = rows;
        control->columnsOfData = columns;
        return true;
    }
    uint32_t Data(ZevDTDataItem** items, uint32_t* count, bool message) {
        fw::TestDriver driver;
        if (message)
            driver.Then([](fw::Ui& ui) { ui.Answer(IDOK); });
        *items = nullptr;
        *count = 0;
        return Run(driver, [&] { return ZevDTGetData(handle, items, count); });
    }
    // One small drill, to show that the handle still delivers.
    void ExpectASmallDrillStillWorks() {
        Claim(2, 3, true);
        ZevDTDataItem* items = nullptr;
        uint32_t count = 0;
        ASSERT_EQ(Data(&items, &count, false), ZEVDT_OK);
        ASSERT_EQ(count, 6u);
        EXPECT_EQ(items[5].row, 2u);
        EXPECT_EQ(items[5].column, 2u);
        EXPECT_STREQ(items[5].text, "x");
    }

    ZevDTAPICell** claimed = nullptr;
};

// 3 GB of items fit a 32-bit size but not a 32-bit process; 20 million cells
// (5.28 GB) do not even fit the size. The library's cell array is never read.
TEST_F(AddressSpace, ADrillLargerThanTheProcessGives50009AndNothingElse) {
    struct Case {
        uint32_t rows, columns;
        const char* bytes;
    };
    for (Case c : {Case{1000000, 12, "3168000000"}, Case{2000000, 10, "5280000000"}}) {
        Claim(c.rows, c.columns, false);
        ZevDTDataItem* items = nullptr;
        uint32_t count = 0;
        EXPECT_EQ(Data(&items, &count, true), ZEVDT_E_ALLOCATION) << c.bytes;
        EXPECT_EQ(items, nullptr);
        EXPECT_EQ(count, 0u);
        EXPECT_EQ(transcript.lines,
                  std::vector<std::string>{
                      Message(50009, std::string("Failed to allocate [") + c.bytes + "] bytes of memory.")});
        ExpectASmallDrillStillWorks();
    }
}

// The largest drill this process delivered, found by bisection over the cell
// count (ten columns a row) with the library's cell array held as well; it is
// printed, and must be at least a million cells (264 MB of items).
TEST_F(AddressSpace, LargestDrillDelivered) {
    uint32_t good = 0, bad = 0x7FFFFFFF / 10;  // rows; 2^31 cells is the format's limit
    while (bad - good > 1000) {
        uint32_t rows = good + (bad - good) / 2;
        uint32_t code = ZEVDT_E_ALLOCATION;
        if (Claim(rows, 10, true)) {
            ZevDTDataItem* items = nullptr;
            uint32_t count = 0;
            fw::TestDriver driver;
            driver.Then([](fw::Ui& ui) { ui.Answer(IDOK); });
            transcript.lines.clear();
            {
                fw::ScopedDriver scope(&driver, &transcript);
                code = ZevDTGetData(handle, &items, &count);
            }
            if (code == ZEVDT_OK) {
                EXPECT_EQ(count, rows * 10u);
                EXPECT_EQ(items[count - 1].row, rows);
                EXPECT_STREQ(items[count - 1].text, "x");
            } else {
                EXPECT_EQ(code, ZEVDT_E_ALLOCATION);
                EXPECT_EQ(items, nullptr);
            }
        }
        (code == ZEVDT_OK ? good : bad) = rows;
        ExpectASmallDrillStillWorks();  // also frees the big arrays before the next try
    }
    uint64_t cells = static_cast<uint64_t>(good) * 10;
    std::printf("largest drill delivered: %llu cells (%llu rows of 10), %llu bytes of items\n",
                static_cast<unsigned long long>(cells), static_cast<unsigned long long>(good),
                static_cast<unsigned long long>(cells * sizeof(ZevDTDataItem)));
    RecordProperty("largest_drill_cells", std::to_string(cells));
    EXPECT_GE(cells, 1000000u);
}

}  // namespace
