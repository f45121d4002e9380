#include "filter_list.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <vector>

#include "filter_record.h"
#include "framework/afxapp.h"
#include "resources/resource.h"

namespace {

// The name is the text before the first separator (the whole record without one).
CString TrimmedName(const char* record) {
    const char* separator = std::strstr(record, kFilterSeparator);
    CString name = separator ? CString(record, static_cast<int>(separator - record)) : CString(record);
    return name.Trim();
}

CString TrimmedName(const CString& record) {
    return TrimmedName(record.GetString());
}

}  // namespace

void CFilterList::LoadFilters() {
    m_filterList.RemoveAll();
    m_bLoadFailed = false;
    m_bChanged = false;
    std::vector<NamedRecord> delivered;
    if (m_pOwner) {
        char** records = nullptr;
        int32_t count = 0;
        int32_t status = m_pOwner->GetFilterDescConditions(&records, &count);
        // A list that never loaded must not pass for an empty one: saving the
        // default filter over it would erase what the library still holds.
        if (status != 0) {
            m_bLoadFailed = true;
            m_pOwner->ShowLibraryError();
        }
        // The library's strings stay the library's: each is copied into the
        // list before this returns, once.
        if (status == 0 && records && count > 0)
            for (int32_t i = 0; i < count; ++i)
                if (records[i])
                    delivered.push_back({TrimmedName(records[i]), records[i]});
    }
    MergeNamed(delivered);
    if (m_filterList.IsEmpty())
        m_filterList.AddTail(DefaultFilterRecord());
}

void CFilterList::MergeFilters(const CStringList& records) {
    std::vector<NamedRecord> named;
    named.reserve(static_cast<size_t>(records.GetCount()));
    for (POSITION in = records.GetHeadPosition(); in;) {
        const CString& record = records.GetNext(in);
        named.push_back({TrimmedName(record), record.GetString()});
    }
    MergeNamed(named);
}

// Each name is trimmed once and the order found by sorting, so the cost
// does not grow with the square of the list nor depend on the order the
// records come in. Equal names stay in delivery order, so the last of each
// run is the record delivered last, and it takes the run's place.
void CFilterList::MergeNamed(std::vector<NamedRecord>& records) {
    m_filterList.RemoveAll();
    std::stable_sort(records.begin(), records.end(), [](const NamedRecord& a, const NamedRecord& b) {
        return a.name.CompareNoCase(b.name) < 0;
    });
    // Each survivor is copied once, straight into its place: a temporary
    // handed to the list would copy all of it a second time.
    for (size_t i = 0; i < records.size(); ++i)
        if (i + 1 == records.size() || records[i].name.CompareNoCase(records[i + 1].name) != 0) {
            m_filterList.AddTail(CString());
            m_filterList.GetTail() = records[i].text;
        }
}

