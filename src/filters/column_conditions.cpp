#include "column_conditions.h"

#include <cstring>

#include "filter_record.h"
#include "framework/bounded_copy.h"

void ClearColumnCondition(ZevDTAPIColumn* column) {
    if (!column)
        return;
    std::memset(column->condition, 0, sizeof column->condition);
    column->filterOnly = 0;
}

void StoreColumnCondition(ZevDTAPIColumn* column, const CString& condition) {
    if (!column)
        return;
    int length = condition.GetLength();
    if (length == 0) {
        ClearColumnCondition(column);
        return;
    }
    column->condition[0] = '\0';
    column->filterOnly = 0;
    // A cut condition would filter differently from what the user sees, so
    // an overlong one is not stored at all.
    if (length > kMaxColumnCondition)
        return;
    fw::BoundedCopy(column->condition, static_cast<size_t>(kMaxColumnCondition), condition.GetString(),
                    fw::Padding::None);
    column->condition[length] = '\0';
    if (column->displayPosition < 1)
        column->filterOnly = 1;
}

void CColumnTable::Build(const CDTOwner& owner) {
    m_entries.clear();
    ZevDTAPIColumn** columns = owner.GetColumnList();
    int32_t count = owner.GetColumnCount();
    if (!columns)
        return;
    for (int32_t i = 0; i < count; ++i) {
        if (!columns[i])
            continue;
        CColumnEntry entry;
        entry.key = MakeColumnKey(*columns[i]);
        entry.record = columns[i];
        ClearColumnCondition(entry.record);
        m_entries.push_back(entry);
    }
}

int CColumnTable::FindColumn(const CString& key) const {
    for (size_t i = 0; i < m_entries.size(); ++i) {
        CString candidate = m_entries[i].key;
        if (candidate.Trim().CompareNoCase(key) == 0)
            return static_cast<int>(i);
    }
    return -1;
}

void CColumnTable::SetColumnCondition(int row, const CString& condition) {
    // A grid row without an entry (none selected: -1) names no column.
    if (row < 0 || row >= GetCount())
        return;
    CColumnEntry& entry = m_entries[static_cast<size_t>(row)];
    entry.condition = condition;
    StoreColumnCondition(entry.record, condition);
}

void CColumnTable::ClearConditions() {
    for (CColumnEntry& entry : m_entries) {
        entry.condition.Empty();
        ClearColumnCondition(entry.record);
    }
}

void CColumnTable::ApplyFilterConditions(const CStringList& pairs) {
    ClearConditions();
    for (POSITION pos = pairs.GetHeadPosition(); pos;) {
        CString key, condition;
        if (!SplitConditionPair(pairs.GetNext(pos), key, condition))
            continue;
        // A pair for a column this report lacks stays in the filter but acts
        // on nothing. Its key is trimmed as every key is where it is
        // compared, or a pair that the next condition on its column replaces
        // would act on no column now.
        int row = FindColumn(key.Trim());
        if (row < 0)
            continue;
        SetColumnCondition(row, condition.Trim());
    }
}

CString CColumnTable::GetConditionSummary() const {
    CString summary;
    for (const CColumnEntry& entry : m_entries) {
        CString cell = entry.condition;
        cell.TrimLeft();
        if (cell.IsEmpty())
            continue;
        if (!summary.IsEmpty())
            summary += " AND ";
        summary += "(" + cell + ")";
    }
    return summary;
}
