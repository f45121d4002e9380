// The hand-over of filter conditions to report execution: the library reads
// each column record's filter-only flag and condition text when it fetches
// the data. The column table is the filters' view of the report's columns:
// for each column its key, the condition in force and its record.
#pragma once

#include <vector>

#include "framework/afxstr.h"
#include "owner/dt_owner.h"
#include "zevdtapi.h"

// The longest condition a column record can hold; a longer one is not stored.
constexpr int kMaxColumnCondition = ZEVDTAPI_CONDITION_FIELD - 1;

// Writes a condition into the record's filter fields. An empty condition
// clears them; one longer than kMaxColumnCondition leaves them empty.
void StoreColumnCondition(ZevDTAPIColumn* column, const CString& condition);
// Zeroes the whole condition field and the filter-only flag.
void ClearColumnCondition(ZevDTAPIColumn* column);

struct CColumnEntry {
    CString key;
    CString condition;  // the condition cell, kept whole even when too long for the record
    ZevDTAPIColumn* record = nullptr;
};

class CColumnTable {
  public:
    // One entry per column record of the owner, in column-list order; every
    // record's filter fields are emptied, so no earlier condition survives.
    void Build(const CDTOwner& owner);
    void RemoveAll() { m_entries.clear(); }

    int GetCount() const { return static_cast<int>(m_entries.size()); }
    const CColumnEntry& GetAt(int row) const { return m_entries.at(static_cast<size_t>(row)); }
    // The first entry whose trimmed key equals `key` without regard to case, or -1.
    int FindColumn(const CString& key) const;
    // Sets the condition cell of a row and stores the condition in its record;
    // a row outside the table is ignored.
    void SetColumnCondition(int row, const CString& condition);
    // Empties every condition cell and every record's filter fields.
    void ClearConditions();
    // Makes a filter's condition pairs the conditions in force: every column
    // is cleared first, then each pair naming a column of the report is
    // applied (the later of two pairs for one column wins).
    void ApplyFilterConditions(const CStringList& pairs);
    // "(c1) AND (c3)": the non-empty conditions in table order.
    CString GetConditionSummary() const;

  private:
    std::vector<CColumnEntry> m_entries;
};
