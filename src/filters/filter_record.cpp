#include "filter_record.h"

#include <cstring>

#include "framework/bounded_copy.h"

const char kFilterSeparator[] = "$*$";
const char kDefaultFilterName[] = "Default";
const char kDefaultFilterDescription[] = "Default filter";

namespace {

const int kSeparatorLength = static_cast<int>(sizeof kFilterSeparator - 1);

// Takes the next field off the front of `rest`: the text up to the first
// separator, or all of it when there is none.
CString TakeField(CString& rest) {
    int at = rest.Find(kFilterSeparator);
    if (at < 0) {
        CString field = rest;
        rest.Empty();
        return field;
    }
    CString field = rest.Left(at);
    rest = rest.Mid(at + kSeparatorLength);
    return field;
}

}  // namespace

void ParseFilter(const CString& record, CString& name, CString& description, CStringList& pairs) {
    name.Empty();
    description.Empty();
    pairs.RemoveAll();
    if (record.IsEmpty())
        return;
    CString rest = record;
    name = TakeField(rest);
    description = TakeField(rest);
    while (!rest.IsEmpty()) {
        // A key with no condition after it is not a pair.
        if (rest.Find(kFilterSeparator) < 0)
            break;
        CString key = TakeField(rest);
        CString condition = TakeField(rest);
        pairs.AddTail(key + kFilterSeparator + condition);
    }
}

CString BuildFilter(CString name, const CString& description, const CStringList& pairs) {
    name.Trim();
    if (name.IsEmpty())
        return CString();
    CString record = name + kFilterSeparator + description;
    for (POSITION pos = pairs.GetHeadPosition(); pos;) record += kFilterSeparator + pairs.GetNext(pos);
    return record;
}

CString DefaultFilterRecord() {
    CStringList none;
    return BuildFilter(kDefaultFilterName, kDefaultFilterDescription, none);
}

bool SplitConditionPair(const CString& pair, CString& key, CString& condition) {
    int at = pair.Find(kFilterSeparator);
    if (at < 0)
        return false;
    key = pair.Left(at);
    condition = pair.Mid(at + kSeparatorLength);
    return true;
}

bool FilterRecordKeepsFields(const CString& name, const CString& description, const CStringList& pairs) {
    CString trimmed = name;
    trimmed.Trim();
    CString backName, backDescription;
    CStringList backPairs;
    ParseFilter(BuildFilter(trimmed, description, pairs), backName, backDescription, backPairs);
    if (backName.Compare(trimmed) != 0 || backDescription.Compare(description) != 0 ||
        backPairs.GetCount() != pairs.GetCount())
        return false;
    for (POSITION a = pairs.GetHeadPosition(), b = backPairs.GetHeadPosition(); a && b;)
        if (pairs.GetNext(a).Compare(backPairs.GetNext(b)) != 0)
            return false;
    return true;
}

bool FitsFilterField(const CString& text) {
    // In the middle of a record, where a separator follows it, as the
    // description, a column key and a condition; and at the record's end.
    CStringList pairs;
    pairs.AddTail(text + kFilterSeparator + text);
    pairs.AddTail(CString("K") + kFilterSeparator + text);
    if (!FilterRecordKeepsFields("N", text, pairs))
        return false;
    // As a name, which the record keeps trimmed.
    CString name = text;
    if (name.Trim().IsEmpty())
        return true;
    CStringList none;
    return FilterRecordKeepsFields(name, "D", none) && FilterRecordKeepsFields(name, CString(), pairs);
}

CString MakeColumnKey(const ZevDTAPIColumn& column) {
    CString key;
    key.Format("%s.%s", fw::FieldText(column.tableName).GetString(),
               fw::FieldText(column.columnName).GetString());
    return key.Trim();
}
