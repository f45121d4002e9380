// Header, header-info and data items as the host receives them, byte for byte.
#include "drill_through.h"
#include "framework/memory_limit.h"
#include "framework/transcript_lines.h"
#include "interface_fixture.h"

#include <cstdio>
#include <new>
#include <system_error>

#ifndef _WIN32
#include <sys/resource.h>

#include "framework/memory_budget.h"
#endif

using ifacetest::Message;

namespace {

bool AllZero(const char* bytes, size_t n) {
    for (size_t i = 0; i < n; ++i)
        if (bytes[i])
            return false;
    return true;
}

class Delivery : public ifacetest::InterfaceTest {
  protected:
    void SetUp() override {
        InterfaceTest::SetUp();
        records.columnList.clear();
        Publish();
        Init();
    }
    // Opens with the records as they stand now.
    void OpenWith() {
        Publish();
        ASSERT_EQ(Open(), ZEVDT_OK);
    }
    // Opens on one displayed column, where a test is about the cells.
    void OpenWithOneColumn() {
        records.AddColumn("T", "A", 1);
        OpenWith();
    }
    // The library's next result: `rows` by `columns` cells, row by row.
    void SetResult(uint32_t rows, uint32_t columns, const std::vector<const char*>& texts) {
        records.SetCells(texts);
        Publish();
        control->rows = rows;
        control->columnsOfData = columns;
    }
    // One delivery into header, info or items and count; `message`: a box is expected and answered.
    template <typename Item, typename Fn>
    uint32_t Deliver(Fn fn, Item** out, bool message) {
        *out = reinterpret_cast<Item*>(this);  // must be reset by the export
        count = 99;
        return Run(message ? AnswersOk() : fw::TestDriver(), [&] { return fn(handle, out, &count); });
    }
    uint32_t Header(bool message = false) { return Deliver(ZevDTGetHeader, &header, message); }
    uint32_t HeaderInfo(bool message = false) { return Deliver(ZevDTGetHeaderInfo, &info, message); }
    uint32_t Data(bool message = false) { return Deliver(ZevDTGetData, &items, message); }
    // The items hold these texts row by row (null: a missing cell, delivered
    // empty), each numbered from row 1 and zeroed after its text.
    void ExpectItems(const std::vector<const char*>& texts, uint32_t columns) {
        ASSERT_EQ(count, texts.size());
        for (uint32_t i = 0; i < count; ++i) {
            const char* text = texts[i] ? texts[i] : "";
            EXPECT_EQ(items[i].row, i / columns + 1) << i;
            EXPECT_EQ(items[i].column, i % columns) << i;
            EXPECT_STREQ(items[i].text, text) << i;
            EXPECT_TRUE(AllZero(items[i].text + std::strlen(text), 256 - std::strlen(text))) << i;
        }
    }
    // Nothing was handed out.
    template <typename Item>
    void ExpectNothing(Item* out) {
        EXPECT_EQ(out, nullptr);
        EXPECT_EQ(count, 0u);
    }

