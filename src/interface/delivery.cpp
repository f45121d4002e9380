// The arrays handed to the host: header and header-info items built from the
// column records in display order, data items from the library's cells.
#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <string>
#include <thread>
#include <vector>

#include "framework/bounded_copy.h"
#include "framework/memory_budget.h"
#include "drill_through.h"
#include "resources/resource.h"

namespace zevdt {
namespace {

constexpr size_t kItemTextLimit = ZEVDT_ITEM_TEXT_FIELD - 1;
constexpr size_t kInfoNameLimit = ZEVDT_INFO_NAME_FIELD - 1;
// The item count handed out is 32-bit and hosts take it as signed.
constexpr uint64_t kMaxItems = static_cast<uint64_t>(std::numeric_limits<int32_t>::max());

void* DefaultZeroAllocator(size_t bytes) {
    return std::calloc(bytes, 1);
}
// A test may replace it while other threads deliver.
std::atomic<ZeroAllocator> g_allocate{&DefaultZeroAllocator};

void NoHook() {}
std::atomic<FillThreadHook> g_beforeFillThread{&NoHook};

// items × itemSize in decimal, exact even where the product exceeds 64 bits:
// the message must not show a wrapped or negative count.
std::string ByteCountText(uint64_t items, uint32_t itemSize) {
    std::string digits = std::to_string(items);
    uint64_t carry = 0;
    for (auto it = digits.rbegin(); it != digits.rend(); ++it) {
        uint64_t value = static_cast<uint64_t>(*it - '0') * itemSize + carry;
        *it = static_cast<char>('0' + value % 10);
        carry = value / 10;
    }
    std::string head;
    for (; carry; carry /= 10) head.insert(head.begin(), static_cast<char>('0' + carry % 10));
    head += digits;
    size_t nonZero = head.find_first_not_of('0');
    return nonZero == std::string::npos ? "0" : head.substr(nonZero);
}

// Zeroed room for `items` items, or null after showing the message with the
// byte count that could not be had.
template <typename Item>
Item* AllocateItems(uint64_t items) {
    void* block = nullptr;
    // A block the machine cannot back counts as refused: granted anyway, it
    // would end the host while being filled, with the user's work.
    if (items <= kMaxItems && items <= std::numeric_limits<size_t>::max() / sizeof(Item) &&
        static_cast<uint64_t>(items) * sizeof(Item) <= fw::AvailableMemoryBytes())
        block = g_allocate.load()(static_cast<size_t>(items) * sizeof(Item));
    if (!block) {
        CString text;
        text.LoadString(IDS_ALLOC_FAILED);
        text.Replace("%d", ByteCountText(items, sizeof(Item)).c_str());
        AfxMessageBox(text, MB_OK, IDS_ALLOC_FAILED);
    }
    return static_cast<Item*>(block);
}

// The displayed columns in display order: slot k-1 holds the first record in
// list order whose display position is k. False when a position of 1..N has
// no record (a gap, or a duplicate that pushed another position past N).
bool DisplayOrder(ZevDTAPIColumn** columns, int32_t count, std::vector<ZevDTAPIColumn*>* ordered) {
    ordered->clear();
    if (!columns || count < 1)
        return true;
    size_t shown = 0;
    for (int32_t i = 0; i < count; ++i)
        if (columns[i] && columns[i]->displayPosition > 0)
            ++shown;
    ordered->assign(shown, nullptr);
    for (int32_t i = 0; i < count; ++i) {
        ZevDTAPIColumn* column = columns[i];
        if (!column || column->displayPosition <= 0)
            continue;
        size_t slot = static_cast<size_t>(column->displayPosition) - 1;
        if (slot < shown && !(*ordered)[slot])
            (*ordered)[slot] = column;
    }
    for (ZevDTAPIColumn* column : *ordered)
        if (!column)
            return false;
    return true;
}

// Items [begin, end) of a result `columns` wide. A reused block holds the
// last result: each run of items is zeroed whole just before it is filled,
// while it is still in the cache, as one pass over the memory instead of
// padding every field on its own. A fresh block comes zeroed.
void FillItemRange(ZevDTDataItem* items, ZevDTAPICell* const* cells, uint64_t begin, uint64_t end,
                   uint32_t columns, bool reuse) {
    constexpr uint64_t kRun = 64;
    uint32_t r = static_cast<uint32_t>(begin / columns), c = static_cast<uint32_t>(begin % columns);
    ZevDTDataItem* item = items + begin;
    ZevDTAPICell* const* cell = cells + begin;
    for (uint64_t done = begin; done < end;) {
        const uint64_t run = std::min<uint64_t>(kRun, end - done);
        if (reuse)
            std::memset(item, 0, static_cast<size_t>(run) * sizeof(ZevDTDataItem));
        for (uint64_t k = 0; k < run; ++k, ++item, ++cell) {
            item->row = r + 1;
            item->column = c;
            if (*cell)
                fw::BoundedCopy(item->text, kItemTextLimit, ZEVDTAPI_CELL_TEXT(*cell), fw::Padding::None);
            if (++c == columns) {
                c = 0;
                ++r;
            }
        }
        done += run;
    }
}

}  // namespace

// A million items are 264 MB, and most of the time of filling a fresh block
// goes to the system handing over its pages one at a time; on a machine with
// another core, a worker fills (and so faults in) the second half while this
// thread fills the first. The worker lives only inside this call: it is
// joined before the call returns, and it runs nothing but the fill.
void FillDataItems(ZevDTDataItem* items, ZevDTAPICell* const* cells, uint64_t total, uint32_t columns,
                   bool reuse) {
    constexpr uint64_t kParallelFrom = 1u << 17;  // below that a thread costs more than it saves
    const unsigned cores = std::thread::hardware_concurrency();
    const uint64_t half = total / 2;
    std::thread second;
    if (total >= kParallelFrom && cores > 1) {
        try {
            g_beforeFillThread.load()();
            second = std::thread(FillItemRange, items, cells, half, total, columns, reuse);
        } catch (...) {
            // No thread to be had (its state or the thread itself): the
            // result is not lost for it, this thread fills it all.
        }
    }
    if (!second.joinable()) {
        FillItemRange(items, cells, 0, total, columns, reuse);
        return;
    }
    FillItemRange(items, cells, 0, half, columns, reuse);
    second.join();
}

void SetZeroAllocatorForTesting(ZeroAllocator allocator) {
    g_allocate = allocator ? allocator : &DefaultZeroAllocator;
}

void SetFillThreadHookForTesting(FillThreadHook hook) {
    g_beforeFillThread = hook ? hook : &NoHook;
}

}  // namespace zevdt