bool CFilterList::SaveFilters(int confirm) {
    // After a failed load the library may still hold filters this list never
    // saw: they are replaced only on the user's word, and only when the user
    // has made the list worth saving.
    if (m_bLoadFailed) {
        if (!m_bChanged) {
            if (confirm != 0)
                AfxMessageBox(IDS_FILTERS_NOT_LOADED_NOT_SAVED, MB_OK);
            return false;
        }
        if (AfxMessageBox(IDS_FILTERS_NOT_LOADED_REPLACE, MB_YESNO | MB_ICONQUESTION) != IDYES)
            return false;
    }
    CWaitCursor wait;
    if (m_filterList.IsEmpty())
        m_filterList.AddTail(DefaultFilterRecord());
    if (!m_pOwner)
        return false;
    // Copies for this call only: the library keeps its own. Each copy is owned
    // before the vector can grow, so a failed growth frees it.
    std::vector<std::unique_ptr<char[]>> copies;
    std::vector<char*> pointers;
    copies.reserve(static_cast<size_t>(m_filterList.GetCount()));
    pointers.reserve(static_cast<size_t>(m_filterList.GetCount()));
    for (POSITION pos = m_filterList.GetHeadPosition(); pos;) {
        const CString& record = m_filterList.GetNext(pos);
        size_t size = static_cast<size_t>(record.GetLength()) + 1;
        auto copy = std::make_unique<char[]>(size);
        std::memcpy(copy.get(), record.GetString(), size);
        pointers.push_back(copy.get());
        copies.push_back(std::move(copy));
    }
    int32_t status =
        m_pOwner->SetFilterDescConditions(pointers.data(), static_cast<int32_t>(pointers.size()));
    if (status != 0) {
        m_pOwner->ShowLibraryError();
        return false;
    }
    // The library now holds this list.
    m_bLoadFailed = false;
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

// Every rewrite is planned here first, so that a caller can learn whether
// the change can be kept before it shows it anywhere.
CFilterList::Rewrite CFilterList::Plan(const Change& change, CString& name, CString& description,
                                       CStringList& pairs) const {
    if (m_nCurrentFilter < 0 || m_nCurrentFilter >= m_filterList.GetCount())
        return Rewrite::NoFilter;
    if (!ParseCurrent(name, description, pairs))
        return Rewrite::Nameless;
    switch (change.kind) {
        case Change::Description:
            description = change.text;
            break;
        case Change::Name:
            name = change.text;
            if (name.Trim().IsEmpty())
                return Rewrite::Refused;
            break;
        case Change::ClearConditions:
            pairs.RemoveAll();
            break;
        case Change::Condition: {
            CString key = change.key;
            key.Trim();
            if (!CanHoldCondition(key, change.text))
                return Rewrite::Refused;
            const CString pair = key + kFilterSeparator + change.text;
            bool matched = false;
            for (POSITION pos = pairs.GetHeadPosition(); pos && !matched;) {
                POSITION here = pos;
                CString pairKey, pairCondition;
                if (!SplitConditionPair(pairs.GetNext(pos), pairKey, pairCondition) ||
                    pairKey.Trim().CompareNoCase(key) != 0)
                    continue;
                matched = true;
                if (change.text.IsEmpty())
                    pairs.RemoveAt(here);
                else
                    pairs.SetAt(here, pair);
            }
            if (!matched && !change.text.IsEmpty())
                pairs.AddTail(pair);
            break;
        }
    }
    return FilterRecordKeepsFields(name, description, pairs) ? Rewrite::Kept : Rewrite::Refused;
}

CFilterList::Rewrite CFilterList::Check(const Change& change) const {
    CString name, description;
    CStringList pairs;
    return Plan(change, name, description, pairs);
}

bool CFilterList::Apply(const Change& change) {
    CString name, description;
    CStringList pairs;
    if (Plan(change, name, description, pairs) != Rewrite::Kept)
        return false;
    const CString record = BuildFilter(name, description, pairs);
    if (record.Compare(GetCurrentFilter()) != 0) {
        SetFilterAt(record, m_nCurrentFilter);
        m_bChanged = true;
    }
    return true;
}

bool CFilterList::SetCurrentDescription(const CString& description) {
    return Apply(Change::ForDescription(description));
}

bool CFilterList::RenameCurrentFilter(const CString& name) {
    CString trimmed = name;
    if (!FitsFilterField(trimmed.Trim()))
        return false;
    return Apply(Change::ForName(trimmed));
}

bool CFilterList::ClearCurrentConditions() {
    return Apply(Change::ForClearConditions());
}

bool CFilterList::SetColumnCondition(CString key, const CString& condition) {
    return Apply(Change::ForCondition(key, condition));
}

bool CFilterList::CanHoldCondition(CString key, const CString& condition) {
    return CanHoldKey(key) && FitsFilterField(condition);
}

bool CFilterList::CanHoldKey(CString key) {
    return FitsFilterField(key.Trim());
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
    m_bChanged = true;
    return m_filterList.GetCount() - 1;
}

void CFilterList::DeleteCurrentFilter() {
    if (m_nCurrentFilter < 0 || m_nCurrentFilter >= m_filterList.GetCount())
        return;
    m_filterList.RemoveAt(m_filterList.FindIndex(m_nCurrentFilter));
    m_bChanged = true;
    if (m_filterList.IsEmpty())
        m_nCurrentFilter = -1;
    else if (m_nCurrentFilter >= m_filterList.GetCount())
        m_nCurrentFilter = m_filterList.GetCount() - 1;
}