    ZevDTHeaderItem* header = nullptr;
    ZevDTHeaderInfoItem* info = nullptr;
    ZevDTDataItem* items = nullptr;
    uint32_t count = 0;
};

TEST_F(Delivery, HeaderItemsFollowTheDisplayPositions) {
    records.AddColumn("T", "SECOND", 2);
    records.AddColumn("T", "HIDDEN", 0);
    records.AddColumn("T", "FIRST", 1);
    records.columnList.insert(records.columnList.begin() + 1, nullptr);  // a hole in the library's list
    OpenWith();
    ASSERT_EQ(Header(), ZEVDT_OK);
    ASSERT_EQ(count, 2u);
    EXPECT_EQ(header[0].row, 0u);
    EXPECT_EQ(header[0].column, 1u);
    EXPECT_STREQ(header[0].name, "FIRST");
    EXPECT_EQ(header[1].column, 2u);
    EXPECT_STREQ(header[1].name, "SECOND");
    EXPECT_TRUE(AllZero(header[0].name + 5, 256 - 5));
}

TEST_F(Delivery, HeaderInfoCarriesTablesNamesAndTypes) {
    records.AddColumn("ORDERS", "QTY", 2, 4);
    records.AddColumn(std::string(5000, 't'), std::string(4100, 'c'), 1, ZEVDTAPI_TYPE_CHAR);
    OpenWith();
    ASSERT_EQ(HeaderInfo(), ZEVDT_OK);
    ASSERT_EQ(count, 2u);
    EXPECT_EQ(info[0].column, 1u);
    EXPECT_EQ(std::string(info[0].tableName), std::string(4100, 't'));
    EXPECT_EQ(std::string(info[0].columnName), std::string(4100, 'c'));
    EXPECT_EQ(info[0].dataType, ZEVDTAPI_TYPE_CHAR);
    EXPECT_EQ(info[1].column, 2u);
    EXPECT_STREQ(info[1].tableName, "ORDERS");
    EXPECT_STREQ(info[1].columnName, "QTY");
    EXPECT_EQ(info[1].dataType, 4u);
}

// A gap or a duplicate among the positions: message 50011 and nothing handed out.
TEST_F(Delivery, ABrokenDisplaySequenceHandsOutNothing) {
    const std::string invalid = Message(50011, "Invalid display order sequence found");
    for (std::vector<int32_t> positions : {std::vector<int32_t>{1, 3}, std::vector<int32_t>{1, 1},
                                           std::vector<int32_t>{2, 2, 1}, std::vector<int32_t>{5}}) {
        SCOPED_TRACE(::testing::PrintToString(positions));
        records.columnList.clear();
        for (int32_t p : positions) records.AddColumn("T", "C", p);
        OpenWith();
        EXPECT_EQ(Header(true), ZEVDT_E_DISPLAY_ORDER);
        ExpectNothing(header);
        EXPECT_EQ(transcript.lines, std::vector<std::string>{invalid});
        EXPECT_EQ(HeaderInfo(true), ZEVDT_E_DISPLAY_ORDER);
        ExpectNothing(info);
    }
}

TEST_F(Delivery, NoDisplayedColumnHandsOutNothingQuietly) {
    records.AddColumn("T", "A", 0);
    records.AddColumn("T", "B", -3);
    OpenWith();
    EXPECT_EQ(Header(), ZEVDT_OK);
    ExpectNothing(header);
    EXPECT_TRUE(transcript.lines.empty());
}

TEST_F(Delivery, ALongColumnNameIsCutAt255BytesAndSparesTheNextItem) {
    records.AddColumn("T", std::string(300, 'n'), 1);
    records.AddColumn("T", "B", 2);
    OpenWith();
    ASSERT_EQ(Header(), ZEVDT_OK);
    ASSERT_EQ(count, 2u);
    EXPECT_EQ(std::string(header[0].name), std::string(255, 'n'));
    EXPECT_EQ(header[0].name[255], '\0');
    EXPECT_EQ(header[1].row, 0u);
    EXPECT_EQ(header[1].column, 2u);
    EXPECT_STREQ(header[1].name, "B");
}

TEST_F(Delivery, ASecondHeaderReplacesTheFirst) {
    OpenWithOneColumn();
    ASSERT_EQ(Header(), ZEVDT_OK);
    ASSERT_EQ(count, 1u);
    // The wizard may have changed the records in between.
    records.AddColumn("T", "B", 0)->displayPosition = 1;
    records.columnList[0]->displayPosition = 2;
    Publish();
    static_cast<void>(Open());
    ASSERT_EQ(Header(), ZEVDT_OK);
    ASSERT_EQ(count, 2u);
    EXPECT_STREQ(header[0].name, "B");
    EXPECT_STREQ(header[1].name, "A");
}

TEST_F(Delivery, CellsComeRowByRowWithMissingCellsEmpty) {
    OpenWithOneColumn();
    SetResult(2, 3, {"a1", "b1", "c1", "a2", nullptr, "c2"});
    ASSERT_EQ(Data(), ZEVDT_OK);
    ExpectItems({"a1", "b1", "c1", "a2", nullptr, "c2"}, 3);
    // Each result numbers its rows from 1 again.
    ASSERT_EQ(Data(), ZEVDT_OK);
    EXPECT_EQ(items[0].row, 1u);
    EXPECT_EQ(control->calls[kFakeGetData], 2u);
    EXPECT_EQ(static_cast<CDrillThrough*>(handle)->GetDataRowCount(), 2u);
}

// A repeat drill that fits the previous block reuses it: the shorter and the
// missing texts of the new result must leave no byte of the old one behind.
TEST_F(Delivery, ARepeatDrillOfTheSameSizeLeavesNothingOfTheLastResult) {
    OpenWithOneColumn();
    const std::string longText(300, 'x');
    SetResult(2, 2, {longText.c_str(), "second", "third", "fourth"});
    ASSERT_EQ(Data(), ZEVDT_OK);
    ASSERT_EQ(count, 4u);
    EXPECT_EQ(std::strlen(items[0].text), 255u);
    SetResult(2, 2, {"a", nullptr, "c", nullptr});
    ASSERT_EQ(Data(), ZEVDT_OK);
    ExpectItems({"a", nullptr, "c", nullptr}, 2);
    // A smaller result after it still numbers and counts only its own cells.
    control->rows = 1;
    ASSERT_EQ(Data(), ZEVDT_OK);
    ASSERT_EQ(count, 2u);
    EXPECT_STREQ(items[0].text, "a");
}

TEST_F(Delivery, ALongCellIsCutAt255BytesAndSparesTheNextItem) {
    OpenWithOneColumn();
    const std::string longText(300, 'x');
    SetResult(1, 2, {longText.c_str(), "next"});
    ASSERT_EQ(Data(), ZEVDT_OK);
    ASSERT_EQ(count, 2u);
    EXPECT_EQ(std::string(items[0].text), std::string(255, 'x'));
    EXPECT_EQ(items[1].row, 1u);
    EXPECT_EQ(items[1].column, 1u);
    EXPECT_STREQ(items[1].text, "next");
}

// A result too large for a 32-bit item count is an allocation failure; the
// message shows the true byte count, however large.
TEST_F(Delivery, AnOversizedResultGives50009WithTheExactByteCount) {
    OpenWithOneColumn();
    struct Case {
        uint32_t rows, columns;
        const char* bytes;
    };
    for (Case c : {Case{65536, 32768, "566935683072"},                           // 2^31 cells
                   Case{0xFFFFFFFFu, 0xFFFFFFFFu, "4869940433191578894600"}}) {  // beyond 64 bits
        SCOPED_TRACE(c.bytes);
        SetResult(c.rows, c.columns, {"only"});
        EXPECT_EQ(Data(true), ZEVDT_E_ALLOCATION);
        ExpectNothing(items);
        EXPECT_EQ(transcript.lines,
                  std::vector<std::string>{
                      Message(50009, std::string("Failed to allocate [") + c.bytes + "] bytes of memory.")});
    }
}

TEST_F(Delivery, AFailedAllocationGives50009WithTheByteCount) {
    records.AddColumn("T", "A", 1);
    records.AddColumn("T", "B", 2);
    OpenWith();
    zevdt::SetZeroAllocatorForTesting([](size_t) -> void* { return nullptr; });
    uint32_t code = Header(true);
    // Two header items of 264 bytes.
    const std::vector<std::string> headerMessage = transcript.lines;
    uint32_t infoCode = HeaderInfo(true);
    zevdt::SetZeroAllocatorForTesting(nullptr);
    EXPECT_EQ(headerMessage,
              std::vector<std::string>{Message(50009, "Failed to allocate [528] bytes of memory.")});
    EXPECT_EQ(code, ZEVDT_E_ALLOCATION);
    EXPECT_EQ(header, nullptr);
    EXPECT_EQ(infoCode, ZEVDT_E_ALLOCATION);
    EXPECT_EQ(transcript.lines,
              std::vector<std::string>{Message(50009, "Failed to allocate [16416] bytes of memory.")});
}

// More than the machine can back is refused before it is granted, as a
// failed allocation; the limit here stands for a nearly full machine.
#ifndef _WIN32
// Pages of this process that /proc/self/statm gives in field `field` (0:
// all it maps, 1: resident), in bytes; 0 where it cannot be told.
uint64_t StatmBytes(int field) {
    unsigned long long pages[2] = {0, 0};
    FILE* f = std::fopen("/proc/self/statm", "r");
    if (!f)
        return 0;
    int n = std::fscanf(f, "%llu %llu", &pages[0], &pages[1]);
    std::fclose(f);
    return n == 2 ? pages[field] * static_cast<uint64_t>(sysconf(_SC_PAGESIZE)) : 0;
}

// The address-space limit a host runs under counts as much as the machine's
// free memory: in a child held to its present size plus 64 MiB, a result of
// 1M cells (264 MB) is refused with 50009 and the process lives on to say so.
TEST_F(Delivery, AnAddressSpaceLimitRefusesTheBlockInsteadOfEndingTheHost) {
    OpenWithOneColumn();
    SetResult(500000, 2, std::vector<const char*>(1000000, "x"));
    const int code = ifacetest::ExitCodeInAChild([&] {
        const rlim_t room = rlim_t(64) << 20, size = StatmBytes(0);
        struct rlimit limit = {size + room, RLIM_INFINITY};
        if (size == 0 || setrlimit(RLIMIT_AS, &limit) != 0)
            return 10;
        if (fw::AvailableMemoryBytes() > room)
            return 11;
        ZevDTDataItem* items = nullptr;
        uint32_t count = 0;
        const uint32_t got = ZevDTGetData(handle, &items, &count);
        return got == ZEVDT_E_ALLOCATION && !items && count == 0 ? 0 : 12;
    });
    EXPECT_EQ(code, 0) << "below 0: killed by that signal, 10: no limit set, 11: limit not counted, "
                          "12: not refused";
}

// A handle kept all day must not hold the block of its largest drill: after
// 1M cells (264 MB), a drill of one cell and an empty result each give that
// memory back, and the small result is still delivered whole.
TEST_F(Delivery, TheDataBlockShrinksAfterALargeResult) {
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "the sanitizer holds freed memory in its quarantine";
#endif
    OpenWithOneColumn();
    SetResult(0, 0, std::vector<const char*>(1000000, "Krak\xc3\xb3w"));
    const uint64_t block = 1000000ull * sizeof(ZevDTDataItem);
    for (uint32_t smallRows : {1u, 0u}) {
        control->rows = 500000;
        control->columnsOfData = 2;
        ASSERT_EQ(Data(), ZEVDT_OK);
        ASSERT_EQ(count, 1000000u);
        const uint64_t large = StatmBytes(1);
        control->rows = smallRows;
        control->columnsOfData = 1;
        ASSERT_EQ(Data(), ZEVDT_OK);
        const uint64_t small = StatmBytes(1);
        std::printf("resident after 1M cells %llu MB, after %u cell(s) %llu MB\n",
                    static_cast<unsigned long long>(large >> 20), smallRows,
                    static_cast<unsigned long long>(small >> 20));
        EXPECT_LT(small + block * 9 / 10, large) << smallRows << " cell(s) after 1M";
        ASSERT_EQ(count, smallRows);
        if (smallRows) {
            EXPECT_EQ(items[0].row, 1u);
            EXPECT_STREQ(items[0].text, "Krak\xc3\xb3w");
        }
    }
}
#endif

// Without a worker thread for the second half (its state or the thread
// cannot be had), a result above the threshold is filled on the caller's
// thread: the server's result is delivered, never lost as 50001.
TEST_F(Delivery, ALargeResultWithoutASecondThreadIsFilledOnTheCallersThread) {
    OpenWithOneColumn();
    SetResult(1u << 17, 2, std::vector<const char*>(uint64_t(1) << 18, "Plze\xc5\x88"));
    for (zevdt::FillThreadHook fail :
         {+[] { throw std::bad_alloc(); },
          +[] {
              throw std::system_error(std::make_error_code(std::errc::resource_unavailable_try_again));
          }}) {
        zevdt::SetFillThreadHookForTesting(fail);
        const uint32_t code = Data();
        zevdt::SetFillThreadHookForTesting(nullptr);
        ASSERT_EQ(code, ZEVDT_OK);
        ASSERT_EQ(count, 1u << 18);
        EXPECT_EQ(items[count - 1].row, 1u << 17);
        EXPECT_EQ(items[count - 1].column, 1u);
        EXPECT_STREQ(items[count - 1].text, "Plze\xc5\x88");
    }
}

TEST_F(Delivery, AResultLargerThanTheMemoryLeftGives50009) {
    OpenWithOneColumn();
    SetResult(2, 2, {"a", "b", "c", "d"});
    {
        testsupport::ScopedEnv limit("ZEVDT_MEMORY_LIMIT", std::string("1055"));
        EXPECT_EQ(Data(true), ZEVDT_E_ALLOCATION);
        ExpectNothing(items);
    }
    EXPECT_EQ(transcript.lines,
              std::vector<std::string>{Message(50009, "Failed to allocate [1056] bytes of memory.")});
    testsupport::ScopedEnv limit("ZEVDT_MEMORY_LIMIT", std::string("1056"));
    ASSERT_EQ(Data(), ZEVDT_OK);
    EXPECT_EQ(count, 4u);
}

// The limit takes K, M and G; a text it cannot read sets no limit and says so.
TEST_F(Delivery, MemoryLimitTakesASuffixAndReportsAnyOtherText) {
    OpenWithOneColumn();
    SetResult(2, 2, {"a", "b", "c", "d"});
    for (const char* refused : {"1K", "1k"}) {
        testsupport::ScopedEnv limit("ZEVDT_MEMORY_LIMIT", std::string(refused));
        EXPECT_EQ(Data(true), ZEVDT_E_ALLOCATION) << refused;
    }
    {
        testsupport::ScopedEnv limit("ZEVDT_MEMORY_LIMIT", std::string("2K"));
        EXPECT_EQ(Data(), ZEVDT_OK);
    }
    // The limit as delivery reads it, with the transcript of an export.
    auto read = [&](const char* text) {
        testsupport::ScopedEnv limit("ZEVDT_MEMORY_LIMIT", std::string(text));
        uint64_t bytes = 0;
        Run(fw::TestDriver(), [&] {
            bytes = fw::MemoryLimitFromEnvironment();
            return 0u;
        });
        return bytes;
    };
    EXPECT_EQ(read("1M"), 1u << 20);
    EXPECT_EQ(read("3g"), 3ull << 30);
    EXPECT_EQ(read("4096"), 4096u);
    EXPECT_TRUE(transcript.lines.empty());
    for (const char* unread :
         {"-1", "1e9", "100abc", "1KB", "2T", " 5", "99999999999999999999", "17179869184G"}) {
        EXPECT_EQ(read(unread), UINT64_MAX) << unread;
        EXPECT_EQ(transcript.lines,
                  std::vector<std::string>{fw::transcript::Diagnostic(
                      "ZEVDT_MEMORY_LIMIT \"" + std::string(unread) +
                      "\" is not a byte count (digits, then K, M or G if wanted); no limit is set.")});
    }
}

// Before any open, and after an open that went wrong (its report list may
// still be set, with no report behind it), there is nothing for the library
// to fetch.
TEST_F(Delivery, DataBeforeAnyOpenOrAfterAFailedOneAsksTheLibraryNothing) {
    EXPECT_EQ(Data(), ZEVDT_OK);
    ExpectNothing(items);
    records.AddColumn("T", "A", 1);
    FakeProgram(control, kFakeExecuteReport, {0, 777});
    OpenWith();
    ASSERT_EQ(Open(AnswersOk()), 777u);
    ASSERT_NE(static_cast<CDrillThrough*>(handle)->GetReportList(), nullptr);
    EXPECT_EQ(Data(), ZEVDT_OK);
    ExpectNothing(items);
    EXPECT_EQ(control->calls[kFakeGetData], 0u);
}

TEST_F(Delivery, AFailedDataFetchIsShownAndReturned) {
    OpenWithOneColumn();
    FakeProgram(control, kFakeGetData, {555});
    std::strcpy(control->errorText, "Query failed");
    EXPECT_EQ(Data(true), 555u);
    EXPECT_EQ(items, nullptr);
    EXPECT_EQ(transcript.lines, std::vector<std::string>{Message(0, "Query failed")});
}

// After ZevDTClose the library's records are gone: the deliveries must not
// read them.
TEST_F(Delivery, AfterCloseNothingOfTheEndedReportIsRead) {
    OpenWithOneColumn();
    ASSERT_EQ(ZevDTClose(handle), ZEVDT_OK);
    EXPECT_EQ(Header(), ZEVDT_OK);
    EXPECT_EQ(count, 0u);
    EXPECT_EQ(Data(), ZEVDT_OK);
    EXPECT_EQ(control->calls[kFakeGetData], 0u);
}

// Library functions in the library's calling convention (a lambda cannot have
// the 32-bit one).
uint32_t ZEVDT_CALL ThrowingGetData(void*, ZevDTAPICell***, uint32_t*, uint32_t*) {
    throw std::bad_alloc();
}
uint32_t ZEVDT_CALL ThrowingClose(void*) {
    throw std::runtime_error("lost");
}

// An exception escaping a delivery is shown and answered with 50001; one
// escaping ZevDTClose only answered. Neither reaches the host.
TEST_F(Delivery, ExceptionsStopAtTheExport) {
    InitWithTable([](zevdt::DTAPITable& t) {
        t.GetData = ThrowingGetData;
        t.Close = ThrowingClose;
    });
    OpenWithOneColumn();
    EXPECT_EQ(Data(true), ZEVDT_E_EXCEPTION);
    ExpectNothing(items);
    EXPECT_EQ(transcript.lines, std::vector<std::string>{Message(50001, "Caught unknown exception")});
    EXPECT_EQ(Run(fw::TestDriver(), [&] { return ZevDTClose(handle); }), ZEVDT_E_EXCEPTION);
    EXPECT_TRUE(transcript.lines.empty());
}

}  // namespace

