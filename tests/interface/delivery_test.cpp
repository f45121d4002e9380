// Header, header-info and data items as the host receives them, byte for byte.
#include "drill_through.h"
#include "dtapi_table.h"
#include "framework/memory_limit.h"
#include "framework/transcript_lines.h"
#include "interface_fixture.h"

#include <cstdio>
#include <new>
#include <system_error>

#ifndef _WIN32
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include "framework/memory_budget.h"
#endif

using ifacetest::Message;

namespace {

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
    template <typename Item, typename Fn>
    uint32_t Deliver(Fn fn, Item** items, uint32_t* count, bool expectMessage = false) {
        fw::TestDriver driver;
        if (expectMessage)
            driver.Then([](fw::Ui& ui) { ui.Answer(IDOK); });
        *items = reinterpret_cast<Item*>(this);  // must be reset by the export
        *count = 99;
        return Run(driver, [&] { return fn(handle, items, count); });
    }
    uint32_t Header(ZevDTHeaderItem** items, uint32_t* count, bool message = false) {
        return Deliver(ZevDTGetHeader, items, count, message);
    }
    uint32_t HeaderInfo(ZevDTHeaderInfoItem** items, uint32_t* count, bool message = false) {
        return Deliver(ZevDTGetHeaderInfo, items, count, message);
    }
    uint32_t Data(ZevDTDataItem** items, uint32_t* count, bool message = false) {
        return Deliver(ZevDTGetData, items, count, message);
    }
};

bool AllZero(const char* bytes, size_t n) {
    for (size_t i = 0; i < n; ++i)
        if (bytes[i])
            return false;
    return true;
}

TEST_F(Delivery, HeaderItemsFollowTheDisplayPositions) {
    records.AddColumn("T", "SECOND", 2);
    records.AddColumn("T", "HIDDEN", 0);
    records.AddColumn("T", "FIRST", 1);
    records.columnList.insert(records.columnList.begin() + 1, nullptr);  // a hole in the library's list
    OpenWith();
    ZevDTHeaderItem* items = nullptr;
    uint32_t count = 0;
    ASSERT_EQ(Header(&items, &count), ZEVDT_OK);
    ASSERT_EQ(count, 2u);
    EXPECT_EQ(items[0].row, 0u);
    EXPECT_EQ(items[0].column, 1u);
    EXPECT_STREQ(items[0].name, "FIRST");
    EXPECT_EQ(items[1].column, 2u);
    EXPECT_STREQ(items[1].name, "SECOND");
    EXPECT_TRUE(AllZero(items[0].name + 5, 256 - 5));
}

TEST_F(Delivery, HeaderInfoCarriesTablesNamesAndTypes) {
    records.AddColumn("ORDERS", "QTY", 2, 4);
    records.AddColumn(std::string(5000, 't'), std::string(4100, 'c'), 1, ZEVDTAPI_TYPE_CHAR);
    OpenWith();
    ZevDTHeaderInfoItem* items = nullptr;
    uint32_t count = 0;
    ASSERT_EQ(HeaderInfo(&items, &count), ZEVDT_OK);
    ASSERT_EQ(count, 2u);
    EXPECT_EQ(items[0].column, 1u);
    EXPECT_EQ(std::string(items[0].tableName), std::string(4100, 't'));
    EXPECT_EQ(std::string(items[0].columnName), std::string(4100, 'c'));
    EXPECT_EQ(items[0].dataType, ZEVDTAPI_TYPE_CHAR);
    EXPECT_EQ(items[1].column, 2u);
    EXPECT_STREQ(items[1].tableName, "ORDERS");
    EXPECT_STREQ(items[1].columnName, "QTY");
    EXPECT_EQ(items[1].dataType, 4u);
}