uint32_t CDrillThrough::GetHeader(ZevDTHeaderItem** items, uint32_t* count) {
    std::free(m_pHeader);
    m_pHeader = nullptr;
    std::vector<ZevDTAPIColumn*> ordered;
    bool complete = zevdt::DisplayOrder(m_ppColumns, m_nColumnCount, &ordered);
    if (ordered.empty())
        return ZEVDT_OK;
    m_pHeader = zevdt::AllocateItems<ZevDTHeaderItem>(ordered.size());
    if (!m_pHeader)
        return ZEVDT_E_ALLOCATION;
    if (!complete) {
        AfxMessageBox(IDS_INVALID_DISPLAY_ORDER, MB_OK);
        return ZEVDT_E_DISPLAY_ORDER;
    }
    for (size_t k = 0; k < ordered.size(); ++k) {
        ZevDTHeaderItem& item = m_pHeader[k];
        item.column = static_cast<uint32_t>(k + 1);
        fw::BoundedCopy(item.name, zevdt::kItemTextLimit, ordered[k]->columnName, fw::Padding::None);
    }
    *items = m_pHeader;
    *count = static_cast<uint32_t>(ordered.size());
    return ZEVDT_OK;
}

uint32_t CDrillThrough::GetHeaderInfo(ZevDTHeaderInfoItem** items, uint32_t* count) {
    std::free(m_pHeaderInfo);
    m_pHeaderInfo = nullptr;
    std::vector<ZevDTAPIColumn*> ordered;
    bool complete = zevdt::DisplayOrder(m_ppColumns, m_nColumnCount, &ordered);
    if (ordered.empty())
        return ZEVDT_OK;
    m_pHeaderInfo = zevdt::AllocateItems<ZevDTHeaderInfoItem>(ordered.size());
    if (!m_pHeaderInfo)
        return ZEVDT_E_ALLOCATION;
    if (!complete) {
        AfxMessageBox(IDS_INVALID_DISPLAY_ORDER, MB_OK);
        return ZEVDT_E_DISPLAY_ORDER;
    }
    for (size_t k = 0; k < ordered.size(); ++k) {
        ZevDTHeaderInfoItem& item = m_pHeaderInfo[k];
        const ZevDTAPIColumn& column = *ordered[k];
        item.column = static_cast<uint32_t>(k + 1);
        fw::BoundedCopy(item.tableName, zevdt::kInfoNameLimit, column.tableName, fw::Padding::None);
        fw::BoundedCopy(item.columnName, zevdt::kInfoNameLimit, column.columnName, fw::Padding::None);
        item.dataType = column.dataType;
    }
    *items = m_pHeaderInfo;
    *count = static_cast<uint32_t>(ordered.size());
    return ZEVDT_OK;
}

uint32_t CDrillThrough::GetData(ZevDTDataItem** items, uint32_t* count) {
    // The host was promised the previous array only until this call. Its
    // block is kept for a result that needs most of it, and given back when
    // this call hands out nothing, so that one large drill does not hold its
    // memory through a day of small ones.
    struct KeepOnlyWhatIsHandedOut {
        CDrillThrough* self;
        bool handedOut = false;
        ~KeepOnlyWhatIsHandedOut() {
            if (!handedOut)
                self->FreeDataBlock();
        }
    } keep{this};
    // No report to fetch: never opened, or the last open was cancelled or failed.
    if (!m_bReportOpen || m_nSelectedReport >= m_nReportCount)
        return ZEVDT_OK;

    CWaitCursor busy;

    ZevDTAPICell** cells = nullptr;
    uint32_t status = m_api.GetData(m_hLibrary, &cells, &m_nDataRows, &m_nDataColumns);
    if (status != 0) {
        ShowLibraryError();
        return status;
    }
    if (m_nDataRows == 0 || m_nDataColumns == 0 || !cells)
        return ZEVDT_OK;

    const uint64_t total = static_cast<uint64_t>(m_nDataRows) * m_nDataColumns;
    // A fresh block comes zeroed, so only the texts are written into it.
    const bool reuse = m_pData && total <= m_nDataCapacity && total >= m_nDataCapacity / 2;
    if (!reuse) {
        FreeDataBlock();
        m_pData = zevdt::AllocateItems<ZevDTDataItem>(total);
        if (!m_pData)
            return ZEVDT_E_ALLOCATION;
        m_nDataCapacity = total;
    }
    zevdt::FillDataItems(m_pData, cells, total, m_nDataColumns, reuse);
    *items = m_pData;
    *count = static_cast<uint32_t>(total);
    keep.handedOut = true;
    return ZEVDT_OK;
}

void CDrillThrough::FreeDataBlock() {
    std::free(m_pData);
    m_pData = nullptr;
    m_nDataCapacity = 0;
}
