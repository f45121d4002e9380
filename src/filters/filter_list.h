// The saved filters of a report: the ordered list of filter records, the
// current filter, and their exchange with the data-transfer library. The
// data filters page keeps one and mirrors it in its filter combo, so a
// position here is the same position there.
#pragma once

#include <vector>

#include "framework/afxstr.h"
#include "owner/dt_owner.h"

class CFilterList {
  public:
    explicit CFilterList(CDTOwner* owner = nullptr) : m_pOwner(owner) {}
    CFilterList(const CFilterList&) = delete;
    CFilterList& operator=(const CFilterList&) = delete;

    void SetOwner(CDTOwner* owner) { m_pOwner = owner; }

    // Replaces the list with the library's saved filters, in name order; the
    // default filter when the library has none. The current index is untouched.
    void LoadFilters();
    // Empties the list, then inserts the records in name order (without regard
    // to case); of names equal but for case the later record wins.
    void MergeFilters(const CStringList& records);
    // Hands the whole list (never fewer than the default filter) to the
    // library. A failure is shown; success only when `confirm` is not 0.
    // After a failed load nothing is handed over unless the user changed the
    // list and then agrees to replace what the library holds. Returns
    // whether the library took the list.
    bool SaveFilters(int confirm);
    // Whether the last load failed, so that the list may not be all the library holds.
    bool LoadFailed() const { return m_bLoadFailed; }

    int GetCount() const { return m_filterList.GetCount(); }
    const CStringList& GetList() const { return m_filterList; }
    // The empty text outside the list.
    CString GetFilterAt(int position) const;
    // Does nothing outside the list.
    void SetFilterAt(const CString& record, int position);

    int GetCurrentIndex() const { return m_nCurrentFilter; }
    void SetCurrentIndex(int position) { m_nCurrentFilter = position; }
    CString GetCurrentFilter() const { return GetFilterAt(m_nCurrentFilter); }
    CString GetCurrentFilterName() const;
    // The trimmed names of all filters in list order, empty names included.
    void GetFilterNames(CStringList& names) const;
    // The condition pairs of the current filter (none without one).
    void GetCurrentConditions(CStringList& pairs) const;

    // What a rewrite of the current filter would come to.
    enum class Rewrite {
        Kept,      // the record takes the change
        NoFilter,  // no filter is current: nothing records the change
        Nameless,  // the current record has no name and cannot be rebuilt
        Refused,   // the rebuilt record would not parse back into the same fields
    };
    struct Change {
        enum Kind { Description, Name, ClearConditions, Condition } kind;
        CString key;
        CString text;
        static Change ForDescription(const CString& d) { return {Description, CString(), d}; }
        static Change ForName(const CString& n) { return {Name, CString(), n}; }
        static Change ForClearConditions() { return {ClearConditions, CString(), CString()}; }
        static Change ForCondition(const CString& k, const CString& c) { return {Condition, k, c}; }
    };
    Rewrite Check(const Change& change) const;

    // Rewrites of the current filter. Each returns false and leaves the
    // record as it was unless Check would answer Kept.
    bool SetCurrentDescription(const CString& description);
    bool RenameCurrentFilter(const CString& name);
    bool ClearCurrentConditions();
    // Replaces, appends or (for an empty condition) removes the current
    // filter's pair for the column `key`, matched trimmed and without regard to case.
    bool SetColumnCondition(CString key, const CString& condition);
    // Whether a column key (trimmed) and a condition can go into a record.
    static bool CanHoldCondition(CString key, const CString& condition);
    // Whether a column key (trimmed) can name a column in a record.
    static bool CanHoldKey(CString key);

    // Appends a filter named `name` (trimmed), with the current filter's
    // description and conditions when `copy` is set. Returns its position,
    // or -1 when the trimmed name is empty or its record would not parse back.
    int AddFilter(const CString& name, int copy);
    // Removes the current filter; the following one (else the one before)
    // becomes current, and -1 when none is left.
    void DeleteCurrentFilter();

  private:
    struct NamedRecord {
        CString name;      // trimmed
        const char* text;  // the whole record, copied into the list when merged
    };
    void MergeNamed(std::vector<NamedRecord>& records);
    // Parses the current record for a rewrite; false when no named filter is current.
    bool ParseCurrent(CString& name, CString& description, CStringList& pairs) const;
    Rewrite Plan(const Change& change, CString& name, CString& description, CStringList& pairs) const;
    bool Apply(const Change& change);

    CStringList m_filterList;
    bool m_bLoadFailed = false;
    // The user changed a record, added or deleted a filter since the load.
    bool m_bChanged = false;
    int m_nCurrentFilter = -1;
    CDTOwner* m_pOwner = nullptr;
};
