// One saved filter as the data-transfer library keeps it: a single text whose
// fields are separated by "$*$": the name, the description, then for each
// column condition the column key and the condition. The format has no
// escaping, so a text holding the separator cannot be stored in a record
// without changing the record's meaning.
#pragma once

#include "framework/afxstr.h"
#include "zevdtapi.h"

extern const char kFilterSeparator[];  // "$*$"
extern const char kDefaultFilterName[];
extern const char kDefaultFilterDescription[];

// Splits a record into name, description and condition pairs ("key$*$condition",
// in record order). Nothing is trimmed; a trailing field without its partner is dropped.
void ParseFilter(const CString& record, CString& name, CString& description, CStringList& pairs);
// The record of a filter; the empty text when the trimmed name is empty.
CString BuildFilter(CString name, const CString& description, const CStringList& pairs);
// The record of the filter that stands in when there is no other.
CString DefaultFilterRecord();

// Splits a condition pair at its first separator; false when it has none.
bool SplitConditionPair(const CString& pair, CString& key, CString& condition);
// Whether the record built from these fields parses back into the same
// fields (the name as the record stores it, trimmed). A text holding the
// separator fails, and so does one ending in "$*": with the separator that
// follows it, it reads as an earlier separator.
bool FilterRecordKeepsFields(const CString& name, const CString& description, const CStringList& pairs);
// Whether a text can be a field of any record, wherever it stands in it:
// the one check for every name, description, column key and condition a
// user or a column brings in.
bool FitsFilterField(const CString& text);

// The key that names a column in condition pairs, the filter grid and the
// wizard's lists: "table.column", trimmed, so that one key names one column on
// every step.
CString MakeColumnKey(const ZevDTAPIColumn& column);