// A gap or a duplicate among the positions: message 50011 and nothing handed out.
TEST_F(Delivery, ABrokenDisplaySequenceHandsOutNothing) {
    const std::string invalid = Message(50011, "Invalid display order sequence found");
    for (std::vector<int32_t> positions : {std::vector<int32_t>{1, 3}, std::vector<int32_t>{1, 1},
                                           std::vector<int32_t>{2, 2, 1}, std::vector<int32_t>{5}}) {
        records.columnList.clear();
        for (int32_t p : positions) records.AddColumn("T", "C", p);
        OpenWith();
        ZevDTHeaderItem* items = nullptr;
        uint32_t count = 0;
        EXPECT_EQ(Header(&items, &count, true), ZEVDT_E_DISPLAY_ORDER);
        EXPECT_EQ(items, nullptr);
        EXPECT_EQ(count, 0u);
        EXPECT_EQ(transcript.lines, std::vector<std::string>{invalid});
        ZevDTHeaderInfoItem* info = nullptr;
        EXPECT_EQ(HeaderInfo(&info, &count, true), ZEVDT_E_DISPLAY_ORDER);
        EXPECT_EQ(info, nullptr);
        EXPECT_EQ(count, 0u);
    }
}

TEST_F(Delivery, NoDisplayedColumnHandsOutNothingQuietly) {
    records.AddColumn("T", "A", 0);
    records.AddColumn("T", "B", -3);
    OpenWith();
    ZevDTHeaderItem* items = nullptr;
    uint32_t count = 0;
    EXPECT_EQ(Header(&items, &count), ZEVDT_OK);
    EXPECT_EQ(items, nullptr);
    EXPECT_EQ(count, 0u);
    EXPECT_TRUE(transcript.lines.empty());
}

TEST_F(Delivery, ALongColumnNameIsCutAt255BytesAndSparesTheNextItem) {
    records.AddColumn("T", std::string(300, 'n'), 1);
    records.AddColumn("T", "B", 2);
    OpenWith();
    ZevDTHeaderItem* items = nullptr;
    uint32_t count = 0;
    ASSERT_EQ(Header(&items, &count), ZEVDT_OK);
    ASSERT_EQ(count, 2u);
    EXPECT_EQ(std::string(items[0].name), std::string(255, 'n'));
    EXPECT_EQ(items[0].name[255], '\0');
    EXPECT_EQ(items[1].row, 0u);
    EXPECT_EQ(items[1].column, 2u);
    EXPECT_STREQ(items[1].name, "B");
}

TEST_F(Delivery, ASecondHeaderReplacesTheFirst) {
    records.AddColumn("T", "A", 1);
    OpenWith();
    ZevDTHeaderItem* first = nullptr;
    uint32_t count = 0;
    ASSERT_EQ(Header(&first, &count), ZEVDT_OK);
    ASSERT_EQ(count, 1u);
    // The wizard may have changed the records in between.
    records.AddColumn("T", "B", 0)->displayPosition = 1;
    records.columnList[0]->displayPosition = 2;
    Publish();
    static_cast<void>(Open());
    ZevDTHeaderItem* second = nullptr;
    ASSERT_EQ(Header(&second, &count), ZEVDT_OK);
    ASSERT_EQ(count, 2u);
    EXPECT_STREQ(second[0].name, "B");
    EXPECT_STREQ(second[1].name, "A");
}

TEST_F(Delivery, CellsComeRowByRowWithMissingCellsEmpty) {
    records.AddColumn("T", "A", 1);
    OpenWith();
    records.SetCells({"a1", "b1", "c1", "a2", nullptr, "c2"});
    Publish();
    control->rows = 2;
    control->columnsOfData = 3;
    ZevDTDataItem* items = nullptr;
    uint32_t count = 0;
    ASSERT_EQ(Data(&items, &count), ZEVDT_OK);
    ASSERT_EQ(count, 6u);
    const uint32_t rows[] = {1, 1, 1, 2, 2, 2}, columns[] = {0, 1, 2, 0, 1, 2};
    const char* texts[] = {"a1", "b1", "c1", "a2", "", "c2"};
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(items[i].row, rows[i]) << i;
        EXPECT_EQ(items[i].column, columns[i]) << i;
        EXPECT_STREQ(items[i].text, texts[i]) << i;
        EXPECT_TRUE(AllZero(items[i].text + std::strlen(texts[i]), 256 - std::strlen(texts[i]))) << i;
    }
    // Each result numbers its rows from 1 again.
    ASSERT_EQ(Data(&items, &count), ZEVDT_OK);
    EXPECT_EQ(items[0].row, 1u);
    EXPECT_EQ(control->calls[kFakeGetData], 2u);
    EXPECT_EQ(static_cast<CDrillThrough*>(handle)->GetDataRowCount(), 2u);
}