// A result large enough to be filled by two threads at once: the half the
// second thread fills begins inside a row, and there the numbering must go
// on where the first half stops; a reused block is zeroed in both halves.
TEST(DataFill, ALargeResultIsNumberedAndZeroedAcrossItsHalves) {
    const uint32_t columns = 7;
    const uint64_t total = (uint64_t(1) << 17) + 5;  // odd: the halves meet inside a row
    std::vector<std::string> texts(total);
    std::vector<const char*> cellTexts(total, nullptr);
    for (uint64_t i = 0; i < total; ++i) {
        if (i % 11 != 3)  // else a NULL cell
            cellTexts[i] = (texts[i] = std::to_string(i * 7919)).c_str();
    }
    ifacetest::Records cells;
    cells.SetCells(cellTexts);
    std::vector<ZevDTDataItem> block(total);
    auto check = [&](const char* pass) {
        for (uint64_t i = 0; i < total; ++i) {
            const ZevDTDataItem& item = block[i];
            ASSERT_EQ(item.row, uint32_t(i / columns + 1)) << pass << " item " << i;
            ASSERT_EQ(item.column, uint32_t(i % columns)) << pass << " item " << i;
            ASSERT_EQ(std::string(item.text), texts[i]) << pass << " item " << i;
            ASSERT_TRUE(AllZero(item.text + texts[i].size(), sizeof item.text - texts[i].size()))
                << pass << " item " << i;
        }
    };
    zevdt::FillDataItems(block.data(), cells.cellList.data(), total, columns, false);
    check("fresh");
    std::memset(static_cast<void*>(block.data()), 0xAB, block.size() * sizeof(ZevDTDataItem));
    zevdt::FillDataItems(block.data(), cells.cellList.data(), total, columns, true);
    check("reused");
}
