#include "filter_list.h"

#include <cstring>
#include <memory>
#include <vector>

#include "filter_record.h"
#include "framework/afxapp.h"
#include "resources/resource.h"

namespace {

CString TrimmedName(const CString& record) {
    CString name, description;
    CStringList pairs;
    ParseFilter(record, name, description, pairs);
    return name.Trim();
}

}  // namespace

void CFilterList::LoadFilters() {
    m_filterList.RemoveAll();
    CStringList delivered;
    if (m_pOwner) {
        char** records = nullptr;
        int32_t count = 0;
        int32_t status = m_pOwner->GetFilterDescConditions(&records, &count);
        // The library's strings are copied at once: they stay the library's.
        if (status == 0 && records && count > 0)
            for (int32_t i = 0; i < count; ++i)
                if (records[i])
                    delivered.AddTail(CString(records[i]));
    }
    MergeFilters(delivered);
    if (m_filterList.IsEmpty())
        m_filterList.AddTail(DefaultFilterRecord());
}

void CFilterList::MergeFilters(const CStringList& records) {
    m_filterList.RemoveAll();
    for (POSITION in = records.GetHeadPosition(); in;) {
        const CString& record = records.GetNext(in);
        CString name = TrimmedName(record);
        bool placed = false;
        for (POSITION at = m_filterList.GetHeadPosition(); at && !placed;) {
            POSITION here = at;
            int order = name.CompareNoCase(TrimmedName(m_filterList.GetNext(at)));
            if (order == 0) {
                m_filterList.SetAt(here, record);
                placed = true;
            } else if (order < 0) {
                m_filterList.InsertBefore(here, record);
                placed = true;
            }
        }
        if (!placed)
            m_filterList.AddTail(record);
    }
}

bool CFilterList::SaveFilters(int confirm) {
    CWaitCursor wait;
    if (m_filterList.IsEmpty())
        m_filterList.AddTail(DefaultFilterRecord());
    if (!m_pOwner)
        return false;
    // Copies for this call only: the library keeps its own.
    std::vector<std::unique_ptr<char[]>> copies;
    std::vector<char*> pointers;
    for (POSITION pos = m_filterList.GetHeadPosition(); pos;) {
        const CString& record = m_filterList.GetNext(pos);
        size_t size = static_cast<size_t>(record.GetLength()) + 1;
        copies.emplace_back(new char[size]);
        std::memcpy(copies.back().get(), record.GetString(), size);
        pointers.push_back(copies.back().get());
    }
    int32_t status =
        m_pOwner->SetFilterDescConditions(pointers.data(), static_cast<int32_t>(pointers.size()));
    if (status != 0) {
        m_pOwner->ShowLibraryError();
        return false;
    }
    if (confirm != 0)
        AfxMessageBox(IDS_FILTERS_SAVED, MB_OK);
    return true;
}

CString CFilterList::GetFilterAt(int position) const {
    if (position < 0 || position >= m_filterList.GetCount())
        return CString();
    return m_filterList.GetAt(m_filterList.FindIndex(position));
}

void CFilterList::SetFilterAt(const CString& record, int position) {
    if (position < 0 || position >= m_filterList.GetCount())
        return;
    m_filterList.SetAt(m_filterList.FindIndex(position), record);
}

CString CFilterList::GetCurrentFilterName() const {
    return TrimmedName(GetCurrentFilter());
}

void CFilterList::GetFilterNames(CStringList& names) const {
    names.RemoveAll();
    for (POSITION pos = m_filterList.GetHeadPosition(); pos;)
        names.AddTail(TrimmedName(m_filterList.GetNext(pos)));
}

void CFilterList::GetCurrentConditions(CStringList& pairs) const {
    CString name, description;
    ParseFilter(GetCurrentFilter(), name, description, pairs);
}

bool CFilterList::ParseCurrent(CString& name, CString& description, CStringList& pairs) const {
    ParseFilter(GetCurrentFilter(), name, description, pairs);
    // Rebuilding a record without a name would give the empty text and lose
    // what the library delivered in it.
    CString trimmed = name;
    return !trimmed.Trim().IsEmpty();
}

bool CFilterList::SetCurrentDescription(const CString& description) {
    CString name, old;
    CStringList pairs;
    if (!FitsFilterField(description) || !ParseCurrent(name, old, pairs))
        return false;
    return RewriteCurrent(name, description, pairs);
}

bool CFilterList::RenameCurrentFilter(const CString& name) {
    CString trimmed = name, old, description;
    CStringList pairs;
    if (trimmed.Trim().IsEmpty() || !FitsFilterField(trimmed) || !ParseCurrent(old, description, pairs))
        return false;
    return RewriteCurrent(trimmed, description, pairs);
}

bool CFilterList::ClearCurrentConditions() {
    CString name, description;
    CStringList pairs;
    if (!ParseCurrent(name, description, pairs))
        return false;
    pairs.RemoveAll();
    return RewriteCurrent(name, description, pairs);
}

bool CFilterList::SetColumnCondition(CString key, const CString& condition) {
    key.Trim();
    CString name, description;
    CStringList pairs;
    if (!CanHoldCondition(key, condition) || !ParseCurrent(name, description, pairs))
        return false;
    CString pair = key + kFilterSeparator + condition;
    bool matched = false;
    for (POSITION pos = pairs.GetHeadPosition(); pos && !matched;) {
        POSITION here = pos;
        CString pairKey, pairCondition;
        if (!SplitConditionPair(pairs.GetNext(pos), pairKey, pairCondition))
            continue;
        if (pairKey.Trim().CompareNoCase(key) != 0)
            continue;
        matched = true;
        if (condition.IsEmpty())
            pairs.RemoveAt(here);
        else
            pairs.SetAt(here, pair);
    }
    if (!matched && !condition.IsEmpty())
        pairs.AddTail(pair);
    return RewriteCurrent(name, description, pairs);
}

bool CFilterList::CanHoldCondition(CString key, const CString& condition) {
    return FitsFilterField(key.Trim()) && FitsFilterField(condition);
}

// The one way a rewrite reaches the list: a record that would not parse back
// into the fields it was built from is never stored.
bool CFilterList::RewriteCurrent(const CString& name, const CString& description, const CStringList& pairs) {
    if (!FilterRecordKeepsFields(name, description, pairs))
        return false;
    SetFilterAt(BuildFilter(name, description, pairs), m_nCurrentFilter);
    return true;
}

int CFilterList::AddFilter(const CString& name, int copy) {
    CString trimmed = name;
    if (trimmed.Trim().IsEmpty() || !FitsFilterField(trimmed))
        return -1;
    CString current, description;
    CStringList pairs;
    if (copy && !GetCurrentFilter().IsEmpty())
        ParseFilter(GetCurrentFilter(), current, description, pairs);
    if (!FilterRecordKeepsFields(trimmed, description, pairs))
        return -1;
    m_filterList.AddTail(BuildFilter(trimmed, description, pairs));
    return m_filterList.GetCount() - 1;
}

void CFilterList::DeleteCurrentFilter() {
    if (m_nCurrentFilter < 0 || m_nCurrentFilter >= m_filterList.GetCount())
        return;
    m_filterList.RemoveAt(m_filterList.FindIndex(m_nCurrentFilter));
    if (m_filterList.IsEmpty())
        m_nCurrentFilter = -1;
    else if (m_nCurrentFilter >= m_filterList.GetCount())
        m_nCurrentFilter = m_filterList.GetCount() - 1;
}