// A repeat drill that fits the previous block reuses it: the shorter and the
// missing texts of the new result must leave no byte of the old one behind.
TEST_F(Delivery, ARepeatDrillOfTheSameSizeLeavesNothingOfTheLastResult) {
    records.AddColumn("T", "A", 1);
    OpenWith();
    const std::string longText(300, 'x');
    records.SetCells({longText.c_str(), "second", "third", "fourth"});
    Publish();
    control->rows = 2;
    control->columnsOfData = 2;
    ZevDTDataItem* items = nullptr;
    uint32_t count = 0;
    ASSERT_EQ(Data(&items, &count), ZEVDT_OK);
    ASSERT_EQ(count, 4u);
    EXPECT_EQ(std::strlen(items[0].text), 255u);
    records.SetCells({"a", nullptr, "c", nullptr});
    Publish();
    ASSERT_EQ(Data(&items, &count), ZEVDT_OK);
    ASSERT_EQ(count, 4u);
    const char* texts[] = {"a", "", "c", ""};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(items[i].row, uint32_t(i / 2 + 1)) << i;
        EXPECT_EQ(items[i].column, uint32_t(i % 2)) << i;
        EXPECT_STREQ(items[i].text, texts[i]) << i;
        EXPECT_TRUE(AllZero(items[i].text + std::strlen(texts[i]), 256 - std::strlen(texts[i]))) << i;
    }
    // A smaller result after it still numbers and counts only its own cells.
    control->rows = 1;
    ASSERT_EQ(Data(&items, &count), ZEVDT_OK);
    ASSERT_EQ(count, 2u);
    EXPECT_STREQ(items[0].text, "a");
}

TEST_F(Delivery, ALongCellIsCutAt255BytesAndSparesTheNextItem) {
    records.AddColumn("T", "A", 1);
    OpenWith();
    const std::string longText(300, 'x');
    records.SetCells({longText.c_str(), "next"});
    Publish();
    control->rows = 1;
    control->columnsOfData = 2;
    ZevDTDataItem* items = nullptr;
    uint32_t count = 0;
    ASSERT_EQ(Data(&items, &count), ZEVDT_OK);
    ASSERT_EQ(count, 2u);
    EXPECT_EQ(std::string(items[0].text), std::string(255, 'x'));
    EXPECT_EQ(items[1].row, 1u);
    EXPECT_EQ(items[1].column, 1u);
    EXPECT_STREQ(items[1].text, "next");
}

// A result too large for a 32-bit item count is an allocation failure; the
// message shows the true byte count, however large.
TEST_F(Delivery, AnOversizedResultGives50009WithTheExactByteCount) {
    records.AddColumn("T", "A", 1);
    OpenWith();
    records.SetCells({"only"});
    Publish();
    struct Case {
        uint32_t rows, columns;
        const char* bytes;
    };
    for (Case c : {Case{65536, 32768, "566935683072"},                           // 2^31 cells
                   Case{0xFFFFFFFFu, 0xFFFFFFFFu, "4869940433191578894600"}}) {  // beyond 64 bits
        control->rows = c.rows;
        control->columnsOfData = c.columns;
        ZevDTDataItem* items = nullptr;
        uint32_t count = 0;
        EXPECT_EQ(Data(&items, &count, true), ZEVDT_E_ALLOCATION);
        EXPECT_EQ(items, nullptr);
        EXPECT_EQ(count, 0u);
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
    ZevDTHeaderItem* items = nullptr;
    uint32_t count = 0;
    uint32_t code = Header(&items, &count, true);
    // Two header items of 264 bytes.
    const std::vector<std::string> headerMessage = transcript.lines;
    ZevDTHeaderInfoItem* info = nullptr;
    uint32_t infoCode = HeaderInfo(&info, &count, true);
    zevdt::SetZeroAllocatorForTesting(nullptr);
    EXPECT_EQ(headerMessage,
              std::vector<std::string>{Message(50009, "Failed to allocate [528] bytes of memory.")});
    EXPECT_EQ(code, ZEVDT_E_ALLOCATION);
    EXPECT_EQ(items, nullptr);
    EXPECT_EQ(infoCode, ZEVDT_E_ALLOCATION);
    EXPECT_EQ(transcript.lines,
              std::vector<std::string>{Message(50009, "Failed to allocate [16416] bytes of memory.")});
}

// More than the machine can back is refused before it is granted, as a
// failed allocation; the limit here stands for a nearly full machine.
#ifndef _WIN32
// The address-space limit a host runs under counts as much as the machine's
// free memory: in a child held to its present size plus 64 MiB, a result of
// 1M cells (264 MB) is refused with 50009 and the process lives on to say so.
TEST_F(Delivery, AnAddressSpaceLimitRefusesTheBlockInsteadOfEndingTheHost) {
    records.AddColumn("T", "A", 1);
    OpenWith();
    std::vector<const char*> texts(1000000, "x");
    records.SetCells(texts);
    Publish();
    control->rows = 500000;
    control->columnsOfData = 2;
    pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        long pages = 0;
        if (FILE* f = std::fopen("/proc/self/statm", "r")) {
            if (std::fscanf(f, "%ld", &pages) != 1)
                pages = 0;
            std::fclose(f);
        }
        const rlim_t room = rlim_t(64) << 20;
        struct rlimit limit = {rlim_t(pages) * rlim_t(sysconf(_SC_PAGESIZE)) + room, RLIM_INFINITY};
        if (pages == 0 || setrlimit(RLIMIT_AS, &limit) != 0)
            _exit(10);
        if (fw::AvailableMemoryBytes() > room)
            _exit(11);
        ZevDTDataItem* items = nullptr;
        uint32_t count = 0;
        uint32_t code = ZevDTGetData(handle, &items, &count);
        _exit(code == ZEVDT_E_ALLOCATION && !items && count == 0 ? 0 : 12);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status)) << "the child was killed by signal " << WTERMSIG(status);
    EXPECT_EQ(WEXITSTATUS(status), 0) << "10: no limit set, 11: limit not counted, 12: not refused";
}

// Resident bytes of this process; 0 where it cannot be told.
uint64_t ResidentBytes() {
    unsigned long long size = 0, resident = 0;
    FILE* f = std::fopen("/proc/self/statm", "r");
    if (!f)
        return 0;
    int n = std::fscanf(f, "%llu %llu", &size, &resident);
    std::fclose(f);
    return n == 2 ? resident * static_cast<uint64_t>(sysconf(_SC_PAGESIZE)) : 0;
}

// A handle kept all day must not hold the block of its largest drill: after
// 1M cells (264 MB), a drill of one cell and an empty result each give that
// memory back, and the small result is still delivered whole.
TEST_F(Delivery, TheDataBlockShrinksAfterALargeResult) {
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "the sanitizer holds freed memory in its quarantine";
#endif
    records.AddColumn("T", "A", 1);
    OpenWith();
    std::vector<const char*> texts(1000000, "Krak\xc3\xb3w");
    records.SetCells(texts);
    Publish();
    ZevDTDataItem* items = nullptr;
    uint32_t count = 0;
    const uint64_t block = 1000000ull * sizeof(ZevDTDataItem);
    for (uint32_t smallRows : {1u, 0u}) {
        control->rows = 500000;
        control->columnsOfData = 2;
        ASSERT_EQ(Data(&items, &count), ZEVDT_OK);
        ASSERT_EQ(count, 1000000u);
        const uint64_t large = ResidentBytes();
        control->rows = smallRows;
        control->columnsOfData = 1;
        ASSERT_EQ(Data(&items, &count), ZEVDT_OK);
        const uint64_t small = ResidentBytes();
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
    records.AddColumn("T", "A", 1);
    OpenWith();
    std::vector<const char*> texts(uint64_t(1) << 18, "Plze\xc5\x88");
    records.SetCells(texts);
    Publish();
    control->rows = 1u << 17;
    control->columnsOfData = 2;
    for (zevdt::FillThreadHook fail :
         {+[] { throw std::bad_alloc(); },
          +[] {
              throw std::system_error(std::make_error_code(std::errc::resource_unavailable_try_again));
          }}) {
        zevdt::SetFillThreadHookForTesting(fail);
        ZevDTDataItem* items = nullptr;
        uint32_t count = 0;
        const uint32_t code = Data(&items, &count);
        zevdt::SetFillThreadHookForTesting(nullptr);
        ASSERT_EQ(code, ZEVDT_OK);
        ASSERT_EQ(count, 1u << 18);
        EXPECT_EQ(items[count - 1].row, 1u << 17);
        EXPECT_EQ(items[count - 1].column, 1u);
        EXPECT_STREQ(items[count - 1].text, "Plze\xc5\x88");
    }
}

TEST_F(Delivery, AResultLargerThanTheMemoryLeftGives50009) {
    records.AddColumn("T", "A", 1);
    OpenWith();
    records.SetCells({"a", "b", "c", "d"});
    Publish();
    control->rows = 2;
    control->columnsOfData = 2;
    ZevDTDataItem* items = nullptr;
    uint32_t count = 0;
    {
        testsupport::ScopedEnv limit("ZEVDT_MEMORY_LIMIT", std::string("1055"));
        EXPECT_EQ(Data(&items, &count, true), ZEVDT_E_ALLOCATION);
        EXPECT_EQ(items, nullptr);
        EXPECT_EQ(count, 0u);
    }
    EXPECT_EQ(transcript.lines,
              std::vector<std::string>{Message(50009, "Failed to allocate [1056] bytes of memory.")});
    testsupport::ScopedEnv limit("ZEVDT_MEMORY_LIMIT", std::string("1056"));
    ASSERT_EQ(Data(&items, &count), ZEVDT_OK);
    EXPECT_EQ(count, 4u);
}

// The limit takes K, M and G; a text it cannot read sets no limit and says so.
TEST_F(Delivery, MemoryLimitTakesASuffixAndReportsAnyOtherText) {
    records.AddColumn("T", "A", 1);
    OpenWith();
    records.SetCells({"a", "b", "c", "d"});
    Publish();
    control->rows = 2;
    control->columnsOfData = 2;
    ZevDTDataItem* items = nullptr;
    uint32_t count = 0;
    for (const char* refused : {"1K", "1k"}) {
        testsupport::ScopedEnv limit("ZEVDT_MEMORY_LIMIT", std::string(refused));
        EXPECT_EQ(Data(&items, &count, true), ZEVDT_E_ALLOCATION) << refused;
    }
    {
        testsupport::ScopedEnv limit("ZEVDT_MEMORY_LIMIT", std::string("2K"));
        EXPECT_EQ(Data(&items, &count), ZEVDT_OK);
    }
    // The limit as delivery reads it, with the transcript of an export.
    auto read = [&](const char* text) {
        testsupport::ScopedEnv limit("ZEVDT_MEMORY_LIMIT", std::string(text));
        fw::TestDriver none;
        uint64_t bytes = 0;
        Run(none, [&] {
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

TEST_F(Delivery, DataBeforeAnyOpenAsksTheLibraryNothing) {
    ZevDTDataItem* items = nullptr;
    uint32_t count = 0;
    EXPECT_EQ(Data(&items, &count), ZEVDT_OK);
    EXPECT_EQ(items, nullptr);
    EXPECT_EQ(count, 0u);
    EXPECT_EQ(control->calls[kFakeGetData], 0u);
}

// The report list of an open that went wrong may still be set; there is no
// report behind it for the library to fetch.
TEST_F(Delivery, DataAfterAFailedOpenAsksTheLibraryNothing) {
    records.AddColumn("T", "A", 1);
    FakeProgram(control, kFakeExecuteReport, {0, 777});
    OpenWith();
    fw::TestDriver answer;
    answer.Then([](fw::Ui& ui) { ui.Answer(IDOK); });
    ASSERT_EQ(Open(answer), 777u);
    ASSERT_NE(static_cast<CDrillThrough*>(handle)->GetReportList(), nullptr);
    ZevDTDataItem* items = nullptr;
    uint32_t count = 0;
    EXPECT_EQ(Data(&items, &count), ZEVDT_OK);
    EXPECT_EQ(items, nullptr);
    EXPECT_EQ(count, 0u);
    EXPECT_EQ(control->calls[kFakeGetData], 0u);
}

TEST_F(Delivery, AFailedDataFetchIsShownAndReturned) {
    records.AddColumn("T", "A", 1);
    OpenWith();
    FakeProgram(control, kFakeGetData, {555});
    std::strcpy(control->errorText, "Query failed");
    ZevDTDataItem* items = nullptr;
    uint32_t count = 0;
    EXPECT_EQ(Data(&items, &count, true), 555u);
    EXPECT_EQ(items, nullptr);
    EXPECT_EQ(transcript.lines, std::vector<std::string>{Message(0, "Query failed")});
}

// After ZevDTClose the library's records are gone: the deliveries must not
// read them.
TEST_F(Delivery, AfterCloseNothingOfTheEndedReportIsRead) {
    records.AddColumn("T", "A", 1);
    OpenWith();
    ASSERT_EQ(ZevDTClose(handle), ZEVDT_OK);
    ZevDTHeaderItem* items = nullptr;
    uint32_t count = 0;
    EXPECT_EQ(Header(&items, &count), ZEVDT_OK);
    EXPECT_EQ(count, 0u);
    ZevDTDataItem* data = nullptr;
    EXPECT_EQ(Data(&data, &count), ZEVDT_OK);
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
    ZevDTExit(handle);
    handle = nullptr;
    const zevdt::DTAPITable* loaded = zevdt::LoadDTAPI();
    ASSERT_NE(loaded, nullptr);
    zevdt::DTAPITable throwing = *loaded;
    throwing.GetData = ThrowingGetData;
    throwing.Close = ThrowingClose;
    zevdt::SetDTAPIForTesting(&throwing);
    Init();
    records.AddColumn("T", "A", 1);
    OpenWith();
    ZevDTDataItem* items = nullptr;
    uint32_t count = 0;
    EXPECT_EQ(Data(&items, &count, true), ZEVDT_E_EXCEPTION);
    EXPECT_EQ(items, nullptr);
    EXPECT_EQ(count, 0u);
    EXPECT_EQ(transcript.lines, std::vector<std::string>{Message(50001, "Caught unknown exception")});
    fw::TestDriver none;
    EXPECT_EQ(Run(none, [&] { return ZevDTClose(handle); }), ZEVDT_E_EXCEPTION);
    EXPECT_TRUE(transcript.lines.empty());
    ZevDTExit(handle);
    handle = nullptr;
    zevdt::SetDTAPIForTesting(nullptr);
}

}  // namespace

// A result large enough to be filled by two threads at once: the half the
// second thread fills begins inside a row, and there the numbering must go
// on where the first half stops; a reused block is zeroed in both halves.
TEST(DataFill, ALargeResultIsNumberedAndZeroedAcrossItsHalves) {
    const uint32_t columns = 7;
    const uint64_t total = (uint64_t(1) << 17) + 5;  // odd: the halves meet inside a row
    std::vector<std::string> texts(total);
    std::vector<std::vector<char>> storage(total);
    std::vector<ZevDTAPICell*> cells(total, nullptr);
    for (uint64_t i = 0; i < total; ++i) {
        if (i % 11 == 3)
            continue;  // a NULL cell
        texts[i] = std::to_string(i * 7919);
        storage[i].assign(ZEVDTAPI_CELL_TEXT_OFFSET + texts[i].size() + 1, '\0');
        std::memcpy(storage[i].data() + ZEVDTAPI_CELL_TEXT_OFFSET, texts[i].c_str(), texts[i].size() + 1);
        cells[i] = reinterpret_cast<ZevDTAPICell*>(storage[i].data());
    }
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
    zevdt::FillDataItems(block.data(), cells.data(), total, columns, false);
    check("fresh");
    std::memset(static_cast<void*>(block.data()), 0xAB, block.size() * sizeof(ZevDTDataItem));
    zevdt::FillDataItems(block.data(), cells.data(), total, columns, true);
    check("reused");
}
